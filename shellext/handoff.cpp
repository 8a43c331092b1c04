// The hand-off's portable part (see handoff.h).
#include "shellext/handoff.h"

#include "engine/launch_contract.h"

namespace shellext {

int BuildParameterText(const std::vector<std::string>& paths, std::string& text) {
  text.clear();
  if (paths.empty()) return -1;
  size_t length = 0;
  for (const std::string& path : paths) {
    if (path.empty() || path.find_first_of(std::string("\"\0", 2)) != std::string::npos) return -1;
    length += path.size() + 3;
  }
  text.reserve(length);
  for (const std::string& path : paths) {
    text += contract::kQuote;
    text += path;
    text += contract::kQuote;
    text += contract::kEntryEnd;
  }
  return 0;
}

namespace {
// The contract's file names are ASCII: widened character by character.
std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }
}  // namespace

std::wstring ModuleDirectory(const std::wstring& moduleFileName) {
  const size_t separator = moduleFileName.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return std::wstring();
  return moduleFileName.substr(0, separator + 1);
}

std::wstring ProgramPath(const std::wstring& directory) { return directory + Widen(contract::kProgramFileName); }

std::wstring ParameterFilePath(const std::wstring& directory) {
  return directory + Widen(contract::kParameterFileName);
}

}  // namespace shellext
