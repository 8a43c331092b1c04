// Another process's main window seen and driven from outside (see main_window.h).
#include "tests/e2e/main_window.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace e2e {
namespace {

constexpr int kTotalFilesId = 1014;
constexpr char kCaption[] = "Larkspan";
constexpr char kDescribeMessage[] = "Larkspan.DescribeFolderMenu";
constexpr ULONG_PTR kDescriptionTag = 0x4C4B464D;

// SendDlgItemMessage with a bound on the wait.
BOOL SendDlgItemMessageTimeout(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  HWND control = ::GetDlgItem(dialog, id);
  return control && ::SendMessageTimeoutA(control, msg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, result);
}

bool Clickable(HWND control) {
  return control && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

// Receives the hook's WM_COPYDATA while the caller waits in SendMessage.
LRESULT CALLBACK ReceiverProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    auto* out = reinterpret_cast<std::string*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (out && data->dwData == kDescriptionTag) out->assign(static_cast<const char*>(data->lpData), data->cbData);
    return TRUE;
  }
  return ::DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

Process::~Process() { Kill(); }

bool Process::Start(const std::string& commandLine, const std::string& currentDir, std::string* error) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDir.c_str(), &startup,
                        &info)) {
    if (error) *error = "CreateProcessA failed, error " + std::to_string(::GetLastError()) + ": " + commandLine;
    return false;
  }
  ::CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return true;
}

bool Process::WaitExit(DWORD timeoutMs) {
  return !process_ || ::WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

void Process::Kill() {
  if (!process_) return;
  if (::WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    ::TerminateProcess(process_, 99);
    ::WaitForSingleObject(process_, 5000);
  }
  ::CloseHandle(process_);
  process_ = nullptr;
}

HWND WaitForMainWindow(DWORD pid, DWORD timeoutMs) {
  return WaitForTopLevel(
      pid, "#32770", [](HWND w) { return Caption(w) == kCaption && ::GetDlgItem(w, kTotalFilesId); }, timeoutMs);
}

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) {
  return WaitForTopLevel(pid, "#32768", [](HWND) { return true; }, timeoutMs);
}

std::string ControlText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return "<no control>";
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "<no answer>";
  std::vector<char> buf(length * 2 + 16, '#');
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutA(control, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                             5000, &got)) {
    return "<no answer>";
  }
  return std::string(buf.data(), got);
}

bool WaitForControlText(HWND dialog, int id, const std::function<bool(const std::string&)>& accept, DWORD timeoutMs,
                        std::string* last) {
  std::string text;
  const bool ok = Poll([&] { return accept(text = ControlText(dialog, id)); }, timeoutMs);
  if (last) *last = text;
  return ok;
}

bool SameColor(COLORREF a, COLORREF b) {
  auto close = [](int x, int y) { return x - y < 8 && y - x < 8; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

std::string ColorText(COLORREF c) {
  return "RGB(" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
         std::to_string(GetBValue(c)) + ")";
}

COLORREF WaitForPixel(HWND dialog, int id, int x, int y, COLORREF expected) {
  COLORREF seen = CLR_INVALID;
  Poll([&] { return SameColor(expected, seen = ScreenPixel(dialog, id, x, y)); }, 2000);
  return seen;
}

bool IsControlVisible(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  return control && (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsControlEnabled(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  return control && ::IsWindowEnabled(control);
}

RECT ControlRect(HWND dialog, int id) {
  RECT rect = {};
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

COLORREF ScreenPixel(HWND dialog, int id, int x, int y) {
  POINT at = {x, y};
  HWND control = ::GetDlgItem(dialog, id);
  if (!control || !::ClientToScreen(control, &at)) return CLR_INVALID;
  HDC screen = ::GetDC(nullptr);
  COLORREF color = ::GetPixel(screen, at.x, at.y);
  ::ReleaseDC(nullptr, screen);
  return color;
}

bool ClickButton(HWND dialog, int id) {
  HWND button = ::GetDlgItem(dialog, id);
  if (!Clickable(button)) return false;
  ::PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

bool ClickPicture(HWND dialog, int id) {
  HWND picture = ::GetDlgItem(dialog, id);
  if (!Clickable(picture)) return false;
  ::PostMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::PostMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  return true;
}

int ProgressPos(HWND dialog) {
  DWORD_PTR pos = 0;
  if (!SendDlgItemMessageTimeout(dialog, 1001, PBM_GETPOS, 0, 0, &pos)) return -1;
  return static_cast<int>(pos);
}

bool NoBoxWithin(DWORD pid, DWORD ms) { return WaitForMessageBox(kCaption, pid, ms) == nullptr; }

void ChooseFromPopup(HWND popup, int downSteps) {
  for (int i = 0; i < downSteps; ++i) ::PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

void PostMenuCommand(HWND dialog, int id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PostClose(HWND dialog) { ::PostMessageA(dialog, WM_CLOSE, 0, 0); }

Box AnswerBox(DWORD pid, int button, DWORD timeoutMs) {
  Box box;
  HWND window = WaitForMessageBox(kCaption, pid, timeoutMs);
  if (!window) return box;
  box.shown = true;
  box.text = MessageBoxText(window);
  box.icon = IdentifyMessageBoxIcon(window, 3000);
  PressButton(window, button, 3000);
  return box;
}

std::string DescribeFolderMenu(HWND dialog, DWORD timeoutMs) {
  static const char kClass[] = "LarkspanE2eReceiver";
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    registered = ::RegisterClassA(&wc) != 0;
  }
  std::string description;
  HWND receiver = ::CreateWindowA(kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleA(nullptr),
                                  nullptr);
  if (!receiver) return description;
  ::SetWindowLongPtrA(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&description));
  // The dialog answers with a WM_COPYDATA sent to receiver while this call waits.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(dialog, ::RegisterWindowMessageA(kDescribeMessage), reinterpret_cast<WPARAM>(receiver), 0,
                        SMTO_NORMAL, timeoutMs, &result);
  ::DestroyWindow(receiver);
  return description;
}

std::string Readable(const std::string& sjis) {
  if (sjis.empty()) return "\"\"";
  int wide = ::MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  ::MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), &w[0], wide);
  int narrow = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], narrow, nullptr, nullptr);
  return "\"" + out + "\"";
}

}  // namespace e2e
