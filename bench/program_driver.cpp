// The whole-program benchmarks' driver (see program_driver.h).
#include "bench/program_driver.h"

#ifdef _WIN32
#include <algorithm>

#include "tests/support/temp_tree.h"

namespace bench {

std::string InstallProgram(const std::string& program, const std::string& folder) {
  std::string from = program;
  if (from.compare(0, 1, "/") == 0) from = "Z:" + from;
  std::replace(from.begin(), from.end(), '/', '\\');
  RemoveTree(folder);
  MakeFolders(folder + "\\backup");
  const std::string installed = folder + "\\Larkspan.exe";
  if (!::CopyFileA(from.c_str(), installed.c_str(), FALSE)) return "";
  WriteBytes(folder + "\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + folder + "\\backup\r\n[BkFolderList]\r\nBkFolder000=" +
                                            folder + "\\backup\r\n");
  return installed;
}

bool StartProgram(const std::string& installed, PROCESS_INFORMATION& info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  info = PROCESS_INFORMATION{};
  std::string line = "\"" + installed + "\" LarkspanCall";
  return ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != 0;
}

void EndProgram(PROCESS_INFORMATION& info) {
  if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, 99);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
}

namespace {

struct Search {
  DWORD pid;
  int id;
  HWND except;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid || window == search->except || !::IsWindowVisible(window)) return TRUE;
  if (!::GetDlgItem(window, search->id)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindWindowOf(DWORD pid, int id, HWND except) {
  Search search = {pid, id, except, nullptr};
  ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ControlText(HWND window, int id) {
  char text[512] = {};
  DWORD_PTR got = 0;
  ::SendMessageTimeoutA(::GetDlgItem(window, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 10000, &got);
  return std::string(text, got);
}

bool TotalsShown(const std::string& totalFiles) {
  return !totalFiles.empty() && totalFiles.find_first_not_of("0123456789,") == std::string::npos;
}

}  // namespace bench

#endif
