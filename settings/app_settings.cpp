// AppSettings: the record's load and save (see app_settings.h).
#include "settings/app_settings.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "settings/texts.h"

namespace settings {

namespace {

// The option flags with their keys (section Option), in the order the file
// receives them, and their defaults when their keys are absent.
struct Flag {
  const char* key;
  bool AppSettings::*member;
  bool byDefault;
};
const Flag kFlags[] = {
    {texts::kKeyEndMsg, &AppSettings::EndMsg, true},
    {texts::kKeyChangeMiniPathFlg, &AppSettings::ChangeMiniPathFlg, true},
    {texts::kKeyTopFolderDspFlg, &AppSettings::TopFolderDspFlg, false},
    {texts::kKeyVerify, &AppSettings::Verify, false},
    {texts::kKeySkipUnreadable, &AppSettings::SkipUnreadable, false},
    {texts::kKeyLink, &AppSettings::Link, false},
};

// The stored number of a flag, its default's number when the key is absent.
int32_t StoredFlag(const Flag& flag, const plat::NativePath& path) {
  return ini::ReadProfileInt(texts::kSectionOption, flag.key, path).value_or(flag.byDefault ? 1 : 0);
}

std::string DecimalText(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
  return text;
}

}  // namespace

void AppSettings::LoadSettings(const plat::NativePath& path) {
  BackupFolder = ini::ReadProfileText(texts::kSectionBackup, texts::kKeyBackupFolder, path).value_or("");
  for (const Flag& flag : kFlags) this->*flag.member = StoredFlag(flag, path) == 1;
}

bool AppSettings::SaveSettings(const plat::NativePath& path) {
  std::vector<ini::KeyChange> changes{{texts::kSectionBase, texts::kKeyVersion, texts::kSettingsVersion},
                                      {texts::kSectionBackup, texts::kKeyBackupFolder, BackupFolder}};
  for (const Flag& flag : kFlags) {
    // A number other than 0 and 1 can only come from a hand-edited file; while
    // it still says what the flag says, it stays as the user wrote it.
    const bool on = this->*flag.member;
    const int32_t stored = StoredFlag(flag, path);
    changes.push_back({texts::kSectionOption, flag.key, DecimalText((stored == 1) == on ? stored : on)});
  }
  // One write for every key: all of them reach the file, or none does.
  return ini::WriteProfileChanges(changes, path);
}

}  // namespace settings
