// The decisions of the backup-folder dialogs and the switch menu, apart from
// their windows: the add/change dialog's form and its checks, the rows of the
// settings dialog, the items of the switch menu. The dialogs only move values
// between these and their controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/backup_folder.h"

namespace ui {

// --- The add/change dialog (dialog 138) ---

// The dialog's controls as plain values.
struct FolderForm {
  std::string folder;          // edit 1010
  bool fileFilter = false;     // check box 1022
  bool fileInclude = true;     // radio 1023 checked (else 1024)
  std::string filePatterns;    // edit 1025
  bool folderFilter = false;   // check box 1030
  bool folderInclude = false;  // radio 1031 checked (else 1032)
  std::string folderPatterns;  // edit 1033
};

// The form that shows entry: a kind with both lists empty is off (a new file
// filter in include mode, a new folder filter in exclude mode); otherwise on,
// showing the exclude list if it is set, else the include list.
FolderForm FormForEntry(const core::BackupFolder& entry);

// OK's checks, in order: one trailing backslash dropped from the folder; no
// "/" in it; it exists (exists: asked of the disk); a checked file filter is not empty and has no
// half-width or full-width space; a checked folder filter is not empty and has
// no "\", "*" or "?" (character searches, double-byte aware). True with entry
// built from the form (the folder as checked, each checked pattern text as the
// list of its mode, all else empty); false with refusal (the message) and
// focus (the control at fault), entry untouched.
bool ValidateFolderForm(const FolderForm& form, const std::function<bool(const std::string&)>& exists,
                        core::BackupFolder& entry, std::string& refusal, int& focus);

// --- The backup-folder settings dialog (dialog 142) ---

// The dialog's working copy of the list, one row per entry in list order.
class FolderRows {
 public:
  explicit FolderRows(core::BackupFolderList rows = core::BackupFolderList()) : rows_(std::move(rows)) {}

  const core::BackupFolderList& rows() const { return rows_; }
  int count() const { return static_cast<int>(rows_.size()); }

  // Before the add dialog opens: true, or false with the limit message when the
  // list holds kMaxBkFolders rows already.
  bool CheckAdd(std::string& refusal) const;
  // The row an added folder goes to: the first row whose folder equals it with
  // A-Z and Ａ-Ｚ folded (duplicate true: the user is asked whether to replace
  // it), else the new last row (duplicate false).
  int AddPosition(const std::string& folder, bool& duplicate) const;
  // The row a change or a removal works on: marked (the list's selection mark,
  // -1 for none). -1 with refusal empty for an empty list (nothing happens),
  // -1 with refusal = unmarkedText when no row is marked.
  int TargetRow(int marked, const char* unmarkedText, std::string& refusal) const;

  // Replaces row (0..count-1) or, at count, appends.
  void Put(int row, const core::BackupFolder& entry);
  // Removes row (0..count-1).
  void Remove(int row);
  // Moves the marked row one place up (direction < 0) or down. Its new row;
  // marked itself when it already is at that end (nothing changes); -1 when
  // the list is empty or no row is marked.
  int Move(int marked, int direction);

 private:
  core::BackupFolderList rows_;
};

// What OK leaves besides the stored list: currentFolder emptied unless a row
// names it exactly (case matters); the result is the first row (an empty entry
// for an empty list), which the main window takes when no folder is current.
core::BackupFolder ConfirmRows(const core::BackupFolderList& rows, std::string& currentFolder);

// --- The switch menu ---

// One item of the switch menu, in menu order.
struct FolderMenuItem {
  int id = 0;                 // command identifier
  std::string text;           // as the menu shows it ("&" doubled)
  bool checked = false;       // the current backup folder
  bool grayed = false;        // the item of an empty list
  int uncheckedBitmap = 0;    // bitmap resource for the unchecked state, 0 for none
  int checkedBitmap = 0;      // bitmap resource for the checked state, 0 for none
};

// The items for list: entry i as command ID_FOLDER_MENU_FIRST + i, its full path
// or, with shortPaths, ShortenPath of it; checked when the full path equals
// current exactly; filter bitmaps when the entry has filters, else only the
// check bitmap for the checked state. An empty list gives the one greyed item
// "未設定".
std::vector<FolderMenuItem> FolderMenuItems(const core::BackupFolderList& list, const std::string& current,
                                            bool shortPaths);

}  // namespace ui
