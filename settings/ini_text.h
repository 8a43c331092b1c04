// The INI text behind the settings file's store (settings/ini_file.h): finds, sets
// and removes one key in the bytes of a file, read the way the system's profile
// functions read it. A change rewrites only the line it concerns; every other
// byte of the file (comments, blank lines, unknown lines, line ends) stays.
//
// How the text is read:
// - Lines end at "\r\n", "\n" or a lone "\r"; a UTF-8 byte-order mark before the
//   first line is skipped. Spaces, tabs and ^Z at either end of a line are not
//   part of it.
// - "[name]" starts a section (name up to the last "]" of the line, compared
//   without regard to the case of A-Z); lines before the first section belong to
//   none. "name=value" is a key (name up to the first "=", value after it, both
//   trimmed; a value wrapped in one pair of '...' or "..." loses the pair). Lines
//   starting with ";" and lines without "=" are no keys.
// - Of two sections with one name only the first counts, and of two keys with
//   one name in it only the first (Remove takes them all).
#pragma once

#include <string>
#include <string_view>

namespace settings {

namespace ini {

// True if section, key and value (null allowed) can be written as one line
// each and read back as the same names: no line break in any of them, no "="
// in the key, no key starting with "[" or ";", no empty name, no name that
// starts or ends with white space or holds a NUL, no section name that ends in a
// lone lead byte.
bool IsStorableEntry(const std::string& section, const std::string& key, const char* value);


class IniText {
 public:
  explicit IniText(std::string bytes) : text_(std::move(bytes)) {}

  // True with *value set if section holds key; false (value untouched) otherwise.
  bool Find(std::string_view section, std::string_view key, std::string* value) const;

  // Sets key in section to value, so that Find gives value back byte for byte:
  // a value that a reader would trim or unquote (a blank at either end, or the
  // same quote at both ends) is stored in one pair of double quotes, any other
  // as it is. Replaces the key's line, or adds the line at the end of the
  // section (after its last non-blank line), or adds the section with the key
  // at the end of the text. New lines end in "\r\n".
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Removes every line of the key in the section. True if there was one.
  bool Remove(std::string_view section, std::string_view key);

  const std::string& bytes() const { return text_; }

 private:
  struct Line;
  bool NextLine(size_t pos, Line& line) const;
  bool FindSection(std::string_view section, Line& header) const;
  bool FindKey(const Line& header, std::string_view key, Line& found) const;

  std::string text_;
};

}  // namespace ini

}  // namespace settings
