// Fuzz target: the filter decisions (lists parsed once, fast paths for "*", whole names and "*suffix", the shared
// wildcard core) against the decision written out step by step with the recursive wildcard definition. Byte 0 picks
// file or folder and include or exclude, byte 1 splits the list from the path.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/filter.h"
#include "core/sjis.h"

namespace {

// "*" here or one byte further on; "?" any one byte; any other byte the same
// byte standing at the same place in its character (start or second byte).
struct Reference {
  std::string_view p, t;
  std::vector<signed char> memo = std::vector<signed char>((p.size() + 1) * (t.size() + 1), -1);
  static std::vector<bool> StartsOf(std::string_view s) {
    std::vector<bool> starts(s.size());
    for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i)) starts[i] = true;
    return starts;
  }
  std::vector<bool> ps = StartsOf(p), ts = StartsOf(t);
  bool Match(size_t i, size_t j) {
    signed char& m = memo[i * (t.size() + 1) + j];
    if (m < 0) {
      m = i == p.size()  ? j == t.size()
          : p[i] == '*' ? Match(i + 1, j) || (j < t.size() && Match(i, j + 1))
                        : j < t.size() && (p[i] == '?' || (p[i] == t[j] && ps[i] == ts[j])) &&
                              Match(i + 1, j + 1);
    }
    return m == 1;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 400) return 0;
  const bool folder = data[0] & 1, include = data[0] & 2;
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string list(rest.substr(0, data[1]));
  std::string_view path = rest.substr(list.size());
  std::string name(path.substr(sjis::FindLastChar(path, '\\') + 1));  // npos + 1: the whole path
  FilterSet set(!folder && include ? list : "", !folder && !include ? list : "", folder && include ? list : "",
                folder && !include ? list : "");
  bool expected = !(include && !list.empty());
  sjis::FoldLatinLower(name);
  sjis::FoldLatinLower(list);
  for (size_t from = 0; from <= list.size() && !list.empty();) {  // every ";" splits anew
    size_t at = std::min(sjis::FindChar(list, ';', from), list.size());
    std::string pattern = list.substr(from, at - from);
    from = at + 1;
    if (!folder && pattern == "*.*") pattern = "*";
    if (!pattern.empty() && (folder ? pattern == name : Reference{pattern, name}.Match(0, 0))) {
      expected = include;
      break;
    }
  }
  if ((folder ? CheckFolderFilter(path, set) : CheckFileFilter(path, set)) != expected) std::abort();
  return 0;
}
