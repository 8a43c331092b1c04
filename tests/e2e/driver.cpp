// Another process's windows driven from outside (see driver.h).
#include "tests/e2e/driver.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>
#include <vector>

#include "platform/native_path.h"

namespace e2e {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kAnswerMs = 5000;

std::string ClassOf(HWND window) {
  char name[64] = {};
  return std::string(name, ::GetClassNameA(window, name, sizeof(name)));
}

// The standard icon the box's icon control shows: drawn on the control's background, it differs from the
// screen in at most 3 % of the pixels' colour values; polled, as the box may not be painted yet.
std::string IconOf(HWND box) {
  HWND control = nullptr;
  for (HWND c = ::GetWindow(box, GW_CHILD); c && !control; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if ((::GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassOf(c) == "Static") control = c;
  }
  RECT r = {};
  if (!control || !::GetWindowRect(control, &r)) return "unknown";
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr), dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, ::CreateCompatibleBitmap(screen, 2 * w, h));  // the screen's, then an icon
  ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
  static const struct { const char* name; LPCSTR id; } kIcons[] = {
      {"stop", IDI_HAND}, {"exclamation", IDI_EXCLAMATION}, {"information", IDI_ASTERISK}, {"question", IDI_QUESTION}};
  // Colour value i of the w x h picture at x, counted from the top left.
  auto value = [&](int x, int i) { return int(::GetPixel(dc, x + i / 3 % w, i / 3 / w) >> i % 3 * 8 & 0xFF); };
  std::string found = "unknown";
  Poll([&] {
    ::BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SetDCBrushColor(dc, ::GetPixel(dc, 0, 0));
    for (const auto& icon : kIcons) {
      ::PatBlt(dc, w, 0, w, h, PATCOPY);
      ::DrawIconEx(dc, w, 0, ::LoadIconA(nullptr, icon.id), w, h, 0, nullptr, DI_NORMAL);
      int differing = 0;
      for (int i = 0; i < 3 * w * h; ++i) differing += std::abs(value(0, i) - value(w, i)) > 24;
      if (differing * 100 <= 3 * w * h) found = icon.name;
    }
    return found != "unknown";
  }, 3000);
  ::DeleteObject(::SelectObject(dc, old));
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

bool Poll(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done() && ::GetTickCount() - start < timeoutMs) ::Sleep(20);
  return done();
}

Process::~Process() {
  if (!handle_) return;
  if (!WaitExit(0)) ::TerminateProcess(handle_, 99);
  WaitExit(kAnswerMs);
  ::CloseHandle(handle_);
}

bool Process::Start(const std::wstring& commandLine, const std::wstring& dir, std::string* error) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::wstring line = commandLine;  // CreateProcessW may write into it
  if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &info)) {
    *error = "CreateProcessW failed, error " + std::to_string(::GetLastError()) + ": " + plat::FromNative(commandLine);
    return false;
  }
  ::CloseHandle(info.hThread);
  handle_ = info.hProcess, pid_ = info.dwProcessId;
  return true;
}
bool Process::WaitExit(DWORD timeoutMs) const { return ::WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0; }

HWND FindWindowOf(DWORD pid, const char* className, const std::string& caption, int controlId, DWORD timeoutMs,
                  HWND except) {
  HWND found = nullptr;
  Poll([&] {
    for (HWND w = ::GetTopWindow(nullptr); w && !found; w = ::GetWindow(w, GW_HWNDNEXT)) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(w, &owner);
      wchar_t text[512] = {};
      ::GetWindowTextW(w, text, 512);
      if (w != except && ::IsWindowVisible(w) && (pid == 0 || owner == pid) && ClassOf(w) == className &&
          (caption.empty() || caption == plat::FromNative(text)) && (controlId == 0 || ::GetDlgItem(w, controlId))) {
        found = w;
      }
    }
    return found != nullptr;
  }, timeoutMs);
  return found;
}

std::string Text(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  DWORD_PTR got = 0;
  if (ClassOf(control) != WC_LISTVIEWA) {
    std::vector<wchar_t> text(32768);
    ::SendMessageTimeoutW(control, WM_GETTEXT, text.size(), LPARAM(text.data()), SMTO_ABORTIFHUNG, kAnswerMs, &got);
    return plat::FromNative(std::wstring(text.data(), got));
  }
  // The item and its text buffer in the list's process, where the list reads and writes them.
  struct Item { LVITEMW item; wchar_t text[1024]; } here = {};
  DWORD pid = 0;
  ::GetWindowThreadProcessId(control, &pid);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  auto* there = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(Item), MEM_COMMIT, PAGE_READWRITE));
  here.item.pszText = reinterpret_cast<wchar_t*>(there + offsetof(Item, text)), here.item.cchTextMax = 1024;
  if (!there || !::WriteProcessMemory(process, there, &here, sizeof(here), nullptr) ||
      !::SendMessageTimeoutW(control, LVM_GETITEMTEXTW, 0, LPARAM(there), SMTO_ABORTIFHUNG, kAnswerMs, &got) ||
      !::ReadProcessMemory(process, there, &here, sizeof(here), nullptr)) got = 0;
  ::VirtualFreeEx(process, there, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return plat::FromNative(std::wstring(here.text, got));
}

bool Click(HWND dialog, int id, bool picture) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control || !::IsWindowVisible(control) || !::IsWindowEnabled(control)) return false;
  if (!picture) return ::PostMessageA(control, BM_CLICK, 0, 0);
  return ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)) &&
         ::PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

Box AnswerBox(DWORD pid, int button, DWORD timeoutMs) {
  // The main window shares the class and caption; only a box has the text 0xFFFF.
  HWND window = FindWindowOf(pid, "#32770", "Larkspan", kMessageTextId, timeoutMs);
  if (!window) return Box();
  const Box box = {true, Text(window, kMessageTextId), IconOf(window)};
  ::PostMessageA(window, WM_COMMAND, button, 0);
  Poll([&] { return !::IsWindow(window); }, kAnswerMs);
  return box;
}

}  // namespace e2e
