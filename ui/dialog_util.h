// Small helpers that the program's dialogs share: the texts of windows and
// controls, the program's message box, the folder picker, the placement of a
// dialog over its owner and its check boxes.
//
// The program's texts are Shift_JIS by construction; windows speak UTF-16.
// Every text crosses between the two here, with code page 932 named
// (plat::ToNative and FromNative), never through the system's ANSI code page,
// which on a non-Japanese Windows, or on one set to the UTF-8 code page, would
// turn the texts into other characters.
#pragma once

#include <windows.h>

#include <string>

#include "platform/native_path.h"

namespace ui {


// The UTF-16 form of a program text, for the system's wide functions.
inline std::wstring Wide(const std::string& text) { return plat::ToNative(text); }

// Sets the text of window (a dialog's caption, a control's text).
void SetText(HWND window, const std::string& text);

// Sets the text of control id of dialog.
void SetItemText(HWND dialog, int id, const std::string& text);

// The whole text of control id of dialog in Shift_JIS, a character that code
// page 932 lacks as "?" (never a look-alike); empty if there is no such control.
std::string ItemText(HWND dialog, int id);

// A modal message box with the caption "Larkspan", owned by owner; the
// button the user pressed (IDOK, IDYES, IDNO).
int ShowMessageBox(HWND owner, const std::string& text, unsigned style);

// The shell's folder picker (with its new-folder button) under title, starting
// at path. 0 with path replaced if a file-system folder was chosen; -1 with
// path unchanged otherwise.
int PickFolder(HWND owner, const std::string& title, std::string& path);

// Moves dialog to the middle of its owner window (of the work area when it
// has none), kept inside the work area.
void CenterOnOwner(HWND dialog);

// True if button id of dialog is checked.
bool IsChecked(HWND dialog, int id);

// Checks or clears button id of dialog.
void SetChecked(HWND dialog, int id, bool checked);


}  // namespace ui
