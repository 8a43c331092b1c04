// The fixed texts of the settings file (Shift_JIS at run time): its name, its
// sections and keys and the version text.
#pragma once

namespace settings {

namespace texts {

constexpr const char kSettingsBaseName[] = "Larkspan";
constexpr const char kSettingsExtension[] = ".ini";

// The version text the file stores.
constexpr const char kSettingsVersion[] = "1.00";

constexpr const char kSectionBase[] = "Base";
constexpr const char kKeyVersion[] = "VL";
constexpr const char kSectionBackup[] = "Backup";
constexpr const char kKeyBackupFolder[] = "BackupFolder";
constexpr const char kSectionOption[] = "Option";
constexpr const char kKeyEndMsg[] = "EndMsg";
constexpr const char kKeyChangeMiniPathFlg[] = "ChangeMiniPathFlg";
constexpr const char kKeyTopFolderDspFlg[] = "TopFolderDspFlg";
constexpr const char kKeyVerify[] = "Verify";
constexpr const char kKeySkipUnreadable[] = "SkipUnreadable";
constexpr const char kKeyLink[] = "Link";

// The backup-folder list: keys numbered with "%03d" from 000.
constexpr const char kSectionBkFolderList[] = "BkFolderList";
constexpr const char kKeyBkFolder[] = "BkFolder%03d";
constexpr const char kKeyFilterFileIn[] = "FilterFileIn%03d";
constexpr const char kKeyFilterFileOut[] = "FilterFileOut%03d";
constexpr const char kKeyFilterFolderIn[] = "FilterFolderIn%03d";
constexpr const char kKeyFilterFolderOut[] = "FilterFolderOut%03d";
// A folder key holding this text ends the list, as an absent or empty one does.
constexpr const char kNoFolder[] = "NonFolder";

}  // namespace texts

}  // namespace settings
