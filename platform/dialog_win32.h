// Thin modal-dialog base for Win32: one dialog procedure that binds the C++
// object at WM_INITDIALOG and dispatches to virtual handlers, and small owners
// for GDI objects and menus. Nothing more of a class library.
#pragma once

#include <windows.h>

namespace plat {

// Owns one GDI object (bitmap, brush, ...) and deletes it exactly once.
template <typename T>
class GdiObject {
 public:
  explicit GdiObject(T object = nullptr) : object_(object) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& o) noexcept : object_(o.release()) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  explicit operator bool() const { return object_ != nullptr; }
  T get() const { return object_; }
  T release() {
    T object = object_;
    object_ = nullptr;
    return object;
  }
  void reset(T object = nullptr) {
    if (object_) ::DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_;
};

using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;

// Owns a menu loaded or created by the program and destroys it (with its
// submenus) exactly once.
class MenuHandle {
 public:
  explicit MenuHandle(HMENU menu = nullptr) : menu_(menu) {}
  ~MenuHandle() { reset(); }
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;
  MenuHandle(MenuHandle&& o) noexcept : menu_(o.menu_) { o.menu_ = nullptr; }
  MenuHandle& operator=(MenuHandle&& o) noexcept {
    if (this != &o) {
      reset(o.menu_);
      o.menu_ = nullptr;
    }
    return *this;
  }
  explicit operator bool() const { return menu_ != nullptr; }
  HMENU get() const { return menu_; }
  void reset(HMENU menu = nullptr) {
    if (menu_) ::DestroyMenu(menu_);
    menu_ = menu;
  }

 private:
  HMENU menu_;
};

// A bitmap resource of the running program at its stored size; empty if absent.
BitmapHandle LoadBitmapResource(int id, int width, int height);

// A modal dialog made from a dialog template of the running program. The
// object must outlive DoModal; the window handle is valid between
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
  // Any other message: true with result set when handled.
  virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

  // Ends the modal loop with result once the current handler has returned.
  void EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND hwnd_ = nullptr;
};

}  // namespace plat
