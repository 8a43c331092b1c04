// The add/change backup-folder dialog (see backup_folder_edit_dlg.h).
#include "ui/backup_folder_edit_dlg.h"

#include <string_view>

#include "engine/fileutil.h"
#include "platform/sjis.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace {

// True if text holds the single-byte character c (never the second byte of a
// double-byte character).
bool HasChar(std::string_view text, char c) { return sjis::FindChar(text, c) != sjis::npos; }

// True if text holds the double-byte character wide (two bytes), found
// character by character.
bool HasWideChar(std::string_view text, std::string_view wide) {
  for (size_t i = 0; i < text.size(); i += sjis::CharLen(text, i)) {
    if (sjis::CharLen(text, i) == 2 && text.substr(i, 2) == wide) return true;
  }
  return false;
}

}  // namespace

CBackupFolderEditDlg::CBackupFolderEditDlg() : plat::DialogBase(IDD_BACKUP_FOLDER_EDIT) {}

BOOL CBackupFolderEditDlg::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  ::SetWindowTextA(hwnd(), (Mode == 1 || !Folder.empty()) ? texts::kTitleChangeFolder : texts::kTitleAddFolder);
  ::SetDlgItemTextA(hwnd(), IDC_EDIT_FOLDER, Folder.c_str());

  // A new file filter starts as an include list, a new folder filter as an
  // exclude list; when both lists of a kind are set, the exclude list is shown.
  if (FilterFileIn.empty() && FilterFileOut.empty()) {
    ui::SetChecked(hwnd(), IDC_FILE_FILTER, false);
    ::CheckRadioButton(hwnd(), IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE, IDC_FILE_INCLUDE);
  } else {
    ui::SetChecked(hwnd(), IDC_FILE_FILTER, true);
    const bool include = FilterFileOut.empty();
    ::CheckRadioButton(hwnd(), IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE, include ? IDC_FILE_INCLUDE : IDC_FILE_EXCLUDE);
    ::SetDlgItemTextA(hwnd(), IDC_FILE_PATTERNS, (include ? FilterFileIn : FilterFileOut).c_str());
  }
  if (FilterFolderIn.empty() && FilterFolderOut.empty()) {
    ui::SetChecked(hwnd(), IDC_FOLDER_FILTER, false);
    ::CheckRadioButton(hwnd(), IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE, IDC_FOLDER_EXCLUDE);
  } else {
    ui::SetChecked(hwnd(), IDC_FOLDER_FILTER, true);
    const bool include = FilterFolderOut.empty();
    ::CheckRadioButton(hwnd(), IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE,
                       include ? IDC_FOLDER_INCLUDE : IDC_FOLDER_EXCLUDE);
    ::SetDlgItemTextA(hwnd(), IDC_FOLDER_PATTERNS, (include ? FilterFolderIn : FilterFolderOut).c_str());
  }
  UpdateFilterControls();
  if (Mode == 1) {
    ::EnableWindow(Item(IDC_EDIT_FOLDER), FALSE);
    ::ShowWindow(Item(IDC_BROWSE), SW_HIDE);
  }
  return TRUE;
}

int CBackupFolderEditDlg::UpdateFilterControls() {
  const BOOL file = ui::IsChecked(hwnd(), IDC_FILE_FILTER) ? TRUE : FALSE;
  for (int id : {IDC_FILE_PATTERNS, IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE}) ::EnableWindow(Item(id), file);
  const BOOL folder = ui::IsChecked(hwnd(), IDC_FOLDER_FILTER) ? TRUE : FALSE;
  for (int id : {IDC_FOLDER_PATTERNS, IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE}) ::EnableWindow(Item(id), folder);
  // The folder filter is offered as an exclude list only (the fixed label).
  ::ShowWindow(Item(IDC_FOLDER_INCLUDE), SW_HIDE);
  ::ShowWindow(Item(IDC_FOLDER_EXCLUDE), SW_HIDE);
  return 0;
}

bool CBackupFolderEditDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDC_BROWSE:
        Browse();
        return true;
      case IDC_FILE_FILTER:
      case IDC_FOLDER_FILTER:
        UpdateFilterControls();
        return true;
    }
  }
  return plat::DialogBase::OnCommand(wParam, lParam);
}

void CBackupFolderEditDlg::Browse() {
  std::string path = ui::ItemText(hwnd(), IDC_EDIT_FOLDER);
  if (BrowseForFolder(hwnd(), texts::kBrowseTitle, path, 1) != 0) return;
  ::SetDlgItemTextA(hwnd(), IDC_EDIT_FOLDER, path.c_str());
  ::SetFocus(Item(IDC_EDIT_FOLDER));
  MoveCaretToEnd();
}

int CBackupFolderEditDlg::MoveCaretToEnd() {
  HWND edit = Item(IDC_EDIT_FOLDER);
  const WPARAM end = ui::ItemText(hwnd(), IDC_EDIT_FOLDER).size();
  // The edit counts ANSI bytes here, so the end is the text's byte length.
  ::SendMessageA(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
  ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  return 0;
}

void CBackupFolderEditDlg::Refuse(const char* text, int id) {
  ui::ShowMessageBox(hwnd(), text, MB_ICONEXCLAMATION | MB_OK);
  ::SetFocus(Item(id));
}

void CBackupFolderEditDlg::OnOK() {
  Folder = ui::ItemText(hwnd(), IDC_EDIT_FOLDER);
  if (EndsWithBackslash(Folder) == 0) Folder.pop_back();
  if (HasChar(Folder, '/')) {
    Refuse(texts::kFolderHasSlash, IDC_EDIT_FOLDER);
    return;
  }
  if (PathExists(Folder) != 0) {
    Refuse(texts::kFolderMissingMessage, IDC_EDIT_FOLDER);
    return;
  }
  if (ValidateFilters() != 0) return;

  FilterFileIn.clear();
  FilterFileOut.clear();
  FilterFolderIn.clear();
  FilterFolderOut.clear();
  if (ui::IsChecked(hwnd(), IDC_FILE_FILTER)) {
    std::string text = ui::ItemText(hwnd(), IDC_FILE_PATTERNS);
    (ui::IsChecked(hwnd(), IDC_FILE_INCLUDE) ? FilterFileIn : FilterFileOut) = std::move(text);
  }
  if (ui::IsChecked(hwnd(), IDC_FOLDER_FILTER)) {
    std::string text = ui::ItemText(hwnd(), IDC_FOLDER_PATTERNS);
    (ui::IsChecked(hwnd(), IDC_FOLDER_INCLUDE) ? FilterFolderIn : FilterFolderOut) = std::move(text);
  }
  EndDialog(IDOK);
}

int CBackupFolderEditDlg::ValidateFilters() {
  if (ui::IsChecked(hwnd(), IDC_FILE_FILTER)) {
    const std::string text = ui::ItemText(hwnd(), IDC_FILE_PATTERNS);
    if (text.empty()) {
      Refuse(texts::kFileNamesEmpty, IDC_FILE_PATTERNS);
      return -1;
    }
    if (HasChar(text, ' ') || HasWideChar(text, texts::kFullWidthSpace)) {
      Refuse(texts::kFileNamesHaveSpace, IDC_FILE_PATTERNS);
      return -1;
    }
  }
  if (ui::IsChecked(hwnd(), IDC_FOLDER_FILTER)) {
    const std::string text = ui::ItemText(hwnd(), IDC_FOLDER_PATTERNS);
    if (text.empty()) {
      Refuse(texts::kFolderNamesEmpty, IDC_FOLDER_PATTERNS);
      return -1;
    }
    if (HasChar(text, '\\')) {
      Refuse(texts::kFolderNamesHaveBackslash, IDC_FOLDER_PATTERNS);
      return -1;
    }
    if (HasChar(text, '*') || HasChar(text, '?')) {
      Refuse(texts::kFolderNamesHaveWildcard, IDC_FOLDER_PATTERNS);
      return -1;
    }
  }
  return 0;
}
