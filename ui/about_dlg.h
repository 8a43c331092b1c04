// The about box (dialog 137) with its web button, the version box of the
// system menu (dialog 100) and the help command.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/dialog_base.h"

namespace ui {

class AboutDialog : public ui::DialogBase {
 public:
  AboutDialog();

  // True once the web button was used (the box then closed as with OK).
  bool WebOpened = false;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// The version box: OK closes it; nothing else of its own.
class VersionDialog : public ui::DialogBase {
 public:
  VersionDialog();

 protected:
  BOOL OnInitDialog() override;
};

// Opens Larkspan.chm beside the program with the shell and returns at once;
// when the shell cannot open it, "ヘルプが見つかりません　" (owned by owner).
void ShowHelp(HWND owner);

}  // namespace ui
