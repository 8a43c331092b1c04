// Profile access on Win32: the system's private-profile functions in their wide
// form (see profile.h).
#include <windows.h>

#include <vector>

#include "platform/fs.h"
#include "platform/profile.h"
#include "platform/sjis.h"

namespace plat {

uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const NativePath& path) {
  if (size == 0) return 0;
  // Every character takes at least one byte, so size characters hold all a
  // caller of size bytes can get; the cut to bytes is made below.
  std::vector<wchar_t> wide(size, L'\0');
  DWORD n = ::GetPrivateProfileStringW(ToNative(section).c_str(), ToNative(key).c_str(), ToNative(def).c_str(),
                                       wide.data(), size, path.c_str());
  const std::string text = FromNative(NativePath(wide.data(), n));
  size_t len = 0;
  while (len < text.size() && len + sjis::CharLen(text, len) <= size - 1) len += sjis::CharLen(text, len);
  text.copy(buf, len);
  buf[len] = '\0';
  return static_cast<uint32_t>(len);
}

bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const NativePath& path, uint32_t* err) {
  uint32_t refused = CheckProfileEntry(section, key, value);
  if (refused) {
    if (err) *err = refused;
    return false;
  }
  const NativePath wideValue = value ? ToNative(value) : NativePath();
  if (::WritePrivateProfileStringW(ToNative(section).c_str(), ToNative(key).c_str(),
                                   value ? wideValue.c_str() : nullptr, path.c_str())) {
    return true;
  }
  if (err) *err = ::GetLastError();
  return false;
}

}  // namespace plat
