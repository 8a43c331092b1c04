// AppSettings: the one settings record of the program (option flags, current
// backup folder) with the four INI primitives through which every access to
// the settings file goes, and the storage of the backup-folder list in the same
// file. The file is Larkspan.ini beside the program: every operation takes its
// path, by default worked out anew from the program's folder on each call.
#pragma once

#include <cstdint>
#include <string>

#include "core/backup_folder.h"
#include "core/filter.h"
#include "platform/native_path.h"

class AppSettings {
 public:
  // No backup folder, BkFolderCount 0, DeleteEmptyFlg false; the option flags
  // hold their defaults until LoadSettings reads them.
  AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // --- The record (read and changed directly by the dialogs) ---
  // (The field BackupFolder hides the entry type inside the class: ::BackupFolder.)
  std::string BackupFolder;  // the current backup folder; empty: none set
  // The option flags as stored: on only when 1 (IsOn); saved back as read.
  int32_t EndMsg;            // show the normal-end message after a verified backup
  int32_t ChangeMiniPathFlg; // the switch menu shows short paths
  int32_t TopFolderDspFlg;   // start-up makes the first registered folder current
  int32_t Verify;            // the content of the copy is read back and compared after a backup
  int32_t SkipUnreadable;    // a backup leaves out the files it cannot read and goes on
  int32_t BkFolderCount;     // entries found by the latest LoadBkFolderList
  bool DeleteEmptyFlg;       // while true, WriteIniString removes a key instead of writing ""

  // True if a stored option flag is on: only the value 1 is.
  static bool IsOn(int32_t flag) { return flag == 1; }

  // The settings file: the program's folder (plat::ModuleFolder) + "\Larkspan.ini"
  // as a native path, worked out anew on every call.
  static plat::NativePath SettingsFilePath();

  // --- INI primitives; path is the settings file ---
  // The stored text, whole however long, or def if the key, its section or the
  // file is absent.
  std::string ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                            const plat::NativePath& path);
  // The stored value as an integer: leading white space skipped, an optional
  // sign and the leading digits converted (beyond the 32-bit range the nearest
  // limit), anything else 0; def if the key is absent.
  int32_t ReadIniInt(const std::string& section, const std::string& key, int32_t def, const plat::NativePath& path);
  // Writes value ("" stays as an empty value, except that with DeleteEmptyFlg
  // an empty value removes the key). False on failure.
  bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                      const plat::NativePath& path);
  // Writes value in decimal. False on failure.
  bool WriteIniInt(const std::string& section, const std::string& key, int32_t value, const plat::NativePath& path);

  // --- Record load and save ---
  // Reads BackupFolder and the option flags; whatever cannot be read takes its
  // default.
  void LoadSettings(const plat::NativePath& path = SettingsFilePath());
  // Writes the version "1.00", BackupFolder and the option flags in this
  // order, with one write of the file: all or none. True if it succeeded
  // (false: the caller tells the user).
  bool SaveSettings(const plat::NativePath& path = SettingsFilePath());

  // --- The backup-folder list (section BkFolderList) ---
  // Replaces list by entries 0, 1, ... up to the first folder key that is
  // absent, empty or "NonFolder" (at most 100), with their four filter lists
  // when loadFilters is true (empty lists otherwise). Sets BkFolderCount to the
  // number found.
  void LoadBkFolderList(bool loadFilters, BackupFolderList& list, const plat::NativePath& path = SettingsFilePath());
  // Writes the entries of list as 0, 1, ... with all five keys each; an index
  // past the list (or an entry with an empty folder) below BkFolderCount has its
  // five keys removed, one at or above it ends the save. Needs a
  // LoadBkFolderList since the last save. The file is written once, with all
  // of it or none: false when that write failed (the caller tells the user).
  bool SaveBkFolderList(const BackupFolderList& list, const plat::NativePath& path = SettingsFilePath());
  // Reads the five keys of entry index (empty where absent); an index outside
  // 0..99 gives an empty entry without reading.
  void ReadBkFolder(int index, ::BackupFolder& entry, const plat::NativePath& path = SettingsFilePath());
  // Writes the five keys of entry index (empty lists as empty values) in one
  // write; results are not examined; an index outside 0..99 writes nothing.
  void WriteBkFolder(int index, const ::BackupFolder& entry, const plat::NativePath& path = SettingsFilePath());
};

// Writes the four lists of filters into every entry of the stored backup-folder
// list whose folder equals settings.BackupFolder exactly, folder paths
// unchanged. A failed write is not reported.
void StoreCurrentFilters(AppSettings& settings, const FilterSet& filters,
                         const plat::NativePath& path = AppSettings::SettingsFilePath());
