// The engine benchmarks' host: what the dialog does per file (the real message
// pump on Windows) and nothing else. Its clock moves on a second at every
// reading, so that each backup of a run gets a sub-folder of its own.
#pragma once

#include <string>

#include "bench/bench_util.h"
#include "engine/host.h"

namespace bench {

class Host : public engine::BackupHost {
 public:
  int ShowMessage(const std::string& text, unsigned) override { return last = text, engine::host::kIdYes; }
  void PumpMessages() override {
#ifdef _WIN32
    if (pump) bench::PumpMessages();
#endif
  }
  void ShowProgress() override {}
  void SetProgressRange(int64_t) override {}
  void SetProgressPos(int64_t) override { ++paints; }
  void EnableRunButtons(bool) override {}
  void RedrawNow() override {}
  void Sleep(uint32_t) override {}
  plat::LocalTime Now() override {
    ++second;
    return plat::LocalTime{2024, 1, 1 + second / 86400, second / 3600 % 24, second / 60 % 60, second % 60};
  }
  std::string last;  // the last message shown
  bool pump = true;
  int paints = 0;
  int second = 0;
};

}  // namespace bench
