// Thin modal-dialog base for Win32: one dialog procedure that binds the C++
// object at WM_INITDIALOG and dispatches to virtual handlers, and the loading
// of a bitmap resource. Nothing more of a class library.
#pragma once

#include <windows.h>

#include "platform/handle.h"

namespace ui {


// A bitmap resource of the running program at its stored size (never
// stretched); empty if absent.
plat::BitmapHandle LoadBitmapResource(int id);

// The DPI that window is drawn at: the window's own (Windows 10 1607 and
// later), else its monitor's (Windows 8.1), else the system's; 96 if none answers.
int WindowDpi(HWND window);

// A modal dialog made from a dialog template of the running program, a
// Unicode window (texts set and read wide). The object must outlive DoModal; the window handle is valid between
// OnInitDialog and the end of OnDestroy.
class DialogBase {
 public:
  explicit DialogBase(int templateId) : templateId_(templateId) {}
  virtual ~DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // Creates the dialog and runs its modal loop. The value given to EndDialog,
  // or -1 if the dialog could not be created.
  INT_PTR DoModal(HWND parent);

  HWND hwnd() const { return hwnd_; }
  // The control with this identifier, or nullptr.
  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

 protected:
  // Initialisation; TRUE lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // WM_COMMAND. True when handled. The base sends IDOK to OnOK and IDCANCEL
  // (cancel button, Esc, close box, WM_CLOSE) to OnCancel.
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // WM_TIMER.
  virtual void OnTimer(UINT_PTR) {}
  // WM_SYSCOMMAND; false for the default handling.
  virtual bool OnSysCommand(WPARAM, LPARAM) { return false; }
  // WM_PAINT; false for the default painting.
  virtual bool OnPaint() { return false; }
  // WM_CTLCOLORSTATIC: the brush to paint the static with, or nullptr for the
  // dialog's default.
  virtual HBRUSH OnCtlColorStatic(HDC, HWND) { return nullptr; }
  // WM_QUERYDRAGICON: the icon dragged while minimised, or nullptr.
  virtual HICON OnQueryDragIcon() { return nullptr; }
  // WM_DESTROY, while the controls still exist.
  virtual void OnDestroy() {}
  // After WM_DPICHANGED: the window moved to a display of another scale, now
  // at dpi; the dialog manager has resized it and laid out the template's
  // controls and fonts anew. The dialog redoes what it measures or draws in pixels.
  virtual void OnDpiChanged(int /*dpi*/) {}

 public:
  // The program's help command, run when F1 is pressed in any of its dialogs
  // (WM_HELP), with that dialog as owner; nullptr: F1 does nothing.
  static void SetHelpHandler(void (*handler)(HWND owner)) { helpHandler_ = handler; }

 protected:

  // Ends the modal loop with result once the current handler has returned.
  void EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

 private:
  static inline void (*helpHandler_)(HWND) = nullptr;
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND hwnd_ = nullptr;
};


}  // namespace ui
