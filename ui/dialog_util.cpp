// Helpers shared by the program's dialogs (see dialog_util.h).
#include "ui/dialog_util.h"

#include <shlobj.h>

#include <vector>

#include "core/launch.h"

namespace ui {


namespace {

// Pre-selects the folder that data points to once the picker is up.
int CALLBACK PickerCallback(HWND picker, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data != 0) ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

void SetText(HWND window, const std::string& text) { ::SetWindowTextW(window, Wide(text).c_str()); }

void SetItemText(HWND dialog, int id, const std::string& text) {
  ::SetDlgItemTextW(dialog, id, Wide(text).c_str());
}

std::string ItemText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return std::string();
  std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  const int got = ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  return plat::FromNative(std::wstring(text.data(), got > 0 ? static_cast<size_t>(got) : 0));
}

int ShowMessageBox(HWND owner, const std::string& text, unsigned style) {
  return ::MessageBoxW(owner, Wide(text).c_str(), Wide(core::contract::kCaption).c_str(), style);
}

int PickFolder(HWND owner, const std::string& title, std::string& path) {
  const std::wstring wideTitle = Wide(title), start = Wide(path);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = PickerCallback;
  // A path too long for the picker's buffers is not pre-selected.
  browse.lParam = start.size() < MAX_PATH ? reinterpret_cast<LPARAM>(start.c_str()) : 0;
  PIDLIST_ABSOLUTE chosenItem = ::SHBrowseForFolderW(&browse);
  if (!chosenItem) return -1;
  wchar_t chosen[MAX_PATH] = {};
  const BOOL isFolder = ::SHGetPathFromIDListW(chosenItem, chosen);
  ::CoTaskMemFree(chosenItem);
  if (!isFolder) return -1;
  // A name that has no Shift_JIS form comes back with "?" for the characters
  // code page 932 lacks (no best fit): never the name of another folder, and
  // the dialog's existence check refuses it.
  path = plat::FromNative(chosen);
  return 0;
}

void CenterOnOwner(HWND dialog) {
  RECT work = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
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
