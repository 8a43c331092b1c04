// Fuzz target: the parameter-file parser on arbitrary bytes. Checks that it
// never crashes and that a successful parse returns exactly the quote pairs of
// the text before its first NUL, at most 50,000 of them, verbatim.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/launch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  SelectionList list;
  int result = ParseParameterText(text, list);
  if (result != 0 && result != -1) std::abort();
  if (list.paths.size() != static_cast<size_t>(list.count) || list.kinds.size() != list.paths.size()) std::abort();

  // Expected pairs, computed the plain way.
  std::string head = text.substr(0, text.find('\0'));
  size_t quotes = 0;
  for (char c : head) quotes += c == '"';
  size_t pairs = std::min<size_t>(std::min<size_t>(quotes, 100000) / 2, 50000);
  if (static_cast<size_t>(list.count) != pairs) std::abort();
  if (result == 0) {
    size_t pos = 0;
    for (const std::string& path : list.paths) {
      size_t open = head.find('"', pos);
      size_t close = head.find('"', open + 1);
      if (open == std::string::npos || close == std::string::npos) std::abort();
      if (head.compare(open + 1, close - open - 1, path) != 0) std::abort();
      pos = close + 1;
    }
    for (int kind : list.kinds) {
      if (kind != SelectionList::kFile && kind != SelectionList::kFolder) std::abort();
    }
  }
  // The command-line tail never grows and never starts with a blank.
  std::string tail = CommandLineTail(head.c_str());
  if (tail.size() > head.size() || (!tail.empty() && static_cast<unsigned char>(tail[0]) <= ' ')) std::abort();
  return 0;
}
