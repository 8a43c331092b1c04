// Windows' answers laid out byte for byte as Microsoft documents them, for the tests of the code that reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A FILE_STREAM_INFO chain: per name NextEntryOffset (0 on the last), StreamNameLength, StreamSize,
// StreamAllocationSize, the UTF-16 name; each entry 8-byte aligned, then gap more bytes; a pattern between.
inline std::vector<unsigned char> StreamList(const std::vector<std::u16string>& names, size_t gap = 0) {
  std::vector<unsigned char> out;
  auto put = [&](size_t at, uint64_t v, int n) { for (int i = 0; i < n; ++i) out[at + i] = (v >> 8 * i) & 0xFF; };
  for (size_t i = 0; i < names.size(); ++i) {
    const size_t at = out.size(), length = 2 * names[i].size(), next = (24 + length + 7) / 8 * 8 + gap;
    out.resize(at + next, 0xCD);
    put(at, i + 1 < names.size() ? next : 0, 4), put(at + 4, length, 4), put(at + 8, 26, 8), put(at + 16, 4096, 8);
    for (size_t c = 0; c < names[i].size(); ++c) put(at + 24 + 2 * c, names[i][c], 2);
  }
  return out;
}
