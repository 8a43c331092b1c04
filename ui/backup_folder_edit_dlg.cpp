// The add/change backup-folder dialog (see backup_folder_edit_dlg.h): the
// controls in and out; the decisions are in folder_rules.h.
#include "ui/backup_folder_edit_dlg.h"

#include <string>

#include "platform/fs.h"
#include "ui/dialog_util.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace ui {

FolderEditDialog::FolderEditDialog() : ui::DialogBase(IDD_BACKUP_FOLDER_EDIT) {}

BOOL FolderEditDialog::OnInitDialog() {
  ui::CenterOnOwner(hwnd());
  ui::SetText(hwnd(), (Mode == EditMode::kCurrentFolder || !Entry.Folder.empty()) ? texts::kTitleChangeFolder : texts::kTitleAddFolder);
  const FolderForm form = FormForEntry(Entry);
  ui::SetItemText(hwnd(), IDC_EDIT_FOLDER, form.folder);
  ui::SetChecked(hwnd(), IDC_FILE_FILTER, form.fileFilter);
  ::CheckRadioButton(hwnd(), IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE, form.fileInclude ? IDC_FILE_INCLUDE : IDC_FILE_EXCLUDE);
  if (form.fileFilter) ui::SetItemText(hwnd(), IDC_FILE_PATTERNS, form.filePatterns);
  ui::SetChecked(hwnd(), IDC_FOLDER_FILTER, form.folderFilter);
  ::CheckRadioButton(hwnd(), IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE,
                     form.folderInclude ? IDC_FOLDER_INCLUDE : IDC_FOLDER_EXCLUDE);
  if (form.folderFilter) ui::SetItemText(hwnd(), IDC_FOLDER_PATTERNS, form.folderPatterns);
  UpdateFilterControls();
  if (Mode == EditMode::kCurrentFolder) {
    ::EnableWindow(Item(IDC_EDIT_FOLDER), FALSE);
    ::ShowWindow(Item(IDC_BROWSE), SW_HIDE);
  }
  return TRUE;
}

void FolderEditDialog::UpdateFilterControls() {
  const BOOL file = ui::IsChecked(hwnd(), IDC_FILE_FILTER) ? TRUE : FALSE;
  for (int id : {IDC_FILE_PATTERNS, IDC_FILE_INCLUDE, IDC_FILE_EXCLUDE}) ::EnableWindow(Item(id), file);
  const BOOL folder = ui::IsChecked(hwnd(), IDC_FOLDER_FILTER) ? TRUE : FALSE;
  for (int id : {IDC_FOLDER_PATTERNS, IDC_FOLDER_INCLUDE, IDC_FOLDER_EXCLUDE}) ::EnableWindow(Item(id), folder);
  // The folder filter is offered as an exclude list only (the fixed label).
  ::ShowWindow(Item(IDC_FOLDER_INCLUDE), SW_HIDE);
  ::ShowWindow(Item(IDC_FOLDER_EXCLUDE), SW_HIDE);
}

bool FolderEditDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
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
  return ui::DialogBase::OnCommand(wParam, lParam);
}

void FolderEditDialog::Browse() {
  std::string path = ui::ItemText(hwnd(), IDC_EDIT_FOLDER);
  if (ui::PickFolder(hwnd(), texts::kBrowseTitle, path) != 0) return;
  ui::SetItemText(hwnd(), IDC_EDIT_FOLDER, path);
  ::SetFocus(Item(IDC_EDIT_FOLDER));
  MoveCaretToEnd();
}

void FolderEditDialog::MoveCaretToEnd() {
  HWND edit = Item(IDC_EDIT_FOLDER);
  // The edit counts UTF-16 characters.
  const WPARAM end = static_cast<WPARAM>(::GetWindowTextLengthW(edit));
  ::SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
  ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

FolderForm FolderEditDialog::ReadForm() const {
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

void FolderEditDialog::OnOK() {
  std::string refusal;
  int focus = 0;
  const auto exists = [](const std::string& folder) { return plat::PathExists(plat::ToNative(folder)); };
  if (!ValidateFolderForm(ReadForm(), exists, Entry, refusal, focus)) {
    ui::ShowMessageBox(hwnd(), refusal, MB_ICONEXCLAMATION | MB_OK);
    ::SetFocus(Item(focus));
    return;
  }
  EndDialog(IDOK);
}

}  // namespace ui
