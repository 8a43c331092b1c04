// The INI text of the profile store (see ini_text.h).
#include "settings/ini_text.h"

#include <cstring>

#include "core/sjis.h"

namespace settings {

namespace sjis = core::sjis;

namespace ini {

// One line of the text: [begin, end) its bytes without the line end, next the
// position after the line end; [first, last) the bytes left after trimming.
struct IniText::Line {
  enum Kind { Blank, Section, Key, Other };
  size_t begin = 0, end = 0, next = 0;
  size_t first = 0, last = 0;
  Kind kind = Other;
  std::string_view name;   // section or key name
  std::string_view value;  // key value, trimmed, quotes still on
};

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names compare byte for byte, except that the single-byte letters A-Z equal
// a-z; the bytes of a double-byte character are never folded.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t len = sjis::CharLen(a, i);
    if (len != sjis::CharLen(b, i)) return false;
    if (len == 1) {
      char x = a[i], y = b[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
      if (x != y) return false;
    } else if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
      return false;
    }
    i += len;
  }
  return true;
}

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kNewLine[] = "\r\n";

}  // namespace

bool IniText::NextLine(size_t pos, Line& line) const {
  std::string_view text(text_);
  if (pos == 0 && text.substr(0, 3) == kUtf8Bom) pos = 3;
  if (pos >= text.size()) return false;
  line = Line();
  line.begin = pos;
  // Line ends are single-byte characters below 0x40, never the second byte of
  // a double-byte character, so a plain byte search finds them.
  size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = text.size();
  line.end = end;
  line.next = end;
  if (end < text.size()) line.next = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;

  std::string_view body = text.substr(pos, end - pos);
  std::string_view trimmed = Trim(body);
  line.first = pos + static_cast<size_t>(trimmed.data() - body.data());
  line.last = line.first + trimmed.size();
  if (trimmed.empty()) {
    line.kind = Line::Blank;
  } else if (trimmed[0] == '[' && sjis::FindLastChar(trimmed, ']') != sjis::npos) {
    line.kind = Line::Section;
    line.name = trimmed.substr(1, sjis::FindLastChar(trimmed, ']') - 1);
  } else if (trimmed[0] != ';' && sjis::FindChar(trimmed, '=') != sjis::npos) {
    size_t eq = sjis::FindChar(trimmed, '=');
    line.kind = Line::Key;
    line.name = Trim(trimmed.substr(0, eq));
    line.value = Trim(trimmed.substr(eq + 1));
  }
  return true;
}

bool IniText::FindSection(std::string_view section, Line& header) const {
  Line line;
  for (size_t pos = 0; NextLine(pos, line); pos = line.next) {
    if (line.kind == Line::Section && SameName(line.name, section)) {
      header = line;
      return true;
    }
  }
  return false;
}

bool IniText::FindKey(const Line& header, std::string_view key, Line& found) const {
  Line line;
  for (size_t pos = header.next; NextLine(pos, line); pos = line.next) {
    if (line.kind == Line::Section) break;
    if (line.kind == Line::Key && SameName(line.name, key)) {
      found = line;
      return true;
    }
  }
  return false;
}

bool IniText::Find(std::string_view section, std::string_view key, std::string* value) const {
  Line header, line;
  if (!FindSection(Trim(section), header) || !FindKey(header, Trim(key), line)) return false;
  std::string_view v = line.value;
  // Quotes and line ends are below 0x40: never the second byte of a character.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  value->assign(v);
  return true;
}

// True if a reader would give value back changed: it trims blanks at either
// end and drops one pair of quotes around what is left.
static bool ReadsBackChanged(std::string_view value) {
  if (value.empty()) return false;
  if (IsBlank(value.front()) || IsBlank(value.back())) return true;
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view raw) {
  section = Trim(section);
  key = Trim(key);
  // Such a value is stored in one pair of double quotes, which every reader
  // (this one and the system's profile functions) removes again; every other
  // value is stored as it is.
  const std::string quoted = ReadsBackChanged(raw) ? "\"" + std::string(raw) + "\"" : std::string();
  const std::string_view value = quoted.empty() ? raw : std::string_view(quoted);
  Line header, line;
  if (!FindSection(section, header)) {
    if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') text_ += kNewLine;
    text_.append("[").append(section).append("]").append(kNewLine);
    text_.append(key).append("=").append(value).append(kNewLine);
    return;
  }
  if (FindKey(header, key, line)) {
    std::string replacement(line.name);  // the name as the file spells it
    replacement.append("=").append(value);
    text_.replace(line.begin, line.end - line.begin, replacement);
    return;
  }
  // After the last non-blank line of the section, so that blank lines that
  // separate it from the next section stay where they are.
  Line last = header;
  for (size_t pos = header.next; NextLine(pos, line) && line.kind != Line::Section; pos = line.next) {
    if (line.kind != Line::Blank) last = line;
  }
  std::string insert;
  if (last.next == last.end) insert += kNewLine;  // the last line has no line end
  insert.append(key).append("=").append(value).append(kNewLine);
  text_.insert(last.next, insert);
}

bool IniText::Remove(std::string_view section, std::string_view key) {
  Line header, line;
  if (!FindSection(Trim(section), header)) return false;
  // Every line of the key goes: a second one, left in a damaged or hand-edited
  // file, would otherwise come back as the key's value at the next read.
  bool removed = false;
  while (FindKey(header, Trim(key), line)) {
    text_.erase(line.begin, line.next - line.begin);
    removed = true;
  }
  return removed;
}

namespace {

bool HasLineBreak(const char* s) { return std::strpbrk(s, "\r\n") != nullptr; }

// A name that the reader would trim is not the name it finds again. A name
// with a NUL would be cut short on its way to the file.
bool IsTrimmedName(const std::string& name) {
  return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back()) && name.find('\0') == std::string::npos;
}

}  // namespace

bool IsStorableEntry(const std::string& section, const std::string& key, const char* value) {
  // A line break would end the line early and let the rest of the text stand in
  // the file as a line of its own, a key or a section that nobody wrote.
  if (!IsTrimmedName(section) || HasLineBreak(section.c_str())) return false;
  // A lead byte standing alone at the end would pair with the closing "]".
  size_t last = sjis::LastCharPos(section);
  if (sjis::CharLen(section, last) == 1 && sjis::IsLeadByte(static_cast<unsigned char>(section[last]))) return false;
  if (!IsTrimmedName(key) || HasLineBreak(key.c_str())) return false;
  if (key.find('=') != std::string::npos || key[0] == '[' || key[0] == ';') return false;
  return !(value && HasLineBreak(value));
}

}  // namespace ini

}  // namespace settings
