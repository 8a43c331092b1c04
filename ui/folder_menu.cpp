// The backup-folder switch menu of the main window: built afresh from the
// stored list each time the triangle picture is clicked (its items decided by
// FolderMenuItems); a choice makes that folder current and starts a new count.
#include <string>
#include <vector>

#include "settings/bkfolder_list.h"
#include "ui/dialog_util.h"
#include "ui/dpi_scale.h"
#include "ui/folder_rules.h"
#include "ui/main_dlg.h"
#include "ui/resource.h"

namespace ui {

void MainDialog::ShowFolderSwitchMenu() {
  // One set of item bitmaps per showing, drawn for the window's DPI (11 pixels
  // at 96) and shared by the items; declared before the menu, so they go only
  // once the menu is destroyed.
  const int kBitmapIds[] = {IDB_MENU_FILTER, IDB_MENU_FILTER_CHECKED, IDB_MENU_CHECK};
  const int scale = dpi::ImageScaleIndex(ui::WindowDpi(hwnd()));
  plat::BitmapHandle bitmaps[] = {ui::LoadBitmapResource(dpi::ScaledImageId(kBitmapIds[0], scale)),
                                  ui::LoadBitmapResource(dpi::ScaledImageId(kBitmapIds[1], scale)),
                                  ui::LoadBitmapResource(dpi::ScaledImageId(kBitmapIds[2], scale))};
  auto bitmapOf = [&](int id) -> HBITMAP {
    for (size_t i = 0; i < 3; ++i) {
      if (kBitmapIds[i] == id) return bitmaps[i].get();
    }
    return nullptr;
  };
  plat::MenuHandle menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_FOLDER_MENU)));
  HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
  if (!popup) return;

  core::BackupFolderList list;
  settings::LoadBkFolderList(true, list);
  for (const FolderMenuItem& item : FolderMenuItems(list, settings_.BackupFolder, settings_.ChangeMiniPathFlg)) {
    const UINT id = static_cast<UINT>(item.id);
    ::InsertMenuW(popup, ID_FOLDER_MENU_PLACEHOLDER, MF_BYCOMMAND | MF_STRING | (item.grayed ? MF_GRAYED : 0), id,
                  ui::Wide(item.text).c_str());
    if (item.checked) ::CheckMenuItem(popup, id, MF_BYCOMMAND | MF_CHECKED);
    if (item.uncheckedBitmap != 0 || item.checkedBitmap != 0) {
      ::SetMenuItemBitmaps(popup, id, MF_BYCOMMAND, bitmapOf(item.uncheckedBitmap), bitmapOf(item.checkedBitmap));
    }
  }
  ::DeleteMenu(popup, ID_FOLDER_MENU_PLACEHOLDER, MF_BYCOMMAND);

  RECT picture = {};
  ::GetWindowRect(Item(IDC_FOLDER_SWITCH), &picture);
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, picture.right, picture.top, 0, hwnd(), nullptr);
  // The chosen command is already posted to the dialog; the menu and its bitmaps go now.
}

void MainDialog::SelectBackupFolderByIndex(int index) {
  core::BackupFolder entry;
  settings::ReadBkFolder(index, entry);
  // Kept in memory; the settings file receives it when the dialog closes.
  settings_.BackupFolder = entry.Folder;
  StartNewCount();
}

}  // namespace ui
