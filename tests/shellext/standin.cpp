// Stands in for Larkspan.exe beside the extension under test: records its command line (in UTF-8) and
// the parameter file as it found it, in one step (written aside, then renamed) to standin.txt in its
// own folder, whose name may have no Shift_JIS form.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t self[MAX_PATH] = {};
  const std::wstring dir(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH) - 12);  // less "Larkspan.exe"
  static char line[3 * 32768];
  std::string text(::WideCharToMultiByte(CP_UTF8, 0, ::GetCommandLineW(), -1, line, sizeof(line), nullptr, nullptr) ? line : "");
  FILE* file = _wfopen((dir + L"lkpara.dat").c_str(), L"rb");
  for (int c = '\n'; c != EOF; c = file ? std::fgetc(file) : EOF) text += char(c);
  if (file) std::fclose(file);
  file = _wfopen((dir + L"standin.tmp").c_str(), L"wb");
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) return 1;
  return ::MoveFileW((dir + L"standin.tmp").c_str(), (dir + L"standin.txt").c_str()) ? 0 : 1;
}
