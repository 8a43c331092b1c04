// AppSettings: the settings file's location, the INI primitives and the record's
// load and save (see app_settings.h).
#include "settings/app_settings.h"

#include <climits>
#include <cstdio>
#include <vector>

#include "platform/fs.h"
#include "settings/ini_file.h"
#include "settings/texts.h"

namespace texts = settings::texts;

namespace {

// Every read starts with a zero-filled buffer of this size; a text value that
// does not fit is read again into a larger one.
constexpr uint32_t kReadBufferSize = 2000;

// Defaults of the option flags when their keys are absent.
constexpr int32_t kDefaultEndMsg = 1;
constexpr int32_t kDefaultChangeMiniPathFlg = 1;
constexpr int32_t kDefaultTopFolderDspFlg = 0;
constexpr int32_t kDefaultVerify = 0;
constexpr int32_t kDefaultSkipUnreadable = 0;
constexpr int32_t kDefaultLink = 0;

std::string DecimalText(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
  return text;
}

// The runtime's atoi, without its undefined overflow: white space, an optional
// sign and the leading digits; a value beyond the 32-bit range gives the
// nearest limit; no digits give 0.
int32_t ParseLeadingInt(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int64_t value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    value = value * 10 + (*s - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) break;  // beyond either limit already
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

AppSettings::AppSettings()
    : EndMsg(kDefaultEndMsg),
      ChangeMiniPathFlg(kDefaultChangeMiniPathFlg),
      TopFolderDspFlg(kDefaultTopFolderDspFlg),
      Verify(kDefaultVerify),
      SkipUnreadable(kDefaultSkipUnreadable),
      Link(kDefaultLink),
      BkFolderCount(0),
      DeleteEmptyFlg(false) {}

plat::NativePath AppSettings::SettingsFilePath() {
  return plat::JoinNative(plat::ModuleFolder(),
                          plat::ToNative(std::string(texts::kSettingsBaseName) + texts::kSettingsExtension));
}

std::string AppSettings::ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                                       const plat::NativePath& path) {
  // A read that may have been cut says so by its count: size - 1, or size - 2
  // when a double-byte character did not fit. The value is then read again into
  // a buffer twice as large, until it fits with room to spare.
  std::vector<char> buffer;
  for (uint32_t size = kReadBufferSize;; size *= 2) {
    buffer.assign(size, '\0');
    const uint32_t count = ini::ReadProfileText(section, key, def, buffer.data(), size, path);
    if (count + 2 < size || size > UINT32_MAX / 2) break;
  }
  return std::string(buffer.data());
}

int32_t AppSettings::ReadIniInt(const std::string& section, const std::string& key, int32_t def,
                                const plat::NativePath& path) {
  char buffer[kReadBufferSize] = {};
  ini::ReadProfileText(section, key, DecimalText(def), buffer, kReadBufferSize, path);
  buffer[kReadBufferSize - 1] = '\0';
  return ParseLeadingInt(buffer);
}

bool AppSettings::WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                                 const plat::NativePath& path) {
  const char* text = (DeleteEmptyFlg && value.empty()) ? nullptr : value.c_str();
  return ini::WriteProfileText(section, key, text, path);
}

bool AppSettings::WriteIniInt(const std::string& section, const std::string& key, int32_t value,
                              const plat::NativePath& path) {
  return ini::WriteProfileText(section, key, DecimalText(value).c_str(), path);
}

void AppSettings::LoadSettings(const plat::NativePath& path) {
  BackupFolder = ReadIniString(texts::kSectionBackup, texts::kKeyBackupFolder, "", path);
  EndMsg = ReadIniInt(texts::kSectionOption, texts::kKeyEndMsg, kDefaultEndMsg, path);
  ChangeMiniPathFlg =
      ReadIniInt(texts::kSectionOption, texts::kKeyChangeMiniPathFlg, kDefaultChangeMiniPathFlg, path);
  TopFolderDspFlg =
      ReadIniInt(texts::kSectionOption, texts::kKeyTopFolderDspFlg, kDefaultTopFolderDspFlg, path);
  Verify = ReadIniInt(texts::kSectionOption, texts::kKeyVerify, kDefaultVerify, path);
  SkipUnreadable = ReadIniInt(texts::kSectionOption, texts::kKeySkipUnreadable, kDefaultSkipUnreadable, path);
  Link = ReadIniInt(texts::kSectionOption, texts::kKeyLink, kDefaultLink, path);
}

bool AppSettings::SaveSettings(const plat::NativePath& path) {
  // One write for every key: all of them reach the file, or none does.
  return ini::WriteProfileChanges({{texts::kSectionBase, texts::kKeyVersion, texts::kSettingsVersion},
                                   {texts::kSectionBackup, texts::kKeyBackupFolder, BackupFolder},
                                   {texts::kSectionOption, texts::kKeyEndMsg, DecimalText(EndMsg)},
                                   {texts::kSectionOption, texts::kKeyChangeMiniPathFlg, DecimalText(ChangeMiniPathFlg)},
                                   {texts::kSectionOption, texts::kKeyTopFolderDspFlg, DecimalText(TopFolderDspFlg)},
                                   {texts::kSectionOption, texts::kKeyVerify, DecimalText(Verify)},
                                   {texts::kSectionOption, texts::kKeySkipUnreadable, DecimalText(SkipUnreadable)},
                                   {texts::kSectionOption, texts::kKeyLink, DecimalText(Link)}},
                                  path);
}
