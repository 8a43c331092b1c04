// Shift_JIS character stepping (see sjis.h).
#include "core/sjis.h"

namespace core {

namespace sjis {

size_t FindChar(std::string_view s, char c, size_t from) {
  for (size_t i = from; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == c && CharLen(s, i) == 1) return i;
  }
  return npos;
}

size_t FindLastChar(std::string_view s, char c) {
  size_t found = npos;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == c && CharLen(s, i) == 1) found = i;
  }
  return found;
}

size_t FindLastSeparator(std::string_view s) {
  size_t found = npos;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if ((s[i] == '\\' || s[i] == '/') && CharLen(s, i) == 1) found = i;
  }
  return found;
}

size_t LastCharPos(std::string_view s) {
  size_t last = npos;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) last = i;
  return last;
}

bool EndsWithChar(std::string_view s, char c) {
  if (s.empty() || s.back() != c) return false;
  // Read backwards: a byte outside the lead range always ends a character, and
  // a run of lead-range bytes after it pairs up from its start. The last byte
  // stands alone when an even number of lead-range bytes precede it.
  size_t run = 0;
  for (size_t i = s.size() - 1; i > 0 && IsLeadByte(static_cast<unsigned char>(s[i - 1])); --i) ++run;
  return run % 2 == 0 || !IsTrailByte(static_cast<unsigned char>(c));
}

size_t FitLength(std::string_view s, size_t limit) {
  size_t end = 0;
  while (end < s.size() && end + CharLen(s, end) <= limit) end += CharLen(s, end);
  return end;
}

void FoldLatinLower(std::string& s) {
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (CharLen(s, i) == 2) {
      unsigned char lead = static_cast<unsigned char>(s[i]);
      unsigned char trail = static_cast<unsigned char>(s[i + 1]);
      if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) s[i + 1] = static_cast<char>(trail + (0x81 - 0x60));
    } else if (s[i] >= 'A' && s[i] <= 'Z') {
      s[i] = static_cast<char>(s[i] - 'A' + 'a');
    }
  }
}

}  // namespace sjis

}  // namespace core
