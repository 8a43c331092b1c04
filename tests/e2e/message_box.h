// Finds, reads and dismisses another process's message box, as its user would:
// used by the end-to-end tests and by the larkspan_box helper of tools/run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Calls done every 20 ms until it holds or timeoutMs have passed; true if it held.
bool Poll(const std::function<bool()>& done, DWORD timeoutMs);

// The first visible top-level window of class className that belongs to
// process pid (0: any process) and passes accept, polled for at most
// timeoutMs; nullptr if none appeared.
HWND WaitForTopLevel(DWORD pid, const char* className, const std::function<bool(HWND)>& accept, DWORD timeoutMs);

// The window's caption (its first 511 bytes).
std::string Caption(HWND window);

// The standard icons a message box can show.
enum class BoxIcon { kUnknown, kStop, kExclamation, kInformation, kQuestion };

// "stop", "exclamation", "information", "question" or "unknown".
const char* BoxIconName(BoxIcon icon);

// The first visible dialog (class "#32770") with a message text (static
// 0xFFFF) captioned exactly caption, of process pid (0: any process), polled
// for at most timeoutMs; nullptr if none appeared.
HWND WaitForMessageBox(const char* caption, DWORD pid, DWORD timeoutMs);

// The box's message text: the exact ANSI (Shift_JIS) bytes of its static
// control 0xFFFF; empty when the box has no such control.
std::string MessageBoxText(HWND box);

// Which standard icon the box shows, judged by comparing the icon control's
// pixels on the screen with the system icons drawn at the same size; polled
// until one matches or timeoutMs have passed (the box may not be painted yet).
// kUnknown when the box has no icon control or nothing matched.
BoxIcon IdentifyMessageBoxIcon(HWND box, DWORD timeoutMs);

// Presses a dialog's button (a posted WM_COMMAND: IDOK, IDYES, IDNO ...); true
// if the window is gone within timeoutMs.
bool PressButton(HWND box, int id, DWORD timeoutMs);

}  // namespace e2e
