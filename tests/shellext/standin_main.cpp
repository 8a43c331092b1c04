// Stand-in for Larkspan.exe in the extension's tests: records how it was
// started and what the parameter file held at that moment, then ends. The
// record appears in one step (written aside, then renamed), as its last act.
//   <own folder>\standin_seen.dat  the bytes of <own folder>\lkpara.dat ("" if none)
//   <own folder>\standin_call.txt  process id, own file name and command line, one per line
#include <windows.h>

#include <string>

namespace {

std::string OwnFileName() {
  char name[4096] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, name, sizeof(name));
  return std::string(name, n < sizeof(name) ? n : 0);
}

std::string FolderOf(const std::string& file) {
  // Character-wise: the second byte of a double-byte character may be 0x5C.
  size_t last = std::string::npos;
  for (size_t i = 0; i < file.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(file[i]);
    if (::IsDBCSLeadByteEx(932, c) && i + 1 < file.size()) {
      ++i;
    } else if (c == '\\') {
      last = i;
    }
  }
  return last == std::string::npos ? std::string() : file.substr(0, last + 1);
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buf[65536];
  DWORD got = 0;
  while (::ReadFile(file, buf, sizeof(buf), &got, nullptr) && got > 0) bytes.append(buf, got);
  ::CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string self = OwnFileName();
  const std::string folder = FolderOf(self);
  if (folder.empty()) return 1;
  if (!WriteFileBytes(folder + "standin_seen.dat", ReadFileBytes(folder + "lkpara.dat"))) return 2;
  const std::string record =
      std::to_string(::GetCurrentProcessId()) + "\n" + self + "\n" + ::GetCommandLineA() + "\n";
  const std::string aside = folder + "standin_call.tmp";
  if (!WriteFileBytes(aside, record)) return 3;
  if (!::MoveFileExA(aside.c_str(), (folder + "standin_call.txt").c_str(), MOVEFILE_REPLACE_EXISTING)) return 4;
  return 0;
}
