// Helpers shared by the program's dialogs (see dialog_util.h).
#include "ui/dialog_util.h"

#include <vector>

#include "engine/launch_contract.h"

namespace ui {

std::string ItemText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return std::string();
  // The length in bytes of the ANSI text (may overstate it, never understate).
  const int length = ::GetWindowTextLengthA(control);
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

int ShowMessageBox(HWND owner, const std::string& text, unsigned style) {
  return ::MessageBoxA(owner, text.c_str(), contract::kCaption, style);
}

void CenterOnOwner(HWND dialog) {
  RECT work = {};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT around = work;
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
  RECT window = {};
  ::GetWindowRect(dialog, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int x = around.left + ((around.right - around.left) - width) / 2;
  int y = around.top + ((around.bottom - around.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
  ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace ui
