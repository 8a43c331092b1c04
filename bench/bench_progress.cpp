// The cost of the progress bar and of dispatching messages while copying small
// files under Wine: a real window with a progress control, the engine copying
// 5,000 small files, with the bar repainted and messages dispatched after
// every file, at the engine's own pacing, with dispatching alone, and with
// neither; in rounds whose order turns, each into a folder of its own.
// Usage: bench_progress <data folder>   (Windows build; needs a display)
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include "engine/backup.h"
#include "bench/bench_util.h"
#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

class WindowHost : public engine::BackupHost {
 public:
  explicit WindowHost(HWND bar) : bar_(bar) {}
  int ShowMessage(const std::string& text, unsigned) override {
    last = text;
    return engine::host::kIdYes;
  }
  void PumpMessages() override {
    if (dispatch) bench::PumpMessages();
  }
  void ShowProgress() override { ::ShowWindow(bar_, SW_SHOW); }
  void SetProgressRange(int64_t upper) override {
    ::SendMessageA(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
    Redraw();
  }
  // As the program's window: the bar is painted at once.
  void SetProgressPos(int64_t pos) override {
    if (!bar) return;
    ::SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    Redraw();
  }
  void EnableRunButtons(bool) override {}
  void RedrawNow() override {}
  void Sleep(uint32_t) override {}
  // A clock that moves by a second at every reading makes the engine repaint
  // and dispatch after every file; 0 keeps the real clock.
  int64_t TickMs() override { return step ? (fake += step) : plat::TickMs(); }
  int64_t step = 0, fake = 0;
  bool bar = true, dispatch = true;
  std::string last;

 private:
  void Redraw() { ::RedrawWindow(bar_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
  HWND bar_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string tree = std::string(argv[1]) + "\\progress5k";
  if (!plat::PathExists(plat::ToNative(tree + ".done"))) {
    for (int i = 0; i < 5000; ++i) {
      char rel[64];
      std::snprintf(rel, sizeof(rel), "\\d%02d\\f%05d.txt", i % 50, i);
      std::string path = tree + rel;
      MakeFolders(path.substr(0, path.rfind('\\')));
      WriteBytes(path, std::string(200 + i % 300, 'p'));
    }
    WriteBytes(tree + ".done", "");
  }
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  HWND frame = ::CreateWindowExA(0, "STATIC", "Larkspan", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 120, nullptr,
                                 nullptr, nullptr, nullptr);
  HWND bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 360, 20, frame, nullptr,
                               nullptr, nullptr);
  if (!bar) {
    std::printf("no progress control (is there a display?)\n");
    return 1;
  }
  std::vector<std::string> selection{tree};
  core::FilterSet filters;
  // Nothing is removed between rounds: a file system may hold back the numbers
  // of files removed moments ago, and the next copy would pay for it.
  const std::string out = std::string(argv[1]) + "\\progress-out";
  RemoveTree(out);
  struct Variant {
    const char* name;
    int64_t clockStep;  // how far the clock moves per reading (0: the real clock)
    bool bar, dispatch;
  } variants[] = {{"bar and dispatch after every file", 1000, true, true},
                  {"bar and dispatch at the engine's pacing", 0, true, true},
                  {"dispatch alone, at its pacing", 0, false, true},
                  {"neither", 0, false, false}};
  constexpr int kVariants = 4, kRounds = 7;
  std::vector<double> times[kVariants];
  int fresh = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (int k = 0; k < kVariants; ++k) {
      const Variant& variant = variants[(round + k) % kVariants];
      const std::string backup = out + "\\" + std::to_string(fresh++);
      MakeFolders(backup);
      WindowHost host(bar);
      host.step = variant.clockStep;
      host.bar = variant.bar;
      host.dispatch = variant.dispatch;
      engine::BackupEngine engine(host, selection, filters);
      engine.ScanSelection();
      double t0 = bench::Now();
      engine.RunBackup(backup, engine::RunOptions());
      times[(round + k) % kVariants].push_back(bench::Now() - t0);
      if (host.last.find("正常終了") == std::string::npos) std::printf("  (not verified!)\n");
    }
  }
  std::printf("copy of 5,000 small files in a window, bar painted every %lld ms and messages dispatched every %lld ms"
              " (median of %d, the order turning):\n",
              static_cast<long long>(engine::BackupEngine::kProgressPaintMs),
              static_cast<long long>(engine::BackupEngine::kCopyPumpMs), kRounds);
  const double neither = bench::Median(times[kVariants - 1]);
  for (int v = 0; v < kVariants; ++v) {
    const double t = bench::Median(times[v]);
    std::printf("  %-40s %6.2f s  %6.0f files/s  %+5.1f %% over neither\n", variants[v].name, t, 5000 / t,
                (t / neither - 1) * 100);
  }
  RemoveTree(out);
  ::DestroyWindow(frame);
  return 0;
}
#else
int main() {
  std::printf("bench_progress measures a Win32 progress control: run the Windows build\n");
  return 0;
}
#endif
