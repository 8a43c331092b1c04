// Small helpers that the program's dialogs share: a control's whole text, the
// program's message box, and the placement of a dialog over its owner.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The whole text of control id of dialog (exact Shift_JIS bytes); empty if
// there is no such control.
std::string ItemText(HWND dialog, int id);

// A modal message box with the caption "Larkspan", owned by owner; the
// button the user pressed (IDOK, IDYES, IDNO).
int ShowMessageBox(HWND owner, const std::string& text, unsigned style);

// Moves dialog to the middle of its owner window (of the work area when it
// has none), kept inside the work area.
void CenterOnOwner(HWND dialog);

// True if button id of dialog is checked.
bool IsChecked(HWND dialog, int id);

// Checks or clears button id of dialog.
void SetChecked(HWND dialog, int id, bool checked);

}  // namespace ui
