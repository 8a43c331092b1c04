// CBackupFolderSettingsDlg: the backup-folder settings dialog (dialog 142).
// Its list view is the working copy of the backup-folder list while it is
// open; OK writes the list back to the settings file, Cancel writes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "platform/dialog_win32.h"
#include "ui/resource.h"

class AppSettings;

class CBackupFolderSettingsDlg : public plat::DialogBase {
 public:
  // settings: the program's one settings record; it must outlive the dialog.
  explicit CBackupFolderSettingsDlg(AppSettings& settings);

  // Out, after DoModal returned IDOK: the first row of the list as it was
  // written (five empty strings for an empty list).
  std::string Folder;
  std::string FilterFileIn, FilterFileOut, FilterFolderIn, FilterFolderOut;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;

 private:
  // One row of the list: the folder and its four filter lists.
  struct Entry {
    std::string folder, fileIn, fileOut, folderIn, folderOut;
  };

  // Fills the list from the stored backup-folder list. Always 0.
  int FillList();
  // Inserts entry as row index; UpdateRow replaces row index. Always 0.
  int InsertRow(int index, const Entry& entry);
  int UpdateRow(int index, const Entry& entry);
  // Inserts (LVM_INSERTITEMA) or replaces (LVM_SETITEMA) row index: the
  // folder with its image, then the four filter columns.
  void WriteRow(UINT message, int index, const Entry& entry);
  // Deletes row index and selects the row that then holds the selection mark.
  // Always 0.
  int DeleteRow(int index);
  // Moves the marked row one place up (-1) or down (+1) and selects it there;
  // 0 (also when it already is at that end), -1 if the list is empty or no row
  // is marked.
  int MoveRow(int direction);
  // Writes every row to the settings file in list order and empties the
  // current backup folder if no row names it exactly. Always 0.
  int StoreList();

  void Add();
  void Change();
  void Remove();
  void Move(int direction);

  HWND List() const { return Item(IDC_FOLDER_LIST); }
  int RowCount() const;
  // The row that holds the selection mark, or -1.
  int MarkedRow() const;
  // Marks, selects and focuses row, and scrolls it into view.
  void SelectRow(int row);
  Entry RowEntry(int row) const;
  std::string CellText(int row, int column) const;
  void SetCell(int row, int column, const std::string& text);
  // The edit dialog with Mode 0 and entry; true with entry replaced on OK.
  bool EditEntry(Entry& entry);
  int Ask(const char* text, unsigned style);

  AppSettings& settings_;
};
