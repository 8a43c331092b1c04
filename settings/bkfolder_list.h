// The backup-folder list in section BkFolderList of the settings file: the
// whole list's load and save, one entry's read and write, and the store of the
// current folder's filters. Entry i is kept in the five keys BkFolder%03d,
// FilterFileIn%03d, FilterFileOut%03d, FilterFolderIn%03d and
// FilterFolderOut%03d, for i from 0 to 99. Every call reads the file anew; the
// list has no copy in memory.
#pragma once

#include <string>

#include "core/backup_folder.h"
#include "core/filter.h"
#include "platform/native_path.h"
#include "settings/ini_file.h"

namespace settings {

// Replaces list by entries 0, 1, ... up to the first folder key that is absent,
// empty or "NonFolder" (at most 100), with their four filter lists when
// loadFilters is true (empty lists otherwise).
void LoadBkFolderList(bool loadFilters, core::BackupFolderList& list,
                      const plat::NativePath& path = ini::SettingsFilePath());

// Writes the entries of list as 0, 1, ... with all five keys each, and removes
// the five keys of every index past list that the file's list (as
// LoadBkFolderList finds it now) still holds, so that no stale entry stays. An
// entry with an empty folder has its keys removed where the file's list holds
// its index, and otherwise ends the save (a load ends the list there anyway).
// The file is written once, with all of it or none: false when that write
// failed (the caller tells the user).
bool SaveBkFolderList(const core::BackupFolderList& list,
                      const plat::NativePath& path = ini::SettingsFilePath());

// Reads the five keys of entry index (empty where absent); an index outside
// 0..99 gives an empty entry without reading.
void ReadBkFolder(int index, core::BackupFolder& entry,
                  const plat::NativePath& path = ini::SettingsFilePath());

// Writes the five keys of entry index (empty lists as empty values) in one
// write; results are not examined; an index outside 0..99 writes nothing.
void WriteBkFolder(int index, const core::BackupFolder& entry,
                   const plat::NativePath& path = ini::SettingsFilePath());

// Writes the four lists of filters into every entry of the stored list whose
// folder equals currentFolder exactly, folder paths unchanged. A failed write is
// not reported.
void StoreCurrentFilters(const std::string& currentFolder, const core::FilterSet& filters,
                         const plat::NativePath& path = ini::SettingsFilePath());

}  // namespace settings
