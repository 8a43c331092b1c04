// The launch contract's rules (see launch.h).
#include "core/launch.h"

#include "core/sjis.h"

namespace core {

bool BuildParameterText(const std::vector<std::string>& paths, std::string& text) {
  text.clear();
  if (paths.empty()) return false;
  size_t length = 0;
  for (const std::string& path : paths) {
    if (path.empty() || path.find_first_of(std::string("\"\0", 2)) != std::string::npos) return false;
    length += path.size() + 3;
  }
  text.reserve(length);
  for (const std::string& path : paths) {
    text += contract::kQuote;
    text += path;
    text += contract::kQuote;
    text += contract::kEntryEnd;
  }
  return true;
}

std::string CommandLineTail(std::string_view s) {
  size_t i = 0;
  if (!s.empty() && s[0] == '"') {
    // A quoted program name runs to the next quote character.
    i = 1;
    while (i < s.size() && s[i] != '"') i += sjis::CharLen(s, i);
    if (i < s.size()) ++i;
  } else {
    while (i < s.size() && static_cast<unsigned char>(s[i]) > ' ') ++i;
  }
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return std::string(s.substr(i));
}

bool CheckLaunchToken(std::string_view tail) { return tail == contract::kLaunchToken; }

bool TakeNextQuotedPath(std::string_view& rest, std::string& path) {
  size_t open = sjis::FindChar(rest, contract::kQuote);
  if (open == sjis::npos) return false;
  rest.remove_prefix(open + 1);
  size_t close = sjis::FindChar(rest, contract::kQuote);
  if (close == sjis::npos) return false;
  path.assign(rest.substr(0, close));
  rest.remove_prefix(close + 1);
  return true;
}

}  // namespace core
