// The main window at scale (Windows build): time from the start of
// Larkspan.exe to the totals shown in its window for a selection of 100,000
// files (1-8 KB, mixed depths, as bench_engine makes them), against the scan
// of the same selection alone in this process. The difference is the
// dialog's own share: process start, settings, parameter file, window, the
// deferred count's timer, the message pumping and the repaint.
// Usage: bench_startup <data folder>   (the tree is made once and kept)
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "engine/backup.h"
#include "engine/fileutil.h"
#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr int kTotalFilesId = 1014;
constexpr int kRounds = 5;
constexpr DWORD kPollMs = 5;

// The dialog's host does this per file: pump the real message queue.
class PumpingHost : public BackupHost {
 public:
  int ShowMessage(const std::string&, unsigned) override { return host::kIdOk; }
  void PumpMessages() override { ::PumpMessages(); }
  void ShowProgress() override {}
  void SetProgressRange(int64_t) override {}
  void SetProgressPos(int64_t) override {}
  void EnableRunButtons(bool) override {}
  void RedrawNow() override {}
};

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid || !::IsWindowVisible(window) || !::GetDlgItem(window, kTotalFilesId)) return TRUE;
  search->found = window;
  return FALSE;
}

std::string TotalFilesText(HWND dialog) {
  char text[64] = {};
  DWORD_PTR got = 0;
  ::SendMessageTimeoutA(::GetDlgItem(dialog, kTotalFilesId), WM_GETTEXT, sizeof(text),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000, &got);
  return std::string(text, got);
}

struct Startup {
  double window = -1;  // seconds from CreateProcess to the visible window
  double totals = -1;  // seconds from CreateProcess to the totals shown
  std::string shown;
};

// One start of the program over the prepared installation; closes it again.
Startup RunOnce(const std::string& program, const std::string& parameterFile, const std::string& selection) {
  Startup out;
  WriteBytes(parameterFile, "\"" + selection + "\" ");
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::string line = "\"" + program + "\" LarkspanCall";
  const double t0 = bench::Now();
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return out;
  }
  HWND dialog = nullptr;
  while (bench::Now() - t0 < 120) {
    if (!dialog) {
      Search search = {info.dwProcessId, nullptr};
      ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
      if ((dialog = search.found) != nullptr) out.window = bench::Now() - t0;
    } else {
      std::string text = TotalFilesText(dialog);
      // Shift_JIS "算出中" while counting; digits and commas once shown.
      if (!text.empty() && text.find_first_not_of("0123456789,") == std::string::npos) {
        out.totals = bench::Now() - t0;
        out.shown = text;
        break;
      }
    }
    ::Sleep(kPollMs);
  }
  if (dialog) ::PostMessageA(dialog, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, 99);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: bench_startup <data folder>\n");
    return 2;
  }
  const std::string data = argv[1];
  const std::string tree = data + "\\startup100k";
  MakeFolders(data);
  bench::MakeTree(tree, 100000);

  // A fresh installation: the program, its settings (a backup folder without
  // filters, so that the count runs), and the parameter file per start.
  const std::string install = data + "\\startup-install";
  RemoveTree(install);
  MakeFolders(install + "\\backup");
  std::string program = std::string("Z:") + LARKSPAN_EXE_HOST_PATH;
  std::replace(program.begin(), program.end(), '/', '\\');
  const std::string installed = install + "\\Larkspan.exe";
  if (!::CopyFileA(program.c_str(), installed.c_str(), FALSE)) {
    std::printf("cannot copy %s\n", program.c_str());
    return 1;
  }
  WriteBytes(install + "\\Larkspan.ini",
             "[Backup]\r\nBackupFolder=" + install + "\\backup\r\n[BkFolderList]\r\nBkFolder000=" + install +
                 "\\backup\r\n");

  std::vector<double> windows, totals, scans;
  std::string shown;
  int64_t scannedFiles = 0;
  for (int round = 0; round < kRounds; ++round) {
    Startup s = RunOnce(installed, install + "\\lkpara.dat", tree);
    if (s.totals < 0) {
      std::printf("round %d: the totals were not shown\n", round);
      return 1;
    }
    windows.push_back(s.window);
    totals.push_back(s.totals);
    shown = s.shown;
    // The scan alone, in this process, with the same per-file pumping.
    PumpingHost host;
    FilterSet filters;
    std::vector<std::string> selection{tree};
    BackupEngine engine(host, selection, filters);
    int64_t bytes = 0, files = 0;
    const double t0 = bench::Now();
    engine.ScanSelection(bytes, files);
    scans.push_back(bench::Now() - t0);
    scannedFiles = files;
  }
  const double window = bench::Median(windows), total = bench::Median(totals), scan = bench::Median(scans);
  std::printf("start of Larkspan.exe to totals shown, selection of %lld files (median of %d, alternating):\n",
              static_cast<long long>(scannedFiles), kRounds);
  std::printf("  window shown:                   %8.1f ms\n", window * 1e3);
  std::printf("  totals shown (window: %s):  %8.1f ms\n", shown.c_str(), total * 1e3);
  std::printf("  scan alone, in this process:    %8.1f ms\n", scan * 1e3);
  std::printf("  the dialog's own share:         %8.1f ms (%.0f %% of the time to totals)\n", (total - scan) * 1e3,
              100.0 * (total - scan) / total);
  RemoveTree(install);
  return 0;
}

#else

int main() {
  std::printf("bench_startup: Windows build only (it starts Larkspan.exe)\n");
  return 0;
}

#endif
