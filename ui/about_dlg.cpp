// The about box, the version box and the help command (see about_dlg.h).
#include "ui/about_dlg.h"

#include <shellapi.h>

#include <string>

#include "platform/fs.h"
#include "platform/native_path.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace ui {

AboutDialog::AboutDialog() : ui::DialogBase(IDD_ABOUT_BOX) {}

BOOL AboutDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  // The web button comes first in the tab order, but Enter must close the box,
  // not open the web site and so end the program: OK starts with the focus.
  ::SetFocus(Item(IDOK));
  return FALSE;
}

bool AboutDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_WEB_ADDRESS && HIWORD(wParam) == BN_CLICKED) {
    // The button's caption is the address. Whatever the shell answers, the
    // box closes and the caller learns that the web site was asked for.
    const std::string address = ui::ItemText(hwnd(), IDC_WEB_ADDRESS);
    ::ShellExecuteW(nullptr, L"open", ui::Wide(address).c_str(), nullptr, nullptr, SW_SHOW);
    WebOpened = true;
    EndDialog(IDOK);
    return true;
  }
  return ui::DialogBase::OnCommand(wParam, lParam);
}

VersionDialog::VersionDialog() : ui::DialogBase(IDD_VERSION_BOX) {}

BOOL VersionDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  return TRUE;
}

void ShowHelp(HWND owner) {
  // Wide, beside the program, so that a folder whose name has no Shift_JIS
  // form (a user profile such as "Łukasz") still finds its help.
  const plat::NativePath path = plat::JoinNative(plat::ModuleFolder(), plat::ToNative(texts::kHelpFileName));
  const INT_PTR opened =
      reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
  if (opened <= 32) ui::ShowMessageBox(owner, texts::kHelpMissing, MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace ui
