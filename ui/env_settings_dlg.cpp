// The environment settings dialog (see env_settings_dlg.h).
#include "ui/env_settings_dlg.h"

#include "settings/app_settings.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"

namespace ui {

namespace {

// Each option flag and its check box, one list for showing and for taking back.
const struct {
  int control;
  bool settings::AppSettings::*flag;
} kBoxes[] = {{IDC_END_MESSAGE, &settings::AppSettings::EndMsg},
              {IDC_SHORT_MENU_PATHS, &settings::AppSettings::ChangeMiniPathFlg},
              {IDC_TOP_FOLDER_AT_START, &settings::AppSettings::TopFolderDspFlg},
              {IDC_VERIFY_CONTENT, &settings::AppSettings::Verify},
              {IDC_SKIP_UNREADABLE, &settings::AppSettings::SkipUnreadable},
              {IDC_LINK_UNCHANGED, &settings::AppSettings::Link}};

}  // namespace

OptionsDialog::OptionsDialog(settings::AppSettings& settings) : ui::DialogBase(IDD_ENV_SETTINGS), settings_(settings) {}

BOOL OptionsDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  for (const auto& box : kBoxes) ui::SetChecked(hwnd(), box.control, settings_.*box.flag);
  return TRUE;
}

void OptionsDialog::OnOK() {
  for (const auto& box : kBoxes) settings_.*box.flag = ui::IsChecked(hwnd(), box.control);
  EndDialog(IDOK);
}

}  // namespace ui
