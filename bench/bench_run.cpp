// The whole backup run in the real window (Windows build): from the click on
// start to the success message, less the program's own 100 ms pause before
// it, on 10,000 files of 2 KB in 100 folders; against bare loops over the same
// tree in this process (FindFirstFileW+CopyFileW and FindFirstFileA+CopyFileA)
// and Wine's "xcopy /E", in alternating rounds.
// Usage: bench_run <data folder> [Larkspan.exe to time instead of the built one]
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "engine/texts.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr int kTotalFilesId = 1014;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kRounds = 5;
constexpr int kFolders = 100, kFilesPerFolder = 100, kFileBytes = 2048;
constexpr double kProgramPause = 0.100;  // the program's own wait before its success message

struct Search {
  DWORD pid;
  HWND except;
  bool messageBox;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid || window == search->except || !::IsWindowVisible(window)) return TRUE;
  if (!::GetDlgItem(window, search->messageBox ? kMessageTextId : kTotalFilesId)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindOf(DWORD pid, HWND except, bool messageBox) {
  Search search = {pid, except, messageBox, nullptr};
  ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TextOf(HWND control) {
  char text[512] = {};
  DWORD_PTR got = 0;
  ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000,
                        &got);
  return std::string(text, got);
}

// One run of the program over the prepared installation: seconds from the
// click on start to the success message less the pause; -1 if it failed.
double RunOnce(const std::string& program, const std::string& install, const std::string& source) {
  RemoveTree(install + "\\backup");
  MakeFolders(install + "\\backup");
  WriteBytes(install + "\\lkpara.dat", "\"" + source + "\" ");
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::string line = "\"" + program + "\" LarkspanCall";
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
  double result = -1;
  const double begun = bench::Now();
  HWND dialog = nullptr;
  while (!dialog && bench::Now() - begun < 60) {
    HWND found = FindOf(info.dwProcessId, nullptr, false);
    const std::string text = found ? TextOf(::GetDlgItem(found, kTotalFilesId)) : "";
    if (!text.empty() && text.find_first_not_of("0123456789,") == std::string::npos) dialog = found;
    if (!dialog) ::Sleep(5);
  }
  if (dialog) {
    HWND start = ::GetDlgItem(dialog, IDOK);
    const double t0 = bench::Now();
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(start));
    HWND box = nullptr;
    while (!box && bench::Now() - t0 < 120) {
      box = FindOf(info.dwProcessId, dialog, true);
      if (!box) ::Sleep(1);
    }
    const double t1 = bench::Now();
    if (box) {
      const std::string text = TextOf(::GetDlgItem(box, kMessageTextId));
      if (text.compare(0, std::strlen(texts::kVerifiedTitle), texts::kVerifiedTitle) == 0) {
        result = t1 - t0 - kProgramPause;
      } else {
        std::printf("not a success: %s\n", text.c_str());
      }
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, 99);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return result;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: bench_run <data folder> [Larkspan.exe]\n");
    return 2;
  }
  const std::string data = argv[1];
  const std::string source = data + "\\run10k";
  if (!::CreateDirectoryA(source.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return 1;
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = source + "\\d" + std::to_string(f);
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) continue;  // made by an earlier run
    for (int i = 0; i < kFilesPerFolder; ++i) WriteBytes(folder + "\\f" + std::to_string(i) + ".dat", std::string(kFileBytes, 'x'));
  }
  std::string program = argc > 2 ? argv[2] : std::string("Z:") + LARKSPAN_EXE_HOST_PATH;
  std::replace(program.begin(), program.end(), '/', '\\');
  const std::string install = data + "\\run-install";
  RemoveTree(install);
  MakeFolders(install + "\\backup");
  const std::string installed = install + "\\Larkspan.exe";
  if (!::CopyFileA(program.c_str(), installed.c_str(), FALSE)) {
    std::printf("cannot copy %s\n", program.c_str());
    return 1;
  }
  WriteBytes(install + "\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + install + "\\backup\r\n[BkFolderList]\r\nBkFolder000=" +
                                             install + "\\backup\r\n");
  const std::string copies = data + "\\run-copies";
  std::vector<double> runs, wide, ansi, xcopy;
  for (int round = 0; round < kRounds; ++round) {
    const double run = RunOnce(installed, install, source);
    if (run < 0) {
      std::printf("round %d: the run did not end in success\n", round);
      return 1;
    }
    runs.push_back(run);
    RemoveTree(copies);
    MakeFolders(copies);
    double t0 = bench::Now();
    bench::BareCopyW(Wide(source), Wide(copies + "\\w"));
    wide.push_back(bench::Now() - t0);
    t0 = bench::Now();
    bench::BareCopyA(source, copies + "\\a");
    ansi.push_back(bench::Now() - t0);
    xcopy.push_back(bench::RunCommand("xcopy.exe /E /I /Q \"" + source + "\" \"" + copies + "\\x\""));
  }
  RemoveTree(copies);
  RemoveTree(install);
  const double r = bench::Median(runs), w = bench::Median(wide), a = bench::Median(ansi), x = bench::Median(xcopy);
  std::printf("whole run, %d files of %d bytes in %d folders (median of %d, alternating):\n", kFolders * kFilesPerFolder,
              kFileBytes, kFolders, kRounds);
  std::printf("  Larkspan, click to success less 100 ms: %8.1f ms  %.2fx W loop  %.2fx A loop  xcopy/run %.2f\n", r * 1e3,
              r / w, r / a, x / r);
  std::printf("  FindFirstFileW+CopyFileW loop:          %8.1f ms\n", w * 1e3);
  std::printf("  FindFirstFileA+CopyFileA loop:          %8.1f ms\n", a * 1e3);
  std::printf("  xcopy /E:                               %8.1f ms\n", x * 1e3);
  return 0;
}

#else
int main() {
  std::printf("bench_run: the whole run in the real window exists in the Windows build only\n");
  return 0;
}
#endif
