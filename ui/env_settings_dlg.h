// OptionsDialog: the environment settings dialog (dialog 139), the option
// flags of the settings record as check boxes.
#pragma once

#include "ui/dialog_base.h"

namespace settings { class AppSettings; }

namespace ui {

class OptionsDialog : public ui::DialogBase {
 public:
  // settings: the program's one settings record; OK changes its flags in
  // memory (the main dialog saves them). It must outlive the dialog.
  explicit OptionsDialog(settings::AppSettings& settings);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  settings::AppSettings& settings_;
};

}  // namespace ui
