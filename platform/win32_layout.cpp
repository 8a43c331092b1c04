// Windows' answers read from their bytes (see win32_layout.h).
#include "platform/win32_layout.h"

#include <cstdint>

namespace plat::layout {

namespace {

uint32_t Dword(const unsigned char* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

// FILE_STREAM_INFO: the two DWORDs, two LARGE_INTEGERs, then the name.
constexpr size_t kStreamNameAt = 24;
const std::u16string kDataType = u":$DATA";

}  // namespace

bool NamedDataStreams(const unsigned char* bytes, size_t size, std::vector<std::u16string>& names) {
  names.clear();
  for (size_t at = 0;;) {
    if (size < kStreamNameAt || at > size - kStreamNameAt) break;
    const uint32_t next = Dword(bytes + at), length = Dword(bytes + at + 4);
    if (length % 2 != 0 || length > size - at - kStreamNameAt) break;
    std::u16string name(length / 2, u'\0');
    for (size_t i = 0; i < name.size(); ++i) {
      const unsigned char* c = bytes + at + kStreamNameAt + 2 * i;
      name[i] = static_cast<char16_t>(c[0] | (c[1] << 8));
    }
    // ":name:$DATA", with a name of at least one character.
    const size_t type = name.rfind(u':');
    if (!name.empty() && name[0] == u':' && type != std::u16string::npos && type > 1 &&
        name.compare(type, std::u16string::npos, kDataType) == 0) {
      names.push_back(name.substr(1, type - 1));
    }
    if (next == 0) return true;
    if (next > size - at) break;
    at += next;
  }
  names.clear();
  return false;
}

}  // namespace plat::layout
