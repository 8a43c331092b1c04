// The whole backup run in the real window (Windows build): from the click on
// start to the success message, less the program's own 100 ms pause before
// it, on 10,000 files of 2 KB in 100 folders, with the content check off and
// on; against bare loops over the same tree in this process
// (FindFirstFileW+CopyFileW and FindFirstFileA+CopyFileA) and Wine's
// "xcopy /E", in rounds whose order turns.
// Usage: bench_run <data folder> [Larkspan.exe to time instead of the built one]
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstring>

#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "bench/installation.h"
#include "engine/texts.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr int kRounds = 7;  // medians of seven rounds
constexpr int kFolders = 100, kFilesPerFolder = 100, kFileBytes = 2048;
constexpr double kProgramPause = 0.100;  // the program's own wait before its success message

// One run of the program over the prepared installation, with the content
// check on or off: seconds from the click on start to the success message less
// the pause; -1 if it failed.
double RunOnce(const std::string& program, const std::string& install, const std::string& backup,
               const std::string& source, bool verify) {
  MakeFolders(backup);
  WriteBytes(install + "\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + backup + "\r\n[BkFolderList]\r\nBkFolder000=" +
                                             backup + "\r\n[Option]\r\nVerify=" + (verify ? "1" : "0") + "\r\n");
  WriteBytes(install + "\\lkpara.dat", "\"" + source + "\" ");
  e2e::Process process;
  if (!bench::StartProgram(process, program)) return -1;
  double result = -1;
  const double begun = bench::Now();
  HWND dialog = nullptr;
  while (!dialog && bench::Now() - begun < 60) {
    HWND found = bench::WindowNow(process.pid(), bench::kTotalFilesId);
    if (found && bench::TotalsShown(e2e::Text(found, bench::kTotalFilesId))) dialog = found;
    if (!dialog) ::Sleep(5);
  }
  if (dialog) {
    HWND start = ::GetDlgItem(dialog, IDOK);
    const double t0 = bench::Now();
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(start));
    // The message box disables its owner as it opens: that one question is
    // asked every 10 ms. Each question goes to the Wine server, which the run
    // being timed needs for every file: looking through every window each
    // millisecond slowed the very run it timed.
    while (::IsWindowEnabled(dialog) && bench::Now() - t0 < 120) ::Sleep(10);
    const double t1 = bench::Now();
    HWND box = nullptr;
    while (!box && bench::Now() - t1 < 10) {
      box = bench::WindowNow(process.pid(), bench::kMessageTextId, dialog);
      if (!box) ::Sleep(5);
    }
    if (box) {
      const std::string text = e2e::Text(box, bench::kMessageTextId);
      if (text.compare(0, std::strlen(engine::texts::kVerifiedTitle), engine::texts::kVerifiedTitle) == 0) {
        result = t1 - t0 - kProgramPause;
      } else {
        std::printf("not a success: %s\n", text.c_str());
      }
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  process.WaitExit(30000);  // ended by the answer; the driver ends it otherwise
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
  const std::string install = data + "\\run-install";
  const std::string installed = bench::InstallProgram(argc > 2 ? argv[2] : LARKSPAN_EXE_HOST_PATH, install);
  if (installed.empty()) {
    std::printf("cannot install %s\n", argc > 2 ? argv[2] : LARKSPAN_EXE_HOST_PATH);
    return 1;
  }
  const std::string copies = data + "\\run-copies";
  RemoveTree(copies);  // left by an interrupted run
  MakeFolders(copies);
  // The five contenders: the run, the run with the content check, the two
  // loops and xcopy. Each writes into a folder of its own that no one used
  // before, and nothing is removed until every round is over: a file system
  // may hold back the numbers of files removed moments ago (ext4 without a
  // journal skips them for a minute, reading the inode table for each), and
  // whoever writes next pays for the removal. The order turns by one every
  // round, so that none always follows the same one (the disk is still busy
  // with what the one before wrote).
  int fresh = 0;  // the number of the next unused output folder
  auto bare = [&](int which) {
    const std::string out = copies + "\\" + "wax"[which] + std::to_string(fresh++);
    const double t0 = bench::Now();
    if (which == 2) return bench::RunCommand("xcopy.exe /E /I /Q \"" + source + "\" \"" + out + "\"");
    which == 0 ? bench::BareCopyW(Wide(source), Wide(out)) : bench::BareCopyA(source, out);
    return bench::Now() - t0;
  };
  std::vector<double> times[5];
  // The same ratios within each round, whose contenders ran minutes apart at
  // most: the disk's drift over the rounds cancels out of them.
  std::vector<double> runPerLoop, checkPerRun;
  for (int round = 0; round < kRounds; ++round) {
    double t[5];
    for (int k = 0; k < 5; ++k) {
      const int which = (round + k) % 5;
      t[which] = which < 2 ? RunOnce(installed, install, copies + "\\b" + std::to_string(fresh++), source, which == 1)
                           : bare(which - 2);
      if (t[which] < 0) std::printf("round %d: no figure, the run did not end in success\n", round);
      if (t[which] >= 0) times[which].push_back(t[which]);
    }
    if (t[0] > 0 && t[2] > 0) runPerLoop.push_back(t[0] / t[2]);
    if (t[0] > 0 && t[1] > 0) checkPerRun.push_back(t[1] / t[0]);
  }
  RemoveTree(copies);
  RemoveTree(install);
  const std::vector<double>&runs = times[0], &checked = times[1], &wide = times[2], &ansi = times[3], &xcopy = times[4];
  const double r = bench::Median(runs), c = bench::Median(checked), w = bench::Median(wide), a = bench::Median(ansi), x = bench::Median(xcopy);
  std::printf("whole run, %d files of %d bytes in %d folders (median of %d, the order turning):\n", kFolders * kFilesPerFolder,
              kFileBytes, kFolders, kRounds);
  std::printf("  Larkspan, click to success less 100 ms: %8.1f ms  %.2fx W loop  %.2fx A loop  xcopy/run %.2f\n", r * 1e3,
              r / w, r / a, x / r);
  std::printf("  the same with the content check on:      %8.1f ms  %.2fx without\n", c * 1e3, c / r);
  std::printf("  FindFirstFileW+CopyFileW loop:          %8.1f ms\n", w * 1e3);
  std::printf("  FindFirstFileA+CopyFileA loop:          %8.1f ms\n", a * 1e3);
  std::printf("  xcopy /E:                               %8.1f ms\n", x * 1e3);
  // The rounds themselves: on a shared or virtual disk one round can be far
  // off the others, and all of them drift as the disk fills.
  const char* const names[5] = {"run", "run, content check", "W loop", "A loop", "xcopy"};
  std::printf("  within the rounds (median): the run %.2fx the W loop, the content check %.2fx the run without\n",
              bench::Median(runPerLoop), bench::Median(checkPerRun));
  std::printf("  each round (ms):\n");
  for (int i = 0; i < 5; ++i) {
    std::printf("    %-20s", names[i]);
    for (double t : times[i]) std::printf(" %7.0f", t * 1e3);
    std::printf("\n");
  }
  return 0;
}

#else
int main() {
  std::printf("bench_run: the whole run in the real window exists in the Windows build only\n");
  return 0;
}
#endif
