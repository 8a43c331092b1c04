// The environment settings dialog (see env_settings_dlg.h).
#include "ui/env_settings_dlg.h"

#include "settings/app_settings.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"

namespace ui {

OptionsDialog::OptionsDialog(settings::AppSettings& settings) : ui::DialogBase(IDD_ENV_SETTINGS), settings_(settings) {}

BOOL OptionsDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  ui::SetChecked(hwnd(), IDC_END_MESSAGE, settings_.EndMsg);
  ui::SetChecked(hwnd(), IDC_SHORT_MENU_PATHS, settings_.ChangeMiniPathFlg);
  ui::SetChecked(hwnd(), IDC_TOP_FOLDER_AT_START, settings_.TopFolderDspFlg);
  ui::SetChecked(hwnd(), IDC_VERIFY_CONTENT, settings_.Verify);
  ui::SetChecked(hwnd(), IDC_SKIP_UNREADABLE, settings_.SkipUnreadable);
  ui::SetChecked(hwnd(), IDC_LINK_UNCHANGED, settings_.Link);
  return TRUE;
}

void OptionsDialog::OnOK() {
  settings_.EndMsg = ui::IsChecked(hwnd(), IDC_END_MESSAGE);
  settings_.ChangeMiniPathFlg = ui::IsChecked(hwnd(), IDC_SHORT_MENU_PATHS);
  settings_.TopFolderDspFlg = ui::IsChecked(hwnd(), IDC_TOP_FOLDER_AT_START);
  settings_.Verify = ui::IsChecked(hwnd(), IDC_VERIFY_CONTENT);
  settings_.SkipUnreadable = ui::IsChecked(hwnd(), IDC_SKIP_UNREADABLE);
  settings_.Link = ui::IsChecked(hwnd(), IDC_LINK_UNCHANGED);
  EndDialog(IDOK);
}

}  // namespace ui
