// Application: the program itself. It refuses a second running instance
// and runs the main dialog modally; the program ends when that dialog closes.
#pragma once

#include <windows.h>

#include "platform/handle.h"

namespace app {

class Application {
 public:
  Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The start-up: common controls, the single-instance mutex named after the
  // program file's base name (a second instance shows the second-instance
  // message and ends), then the main dialog, run modally; the program ends
  // when it returns.
  void Run();

 private:
  // The single-instance marker; held, never waited on, for the process's lifetime.
  plat::KernelHandle instanceMutex_;
};

}  // namespace app
