// Shift_JIS (code page 932) character stepping: the one place that knows which
// bytes start a double-byte character. Every search for a separator and every
// case fold in the program goes through these helpers, so the second byte of a
// double-byte character (0x5C in "表" and "ソ") is never taken for a backslash.
//
// A lead byte (0x81-0x9F, 0xE0-0xFC) forms a double-byte character only when a
// valid second byte (0x40-0x7E, 0x80-0xFC) follows; otherwise it stands alone,
// so a broken name never swallows the byte after it (a quote, a NUL, the end).
//
// The table is fixed, not taken from the system: every byte string the program
// holds (paths in lkpara.dat and Larkspan.ini, filters, texts) is code page 932
// by construction, whatever the system's ANSI code page is. The file system's
// UTF-16 names are converted to and from it with code page 932 named
// explicitly (platform/native_path.h), never through CP_ACP or an "A" file
// function, so a system whose ANSI code page is not 932 never hands the walk
// bytes of its own code page to step over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

namespace sjis {

constexpr size_t npos = std::string_view::npos;

inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool IsTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length in bytes (1 or 2) of the character starting at s[i]; i < s.size().
inline size_t CharLen(std::string_view s, size_t i) {
  return (i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i])) &&
          IsTrailByte(static_cast<unsigned char>(s[i + 1])))
             ? 2
             : 1;
}

// Position of the first single-byte character c at or after from, or npos.
// from must be a character boundary.
size_t FindChar(std::string_view s, char c, size_t from = 0);

// Position of the last single-byte character c, or npos.
size_t FindLastChar(std::string_view s, char c);

// Position of the last backslash or slash character, or npos.
size_t FindLastSeparator(std::string_view s);

// Position where the last character of s begins, or npos for an empty s.
size_t LastCharPos(std::string_view s);

// True if the last character of s is the single-byte character c.
bool EndsWithChar(std::string_view s, char c);

// Length of the longest start of s that holds whole characters only and at
// most limit bytes: the one place where a text is cut to a byte budget.
size_t FitLength(std::string_view s, size_t limit);
// That start of s.
inline std::string Truncate(std::string_view s, size_t limit) { return std::string(s.substr(0, FitLength(s, limit))); }

// Lower-cases A-Z and the full-width Latin capitals (0x82 0x60-0x79, Ａ-Ｚ, become
// 0x82 0x81-0x9A, ａ-ｚ) in place, character by character; every other
// character, and every byte inside one, is left alone. Lengths never change.
void FoldLatinLower(std::string& s);

}  // namespace sjis

}  // namespace core
