// The backup-folder settings dialog (see backup_folder_settings_dlg.h).
#include "ui/backup_folder_settings_dlg.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "platform/sjis.h"
#include "settings/app_settings.h"
#include "ui/backup_folder_edit_dlg.h"
#include "ui/dialog_util.h"
#include "ui/texts.h"

namespace {

// The list images: 13 pixels wide, cut from bitmap 146; black is transparent.
constexpr int kImageWidth = 13;
constexpr int kImageGrow = 1;
constexpr int kImageBlank = 0;
constexpr int kImageFilterMark = 1;

// The columns: the folder, then the four filter lists, which are never seen.
struct Column {
  const char* header;
  int width;
};
constexpr Column kColumns[] = {
    {texts::kColumnFolder, 650}, {texts::kColumnFileIn, 0},     {texts::kColumnFileOut, 0},
    {texts::kColumnFolderIn, 0}, {texts::kColumnFolderOut, 0},
};

// The key of the duplicate test: A-Z folded as the filters fold names.
std::string FoldedKey(std::string text) {
  sjis::FoldLatinLower(text);
  return text;
}

}  // namespace

CBackupFolderSettingsDlg::CBackupFolderSettingsDlg(AppSettings& settings)
    : plat::DialogBase(IDD_BACKUP_FOLDER_SETTINGS), settings_(settings) {}

BOOL CBackupFolderSettingsDlg::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  // The list view owns its image list and destroys it with itself (the list
  // has no LVS_SHAREIMAGELISTS).
  HIMAGELIST images = ::ImageList_LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LIST_IMAGES),
                                             kImageWidth, kImageGrow, RGB(0, 0, 0), IMAGE_BITMAP, 0);
  if (images) ::SendMessageA(List(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));

  for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(kColumns[i].header);
    column.cx = kColumns[i].width;
    ::SendMessageA(List(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  ::SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  FillList();
  return TRUE;
}

bool CBackupFolderSettingsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDC_ADD:
        Add();
        return true;
      case IDC_REMOVE:
        Remove();
        return true;
      case IDC_UP:
        Move(-1);
        return true;
      case IDC_DOWN:
        Move(+1);
        return true;
      case IDC_CHANGE:
        Change();
        return true;
    }
  }
  return plat::DialogBase::OnCommand(wParam, lParam);
}

// --- The rows ----------------------------------------------------------------

int CBackupFolderSettingsDlg::FillList() {
  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  ::SendMessageA(List(), LVM_DELETEALLITEMS, 0, 0);
  settings_.LoadBkFolderList(1, folders, fileIn, fileOut, folderIn, folderOut);
  for (int i = 0; i < kMaxBkFolders && !folders[i].empty(); ++i) {
    InsertRow(i, Entry{folders[i], fileIn[i], fileOut[i], folderIn[i], folderOut[i]});
  }
  return 0;
}

int CBackupFolderSettingsDlg::InsertRow(int index, const Entry& entry) {
  WriteRow(LVM_INSERTITEMA, index, entry);
  return 0;
}

int CBackupFolderSettingsDlg::UpdateRow(int index, const Entry& entry) {
  WriteRow(LVM_SETITEMA, index, entry);
  return 0;
}

void CBackupFolderSettingsDlg::WriteRow(UINT message, int index, const Entry& entry) {
  const bool filtered =
      !entry.fileIn.empty() || !entry.fileOut.empty() || !entry.folderIn.empty() || !entry.folderOut.empty();
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = const_cast<char*>(entry.folder.c_str());
  item.iImage = filtered ? kImageFilterMark : kImageBlank;
  LRESULT result = ::SendMessageA(List(), message, 0, reinterpret_cast<LPARAM>(&item));
  // An insertion answers with the new row's index, a change with TRUE.
  const int row = message == LVM_INSERTITEMA ? static_cast<int>(result) : (result ? index : -1);
  if (row < 0) return;
  SetCell(row, 1, entry.fileIn);
  SetCell(row, 2, entry.fileOut);
  SetCell(row, 3, entry.folderIn);
  SetCell(row, 4, entry.folderOut);
}

int CBackupFolderSettingsDlg::DeleteRow(int index) {
  ::SendMessageA(List(), LVM_DELETEITEM, index, 0);
  // The list keeps its mark on the row that moved into the deleted place (the
  // last row when the deleted one was last); that row becomes the selection.
  const int marked = MarkedRow();
  if (marked >= 0) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(List(), LVM_SETITEMSTATE, marked, reinterpret_cast<LPARAM>(&state));
  }
  return 0;
}

int CBackupFolderSettingsDlg::MoveRow(int direction) {
  const int count = RowCount();
  if (count == 0) return -1;
  const int row = MarkedRow();
  if (row == -1) return -1;
  const Entry entry = RowEntry(row);
  if ((direction >= 0 && row >= count - 1) || (direction < 0 && row < 1)) return 0;
  DeleteRow(row);
  InsertRow(row + direction, entry);
  SelectRow(row + direction);
  return 0;
}

int CBackupFolderSettingsDlg::RowCount() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

int CBackupFolderSettingsDlg::MarkedRow() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETSELECTIONMARK, 0, 0));
}

void CBackupFolderSettingsDlg::SelectRow(int row) {
  ::SendMessageA(List(), LVM_SETSELECTIONMARK, 0, row);
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  // A partly visible row counts as visible.
  ::SendMessageA(List(), LVM_ENSUREVISIBLE, row, TRUE);
}

CBackupFolderSettingsDlg::Entry CBackupFolderSettingsDlg::RowEntry(int row) const {
  return Entry{CellText(row, 0), CellText(row, 1), CellText(row, 2), CellText(row, 3), CellText(row, 4)};
}

std::string CBackupFolderSettingsDlg::CellText(int row, int column) const {
  // Grows the buffer until the text fits (a filter list may be long).
  for (size_t size = 512;; size *= 2) {
    std::vector<char> text(size, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    const size_t got =
        static_cast<size_t>(::SendMessageA(List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (got + 1 < size || size >= (1u << 20)) return std::string(text.data(), got < size ? got : size - 1);
  }
}

void CBackupFolderSettingsDlg::SetCell(int row, int column, const std::string& text) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  ::SendMessageA(List(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// --- The buttons -------------------------------------------------------------

bool CBackupFolderSettingsDlg::EditEntry(Entry& entry) {
  CBackupFolderEditDlg edit;
  edit.Mode = 0;
  edit.Folder = entry.folder;
  edit.FilterFileIn = entry.fileIn;
  edit.FilterFileOut = entry.fileOut;
  edit.FilterFolderIn = entry.folderIn;
  edit.FilterFolderOut = entry.folderOut;
  if (edit.DoModal(hwnd()) != IDOK) return false;
  entry = Entry{edit.Folder, edit.FilterFileIn, edit.FilterFileOut, edit.FilterFolderIn, edit.FilterFolderOut};
  return true;
}

int CBackupFolderSettingsDlg::Ask(const char* text, unsigned style) {
  return ui::ShowMessageBox(hwnd(), text, style);
}

void CBackupFolderSettingsDlg::Add() {
  const int count = RowCount();
  if (count >= kMaxBkFolders) {
    char text[256];
    std::snprintf(text, sizeof(text), texts::kListFull, kMaxBkFolders);
    Ask(text, MB_ICONEXCLAMATION | MB_OK);
    return;
  }
  Entry entry;
  if (!EditEntry(entry)) return;
  const std::string key = FoldedKey(entry.folder);
  for (int i = 0; i < count; ++i) {
    if (FoldedKey(CellText(i, 0)) != key) continue;
    if (Ask(texts::kAlreadyRegistered, MB_ICONQUESTION | MB_YESNO) != IDYES) return;
    UpdateRow(i, entry);
    SelectRow(i);
    ::SetFocus(List());
    return;
  }
  InsertRow(count, entry);
  SelectRow(count);
  ::SetFocus(List());
}

void CBackupFolderSettingsDlg::Change() {
  if (RowCount() == 0) return;
  const int row = MarkedRow();
  if (row == -1) {
    Ask(texts::kSelectToChange, MB_ICONINFORMATION | MB_OK);
    return;
  }
  Entry entry = RowEntry(row);
  const bool changed = EditEntry(entry);
  ::SetFocus(List());
  // No duplicate test here: two rows may name the same folder after a change.
  if (changed) UpdateRow(row, entry);
}

void CBackupFolderSettingsDlg::Remove() {
  if (RowCount() == 0) return;
  const int row = MarkedRow();
  if (row == -1) {
    Ask(texts::kSelectToRemove, MB_ICONINFORMATION | MB_OK);
    return;
  }
  DeleteRow(row);
  ::SetFocus(List());
}

void CBackupFolderSettingsDlg::Move(int direction) {
  ::SendMessageA(List(), WM_SETREDRAW, FALSE, 0);
  MoveRow(direction);
  ::SendMessageA(List(), WM_SETREDRAW, TRUE, 0);
  ::RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// --- OK ----------------------------------------------------------------------

int CBackupFolderSettingsDlg::StoreList() {
  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  const int count = RowCount();
  for (int i = 0; i < count && i < kMaxBkFolders; ++i) {
    const Entry entry = RowEntry(i);
    folders[i] = entry.folder;
    fileIn[i] = entry.fileIn;
    fileOut[i] = entry.fileOut;
    folderIn[i] = entry.folderIn;
    folderOut[i] = entry.folderOut;
  }
  settings_.SaveBkFolderList(folders, fileIn, fileOut, folderIn, folderOut);
  bool registered = false;
  for (int i = 0; i < kMaxBkFolders && !folders[i].empty(); ++i) {
    if (folders[i] == settings_.BackupFolder) {
      registered = true;
      break;
    }
  }
  if (!registered) settings_.BackupFolder.clear();
  return 0;
}

void CBackupFolderSettingsDlg::OnOK() {
  StoreList();
  const Entry first = RowCount() > 0 ? RowEntry(0) : Entry{};
  Folder = first.folder;
  FilterFileIn = first.fileIn;
  FilterFileOut = first.fileOut;
  FilterFolderIn = first.folderIn;
  FilterFolderOut = first.folderOut;
  EndDialog(IDOK);
}
