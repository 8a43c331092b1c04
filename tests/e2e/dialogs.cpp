// The program's dialogs seen and driven from outside (see dialogs.h).
#include "tests/e2e/dialogs.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "tests/e2e/main_window.h"

namespace e2e {
namespace {

constexpr DWORD kAnswerMs = 5000;
constexpr int kMessageTextId = 0xFFFF;
// The main window's progress bar: no other dialog of the program has it.
constexpr int kMainWindowProgress = 1001;

// A block of memory in another process, freed again by the destructor.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t size) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  char* address() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return ::WriteProcessMemory(process_, address() + offset, data, size, nullptr) != 0;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ::ReadProcessMemory(process_, address() + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

LRESULT Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

// The window's text as its own process holds it (exact Shift_JIS bytes).
std::string WindowText(HWND window) {
  char text[1024] = {};
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kAnswerMs, &got)) {
    return "<no answer>";
  }
  return std::string(text, got);
}

}  // namespace

HWND WaitForDialog(DWORD pid, const std::string& caption, int controlId, DWORD timeoutMs) {
  return WaitForTopLevel(pid, "#32770",
                         [&](HWND w) {
                           return (caption.empty() || Caption(w) == caption) && ::GetDlgItem(w, controlId) &&
                                  !::GetDlgItem(w, kMessageTextId) && !::GetDlgItem(w, kMainWindowProgress);
                         },
                         timeoutMs);
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  return Poll([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

int WaitForFocus(HWND dialog, int expected, DWORD timeoutMs) {
  int id = 0;
  Poll(
      [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        id = ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
                     ::GetParent(info.hwndFocus) == dialog
                 ? ::GetDlgCtrlID(info.hwndFocus)
                 : 0;
        return id == expected;
      },
      timeoutMs);
  return id;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  Send(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsButtonChecked(HWND dialog, int id) { return Send(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetCheckBox(HWND dialog, int id, bool checked) {
  if (IsButtonChecked(dialog, id) != checked) Send(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string CompareWithTemplate(HWND dialog, int width, int height, const std::vector<TemplateControl>& controls) {
  RECT client = {};
  ::GetClientRect(dialog, &client);
  // The dialog's client area is the template's size in pixels, so the base
  // units follow from it exactly.
  const int baseX = (client.right * 4 + width / 2) / width;
  const int baseY = (client.bottom * 8 + height / 2) / height;
  std::string differences;
  if (::MulDiv(width, baseX, 4) != client.right || ::MulDiv(height, baseY, 8) != client.bottom) {
    differences += "client area " + std::to_string(client.right) + " x " + std::to_string(client.bottom) +
                   " is not the template's size\n";
  }
  HWND child = ::GetWindow(dialog, GW_CHILD);
  for (size_t i = 0; i < controls.size(); ++i, child = child ? ::GetWindow(child, GW_HWNDNEXT) : nullptr) {
    const TemplateControl& c = controls[i];
    const std::string where = "control " + std::to_string(i) + " (" + Readable(c.text) + "): ";
    if (!child) {
      differences += where + "missing\n";
      continue;
    }
    char className[32] = {};
    ::GetClassNameA(child, className, sizeof(className));
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    const bool icon = ::lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON;
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int x = ::MulDiv(c.x, baseX, 4), y = ::MulDiv(c.y, baseY, 8);
    const int w = ::MulDiv(c.width, baseX, 4), h = ::MulDiv(c.height, baseY, 8);
    const int id = static_cast<short>(::GetDlgCtrlID(child));
    if (id != c.id) differences += where + "id " + std::to_string(id) + "\n";
    if (::lstrcmpiA(className, c.className) != 0) differences += where + "class " + className + "\n";
    const std::string text = WindowText(child);
    if (!icon && text != c.text) differences += where + "text " + Readable(text) + "\n";
    if (r.left != x || r.top != y || (!icon && (r.right - r.left != w || r.bottom - r.top != h))) {
      differences += where + "at " + std::to_string(r.left) + "," + std::to_string(r.top) + " size " +
                     std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + ", expected " +
                     std::to_string(x) + "," + std::to_string(y) + " size " + std::to_string(w) + "x" +
                     std::to_string(h) + "\n";
    }
    if (((style & WS_TABSTOP) != 0) != c.tabStop) differences += where + "tab stop differs\n";
  }
  if (child) differences += "more controls than the template holds\n";
  return differences;
}

std::vector<ListRow> ReadListView(HWND list, int columns) {
  std::vector<ListRow> rows;
  constexpr size_t kTextSize = 4096;
  RemoteMemory remote(list, sizeof(LVITEMA) + kTextSize);
  if (!remote.address()) return rows;
  const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  for (int row = 0; row < count; ++row) {
    ListRow out;
    for (int column = 0; column < columns; ++column) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE | LVIF_STATE : 0);
      item.iItem = row;
      item.iSubItem = column;
      item.stateMask = LVIS_SELECTED;
      item.pszText = remote.address() + sizeof(LVITEMA);
      item.cchTextMax = kTextSize;
      char text[kTextSize] = {};
      if (!remote.Write(0, &item, sizeof(item)) || !remote.Write(sizeof(LVITEMA), text, 1) ||
          Send(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.address())) <= 0 ||
          !remote.Read(0, &item, sizeof(item)) || !remote.Read(sizeof(LVITEMA), text, kTextSize - 1)) {
        out.cells.push_back("<unreadable>");
        continue;
      }
      out.cells.push_back(text);
      if (column == 0) {
        out.image = item.iImage;
        out.selected = (item.state & LVIS_SELECTED) != 0;
      }
    }
    rows.push_back(out);
  }
  return rows;
}

int SelectionMark(HWND list) { return static_cast<int>(Send(list, LVM_GETSELECTIONMARK, 0, 0)); }

bool SelectRowByKeys(HWND list, int row, DWORD timeoutMs) {
  ::PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  for (int i = 0; i < row; ++i) ::PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
  return Poll([&] { return SelectionMark(list) == row; }, timeoutMs);
}

}  // namespace e2e
