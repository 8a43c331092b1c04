// The backup-folder list in section BkFolderList of the settings file: whole-list
// load and save with stale-entry removal, single-entry read and write, and the
// store of the current folder's filters (see app_settings.h).
#include <cstdio>
#include <vector>

#include "settings/app_settings.h"
#include "settings/ini_file.h"
#include "settings/texts.h"

namespace {

// The five keys of one entry with the field each holds, in the order every
// operation reads and writes them.
struct Field {
  const char* keyFormat;
  std::string BackupFolder::*member;
};
const Field kFields[] = {
    {settings::texts::kKeyBkFolder, &BackupFolder::Folder},
    {settings::texts::kKeyFilterFileIn, &BackupFolder::FilterFileIn},
    {settings::texts::kKeyFilterFileOut, &BackupFolder::FilterFileOut},
    {settings::texts::kKeyFilterFolderIn, &BackupFolder::FilterFolderIn},
    {settings::texts::kKeyFilterFolderOut, &BackupFolder::FilterFolderOut},
};

std::string NumberedKey(const char* format, int index) {
  char key[64];
  std::snprintf(key, sizeof(key), format, index);
  return key;
}

bool IsListIndex(int index) { return index >= 0 && index < kMaxBkFolders; }

}  // namespace

void AppSettings::LoadBkFolderList(bool loadFilters, BackupFolderList& list, const plat::NativePath& path) {
  const char* section = settings::texts::kSectionBkFolderList;
  list.clear();
  BkFolderCount = 0;
  for (int i = 0; i < kMaxBkFolders; ++i) {
    ::BackupFolder entry;
    entry.Folder = ReadIniString(section, NumberedKey(settings::texts::kKeyBkFolder, i), settings::texts::kNoFolder, path);
    if (entry.Folder == settings::texts::kNoFolder || entry.Folder.empty()) break;
    if (loadFilters) {
      for (const Field& field : kFields) {
        if (field.member != &::BackupFolder::Folder)
          entry.*field.member = ReadIniString(section, NumberedKey(field.keyFormat, i), "", path);
      }
    }
    list.push_back(std::move(entry));
    ++BkFolderCount;
  }
}

bool AppSettings::SaveBkFolderList(const BackupFolderList& list, const plat::NativePath& path) {
  const char* section = settings::texts::kSectionBkFolderList;
  std::vector<ini::KeyChange> changes;
  const ::BackupFolder none;
  for (int i = 0; i < kMaxBkFolders; ++i) {
    const size_t at = static_cast<size_t>(i);
    const ::BackupFolder& entry = at < list.size() ? list[at] : none;
    if (entry.Folder.empty() && i >= BkFolderCount) break;
    // An empty entry the last load found is gone now: its keys go.
    for (const Field& field : kFields) {
      changes.push_back({section, NumberedKey(field.keyFormat, i),
                         entry.Folder.empty() ? std::nullopt : std::optional<std::string>(entry.*field.member)});
    }
  }
  // One write for the whole list: either all of it is in the file or none.
  return ini::WriteProfileChanges(changes, path);
}

void AppSettings::ReadBkFolder(int index, ::BackupFolder& entry, const plat::NativePath& path) {
  entry = ::BackupFolder();
  if (!IsListIndex(index)) return;
  for (const Field& field : kFields) {
    entry.*field.member = ReadIniString(settings::texts::kSectionBkFolderList, NumberedKey(field.keyFormat, index), "", path);
  }
}

void AppSettings::WriteBkFolder(int index, const ::BackupFolder& entry, const plat::NativePath& path) {
  // A key outside 000..099 would never be read by the list.
  if (!IsListIndex(index)) return;
  std::vector<ini::KeyChange> changes;
  for (const Field& field : kFields)
    changes.push_back({settings::texts::kSectionBkFolderList, NumberedKey(field.keyFormat, index), entry.*field.member});
  ini::WriteProfileChanges(changes, path);
}

void StoreCurrentFilters(AppSettings& settings, const FilterSet& filters, const plat::NativePath& path) {
  BackupFolderList list;
  settings.LoadBkFolderList(false, list, path);
  // Normally one entry names the current folder; after a change in the settings
  // dialog two may, and each of them gets the filters.
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].Folder != settings.BackupFolder) continue;
    const BackupFolder entry{list[i].Folder, filters.FilterFileIn(), filters.FilterFileOut(),
                             filters.FilterFolderIn(), filters.FilterFolderOut()};
    settings.WriteBkFolder(static_cast<int>(i), entry, path);
  }
}
