// The settings file's store on both builds: its location, and our own small INI
// store with the contract of the system's profile functions (see ini_file.h),
// on the platform's file layer.
// Every call reads the file anew; a write replaces the file as a whole
// (ReplaceAll), so that a failed write never leaves half a file behind, and
// the changes of one call go in with one write.
#include "settings/ini_file.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "platform/fs.h"
#include "settings/ini_text.h"
#include "settings/texts.h"

namespace settings {

namespace ini {

namespace {

// The runtime's atoi, without its undefined overflow: white space, an optional
// sign and the leading digits; a value beyond the 32-bit range gives the
// nearest limit; no digits give 0.
int32_t ParseLeadingInt(std::string_view s) {
  size_t at = 0;
  while (at < s.size() && (s[at] == ' ' || (s[at] >= '\t' && s[at] <= '\r'))) ++at;
  const bool negative = at < s.size() && s[at] == '-';
  if (at < s.size() && (s[at] == '-' || s[at] == '+')) ++at;
  int64_t value = 0;
  for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at) {
    value = value * 10 + (s[at] - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) break;  // beyond either limit already
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The bytes of a value that an integer read looks at.
constexpr size_t kIntReadLimit = 1999;

}  // namespace

plat::NativePath SettingsFilePath() {
  return plat::JoinNative(plat::ModuleFolder(), plat::ToNative(std::string(texts::kSettingsBaseName) +
                                                               texts::kSettingsExtension));
}

std::optional<std::string> ReadProfileText(const std::string& section, const std::string& key,
                                           const plat::NativePath& path) {
  std::string bytes, value;
  // Whatever keeps the file from being read (missing, a folder, no access)
  // counts as a missing key.
  if (plat::ReadAll(path, bytes, true) != plat::kErrSuccess || !IniText(bytes).Find(section, key, &value))
    return std::nullopt;
  value.resize(std::strlen(value.c_str()));
  return value;
}

std::optional<int32_t> ReadProfileInt(const std::string& section, const std::string& key,
                                      const plat::NativePath& path) {
  const std::optional<std::string> text = ReadProfileText(section, key, path);
  if (!text) return std::nullopt;
  return ParseLeadingInt(std::string_view(*text).substr(0, kIntReadLimit));
}

bool WriteProfileChanges(const std::vector<KeyChange>& changes, const plat::NativePath& path, uint32_t* err) {
#ifdef _WIN32
  uint32_t e = plat::kErrSuccess;
#else
  uint32_t e = plat::InjectedFault(plat::FsOp::ProfileWrite, path);
#endif
  for (const KeyChange& change : changes) {
    if (!e && !IsStorableEntry(change.section, change.key, change.value ? change.value->c_str() : nullptr))
      e = plat::kErrInvalidParameter;
  }
  std::string bytes;
  if (!e) {
    e = plat::ReadAll(path, bytes, true);
    if (e == plat::kErrFileNotFound) e = plat::kErrSuccess;  // the write creates it
  }
  if (!e) {
    IniText text(bytes);
    for (const KeyChange& change : changes) {
      if (change.value) {
        text.Set(change.section, change.key, *change.value);
      } else {
        text.Remove(change.section, change.key);
      }
    }
    // A file that would stay as it is is not written (nor made, by a removal).
    if (text.bytes() != bytes) e = plat::ReplaceAll(path, text.bytes());
  }
  if (e && err) *err = e;
  return e == plat::kErrSuccess;
}

}  // namespace ini

}  // namespace settings
