// Another process's message box seen from outside (see message_box.h).
#include "tests/e2e/message_box.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace e2e {
namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageTextId = 0xFFFF;

struct TopLevelSearch {
  DWORD pid;
  const char* className;
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  char className[16] = {};
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (!::GetClassNameA(window, className, sizeof(className)) || std::strcmp(className, search->className) != 0 ||
      !::IsWindowVisible(window) || (search->pid != 0 && owner != search->pid) || !(*search->accept)(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

BOOL CALLBACK VisitChild(HWND window, LPARAM param) {
  char className[16] = {};
  if (!::GetClassNameA(window, className, sizeof(className)) || ::lstrcmpiA(className, "Static") != 0) return TRUE;
  LONG style = ::GetWindowLongA(window, GWL_STYLE);
  if ((style & SS_TYPEMASK) != SS_ICON || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

// A 32-bit top-down bitmap selected into a memory device context.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    if (dc_ && bitmap_) old_ = ::SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (old_) ::SelectObject(dc_, old_);
    if (bitmap_) ::DeleteObject(bitmap_);
    if (dc_) ::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool ok() const { return old_ != nullptr && bits_ != nullptr; }
  HDC dc() const { return dc_; }
  uint32_t Pixel(int i) const { return bits_[i] & 0xFFFFFF; }
  int size() const { return width_ * height_; }

  void Fill(COLORREF color) {
    ::GdiFlush();
    for (int i = 0; i < size(); ++i) bits_[i] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  }
  bool DrawIcon(HICON icon) { return ::DrawIconEx(dc_, 0, 0, icon, width_, height_, 0, nullptr, DI_NORMAL) != FALSE; }
  bool CopyFromScreen(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) return false;
    BOOL done = ::BitBlt(dc_, 0, 0, width_, height_, screen, x, y, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
    return done != FALSE;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24) return false;
  }
  return true;
}

// True if the screen shows icon where the pixels of screen were taken: every
// opaque pixel of the icon (the same drawn on black and on white) is there,
// allowing 2 % of them to differ.
bool ShowsIcon(const Canvas& screen, HICON icon, int width, int height) {
  Canvas onBlack(width, height), onWhite(width, height);
  if (!onBlack.ok() || !onWhite.ok()) return false;
  onBlack.Fill(RGB(0, 0, 0));
  onWhite.Fill(RGB(255, 255, 255));
  if (!onBlack.DrawIcon(icon) || !onWhite.DrawIcon(icon)) return false;
  ::GdiFlush();
  int opaque = 0, differing = 0;
  for (int i = 0; i < screen.size(); ++i) {
    if (onBlack.Pixel(i) != onWhite.Pixel(i)) continue;
    ++opaque;
    if (!Near(onBlack.Pixel(i), screen.Pixel(i))) ++differing;
  }
  return opaque > screen.size() / 8 && differing * 50 <= opaque;
}

}  // namespace

bool Poll(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(kPollMs);
  }
}

HWND WaitForTopLevel(DWORD pid, const char* className, const std::function<bool(HWND)>& accept, DWORD timeoutMs) {
  TopLevelSearch search = {pid, className, &accept, nullptr};
  Poll([&] { return ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search)), search.found != nullptr; },
       timeoutMs);
  return search.found;
}

std::string Caption(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  return text;
}

const char* BoxIconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kStop: return "stop";
    case BoxIcon::kExclamation: return "exclamation";
    case BoxIcon::kInformation: return "information";
    case BoxIcon::kQuestion: return "question";
    case BoxIcon::kUnknown: break;
  }
  return "unknown";
}

HWND WaitForMessageBox(const char* caption, DWORD pid, DWORD timeoutMs) {
  // The main window, a dialog of the same class and caption, has no static 0xFFFF.
  return WaitForTopLevel(
      pid, "#32770", [&](HWND w) { return Caption(w) == caption && ::GetDlgItem(w, kMessageTextId); }, timeoutMs);
}

std::string MessageBoxText(HWND box) {
  HWND text = ::GetDlgItem(box, kMessageTextId);
  if (!text) return std::string();
  // Room for every character as two bytes, and a pattern that shows a missing terminator.
  LRESULT length = ::SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> buf(static_cast<size_t>(length) * 2 + 16, '#');
  UINT got = ::GetDlgItemTextA(box, kMessageTextId, buf.data(), static_cast<int>(buf.size()));
  return std::string(buf.data(), got);
}

BoxIcon IdentifyMessageBoxIcon(HWND box, DWORD timeoutMs) {
  struct Candidate {
    BoxIcon icon;
    LPCSTR id;
  } const candidates[] = {
      {BoxIcon::kStop, IDI_HAND},
      {BoxIcon::kExclamation, IDI_EXCLAMATION},
      {BoxIcon::kInformation, IDI_ASTERISK},
      {BoxIcon::kQuestion, IDI_QUESTION},
  };
  HWND control = nullptr;
  ::EnumChildWindows(box, VisitChild, reinterpret_cast<LPARAM>(&control));
  if (!control) return BoxIcon::kUnknown;
  BoxIcon found = BoxIcon::kUnknown;
  Poll(
      [&] {
        RECT client = {};
        POINT origin = {0, 0};
        if (!::IsWindow(control) || !::GetClientRect(control, &client) || !::ClientToScreen(control, &origin)) {
          return true;  // gone: unknown
        }
        Canvas screen(client.right, client.bottom);
        if (client.right <= 0 || client.bottom <= 0 || !screen.ok() || !screen.CopyFromScreen(origin.x, origin.y)) {
          return false;
        }
        for (const Candidate& c : candidates) {
          HICON icon = ::LoadIconA(nullptr, c.id);  // shared system icon: not destroyed
          if (icon && ShowsIcon(screen, icon, client.right, client.bottom)) return found = c.icon, true;
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool PressButton(HWND box, int id, DWORD timeoutMs) {
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
  return Poll([&] { return !::IsWindow(box); }, timeoutMs);
}

}  // namespace e2e
