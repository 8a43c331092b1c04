// Bytes as hex pairs for failure messages, so that a difference inside a
// double-byte character shows.
#pragma once

#include <string>

inline std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += std::string{"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15], ' '};
  return out;
}
