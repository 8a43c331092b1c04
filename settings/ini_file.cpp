// The settings file's store on both builds: our own small INI store with the
// contract of the system's profile functions (see ini_file.h), on the
// platform's file layer.
// Every call reads the file anew; a write replaces the file as a whole
// (ReplaceAll), so that a failed write never leaves half a file behind, and
// the changes of one call go in with one write.
#include "settings/ini_file.h"

#include "settings/ini_text.h"
#include "core/sjis.h"
#include "platform/fs.h"

namespace ini {

uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const plat::NativePath& path) {
  if (size == 0) return 0;
  std::string bytes, value;
  // Whatever keeps the file from being read (missing, a folder, no access)
  // gives the default, as a missing key does.
  bool found = plat::ReadAll(path, bytes, true) == plat::kErrSuccess && IniText(bytes).Find(section, key, &value);
  if (!found) {
    value = def;
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  const size_t n = sjis::FitLength(value, size - 1);
  value.copy(buf, n);
  buf[n] = '\0';
  return static_cast<uint32_t>(n);
}

bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const plat::NativePath& path, uint32_t* err) {
  return WriteProfileChanges({{section, key, value ? std::optional<std::string>(value) : std::nullopt}}, path, err);
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
