// The whole backup run in the real window (Windows build): from the click on
// start to the success message, less the program's own 100 ms pause before
// it, on 10,000 files of 2 KB in 100 folders, with the content check off and
// on; against the same backup by the engine in this process (no window: what
// the window and its process add), bare loops over the same tree in this
// process into the same layout as the program's (FindFirstFileW+CopyFileW and
// FindFirstFileA+CopyFileA) and Wine's "xcopy /E", in rounds whose order
// turns.
// Usage: bench_run <data folder> [Larkspan.exe to time instead of the built one]
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstring>

#include "bench/bench_host.h"
#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "bench/installation.h"
#include "engine/backup.h"
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

// The same backup by the engine in this process, without a window: seconds
// from the start of the run to its verdict; -1 if it failed.
double EngineOnce(const std::string& source, const std::string& backup) {
  MakeFolders(backup);
  bench::Host host;
  const std::vector<std::string> selection{source};  // the engine keeps references to both
  const core::FilterSet filters;
  engine::BackupEngine engine(host, selection, filters);
  engine.ScanSelection();
  const double t0 = bench::Now();
  engine.RunBackup(backup, engine::RunOptions());
  const double t = bench::Now() - t0;
  return host.last.compare(0, std::strlen(engine::texts::kVerifiedTitle), engine::texts::kVerifiedTitle) == 0 ? t : -1;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: bench_run <data folder> [Larkspan.exe]\n");
    return 2;
  }
  const std::string data = argv[1];
  const std::string tree = "run10k", source = data + "\\" + tree;
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
  // The six contenders: the run, the run with the content check, the engine
  // in this process, the two loops and xcopy. Each writes into a folder of its
  // own that no one used before, and nothing is removed until every round is
  // over: a file system may hold back the numbers of files removed moments ago
  // (ext4 without a journal skips them for a minute, reading the inode table
  // for each), and whoever writes next pays for the removal. The order turns
  // by one every round, so that none always follows the same one (the disk is
  // still busy with what the one before wrote).
  enum { kRun, kChecked, kEngine, kWide, kAnsi, kXcopy, kContenders };
  const char* const names[kContenders] = {"run", "run, content check", "engine, no window", "W loop", "A loop", "xcopy"};
  int fresh = 0;  // the number of the next unused output folder
  const std::string stamp = engine::MakeStampFolderName(plat::LocalNow());
  auto once = [&](int which) {
    const std::string out = copies + "\\" + std::to_string(fresh++);
    if (which == kRun || which == kChecked) return RunOnce(installed, install, out, source, which == kChecked);
    if (which == kEngine) return EngineOnce(source, out);
    MakeFolders(out);  // as the program's backup folder, before the clock starts
    const double t0 = bench::Now();
    if (which == kXcopy) return bench::RunCommand("xcopy.exe /E /I /Q \"" + source + "\" \"" + out + "\"");
    // The loops do the program's job: a new sub-folder named after the time,
    // and in it the selected folder under its own name. Those two levels cost
    // a few per cent under Wine, which looks up every new file's path one
    // folder at a time.
    const std::string stamped = out + "\\" + stamp, copy = stamped + "\\" + tree;
    if (which == kWide) {
      ::CreateDirectoryW(plat::ToNative(stamped).c_str(), nullptr);
      bench::BareCopyW(Wide(source), plat::ToNative(copy));
    } else {
      ::CreateDirectoryA(stamped.c_str(), nullptr);
      bench::BareCopyA(source, copy);
    }
    const double t = bench::Now() - t0;
    // A loop checks nothing: a copy it did not make would look fast.
    int64_t bytes = 0, files = 0;
    bench::BareWalk(stamped, bytes, files);
    return files == kFolders * kFilesPerFolder ? t : -1;
  };
  std::vector<double> times[kContenders];
  // The ratios within each round, whose contenders ran minutes apart at most:
  // the disk's drift over the rounds cancels out of them.
  std::vector<double> runPerLoop, enginePerLoop, checkPerRun;
  for (int round = 0; round < kRounds; ++round) {
    double t[kContenders];
    for (int k = 0; k < kContenders; ++k) {
      const int which = (round + k) % kContenders;
      t[which] = once(which);
      if (t[which] < 0) std::printf("round %d: no figure from %s, it did not end in success\n", round, names[which]);
      if (t[which] >= 0) times[which].push_back(t[which]);
    }
    if (t[kRun] > 0 && t[kWide] > 0) runPerLoop.push_back(t[kRun] / t[kWide]);
    if (t[kEngine] > 0 && t[kWide] > 0) enginePerLoop.push_back(t[kEngine] / t[kWide]);
    if (t[kRun] > 0 && t[kChecked] > 0) checkPerRun.push_back(t[kChecked] / t[kRun]);
  }
  RemoveTree(copies);
  RemoveTree(install);
  double m[kContenders];
  for (int i = 0; i < kContenders; ++i) m[i] = bench::Median(times[i]);
  std::printf("whole run, %d files of %d bytes in %d folders (median of %d, the order turning):\n", kFolders * kFilesPerFolder,
              kFileBytes, kFolders, kRounds);
  std::printf("  Larkspan, click to success less 100 ms: %8.1f ms  %.2fx W loop  %.2fx A loop  xcopy/run %.2f\n",
              m[kRun] * 1e3, m[kRun] / m[kWide], m[kRun] / m[kAnsi], m[kXcopy] / m[kRun]);
  std::printf("  the same with the content check on:      %8.1f ms  %.2fx without\n", m[kChecked] * 1e3,
              m[kChecked] / m[kRun]);
  std::printf("  the engine in this process, no window:  %8.1f ms  %.2fx W loop\n", m[kEngine] * 1e3,
              m[kEngine] / m[kWide]);
  std::printf("  FindFirstFileW+CopyFileW loop:          %8.1f ms\n", m[kWide] * 1e3);
  std::printf("  FindFirstFileA+CopyFileA loop:          %8.1f ms\n", m[kAnsi] * 1e3);
  std::printf("  xcopy /E:                               %8.1f ms\n", m[kXcopy] * 1e3);
  std::printf("  within the rounds (median): the run %.2fx the W loop, the engine %.2fx the W loop, the content check "
              "%.2fx the run without\n",
              bench::Median(runPerLoop), bench::Median(enginePerLoop), bench::Median(checkPerRun));
  // The rounds themselves: on a shared or virtual disk one round can be far
  // off the others, and all of them drift as the disk fills.
  std::printf("  each round (ms):\n");
  for (int i = 0; i < kContenders; ++i) {
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
