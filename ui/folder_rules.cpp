// The decisions of the backup-folder dialogs and the switch menu (see
// folder_rules.h).
#include "ui/folder_rules.h"

#include <cstdio>
#include <string_view>

#include "core/path_text.h"
#include "core/sjis.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace ui {

namespace {

// True if text holds the single-byte character c (never the second byte of a
// double-byte character).
bool HasChar(std::string_view text, char c) { return core::sjis::FindChar(text, c) != core::sjis::npos; }

// True if text holds the double-byte character wide, found character by character.
bool HasWideChar(std::string_view text, std::string_view wide) {
  for (size_t i = 0; i < text.size(); i += core::sjis::CharLen(text, i)) {
    if (core::sjis::CharLen(text, i) == 2 && text.substr(i, 2) == wide) return true;
  }
  return false;
}

// The refusal of a checked pattern text, or nullptr when it passes.
const char* FilePatternsRefusal(const std::string& text) {
  if (text.empty()) return texts::kFileNamesEmpty;
  if (HasChar(text, ' ') || HasWideChar(text, texts::kFullWidthSpace)) return texts::kFileNamesHaveSpace;
  return nullptr;
}

const char* FolderPatternsRefusal(const std::string& text) {
  if (text.empty()) return texts::kFolderNamesEmpty;
  if (HasChar(text, '\\')) return texts::kFolderNamesHaveBackslash;
  if (HasChar(text, '*') || HasChar(text, '?')) return texts::kFolderNamesHaveWildcard;
  return nullptr;
}

// The key of the duplicate test: A-Z and Ａ-Ｚ folded as the filters fold names.
std::string FoldedKey(std::string text) {
  core::sjis::FoldLatinLower(text);
  return text;
}

// A path as a menu item text: "&" would underline the next character, so it is
// doubled. ("&" is never the second byte of a double-byte character.)
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

FolderForm FormForEntry(const core::BackupFolder& entry) {
  FolderForm form;
  form.folder = entry.Folder;
  form.fileFilter = !entry.FilterFileIn.empty() || !entry.FilterFileOut.empty();
  form.fileInclude = entry.FilterFileOut.empty();
  if (form.fileFilter) form.filePatterns = form.fileInclude ? entry.FilterFileIn : entry.FilterFileOut;
  form.folderFilter = !entry.FilterFolderIn.empty() || !entry.FilterFolderOut.empty();
  form.folderInclude = form.folderFilter && entry.FilterFolderOut.empty();
  if (form.folderFilter) form.folderPatterns = form.folderInclude ? entry.FilterFolderIn : entry.FilterFolderOut;
  return form;
}

bool ValidateFolderForm(const FolderForm& form, const std::function<bool(const std::string&)>& exists,
                        core::BackupFolder& entry, std::string& refusal, int& focus) {
  std::string folder = form.folder;
  if (core::EndsWithBackslash(folder)) folder.pop_back();
  const char* fault = nullptr;
  focus = IDC_EDIT_FOLDER;
  if (HasChar(folder, '/')) {
    fault = texts::kFolderHasSlash;
  } else if (!exists(folder)) {
    fault = texts::kFolderMissingMessage;
  } else if (form.fileFilter && (fault = FilePatternsRefusal(form.filePatterns)) != nullptr) {
    focus = IDC_FILE_PATTERNS;
  } else if (form.folderFilter && (fault = FolderPatternsRefusal(form.folderPatterns)) != nullptr) {
    focus = IDC_FOLDER_PATTERNS;
  }
  if (fault) {
    refusal = fault;
    return false;
  }
  entry = core::BackupFolder();
  entry.Folder = folder;
  if (form.fileFilter) (form.fileInclude ? entry.FilterFileIn : entry.FilterFileOut) = form.filePatterns;
  if (form.folderFilter) (form.folderInclude ? entry.FilterFolderIn : entry.FilterFolderOut) = form.folderPatterns;
  return true;
}

bool FolderRows::CheckAdd(std::string& refusal) const {
  if (count() < core::kMaxBkFolders) return true;
  char text[256];
  std::snprintf(text, sizeof(text), texts::kListFull, core::kMaxBkFolders);
  refusal = text;
  return false;
}

int FolderRows::AddPosition(const std::string& folder, bool& duplicate) const {
  const std::string key = FoldedKey(folder);
  for (int i = 0; i < count(); ++i) {
    if (FoldedKey(rows_[static_cast<size_t>(i)].Folder) == key) {
      duplicate = true;
      return i;
    }
  }
  duplicate = false;
  return count();
}

int FolderRows::TargetRow(int marked, const char* unmarkedText, std::string& refusal) const {
  refusal.clear();
  if (count() == 0) return -1;
  if (marked < 0 || marked >= count()) {
    refusal = unmarkedText;
    return -1;
  }
  return marked;
}

void FolderRows::Put(int row, const core::BackupFolder& entry) {
  if (row == count()) {
    rows_.push_back(entry);
  } else {
    rows_.at(static_cast<size_t>(row)) = entry;
  }
}

void FolderRows::Remove(int row) { rows_.erase(rows_.begin() + row); }

int FolderRows::Move(int marked, int direction) {
  if (count() == 0 || marked < 0 || marked >= count()) return -1;
  if ((direction >= 0 && marked >= count() - 1) || (direction < 0 && marked < 1)) return marked;
  const int to = marked + (direction >= 0 ? 1 : -1);
  std::swap(rows_[static_cast<size_t>(marked)], rows_[static_cast<size_t>(to)]);
  return to;
}

core::BackupFolder ConfirmRows(const core::BackupFolderList& rows, std::string& currentFolder) {
  if (core::FindBackupFolder(rows, currentFolder) < 0) currentFolder.clear();
  return rows.empty() ? core::BackupFolder() : rows.front();
}

std::vector<FolderMenuItem> FolderMenuItems(const core::BackupFolderList& list, const std::string& current,
                                            bool shortPaths) {
  std::vector<FolderMenuItem> items;
  for (size_t i = 0; i < list.size() && i < static_cast<size_t>(core::kMaxBkFolders); ++i) {
    const core::BackupFolder& entry = list[i];
    FolderMenuItem item;
    item.id = ID_FOLDER_MENU_FIRST + static_cast<int>(i);
    std::string path = entry.Folder;
    if (shortPaths) core::ShortenPath(path);
    item.text = MenuText(path);
    item.checked = entry.Folder == current;
    item.uncheckedBitmap = entry.HasFilters() ? IDB_MENU_FILTER : 0;
    item.checkedBitmap = entry.HasFilters() ? IDB_MENU_FILTER_CHECKED : IDB_MENU_CHECK;
    items.push_back(std::move(item));
  }
  if (items.empty()) {
    FolderMenuItem none;
    none.id = ID_FOLDER_MENU_NONE;
    none.text = texts::kNoFolderItem;
    none.grayed = true;
    items.push_back(std::move(none));
  }
  return items;
}

}  // namespace ui
