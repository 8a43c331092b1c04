// Drives another process's Larkspan main window as its user would: finds it,
// reads its controls by identifier, clicks buttons and pictures, sends menu
// commands, answers its message boxes, and reads the switch menu through the
// program's test hook. Used by the end-to-end tests and tools/run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/e2e/message_box.h"

namespace e2e {

// A started program; the destructor ends it if it still runs.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts commandLine in currentDir. False (error in *error) if it could not start.
  bool Start(const std::string& commandLine, const std::string& currentDir, std::string* error);
  DWORD pid() const { return pid_; }
  // True once the process has ended, waiting at most timeoutMs.
  bool WaitExit(DWORD timeoutMs);
  // Ends the process if it still runs (exit code 99).
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// The visible main window of process pid (0: any process): a "#32770"
// dialog captioned "Larkspan" with the total-files control; polled for at
// most timeoutMs.
HWND WaitForMainWindow(DWORD pid, DWORD timeoutMs);

// The text of control id (exact Shift_JIS bytes); "<no control>" if absent.
std::string ControlText(HWND dialog, int id);

// Polls control id until accept(text) holds or timeoutMs have passed; the
// last text read goes to *last. True if accepted.
bool WaitForControlText(HWND dialog, int id, const std::function<bool(const std::string&)>& accept,
                        DWORD timeoutMs, std::string* last = nullptr);

bool IsControlVisible(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);

// The control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int id);

// The colour on the screen at (x, y) of the control's client area.
COLORREF ScreenPixel(HWND dialog, int id, int x, int y);
// True if the colours differ by less than 8 in each component.
bool SameColor(COLORREF a, COLORREF b);
std::string ColorText(COLORREF c);
// Polls the screen until the control shows expected at (x, y) or 2 s have
// passed (the window may not be painted yet); the colour last seen.
COLORREF WaitForPixel(HWND dialog, int id, int x, int y, COLORREF expected);

// Clicks a push button (BM_CLICK). False, without clicking, if the button is
// absent, hidden or disabled: a user could not click it either.
bool ClickButton(HWND dialog, int id);

// Clicks a picture (a static that notifies clicks) with the left button.
// False, without clicking, if it is absent, hidden or disabled.
bool ClickPicture(HWND dialog, int id);

// The progress bar's position (control 1001), or -1 if the dialog did not answer.
int ProgressPos(HWND dialog);

// True if no message box of process pid appears within ms.
bool NoBoxWithin(DWORD pid, DWORD ms);

// Sends the dialog a menu command, as choosing that menu item does.
void PostMenuCommand(HWND dialog, int id);

// Asks the dialog to close as its close box does (WM_CLOSE).
void PostClose(HWND dialog);

// A message box as it was shown.
struct Box {
  bool shown = false;
  std::string text;
  BoxIcon icon = BoxIcon::kUnknown;
};

// Waits for the next message box of process pid, reads it and answers it
// with button (IDOK, IDYES, IDNO).
Box AnswerBox(DWORD pid, int button, DWORD timeoutMs);

// The switch menu as the dialog would show it now, read through its test
// hook: one line per item "id<TAB>state<TAB>unchecked<TAB>checked<TAB>text",
// then "released <n>" (see ui/folder_menu.cpp). Empty if the hook did not answer.
std::string DescribeFolderMenu(HWND dialog, DWORD timeoutMs);

// The visible popup menu window ("#32768") of process pid (0: any process),
// polled for at most timeoutMs.
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs);

// Chooses the item of an open popup menu that lies downSteps items down (the
// first step selects the first item; separators and greyed items are
// skipped as the keyboard skips them), with the keys a user would press.
void ChooseFromPopup(HWND popup, int downSteps);

// Shift_JIS text as UTF-8, quoted, for readable failure messages.
std::string Readable(const std::string& sjis);

}  // namespace e2e
