// The environment settings dialog (see env_settings_dlg.h).
#include "ui/env_settings_dlg.h"

#include "settings/app_settings.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"

CEnvSettingsDlg::CEnvSettingsDlg(AppSettings& settings) : ui::DialogBase(IDD_ENV_SETTINGS), settings_(settings) {}

BOOL CEnvSettingsDlg::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  // A flag is on only when it is 1: any other stored value shows cleared.
  ui::SetChecked(hwnd(), IDC_END_MESSAGE, AppSettings::IsOn(settings_.EndMsg));
  ui::SetChecked(hwnd(), IDC_SHORT_MENU_PATHS, AppSettings::IsOn(settings_.ChangeMiniPathFlg));
  ui::SetChecked(hwnd(), IDC_TOP_FOLDER_AT_START, AppSettings::IsOn(settings_.TopFolderDspFlg));
  ui::SetChecked(hwnd(), IDC_VERIFY_CONTENT, AppSettings::IsOn(settings_.Verify));
  ui::SetChecked(hwnd(), IDC_SKIP_UNREADABLE, AppSettings::IsOn(settings_.SkipUnreadable));
  ui::SetChecked(hwnd(), IDC_LINK_UNCHANGED, AppSettings::IsOn(settings_.Link));
  return TRUE;
}

void CEnvSettingsDlg::OnOK() {
  settings_.EndMsg = ui::IsChecked(hwnd(), IDC_END_MESSAGE) ? 1 : 0;
  settings_.ChangeMiniPathFlg = ui::IsChecked(hwnd(), IDC_SHORT_MENU_PATHS) ? 1 : 0;
  settings_.TopFolderDspFlg = ui::IsChecked(hwnd(), IDC_TOP_FOLDER_AT_START) ? 1 : 0;
  settings_.Verify = ui::IsChecked(hwnd(), IDC_VERIFY_CONTENT) ? 1 : 0;
  settings_.SkipUnreadable = ui::IsChecked(hwnd(), IDC_SKIP_UNREADABLE) ? 1 : 0;
  settings_.Link = ui::IsChecked(hwnd(), IDC_LINK_UNCHANGED) ? 1 : 0;
  EndDialog(IDOK);
}
