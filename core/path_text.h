// Path and number texts: Shift_JIS path splitting and the short display form of
// a path, and the number texts the program shows. Every separator search is
// character-wise (core/sjis.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// True if the last character of path is a backslash (false for "").
bool EndsWithBackslash(std::string_view path);

// Splits like the runtime's _splitpath, double-byte aware: drive ("C:" or ""),
// directory (up to and including the last \ or /), name, extension (from the
// last dot of the last component). Parts are cut at the runtime's buffer sizes
// (drive 3, dir 256, name 256, ext 256 bytes with terminator).
void SplitPath(const std::string& path, std::string& drive, std::string& dir, std::string& name,
               std::string& ext);

// Replaces path by its display form: " C:\...\Name", or " " + path when it lies
// directly under a drive root or its last component has an empty name part
// (the path ends with a separator, is a bare drive, or its last component
// begins with its last dot, as ".git" does).
void ShortenPath(std::string& path);

// Decimal text with "," every three digits: 1234567 gives "1,234,567".
std::string FormatGroupedNumber(int64_t value);

// Short size text in units of 1024: "  5バイト", "1.50KB", "15.0MB", "1024MB".
std::string FormatSizeText(int64_t bytes);

}  // namespace core
