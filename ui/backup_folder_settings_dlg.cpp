// The backup-folder settings dialog (see backup_folder_settings_dlg.h): each
// button asks FolderRows what to do and shows the result in the list view.
#include "ui/backup_folder_settings_dlg.h"

#include <commctrl.h>

#include <string>

#include "settings/app_settings.h"
#include "settings/bkfolder_list.h"
#include "ui/backup_folder_edit_dlg.h"
#include "ui/dialog_util.h"
#include "ui/dpi_scale.h"
#include "ui/texts.h"

namespace ui {

namespace {

// The list images: 13 pixels wide at 96 DPI, cut from bitmap 146 drawn for the
// window's DPI; black is transparent.
constexpr int kImageWidth = 13;
constexpr int kImageGrow = 1;
constexpr int kImageBlank = 0;
constexpr int kImageFilterMark = 1;

// The columns: the folder, then the four filter lists, which are never seen
// (widths at 96 DPI).
struct Column {
  const char* header;
  int width;
};
constexpr Column kColumns[] = {
    {texts::kColumnFolder, 650}, {texts::kColumnFileIn, 0},     {texts::kColumnFileOut, 0},
    {texts::kColumnFolderIn, 0}, {texts::kColumnFolderOut, 0},
};

}  // namespace

FolderListDialog::FolderListDialog(settings::AppSettings& settings)
    : ui::DialogBase(IDD_BACKUP_FOLDER_SETTINGS), settings_(settings) {}

BOOL FolderListDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  const int dpi = ui::WindowDpi(hwnd());
  SetListImages(dpi);
  for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
    std::wstring header = ui::Wide(kColumns[i].header);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = &header[0];
    column.cx = dpi::Scale(kColumns[i].width, dpi);
    ::SendMessageW(List(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  ::SendMessageW(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  FillList();
  return TRUE;
}

void FolderListDialog::SetListImages(int dpi) {
  const int scale = dpi::ImageScaleIndex(dpi);
  const int id = dpi::ScaledImageId(IDB_LIST_IMAGES, scale);
  HIMAGELIST images = ::ImageList_LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                             dpi::ImageSize(kImageWidth, scale), kImageGrow, RGB(0, 0, 0),
                                             IMAGE_BITMAP, 0);
  if (!images) return;
  // The list view owns the image list it holds and destroys it with itself
  // (the list has no LVS_SHAREIMAGELISTS); one it gives back is ours.
  HIMAGELIST replaced = reinterpret_cast<HIMAGELIST>(
      ::SendMessageW(List(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
  if (replaced) ::ImageList_Destroy(replaced);
}

void FolderListDialog::OnDpiChanged(int dpi) {
  SetListImages(dpi);
  ::SendMessageW(List(), LVM_SETCOLUMNWIDTH, 0, dpi::Scale(kColumns[0].width, dpi));
}

bool FolderListDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
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
  return ui::DialogBase::OnCommand(wParam, lParam);
}

// --- The rows ----------------------------------------------------------------

void FolderListDialog::FillList() {
  ::SendMessageW(List(), LVM_DELETEALLITEMS, 0, 0);
  core::BackupFolderList list;
  settings::LoadBkFolderList(true, list);
  rows_ = FolderRows(list);
  for (int i = 0; i < rows_.count(); ++i) InsertRow(i, rows_.rows()[static_cast<size_t>(i)]);
}

void FolderListDialog::InsertRow(int index, const core::BackupFolder& entry) {
  WriteRow(LVM_INSERTITEMW, index, entry);
}

void FolderListDialog::UpdateRow(int index, const core::BackupFolder& entry) {
  WriteRow(LVM_SETITEMW, index, entry);
}

void FolderListDialog::WriteRow(UINT message, int index, const core::BackupFolder& entry) {
  std::wstring folder = ui::Wide(entry.Folder);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = &folder[0];
  item.iImage = entry.HasFilters() ? kImageFilterMark : kImageBlank;
  LRESULT result = ::SendMessageW(List(), message, 0, reinterpret_cast<LPARAM>(&item));
  // An insertion answers with the new row's index, a change with TRUE.
  const int row = message == LVM_INSERTITEMW ? static_cast<int>(result) : (result ? index : -1);
  if (row < 0) return;
  SetCell(row, 1, entry.FilterFileIn);
  SetCell(row, 2, entry.FilterFileOut);
  SetCell(row, 3, entry.FilterFolderIn);
  SetCell(row, 4, entry.FilterFolderOut);
}

void FolderListDialog::DeleteRow(int index) {
  ::SendMessageW(List(), LVM_DELETEITEM, index, 0);
  // The list keeps its mark on the row that moved into the deleted place (the
  // last row when the deleted one was last); that row becomes the selection.
  const int marked = MarkedRow();
  if (marked >= 0) {
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(List(), LVM_SETITEMSTATE, marked, reinterpret_cast<LPARAM>(&state));
  }
}

int FolderListDialog::MarkedRow() const {
  return static_cast<int>(::SendMessageW(List(), LVM_GETSELECTIONMARK, 0, 0));
}

void FolderListDialog::SelectRow(int row) {
  ::SendMessageW(List(), LVM_SETSELECTIONMARK, 0, row);
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  // A partly visible row counts as visible.
  ::SendMessageW(List(), LVM_ENSUREVISIBLE, row, TRUE);
}

void FolderListDialog::SetCell(int row, int column, const std::string& text) {
  std::wstring wide = ui::Wide(text);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &wide[0];
  ::SendMessageW(List(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// --- The buttons -------------------------------------------------------------

bool FolderListDialog::EditEntry(core::BackupFolder& entry) {
  FolderEditDialog edit;
  edit.Mode = FolderEditDialog::EditMode::kFromSettings;
  edit.Entry = entry;
  if (edit.DoModal(hwnd()) != IDOK) return false;
  entry = edit.Entry;
  return true;
}

void FolderListDialog::Add() {
  std::string refusal;
  if (!rows_.CheckAdd(refusal)) {
    ui::ShowMessageBox(hwnd(), refusal, MB_ICONEXCLAMATION | MB_OK);
    return;
  }
  core::BackupFolder entry;
  if (!EditEntry(entry)) return;
  bool duplicate = false;
  const int row = rows_.AddPosition(entry.Folder, duplicate);
  if (duplicate && ui::ShowMessageBox(hwnd(), texts::kAlreadyRegistered, MB_ICONQUESTION | MB_YESNO) != IDYES) {
    return;
  }
  rows_.Put(row, entry);
  if (duplicate) {
    UpdateRow(row, entry);
  } else {
    InsertRow(row, entry);
  }
  SelectRow(row);
  ::SetFocus(List());
}

void FolderListDialog::Change() {
  std::string refusal;
  const int row = rows_.TargetRow(MarkedRow(), texts::kSelectToChange, refusal);
  if (row < 0) {
    if (!refusal.empty()) ui::ShowMessageBox(hwnd(), refusal, MB_ICONINFORMATION | MB_OK);
    return;
  }
  core::BackupFolder entry = rows_.rows()[static_cast<size_t>(row)];
  const bool changed = EditEntry(entry);
  ::SetFocus(List());
  // No duplicate test here: two rows may name the same folder after a change.
  if (!changed) return;
  rows_.Put(row, entry);
  UpdateRow(row, entry);
}

void FolderListDialog::Remove() {
  std::string refusal;
  const int row = rows_.TargetRow(MarkedRow(), texts::kSelectToRemove, refusal);
  if (row < 0) {
    if (!refusal.empty()) ui::ShowMessageBox(hwnd(), refusal, MB_ICONINFORMATION | MB_OK);
    return;
  }
  rows_.Remove(row);
  DeleteRow(row);
  ::SetFocus(List());
}

void FolderListDialog::Move(int direction) {
  ::SendMessageW(List(), WM_SETREDRAW, FALSE, 0);
  const int from = MarkedRow();
  const int to = rows_.Move(from, direction);
  if (to >= 0 && to != from) {
    DeleteRow(from);
    InsertRow(to, rows_.rows()[static_cast<size_t>(to)]);
    SelectRow(to);
  }
  ::SendMessageW(List(), WM_SETREDRAW, TRUE, 0);
  ::RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// --- OK ----------------------------------------------------------------------

void FolderListDialog::OnOK() {
  // A list that did not reach the file is said so; the dialog stays open with
  // it, for another OK or a cancel.
  if (!settings::SaveBkFolderList(rows_.rows())) {
    ui::ShowMessageBox(hwnd(), texts::kSettingsSaveFailed, MB_ICONSTOP | MB_OK);
    return;
  }
  First = ConfirmRows(rows_.rows(), settings_.BackupFolder);
  EndDialog(IDOK);
}

}  // namespace ui
