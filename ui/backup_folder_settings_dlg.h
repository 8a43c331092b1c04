// FolderListDialog: the backup-folder settings dialog (dialog 142).
// Its rows are the working copy of the backup-folder list while it is open
// (kept in FolderRows and shown in the list view); OK writes the list back to
// the settings file, Cancel writes nothing.
#pragma once

#include <windows.h>

#include "core/backup_folder.h"
#include "ui/dialog_base.h"
#include "ui/folder_rules.h"
#include "ui/resource.h"

namespace settings { class AppSettings; }

namespace ui {

class FolderListDialog : public ui::DialogBase {
 public:
  // settings: the program's one settings record; it must outlive the dialog.
  explicit FolderListDialog(settings::AppSettings& settings);

  // Out, after DoModal returned IDOK: the first row of the list as it was
  // written (an empty entry for an empty list).
  core::BackupFolder First;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnDpiChanged(int dpi) override;

 private:
  // Gives the list its images drawn for dpi.
  void SetListImages(int dpi);
  // Fills the rows and the list from the stored backup-folder list.
  void FillList();
  // Shows entry as a new row index, or in place of row index: the folder with
  // its image (the filter mark when it has filters), then the four filter
  // columns.
  void InsertRow(int index, const core::BackupFolder& entry);
  void UpdateRow(int index, const core::BackupFolder& entry);
  void WriteRow(UINT message, int index, const core::BackupFolder& entry);
  // Deletes row index from the list and selects the row that then holds the
  // selection mark.
  void DeleteRow(int index);

  void Add();
  void Change();
  void Remove();
  void Move(int direction);

  HWND List() const { return Item(IDC_FOLDER_LIST); }
  // The row that holds the selection mark, or -1.
  int MarkedRow() const;
  // Marks, selects and focuses row, and scrolls it into view.
  void SelectRow(int row);
  void SetCell(int row, int column, const std::string& text);
  // The edit dialog with Mode 0 and entry; true with entry replaced on OK.
  bool EditEntry(core::BackupFolder& entry);

  settings::AppSettings& settings_;
  FolderRows rows_;
};

}  // namespace ui
