// AppSettings: the one settings record of the program (option flags, current
// backup folder) and its load and save. The file is Larkspan.ini beside the
// program (ini::SettingsFilePath); the backup-folder list in the same file has
// its own store (settings/bkfolder_list.h).
#pragma once

#include <string>

#include "platform/native_path.h"
#include "settings/ini_file.h"

namespace settings {

class AppSettings {
 public:
  // No backup folder; the option flags hold their defaults until LoadSettings
  // reads them.
  AppSettings() = default;
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // --- The record (read and changed directly by the dialogs) ---
  std::string BackupFolder;       // the current backup folder; empty: none set
  // The option flags; a flag is on only when its stored value is 1.
  bool EndMsg = true;             // show the normal-end message after a verified backup
  bool ChangeMiniPathFlg = true;  // the switch menu shows short paths
  bool TopFolderDspFlg = false;   // start-up makes the first registered folder current
  bool Verify = false;            // the content of the copy is read back and compared after a backup
  bool SkipUnreadable = false;    // a backup leaves out the files it cannot read and goes on
  bool Link = false;              // unchanged files become hard links to the previous backup's

  // Reads BackupFolder and the option flags; an absent key gives the field's
  // default (BackupFolder empty, EndMsg and ChangeMiniPathFlg on, the others
  // off).
  void LoadSettings(const plat::NativePath& path = ini::SettingsFilePath());
  // Writes the version "1.00", BackupFolder and the option flags in this
  // order, with one write of the file: all or none. A flag is written as 1 or
  // 0, except that a stored number that already means the flag's state (1 on,
  // any other off) is written back as it stands, so that a value set by hand
  // stays until the option changes. True if it succeeded (false: the caller
  // tells the user).
  bool SaveSettings(const plat::NativePath& path = ini::SettingsFilePath());
};

}  // namespace settings
