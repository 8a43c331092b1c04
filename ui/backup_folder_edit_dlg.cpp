// The add/change backup-folder dialog (see backup_folder_edit_dlg.h): the
// controls in and out; the decisions are in folder_rules.h.
#include "ui/backup_folder_edit_dlg.h"

#include <string>

#include "engine/fileutil.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"
#include "ui/texts.h"

CBackupFolderEditDlg::CBackupFolderEditDlg() : plat::DialogBase(IDD_BACKUP_FOLDER_EDIT) {}

BOOL CBackupFolderEditDlg::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  ::SetWindowTextA(hwnd(), (Mode == 1 || !Entry.Folder.empty()) ? texts::kTitleChangeFolder : texts::kTitleAddFolder);
  const FolderForm form = FormForEntry(Entry);
  ::SetDlgItemTextA(hwnd(), IDC_EDIT_FOLDER, form.folder.c_str());
  ui::SetChecked(hwnd(), IDC_FILE_FILTER, form.fileFilter);
  ::CheckRadioButton(hwnd(), IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE, form.fileInclude ? IDC_FILE_INCLUDE : IDC_FILE_EXCLUDE);
  if (form.fileFilter) ::SetDlgItemTextA(hwnd(), IDC_FILE_PATTERNS, form.filePatterns.c_str());
  ui::SetChecked(hwnd(), IDC_FOLDER_FILTER, form.folderFilter);
  ::CheckRadioButton(hwnd(), IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE,
                     form.folderInclude ? IDC_FOLDER_INCLUDE : IDC_FOLDER_EXCLUDE);
  if (form.folderFilter) ::SetDlgItemTextA(hwnd(), IDC_FOLDER_PATTERNS, form.folderPatterns.c_str());
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

FolderForm CBackupFolderEditDlg::ReadForm() const {
  FolderForm form;
  form.folder = ui::ItemText(hwnd(), IDC_EDIT_FOLDER);
  form.fileFilter = ui::IsChecked(hwnd(), IDC_FILE_FILTER);
  form.fileInclude = ui::IsChecked(hwnd(), IDC_FILE_INCLUDE);
  form.filePatterns = ui::ItemText(hwnd(), IDC_FILE_PATTERNS);
  form.folderFilter = ui::IsChecked(hwnd(), IDC_FOLDER_FILTER);
  form.folderInclude = ui::IsChecked(hwnd(), IDC_FOLDER_INCLUDE);
  form.folderPatterns = ui::ItemText(hwnd(), IDC_FOLDER_PATTERNS);
  return form;
}

void CBackupFolderEditDlg::OnOK() {
  std::string refusal;
  int focus = 0;
  if (ValidateFolderForm(ReadForm(), Entry, refusal, focus) != 0) {
    ui::ShowMessageBox(hwnd(), refusal, MB_ICONEXCLAMATION | MB_OK);
    ::SetFocus(Item(focus));
    return;
  }
  EndDialog(IDOK);
}
