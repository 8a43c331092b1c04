// The backup-folder list in section BkFolderList of the settings file: whole-list
// load and save with stale-entry removal, single-entry read and write (see
// app_settings.h).
#include <cstdio>

#include "settings/app_settings.h"
#include "settings/texts.h"

namespace {

// The five keys of one entry, in the order every operation uses them.
struct EntryKeys {
  std::string folder, fileIn, fileOut, folderIn, folderOut;
};

std::string NumberedKey(const char* format, int index) {
  char key[64];
  std::snprintf(key, sizeof(key), format, index);
  return key;
}

EntryKeys KeysOf(int index) {
  return {NumberedKey(texts::kKeyBkFolder, index), NumberedKey(texts::kKeyFilterFileIn, index),
          NumberedKey(texts::kKeyFilterFileOut, index), NumberedKey(texts::kKeyFilterFolderIn, index),
          NumberedKey(texts::kKeyFilterFolderOut, index)};
}

bool IsListIndex(int index) { return index >= 0 && index < kMaxBkFolders; }

}  // namespace

int AppSettings::LoadBkFolderList(int loadFilters, BkFolderArray& folders, BkFolderArray& fileIn,
                                  BkFolderArray& fileOut, BkFolderArray& folderIn, BkFolderArray& folderOut) {
  const char* section = texts::kSectionBkFolderList;
  BkFolderCount = 0;
  for (int i = 0; i < kMaxBkFolders; ++i) {
    EntryKeys keys = KeysOf(i);
    std::string folder = ReadIniString(section, keys.folder, texts::kNoFolder, SettingsFilePath());
    if (folder == texts::kNoFolder || folder.empty()) break;
    size_t at = static_cast<size_t>(i);
    folders[at] = folder;
    if (loadFilters) {
      fileIn[at] = ReadIniString(section, keys.fileIn, "", SettingsFilePath());
      fileOut[at] = ReadIniString(section, keys.fileOut, "", SettingsFilePath());
      folderIn[at] = ReadIniString(section, keys.folderIn, "", SettingsFilePath());
      folderOut[at] = ReadIniString(section, keys.folderOut, "", SettingsFilePath());
    } else {
      fileIn[at].clear();
      fileOut[at].clear();
      folderIn[at].clear();
      folderOut[at].clear();
    }
    ++BkFolderCount;
  }
  return 0;
}

int AppSettings::SaveBkFolderList(const BkFolderArray& folders, const BkFolderArray& fileIn,
                                  const BkFolderArray& fileOut, const BkFolderArray& folderIn,
                                  const BkFolderArray& folderOut) {
  const char* section = texts::kSectionBkFolderList;
  for (int i = 0; i < kMaxBkFolders; ++i) {
    size_t at = static_cast<size_t>(i);
    EntryKeys keys = KeysOf(i);
    if (folders[at].empty()) {
      if (i >= BkFolderCount) break;
      // An entry the last load found and that is gone now: remove its keys.
      DeleteEmptyFlg = 1;
      WriteIniString(section, keys.folder, "", SettingsFilePath());
      WriteIniString(section, keys.fileIn, "", SettingsFilePath());
      WriteIniString(section, keys.fileOut, "", SettingsFilePath());
      WriteIniString(section, keys.folderIn, "", SettingsFilePath());
      WriteIniString(section, keys.folderOut, "", SettingsFilePath());
      DeleteEmptyFlg = 0;
      continue;
    }
    WriteIniString(section, keys.folder, folders[at], SettingsFilePath());
    WriteIniString(section, keys.fileIn, fileIn[at], SettingsFilePath());
    WriteIniString(section, keys.fileOut, fileOut[at], SettingsFilePath());
    WriteIniString(section, keys.folderIn, folderIn[at], SettingsFilePath());
    WriteIniString(section, keys.folderOut, folderOut[at], SettingsFilePath());
  }
  return 0;
}

int AppSettings::ReadBkFolder(int index, std::string& folder, std::string& fileIn, std::string& fileOut,
                              std::string& folderIn, std::string& folderOut) {
  folder.clear();
  fileIn.clear();
  fileOut.clear();
  folderIn.clear();
  folderOut.clear();
  if (!IsListIndex(index)) return 0;
  const char* section = texts::kSectionBkFolderList;
  EntryKeys keys = KeysOf(index);
  folder = ReadIniString(section, keys.folder, "", SettingsFilePath());
  fileIn = ReadIniString(section, keys.fileIn, "", SettingsFilePath());
  fileOut = ReadIniString(section, keys.fileOut, "", SettingsFilePath());
  folderIn = ReadIniString(section, keys.folderIn, "", SettingsFilePath());
  folderOut = ReadIniString(section, keys.folderOut, "", SettingsFilePath());
  return 0;
}

int AppSettings::WriteBkFolder(int index, const std::string& folder, const std::string& fileIn,
                               const std::string& fileOut, const std::string& folderIn,
                               const std::string& folderOut) {
  // A key outside 000..099 would never be read by the list.
  if (!IsListIndex(index)) return 0;
  const char* section = texts::kSectionBkFolderList;
  EntryKeys keys = KeysOf(index);
  WriteIniString(section, keys.folder, folder, SettingsFilePath());
  WriteIniString(section, keys.fileIn, fileIn, SettingsFilePath());
  WriteIniString(section, keys.fileOut, fileOut, SettingsFilePath());
  WriteIniString(section, keys.folderIn, folderIn, SettingsFilePath());
  WriteIniString(section, keys.folderOut, folderOut, SettingsFilePath());
  return 0;
}

int StoreCurrentFilters(AppSettings& settings, const FilterSet& filters) {
  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  settings.LoadBkFolderList(0, folders, fileIn, fileOut, folderIn, folderOut);
  for (int i = 0; i < kMaxBkFolders; ++i) {
    const std::string& folder = folders[static_cast<size_t>(i)];
    if (folder.empty()) break;
    if (folder == settings.BackupFolder) {
      settings.WriteBkFolder(i, folder, filters.FilterFileIn(), filters.FilterFileOut(), filters.FilterFolderIn(),
                             filters.FilterFolderOut());
    }
  }
  return 0;
}
