// The backup-folder list in section BkFolderList of the settings file (see
// bkfolder_list.h).
#include "settings/bkfolder_list.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "settings/texts.h"

namespace settings {

namespace {

// The five keys of one entry with the field each holds, in the order every
// operation reads and writes them.
struct Field {
  const char* keyFormat;
  std::string core::BackupFolder::*member;
};
const Field kFields[] = {
    {texts::kKeyBkFolder, &core::BackupFolder::Folder},
    {texts::kKeyFilterFileIn, &core::BackupFolder::FilterFileIn},
    {texts::kKeyFilterFileOut, &core::BackupFolder::FilterFileOut},
    {texts::kKeyFilterFolderIn, &core::BackupFolder::FilterFolderIn},
    {texts::kKeyFilterFolderOut, &core::BackupFolder::FilterFolderOut},
};

std::string NumberedKey(const char* format, int index) {
  char key[64];
  std::snprintf(key, sizeof(key), format, index);
  return key;
}

bool IsListIndex(int index) { return index >= 0 && index < core::kMaxBkFolders; }

// The folder of entry index as the whole list reads it: none when its key is
// absent, empty or "NonFolder", which ends the list.
std::optional<std::string> ListedFolder(int index, const plat::NativePath& path) {
  std::optional<std::string> folder =
      ini::ReadProfileText(texts::kSectionBkFolderList, NumberedKey(texts::kKeyBkFolder, index), path);
  if (!folder || folder->empty() || *folder == texts::kNoFolder) return std::nullopt;
  return folder;
}

}  // namespace

void LoadBkFolderList(bool loadFilters, core::BackupFolderList& list, const plat::NativePath& path) {
  list.clear();
  for (int i = 0; i < core::kMaxBkFolders; ++i) {
    std::optional<std::string> folder = ListedFolder(i, path);
    if (!folder) break;
    core::BackupFolder entry;
    entry.Folder = std::move(*folder);
    if (loadFilters) {
      for (const Field& field : kFields) {
        if (field.member != &core::BackupFolder::Folder) {
          entry.*field.member =
              ini::ReadProfileText(texts::kSectionBkFolderList, NumberedKey(field.keyFormat, i), path).value_or("");
        }
      }
    }
    list.push_back(std::move(entry));
  }
}

bool SaveBkFolderList(const core::BackupFolderList& list, const plat::NativePath& path) {
  // The entries the file holds now: those past the new list are stale.
  int stored = 0;
  while (stored < core::kMaxBkFolders && ListedFolder(stored, path)) ++stored;
  std::vector<ini::KeyChange> changes;
  const core::BackupFolder none;
  for (int i = 0; i < core::kMaxBkFolders; ++i) {
    const size_t at = static_cast<size_t>(i);
    const core::BackupFolder& entry = at < list.size() ? list[at] : none;
    if (entry.Folder.empty() && i >= stored) break;
    for (const Field& field : kFields) {
      changes.push_back({texts::kSectionBkFolderList, NumberedKey(field.keyFormat, i),
                         entry.Folder.empty() ? std::nullopt : std::optional<std::string>(entry.*field.member)});
    }
  }
  // One write for the whole list: either all of it is in the file or none.
  return ini::WriteProfileChanges(changes, path);
}

void ReadBkFolder(int index, core::BackupFolder& entry, const plat::NativePath& path) {
  entry = core::BackupFolder();
  if (!IsListIndex(index)) return;
  for (const Field& field : kFields) {
    entry.*field.member =
        ini::ReadProfileText(texts::kSectionBkFolderList, NumberedKey(field.keyFormat, index), path).value_or("");
  }
}

void WriteBkFolder(int index, const core::BackupFolder& entry, const plat::NativePath& path) {
  // A key outside 000..099 would never be read by the list.
  if (!IsListIndex(index)) return;
  std::vector<ini::KeyChange> changes;
  for (const Field& field : kFields)
    changes.push_back({texts::kSectionBkFolderList, NumberedKey(field.keyFormat, index), entry.*field.member});
  ini::WriteProfileChanges(changes, path);
}

void StoreCurrentFilters(const std::string& currentFolder, const core::FilterSet& filters,
                         const plat::NativePath& path) {
  core::BackupFolderList list;
  LoadBkFolderList(false, list, path);
  // Normally one entry names the current folder; after a change in the settings
  // dialog two may, and each of them gets the filters.
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].Folder != currentFolder) continue;
    const core::BackupFolder entry{list[i].Folder, filters.FilterFileIn(), filters.FilterFileOut(),
                             filters.FilterFolderIn(), filters.FilterFolderOut()};
    WriteBkFolder(static_cast<int>(i), entry, path);
  }
}

}  // namespace settings
