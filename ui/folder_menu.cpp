// The backup-folder switch menu of the main window: built afresh from the
// stored list each time the triangle picture is clicked; a choice makes that
// folder current and starts a new count.
#include <cstdio>
#include <string>

#include "engine/fileutil.h"
#include "ui/main_dlg.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace {

constexpr int kMenuBitmapSize = 11;

// A path as a menu item text: "&" would underline the next character, so it
// is doubled and the path reads as it is. ("&" is never the second byte of a
// double-byte character.)
std::string MenuText(const std::string& path) {
  std::string text;
  text.reserve(path.size());
  for (char c : path) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

}  // namespace

CMainDlg::FolderMenu CMainDlg::BuildFolderSwitchMenu() {
  FolderMenu built;
  built.menu.reset(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_FOLDER_MENU)));
  HMENU popup = built.menu ? ::GetSubMenu(built.menu.get(), 0) : nullptr;
  if (!popup) return built;
  // One set of item bitmaps per showing, shared by the items, released with the menu.
  built.filter = plat::LoadBitmapResource(IDB_MENU_FILTER, kMenuBitmapSize, kMenuBitmapSize);
  built.filterChecked = plat::LoadBitmapResource(IDB_MENU_FILTER_CHECKED, kMenuBitmapSize, kMenuBitmapSize);
  built.check = plat::LoadBitmapResource(IDB_MENU_CHECK, kMenuBitmapSize, kMenuBitmapSize);

  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  settings_.LoadBkFolderList(1, folders, fileIn, fileOut, folderIn, folderOut);
  int inserted = 0;
  for (int i = 0; i < kMaxBkFolders && !folders[i].empty(); ++i) {
    std::string text = folders[i];
    if (settings_.ChangeMiniPathFlg == 1) ShortenPath(text);
    const UINT id = ID_FOLDER_MENU_FIRST + i;
    ::InsertMenuA(popup, ID_FOLDER_MENU_PLACEHOLDER, MF_BYCOMMAND | MF_STRING, id, MenuText(text).c_str());
    if (folders[i] == settings_.BackupFolder) ::CheckMenuItem(popup, id, MF_BYCOMMAND | MF_CHECKED);
    const bool filtered = !fileIn[i].empty() || !fileOut[i].empty() || !folderIn[i].empty() || !folderOut[i].empty();
    ::SetMenuItemBitmaps(popup, id, MF_BYCOMMAND, filtered ? built.filter.get() : nullptr,
                         filtered ? built.filterChecked.get() : built.check.get());
    ++inserted;
  }
  if (inserted == 0) {
    ::InsertMenuA(popup, ID_FOLDER_MENU_PLACEHOLDER, MF_BYCOMMAND | MF_STRING | MF_GRAYED, ID_FOLDER_MENU_NONE,
                  texts::kNoFolderItem);
  }
  ::DeleteMenu(popup, ID_FOLDER_MENU_PLACEHOLDER, MF_BYCOMMAND);
  return built;
}

void CMainDlg::ShowFolderSwitchMenu() {
  FolderMenu shown = BuildFolderSwitchMenu();
  if (!shown.menu) return;
  RECT picture = {};
  ::GetWindowRect(Item(IDC_FOLDER_SWITCH), &picture);
  ::TrackPopupMenu(::GetSubMenu(shown.menu.get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, picture.right, picture.top, 0,
                   hwnd(), nullptr);
  // The chosen command is already posted to the dialog; the menu and its bitmaps go now.
}

void CMainDlg::SelectBackupFolderByIndex(int index) {
  std::string folder, fileIn, fileOut, folderIn, folderOut;
  settings_.ReadBkFolder(index, folder, fileIn, fileOut, folderIn, folderOut);
  // Kept in memory; the settings file receives it when the dialog closes.
  settings_.BackupFolder = folder;
  TotalsShown = 0;
  BeginRecount();
  ArmRecountTimer();
}

// The test hook: the menu as ShowFolderSwitchMenu would show it, one line per
// item, "id<TAB>state<TAB>unchecked bitmap<TAB>checked bitmap<TAB>text", where
// state is "C" (checked), "G" (greyed), "CG" or "-" and a bitmap is named by
// its resource number (0 for none); then a last line "released <n>" with the
// number of the three item bitmaps that are gone once the menu is destroyed.
void CMainDlg::DescribeFolderMenu(HWND receiver) {
  std::string description;
  HBITMAP loaded[3] = {};
  {
    FolderMenu built = BuildFolderSwitchMenu();
    if (!built.menu) return;
    loaded[0] = built.filter.get();
    loaded[1] = built.filterChecked.get();
    loaded[2] = built.check.get();
    auto resourceOf = [&](HBITMAP bitmap) {
      if (!bitmap) return 0;
      if (bitmap == loaded[0]) return IDB_MENU_FILTER;
      if (bitmap == loaded[1]) return IDB_MENU_FILTER_CHECKED;
      if (bitmap == loaded[2]) return IDB_MENU_CHECK;
      return -1;
    };
    HMENU popup = ::GetSubMenu(built.menu.get(), 0);
    const int count = ::GetMenuItemCount(popup);
    for (int pos = 0; pos < count; ++pos) {
      char text[1024] = {};
      MENUITEMINFOA info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_ID | MIIM_STATE | MIIM_CHECKMARKS | MIIM_STRING;
      info.dwTypeData = text;
      info.cch = sizeof(text) - 1;
      if (!::GetMenuItemInfoA(popup, static_cast<UINT>(pos), TRUE, &info)) continue;
      std::string state;
      if (info.fState & MFS_CHECKED) state += 'C';
      if (info.fState & MFS_GRAYED) state += 'G';
      if (state.empty()) state = "-";
      char head[64];
      std::snprintf(head, sizeof(head), "%u\t%s\t%d\t%d\t", info.wID, state.c_str(), resourceOf(info.hbmpUnchecked),
                    resourceOf(info.hbmpChecked));
      description += head;
      description += text;
      description += '\n';
    }
  }
  int released = 0;
  for (HBITMAP bitmap : loaded) released += ::GetObjectType(bitmap) == 0;
  description += "released " + std::to_string(released) + "\n";

  COPYDATASTRUCT data = {};
  data.dwData = kFolderMenuDescription;
  data.cbData = static_cast<DWORD>(description.size());
  data.lpData = &description[0];
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}
