// Profile access on both builds: our own small INI store with the contract of
// the system's profile functions (see profile.h), on the platform's file layer.
// Every call reads the file anew; a write replaces the file as a whole
// (ReplaceAll), so that a failed write never leaves half a file behind.
#include "platform/profile.h"

#include <cstring>

#include "platform/fs.h"
#include "platform/profile_store.h"
#include "platform/sjis.h"

namespace plat {
namespace {

bool HasLineBreak(const char* s) { return std::strpbrk(s, "\r\n") != nullptr; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

// A name that the reader would trim is not the name it finds again.
// A name with a NUL would be cut short on its way to the file.
bool IsTrimmedName(const std::string& name) {
  return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back()) && name.find('\0') == std::string::npos;
}

// Copies at most size - 1 bytes of text, never half a double-byte character,
// and terminates. Returns the bytes copied.
uint32_t CopyCut(const std::string& text, char* buf, uint32_t size) {
  size_t limit = size - 1;
  size_t n = 0;
  while (n < text.size()) {
    size_t len = sjis::CharLen(text, n);
    if (n + len > limit) break;
    n += len;
  }
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return static_cast<uint32_t>(n);
}

}  // namespace

uint32_t CheckProfileEntry(const std::string& section, const std::string& key, const char* value) {
  // A line break would end the line early and let the rest of the text stand in
  // the file as a line of its own, a key or a section that nobody wrote.
  if (!IsTrimmedName(section) || HasLineBreak(section.c_str())) return kErrInvalidParameter;
  // A lead byte standing alone at the end would pair with the closing "]".
  size_t last = sjis::LastCharPos(section);
  if (sjis::CharLen(section, last) == 1 && sjis::IsLeadByte(static_cast<unsigned char>(section[last]))) {
    return kErrInvalidParameter;
  }
  if (!IsTrimmedName(key) || HasLineBreak(key.c_str())) return kErrInvalidParameter;
  if (key.find('=') != std::string::npos || key[0] == '[' || key[0] == ';') return kErrInvalidParameter;
  if (value && HasLineBreak(value)) return kErrInvalidParameter;
  return kErrSuccess;
}

uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const NativePath& path) {
  if (size == 0) return 0;
  std::string bytes, value;
  // Whatever keeps the file from being read (missing, a folder, no access)
  // gives the default, as a missing key does.
  bool found = ReadAll(path, bytes, true) == kErrSuccess && IniText(bytes).Find(section, key, &value);
  if (!found) {
    value = def;
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  return CopyCut(value, buf, size);
}

bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const NativePath& path, uint32_t* err) {
#ifdef _WIN32
  uint32_t e = CheckProfileEntry(section, key, value);
#else
  uint32_t e = InjectedFault(FsOp::ProfileWrite, path);
  if (!e) e = CheckProfileEntry(section, key, value);
#endif
  std::string bytes;
  if (!e) {
    e = ReadAll(path, bytes, true);
    if (e == kErrFileNotFound) e = kErrSuccess;  // the write creates it
  }
  if (!e) {
    IniText text(std::move(bytes));
    if (value) {
      text.Set(section, key, value);
      e = ReplaceAll(path, text.bytes());
    } else if (text.Remove(section, key)) {
      e = ReplaceAll(path, text.bytes());
    }
  }
  if (e && err) *err = e;
  return e == kErrSuccess;
}

}  // namespace plat
