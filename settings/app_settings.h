// AppSettings: the one settings record of the program (option flags, current
// backup folder) with the four INI primitives through which every access to
// the settings file goes, and the storage of the backup-folder list in the same
// file. The file is Larkspan.ini beside the program: every operation takes its
// path, by default worked out anew from the program's folder on each call.
#pragma once

#include <cstdint>
#include <string>

#include "engine/backup_folder.h"
#include "engine/filter.h"
#include "platform/native_path.h"

class AppSettings {
 public:
  // Strings empty, BkFolderCount and DeleteEmptyFlg 0; the option flags hold
  // their defaults until LoadSettings reads them.
  AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // --- The record (read and changed directly by the dialogs) ---
  // (The field BackupFolder hides the entry type inside the class: ::BackupFolder.)
  std::string VL;            // version text read from Base/VL; kept, not consulted
  std::string BackupFolder;  // the current backup folder; empty: none set
  int32_t EndMsg;            // 1: show the normal-end message after a verified backup
  int32_t ChangeMiniPathFlg; // 1: the switch menu shows short paths
  int32_t TopFolderDspFlg;   // 1: start-up makes the first registered folder current
  int32_t BkFolderCount;     // entries found by the latest LoadBkFolderList
  int32_t DeleteEmptyFlg;    // while 1, WriteIniString removes a key instead of writing ""

  // The settings file: the program's folder (GetModuleFolder) + "\Larkspan.ini"
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
  // Writes value ("" stays as an empty value, except that with DeleteEmptyFlg 1
  // an empty value removes the key). Nonzero on success, 0 on failure.
  int WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                     const plat::NativePath& path);
  // Writes value in decimal. Nonzero on success, 0 on failure.
  int WriteIniInt(const std::string& section, const std::string& key, int32_t value, const plat::NativePath& path);

  // --- Record load and save ---
  // Reads VL, BackupFolder and the three flags; whatever cannot be read takes
  // its default. Always 0.
  int LoadSettings(const plat::NativePath& path = SettingsFilePath());
  // Writes the version "1.00", BackupFolder and the three flags, all five writes
  // attempted in this order whatever fails. Nonzero if every write succeeded, 0
  // otherwise (the caller tells the user).
  int SaveSettings(const plat::NativePath& path = SettingsFilePath());

  // --- The backup-folder list (section BkFolderList) ---
  // Replaces list by entries 0, 1, ... up to the first folder key that is
  // absent, empty or "NonFolder" (at most 100), with their four filter lists
  // when loadFilters is nonzero (empty lists otherwise). Sets BkFolderCount to
  // the number found. Always 0.
  int LoadBkFolderList(int loadFilters, BackupFolderList& list, const plat::NativePath& path = SettingsFilePath());
  // Writes the entries of list as 0, 1, ... with all five keys each; an index
  // past the list (or an entry with an empty folder) below BkFolderCount has its
  // five keys removed, one at or above it ends the save. Needs a
  // LoadBkFolderList since the last save. Write results are not examined.
  // Always 0.
  int SaveBkFolderList(const BackupFolderList& list, const plat::NativePath& path = SettingsFilePath());
  // Reads the five keys of entry index (empty where absent). Always 0; an index
  // outside 0..99 gives an empty entry without reading.
  int ReadBkFolder(int index, ::BackupFolder& entry, const plat::NativePath& path = SettingsFilePath());
  // Writes the five keys of entry index (empty lists as empty values). Always
  // 0; results are not examined; an index outside 0..99 writes nothing.
  int WriteBkFolder(int index, const ::BackupFolder& entry, const plat::NativePath& path = SettingsFilePath());
};

// Writes the four lists of filters into every entry of the stored backup-folder
// list whose folder equals settings.BackupFolder exactly, folder paths
// unchanged. Always 0; a failed write is not reported.
int StoreCurrentFilters(AppSettings& settings, const FilterSet& filters,
                        const plat::NativePath& path = AppSettings::SettingsFilePath());
