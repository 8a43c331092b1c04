// What the backup engine needs from the window it runs in. The main dialog
// implements it on Win32; tests implement it with a scripted fake. The engine
// never sees a window handle.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fs.h"

namespace engine {

namespace host {

// Message-box styles and answers (the Win32 values).
enum : unsigned {
  kOk = 0x00,
  kYesNo = 0x04,
  kIconStop = 0x10,
  kIconQuestion = 0x20,
  kIconExclamation = 0x30,
  kIconInformation = 0x40,
};
enum : int { kIdOk = 1, kIdYes = 6, kIdNo = 7 };

}  // namespace host

class BackupHost {
 public:
  virtual ~BackupHost() = default;

  // Shows a modal message box captioned "Larkspan", owned by the main window,
  // with the given buttons and icon; returns the button pressed (host::kId...).
  virtual int ShowMessage(const std::string& text, unsigned style) = 0;
  // Dispatches every pending window message; a cancel may run inside.
  virtual void PumpMessages() = 0;
  // Shows the progress bar.
  virtual void ShowProgress() = 0;
  // Sets the progress range to 0..upper and redraws the bar at once.
  virtual void SetProgressRange(int64_t upper) = 0;
  // Sets the progress position and redraws the bar at once.
  virtual void SetProgressPos(int64_t pos) = 0;
  // Enables or disables the start button and the menu button.
  virtual void EnableRunButtons(bool enable) = 0;
  // Redraws the whole main window at once.
  virtual void RedrawNow() = 0;

  // Clock, pacing and waits; the platform's unless a test replaces them.
  virtual plat::LocalTime Now() { return plat::LocalNow(); }
  virtual int64_t TickMs() { return plat::TickMs(); }
  virtual void Sleep(uint32_t ms) { plat::SleepMs(ms); }
};

}  // namespace engine
