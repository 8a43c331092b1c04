// Bytes as hex pairs for failure messages, so that a difference inside a
// double-byte character shows.
#pragma once

#include <string>

inline std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}
