// The hand-off's portable part (see handoff.h).
#include "shellext/handoff.h"

#include "engine/launch_contract.h"
#include "platform/sjis.h"
#include "shellext/texts.h"

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

std::string ModuleDirectory(const std::string& moduleFileName) {
  size_t separator = sjis::FindLastSeparator(moduleFileName);
  if (separator == sjis::npos) return std::string();
  return moduleFileName.substr(0, separator + 1);
}

std::string ProgramPath(const std::string& directory) { return directory + contract::kProgramFileName; }

std::string ParameterFilePath(const std::string& directory) { return directory + contract::kParameterFileName; }

std::string CreateFailedMessage(const std::string& parameterPath) {
  return texts::kCreateFailedHead + parameterPath + texts::kCreateFailedTail;
}

}  // namespace shellext
