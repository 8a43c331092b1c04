// The one wildcard matching loop of the program: "*" takes any run of text
// bytes (the empty run included), "?" exactly one byte, and every other pattern
// byte is compared by the caller's rule (byte-wise, folded, or aware of
// double-byte characters).
#pragma once

#include <cstddef>
#include <string_view>

namespace core {

namespace wildcard {

// True if pattern matches the whole text. same(p, t) tells whether pattern
// byte p (neither "*" nor "?") takes text byte t. One pass with one resume
// point: on a mismatch only the most recent star takes one more byte, which
// covers every choice of the earlier stars; at most pattern x text steps,
// linear for the patterns of everyday use, never exponential.
template <typename Same>
bool Match(std::string_view pattern, std::string_view text, Same same) {
  constexpr size_t kNoStar = std::string_view::npos;
  size_t p = 0, t = 0;
  size_t starP = kNoStar, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || same(p, t))) {
      ++p;
      ++t;
    } else if (starP != kNoStar) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace wildcard

}  // namespace core
