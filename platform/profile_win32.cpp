// Profile access on Win32: the system's private-profile functions (see profile.h).
#include <windows.h>

#include "platform/fs.h"
#include "platform/profile.h"

namespace plat {

uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const std::string& path) {
  if (size == 0) return 0;
  return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf, size, path.c_str());
}

bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const std::string& path, uint32_t* err) {
  uint32_t refused = CheckProfileEntry(section, key, value);
  if (refused) {
    if (err) *err = refused;
    return false;
  }
  if (::WritePrivateProfileStringA(section.c_str(), key.c_str(), value, path.c_str())) return true;
  if (err) *err = ::GetLastError();
  return false;
}

}  // namespace plat
