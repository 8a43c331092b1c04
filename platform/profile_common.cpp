// What both profile implementations refuse to write (see profile.h).
#include <cstring>

#include "platform/fs.h"
#include "platform/profile.h"
#include "platform/sjis.h"

namespace plat {
namespace {

bool HasLineBreak(const char* s) { return std::strpbrk(s, "\r\n") != nullptr; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

// A name that the reader would trim is not the name it finds again.
// A name with a NUL would be cut short on its way to the system.
bool IsTrimmedName(const std::string& name) {
  return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back()) && name.find('\0') == std::string::npos;
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

}  // namespace plat
