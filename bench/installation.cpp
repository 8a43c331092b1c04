// The whole-program benchmarks' installation (see installation.h).
#include "bench/installation.h"

#ifdef _WIN32
#include <algorithm>
#include <cstdio>

#include "core/launch.h"
#include "platform/native_path.h"
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

bool StartProgram(e2e::Process& process, const std::string& installed) {
  const std::string folder = installed.substr(0, installed.rfind('\\'));
  std::string error;
  if (process.Start(plat::ToNative("\"" + installed + "\" " + core::contract::kLaunchToken), plat::ToNative(folder), &error)) {
    return true;
  }
  std::printf("%s\n", error.c_str());
  return false;
}

HWND WindowNow(DWORD pid, int id, HWND except) {
  return e2e::FindWindowOf(pid, "#32770", core::contract::kCaption, id, 0, except);
}

bool TotalsShown(const std::string& totalFiles) {
  return !totalFiles.empty() && totalFiles.find_first_not_of("0123456789,") == std::string::npos;
}

}  // namespace bench

#endif
