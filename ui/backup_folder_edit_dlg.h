// FolderEditDialog: the add/change dialog of one backup folder (dialog
// 138): its path and its file and folder filter, checked on OK.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/backup_folder.h"
#include "ui/dialog_base.h"
#include "ui/folder_rules.h"

namespace ui {

class FolderEditDialog : public ui::DialogBase {
 public:
  FolderEditDialog();

  // In: set after construction, before DoModal. Out: valid after DoModal
  // returned IDOK (the folder checked, the four lists built from the
  // controls, at most one list of each kind non-empty).
  enum class EditMode { kFromSettings, kCurrentFolder };
  EditMode Mode = EditMode::kFromSettings;  // kCurrentFolder: the current folder, locked
  core::BackupFolder Entry;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;

 private:
  // Enables each pattern edit and its radio buttons while its check box is
  // checked; the folder radio buttons stay hidden.
  void UpdateFilterControls();
  // The folder picker, starting at the folder edit's text.
  void Browse();
  // Puts the caret after the last character of the folder edit.
  void MoveCaretToEnd();
  // The controls as plain values.
  FolderForm ReadForm() const;
};

}  // namespace ui
