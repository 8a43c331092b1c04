// The hand-off's portable part (see handoff.h).
#include "shellext/handoff.h"

#include "core/launch.h"

namespace shellext {

namespace {
// The contract's file names are ASCII: widened character by character.
std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }
}  // namespace

std::wstring ModuleDirectory(const std::wstring& moduleFileName) {
  const size_t separator = moduleFileName.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return std::wstring();
  return moduleFileName.substr(0, separator + 1);
}

std::wstring ProgramPath(const std::wstring& directory) { return directory + Widen(core::contract::kProgramFileName); }

std::wstring ParameterFileIn(const std::wstring& directory) {
  return directory + Widen(core::contract::kParameterFileName);
}

}  // namespace shellext
