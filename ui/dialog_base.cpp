// The modal-dialog base (see dialog_base.h).
#include "ui/dialog_base.h"

namespace ui {


plat::BitmapHandle LoadBitmapResource(int id) {
  return plat::BitmapHandle(
      static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
}

namespace {

// Posted by WM_DPICHANGED to the dialog itself: wParam the new DPI.
constexpr UINT kDpiApplied = WM_APP + 0x2E0;

// The address of an export of a system library that older systems lack, or nullptr.
template <typename Function>
Function SystemExport(const wchar_t* library, const char* name) {
  HMODULE module = ::GetModuleHandleW(library);
  // shcore.dll is not loaded by every program; from the system folder only.
  if (!module) module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace

int WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const DpiForWindow dpiForWindow = SystemExport<DpiForWindow>(L"user32.dll", "GetDpiForWindow");
  static const DpiForMonitor dpiForMonitor = SystemExport<DpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
  if (dpiForWindow) {
    if (const UINT dpi = dpiForWindow(window)) return static_cast<int>(dpi);
  }
  UINT x = 0, y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (dpiForMonitor && SUCCEEDED(dpiForMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                                               &x, &y)) && x) {
    return static_cast<int>(x);
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

INT_PTR DialogBase::DoModal(HWND parent) {
  // A Unicode window: its controls keep what is typed as UTF-16, whatever the
  // system's ANSI code page is.
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool DialogBase::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
  }
  return false;
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogBase* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<DialogBase*>(lParam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<DialogBase*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
  if (!self) return FALSE;
  INT_PTR result = self->Dispatch(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR DialogBase::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? TRUE : FALSE;
    case WM_TIMER:
      OnTimer(wParam);
      return TRUE;
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam, lParam) ? TRUE : FALSE;
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
      // One of the messages whose result a dialog procedure returns directly.
      return reinterpret_cast<INT_PTR>(OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    case WM_DESTROY:
      OnDestroy();
      return TRUE;
    case WM_DPICHANGED:
      // Left to the dialog manager, which resizes the window and lays the
      // template's controls out anew at the new DPI (per-monitor v2); the
      // dialog's own pixel work follows once that is done.
      ::PostMessageW(hwnd_, kDpiApplied, HIWORD(wParam), 0);
      return FALSE;
    case kDpiApplied:
      OnDpiChanged(static_cast<int>(wParam));
      return TRUE;
    case WM_HELP:
      // F1 opens the help wherever the user is, as the help command does.
      if (helpHandler_) helpHandler_(hwnd_);
      return TRUE;
    default:
      return FALSE;
  }
}


}  // namespace ui
