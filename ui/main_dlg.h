// MainDialog: the program's main window. It shows the selection's counts, the
// filtered totals of the current backup folder and that folder; it hosts the
// count and the backup run of the engine (as their BackupHost), the extended
// menu behind "≫" and the backup-folder switch menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/launch.h"
#include "ui/main_model.h"
#include "engine/backup.h"
#include "core/filter.h"
#include "ui/dialog_base.h"
#include "platform/handle.h"
#include "settings/app_settings.h"

namespace ui {

class MainDialog : public ui::DialogBase, public engine::BackupHost {
 public:
  // Template 102; loads the icon and the extended menu.
  MainDialog();
  ~MainDialog() override;

  // --- The switch menu (folder_menu.cpp) ---
  // Builds the switch menu from the stored list and shows it at the triangle
  // picture; returns when the popup has closed (a choice arrives as a command).
  void ShowFolderSwitchMenu();
  // Makes list entry index current and starts a new count.
  void SelectBackupFolderByIndex(int index);

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnCancel() override;
  void OnTimer(UINT_PTR id) override;
  bool OnSysCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnPaint() override;
  HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
  HICON OnQueryDragIcon() override;
  void OnDestroy() override;
  void OnDpiChanged(int dpi) override;

  // --- BackupHost ---
  int ShowMessage(const std::string& text, unsigned style) override;
  void PumpMessages() override;
  void ShowProgress() override;
  void SetProgressRange(int64_t upper) override;
  void SetProgressPos(int64_t pos) override;
  void EnableRunButtons(bool enable) override;
  void RedrawNow() override;

 private:
  // Counts the selection by kind, shows the counts and prepares the count.
  void ShowSelectionCounts();
  // Shows "算出中", disables start and "≫", refreshes the folder display.
  void BeginRecount();
  // Shows the current backup folder (or why it cannot be used), loads its
  // filters and shows or hides the filter indicator.
  void RefreshBackupFolderDisplay();
  // Arms the one-shot timer that starts the count.
  void ArmRecountTimer();
  // The totals count of the timer tick (and of a start whose totals were taken
  // without the folder's filters).
  void RecountTick();

  // The icons and pictures drawn for dpi, shown; the folder label laid out anew.
  void ApplyDpi(int dpi);
  // Each picture control shows its bitmap for the present state.
  void ShowPictures();
  // The pressed look of a picture for a moment, then its normal look again.
  void PressFeedback(int id, HBITMAP pressed, HBITMAP normal);
  // Puts bitmap into a picture control; the replaced image stays with its owner.
  void SetPicture(int id, HBITMAP bitmap);
  // The folder label at folderLabelRect_, widened when the filter indicator is hidden.
  void LayOutFolderLabel();
  void ShowExtendedMenu();
  void OpenBackupFolder();
  // The backup-folder settings dialog; after OK a new count.
  void EditBackupFolderSettings();
  // The filter editor of the current backup folder (the add/change dialog with
  // the folder locked); after OK the filters are stored and counted anew.
  void EditCurrentFilters();
  // BeginRecount, and the timer that starts the count.
  void StartNewCount();
  // The about box; after its web button the program ends as with cancel.
  void ShowAboutBox();

  // --- State (the names the program's contract uses) ---
  int selectedFiles_ = 0;
  int selectedFolders_ = 0;
  // The folder label's rectangle before any widening, as the template was laid
  // out at the start, at templateDpi_; the window's DPI now.
  RECT folderLabelRect_ = {};
  int templateDpi_ = 96;
  int dpi_ = 96;
  settings::AppSettings settings_;
  core::SelectionList selection_;
  core::FilterSet currentFilters_;
  // Holds the scan's and the copy's state, the source totals and the run's destination.
  engine::BackupEngine engine_;
  // The decisions: the folder label, the count's and the run's phases, start.
  MainModel model_;

  // Every progress position is divided by 2^progressShift_ so that the range
  // fits the control's 32-bit range.
  int progressShift_ = 0;

  // The window's icons, drawn at the big and small icon sides of dpi_.
  plat::IconHandle icon_, smallIcon_;
  plat::MenuHandle extendedMenu_;
  plat::BrushHandle whiteBrush_;
  plat::BrushHandle pendingBrush_;
  // The pictures' bitmaps at dpi_, in the order of kPictureIds (main_dlg.cpp).
  enum Picture { kFile, kFileNone, kFolder, kFolderNone, kSwitch, kSwitchPressed, kFilter, kFilterPressed, kPictures };
  plat::BitmapHandle pictures_[kPictures];
};

}  // namespace ui
