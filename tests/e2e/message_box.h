// Finds, reads and dismisses another process's message box, as its user would:
// used by the end-to-end tests and by the larkspan_box helper of tools/run.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The standard icons a message box can show.
enum class BoxIcon { kUnknown, kStop, kExclamation, kInformation, kQuestion };

// "stop", "exclamation", "information", "question" or "unknown".
const char* BoxIconName(BoxIcon icon);

// The first visible top-level dialog (class "#32770") with a message text
// (static 0xFFFF) whose caption is exactly caption and that belongs to process
// pid (0: any process), polled until it appears or timeoutMs have passed;
// nullptr if none appeared.
HWND WaitForMessageBox(const char* caption, DWORD pid, DWORD timeoutMs);

// The box's message text: the exact ANSI (Shift_JIS) bytes of its static
// control 0xFFFF; empty when the box has no such control.
std::string MessageBoxText(HWND box);

// Which standard icon the box shows, judged by comparing the icon control's
// pixels on the screen with the system icons drawn at the same size; polled
// until one matches or timeoutMs have passed (the box may not be painted yet).
// kUnknown when the box has no icon control or nothing matched.
BoxIcon IdentifyMessageBoxIcon(HWND box, DWORD timeoutMs);

// Presses the box's OK button (a posted WM_COMMAND IDOK); true if the box is
// gone within timeoutMs.
bool PressOk(HWND box, DWORD timeoutMs);

}  // namespace e2e
