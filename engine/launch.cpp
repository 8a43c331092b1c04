// The launch contract, program side (see launch.h).
#include "engine/launch.h"

#include "engine/fileutil.h"
#include "engine/launch_contract.h"
#include "engine/texts.h"
#include "platform/fs.h"
#include "platform/sjis.h"

std::string CommandLineTail(const char* commandLine) {
  std::string_view s = commandLine ? commandLine : "";
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

int CheckLaunchToken(const std::string& tail) { return tail == contract::kLaunchToken ? 0 : -1; }

int TakeNextQuotedPath(std::string_view& rest, std::string& path) {
  size_t open = sjis::FindChar(rest, contract::kQuote);
  if (open == sjis::npos) return -1;
  rest.remove_prefix(open + 1);
  size_t close = sjis::FindChar(rest, contract::kQuote);
  if (close == sjis::npos) return -1;
  path.assign(rest.substr(0, close));
  rest.remove_prefix(close + 1);
  return 0;
}

// Kind of a selected path: a plain file, else an existing folder (one trailing
// backslash ignored), else -1. One attribute query answers what a file search
// followed by an existence test would: a file's attributes say "file", a
// folder's say "folder"; only when the query fails (a trailing backslash, a
// drive root written "C:\") does the existence test run.
static int SelectionKindOf(const std::string& path) {
  if (path.find_first_of("*?") == std::string::npos && !path.empty()) {
    uint32_t attrs = plat::GetAttributes(plat::ToNative(path));
    if (attrs != plat::kInvalidAttributes && EndsWithBackslash(path) != 0)
      return (attrs & plat::kAttrDirectory) ? SelectionList::kFolder : SelectionList::kFile;
  }
  if (IsPlainFile(path) == 0) return SelectionList::kFile;
  if (PathExists(path) == 0) return SelectionList::kFolder;
  return -1;
}

int ParseParameterText(const std::string& text, SelectionList& list) {
  // Only the text before the first NUL byte counts, for the quotes and the paths.
  std::string_view rest(text.c_str());
  int quotes = 0;
  CountOccurrences(rest, std::string_view(&contract::kQuote, 1), quotes);
  const int n = quotes / 2;
  // The list grows entry by entry: a text of countless bogus pairs ends at its
  // first one without the room for all of them ever being taken.
  list = SelectionList();
  for (int i = 0; i < n; ++i) {
    std::string path;
    if (TakeNextQuotedPath(rest, path) != 0) break;  // cannot happen: the quotes were counted
    const int kind = SelectionKindOf(path);
    list.paths.push_back(std::move(path));
    list.kinds.push_back(kind < 0 ? SelectionList::kFile : kind);
    list.count = i + 1;
    if (kind < 0) return -1;
  }
  return 0;
}

plat::NativePath ParameterFilePath() {
  return plat::JoinNative(GetModuleFolder(), plat::ToNative(contract::kParameterFileName));
}

int LoadSelection(const std::string& commandTail, SelectionList& list, std::string& message) {
  if (CheckLaunchToken(commandTail) != 0) {
    message = texts::kRefuseDirectStart;
    return -1;
  }
  const plat::NativePath parameterPath = ParameterFilePath();
  std::string content, error;
  if (ReadWholeFile(parameterPath, content, error, kMaxParameterFileBytes) != 0) {
    message = std::string(texts::kParameterReadFailed) + error + texts::kParameterPathOpen +
              plat::FromNative(parameterPath) + texts::kParameterPathClose;
    return -1;
  }
  // Gone before its content is looked at, whatever the content turns out to be.
  std::string ignored;
  DeleteMatchingFiles(parameterPath, ignored);
  if (ParseParameterText(content, list) != 0) {
    message = texts::kSelectionUnrecognised;
    return -1;
  }
  if (list.count == 0) {
    message = texts::kSelectionEmpty;
    return -1;
  }
  return 0;
}
