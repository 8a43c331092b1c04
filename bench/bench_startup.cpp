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

#include "engine/backup.h"
#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "bench/installation.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr int kRounds = 5;
constexpr DWORD kPollMs = 5;

// The dialog's host does this per file: pump the real message queue.
class PumpingHost : public engine::BackupHost {
 public:
  int ShowMessage(const std::string&, unsigned) override { return engine::host::kIdOk; }
  void PumpMessages() override { bench::PumpMessages(); }
  void ShowProgress() override {}
  void SetProgressRange(int64_t) override {}
  void SetProgressPos(int64_t) override {}
  void EnableRunButtons(bool) override {}
  void RedrawNow() override {}
};

struct Startup {
  double window = -1;  // seconds from CreateProcess to the visible window
  double totals = -1;  // seconds from CreateProcess to the totals shown
  std::string shown;
};

// One start of the program over the prepared installation; closes it again.
Startup RunOnce(const std::string& program, const std::string& parameterFile, const std::string& selection) {
  Startup out;
  WriteBytes(parameterFile, "\"" + selection + "\" ");
  e2e::Process process;
  const double t0 = bench::Now();
  if (!bench::StartProgram(process, program)) return out;
  HWND dialog = nullptr;
  while (bench::Now() - t0 < 120) {
    if (!dialog) {
      if ((dialog = bench::WindowNow(process.pid(), bench::kTotalFilesId)) != nullptr) out.window = bench::Now() - t0;
    } else {
      std::string text = e2e::Text(dialog, bench::kTotalFilesId);
      if (bench::TotalsShown(text)) {
        out.totals = bench::Now() - t0;
        out.shown = text;
        break;
      }
    }
    ::Sleep(kPollMs);
  }
  if (dialog) ::PostMessageA(dialog, WM_CLOSE, 0, 0);
  process.WaitExit(30000);  // closed; the driver ends it otherwise
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
  const std::string installed = bench::InstallProgram(LARKSPAN_EXE_HOST_PATH, install);
  if (installed.empty()) {
    std::printf("cannot install %s\n", LARKSPAN_EXE_HOST_PATH);
    return 1;
  }

  std::vector<double> windows, totals, scans;
  std::string shown;
  int64_t scannedFiles = 0;
  for (int round = 0; round < kRounds; ++round) {
    Startup s = RunOnce(installed, install + "\\lkpara.dat", tree);
    if (s.totals < 0) std::printf("round %d: no figure, the totals were not shown\n", round);
    if (s.totals >= 0) windows.push_back(s.window), totals.push_back(s.totals), shown = s.shown;
    // The scan alone, in this process, with the same per-file pumping.
    PumpingHost host;
    core::FilterSet filters;
    std::vector<std::string> selection{tree};
    engine::BackupEngine engine(host, selection, filters);
    const double t0 = bench::Now();
    engine.ScanSelection();
    scans.push_back(bench::Now() - t0);
    scannedFiles = engine.Counted().files;
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
