// CBackupApp: the application object. It refuses a second running instance
// and runs the main dialog modally; the program ends when that dialog closes.
#pragma once

#include <windows.h>

#include "platform/handle.h"

class CBackupApp {
 public:
  CBackupApp() = default;
  CBackupApp(const CBackupApp&) = delete;
  CBackupApp& operator=(const CBackupApp&) = delete;

  // The start-up: common controls, the single-instance mutex named after the
  // program file's base name (a second instance shows the second-instance
  // message and ends), then the main dialog, run modally; the program ends
  // when it returns.
  void Run();

 private:
  // The single-instance marker; held, never waited on, for the process's lifetime.
  plat::KernelHandle instanceMutex_;
};

// The one application object.
extern CBackupApp theApp;
