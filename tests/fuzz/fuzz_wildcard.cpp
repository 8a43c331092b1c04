// Fuzz target: MatchWildcard against the plain recursive definition (memoised
// so that the reference itself stays polynomial). Input: the first byte splits
// the rest into pattern and text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/fileutil.h"

namespace {

// The definition, word for word: end of pattern matches only the end of text;
// "*" matches here or one byte further on; "?" takes any one byte; any other
// byte must be equal.
struct Reference {
  std::string_view p, t;
  std::vector<signed char> memo;
  int Match(size_t i, size_t j) {
    signed char& m = memo[i * (t.size() + 1) + j];
    if (m >= 0) return m;
    int r;
    if (i == p.size()) {
      r = j == t.size();
    } else if (p[i] == '*') {
      r = Match(i + 1, j) || (j < t.size() && Match(i, j + 1));
    } else if (j < t.size() && (p[i] == '?' || p[i] == t[j])) {
      r = Match(i + 1, j + 1);
    } else {
      r = 0;
    }
    m = static_cast<signed char>(r);
    return r;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 600) return 0;
  size_t split = std::min<size_t>(data[0], size - 1);
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view pattern = rest.substr(0, split);
  std::string_view text = rest.substr(split);
  Reference ref{pattern, text, std::vector<signed char>((pattern.size() + 1) * (text.size() + 1), -1)};
  if (MatchWildcard(pattern, text) != ref.Match(0, 0)) std::abort();
  return 0;
}
