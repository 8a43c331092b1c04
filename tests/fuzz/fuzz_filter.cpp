// Fuzz target: the filter decisions (lists parsed once into a PatternList)
// against the decision written out step by step, splitting the list anew for
// every name and matching with a memoised recursive definition; and, for names
// and lists without double-byte characters, against MatchWildcard itself.
// Input: byte 0 picks file or folder and include or exclude, byte 1 splits the
// rest into the list text and the path.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fileutil.h"
#include "engine/filter.h"
#include "platform/sjis.h"

namespace {

std::vector<bool> CharStarts(std::string_view s) {
  std::vector<bool> starts(s.size(), false);
  for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i)) starts[i] = true;
  return starts;
}

// "*" here or one byte further on; "?" any one byte; any other byte the same
// byte standing at the same place in its character (start or second byte).
struct Reference {
  std::string_view p, t;
  std::vector<bool> ps, ts;
  std::vector<signed char> memo;
  Reference(std::string_view pattern, std::string_view text)
      : p(pattern), t(text), ps(CharStarts(pattern)), ts(CharStarts(text)),
        memo((pattern.size() + 1) * (text.size() + 1), -1) {}
  bool Match(size_t i, size_t j) {
    signed char& m = memo[i * (t.size() + 1) + j];
    if (m >= 0) return m;
    bool r = i == p.size() ? j == t.size()
             : p[i] == '*' ? Match(i + 1, j) || (j < t.size() && Match(i, j + 1))
                           : j < t.size() && (p[i] == '?' || (p[i] == t[j] && ps[i] == ts[j])) && Match(i + 1, j + 1);
    m = r ? 1 : 0;
    return r;
  }
};

enum class Matcher { Reference, Wildcard };

// The decision with one list, step by step: fold, split at every ";" anew,
// skip empty patterns, read "*.*" as "*" (files), compare.
int StepByStep(std::string list, std::string_view path, bool folder, bool include, Matcher matcher) {
  if (list.empty()) return 0;
  size_t sep = sjis::FindLastChar(path, '\\');
  std::string name(sep == sjis::npos ? path : path.substr(sep + 1));
  sjis::FoldLatinLower(name);
  sjis::FoldLatinLower(list);
  for (std::string work = list;;) {
    if (work.empty()) return include ? -1 : 0;
    size_t at = sjis::FindChar(work, ';');
    std::string pattern = work.substr(0, at);
    work = at == sjis::npos ? std::string() : work.substr(at + 1);
    if (!folder && pattern == "*.*") pattern = "*";
    if (pattern.empty()) continue;
    bool match = folder ? pattern == name
                        : (matcher == Matcher::Wildcard ? MatchWildcard(pattern, name) == 1
                                                        : Reference(pattern, name).Match(0, 0));
    if (match) return include ? 0 : -1;
  }
}

bool HasLeadByte(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return sjis::IsLeadByte(static_cast<unsigned char>(c)); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 600) return 0;
  bool folder = data[0] & 1;
  bool include = data[0] & 2;
  size_t split = std::min<size_t>(data[1], size - 2);
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string list(rest.substr(0, split));
  std::string_view path = rest.substr(split);

  PatternList::Kind kind = folder ? PatternList::Kind::Folder : PatternList::Kind::File;
  PatternList parsed(list, kind);
  PatternList none;
  int fast = folder ? (include ? CheckFolderFilter(path, parsed, none) : CheckFolderFilter(path, none, parsed))
                    : (include ? CheckFileFilter(path, parsed, none) : CheckFileFilter(path, none, parsed));
  if (fast != StepByStep(list, path, folder, include, Matcher::Reference)) std::abort();
  // Without double-byte characters the decision is MatchWildcard's.
  if (!HasLeadByte(list) && !HasLeadByte(path) &&
      fast != StepByStep(list, path, folder, include, Matcher::Wildcard)) {
    std::abort();
  }
  // An include list decides alone, whatever the exclude list says.
  if (include && fast != (folder ? CheckFolderFilter(path, parsed, parsed) : CheckFileFilter(path, parsed, parsed))) {
    std::abort();
  }
  return 0;
}
