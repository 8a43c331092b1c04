// The program's side of the launch contract (see launch.h).
#include "engine/launch.h"

#include "core/path_text.h"
#include "core/texts.h"
#include "engine/file_error.h"
#include "engine/texts.h"
#include "engine/walk.h"
#include "platform/filefind.h"
#include "platform/fs.h"

namespace engine {

// Kind of a selected path: a plain file, else an existing folder (one trailing
// backslash ignored), else -1. One attribute query answers what a file search
// followed by an existence test would: a file's attributes say "file", a
// folder's say "folder"; only when the query fails (a trailing backslash, a
// drive root written "C:\") does the existence test run.
static int SelectionKindOf(const std::string& path) {
  const plat::NativePath native = plat::ToNative(path);
  if (!path.empty() && !plat::HasWildcard(native) && !core::EndsWithBackslash(path)) {
    const uint32_t attrs = plat::GetAttributes(native);
    if (attrs != plat::kInvalidAttributes)
      return (attrs & plat::kAttrDirectory) ? core::SelectionList::kFolder : core::SelectionList::kFile;
  }
  uint64_t size = 0;
  if (FindPlainFile(native, size)) return core::SelectionList::kFile;
  if (plat::PathExists(native)) return core::SelectionList::kFolder;
  return -1;
}

bool ParseParameterText(const std::string& text, core::SelectionList& list) {
  // Only the text before the first NUL byte counts, for the quotes and the paths.
  std::string_view rest(text.c_str());
  // The list grows entry by entry: a text of countless bogus pairs ends at its
  // first one without the room for all of them ever being taken.
  list = core::SelectionList();
  std::string path;
  for (int i = 0; core::TakeNextQuotedPath(rest, path); ++i) {
    const int kind = SelectionKindOf(path);
    list.paths.push_back(std::move(path));
    list.kinds.push_back(kind < 0 ? core::SelectionList::kFile : kind);
    list.count = i + 1;
    if (kind < 0) return false;
  }
  return true;
}

plat::NativePath ParameterFileBesideProgram() {
  return plat::JoinNative(plat::ModuleFolder(), plat::ToNative(core::contract::kParameterFileName));
}

bool LoadSelection(const std::string& commandTail, core::SelectionList& list, std::string& message) {
  if (!core::CheckLaunchToken(commandTail)) {
    message = texts::kRefuseDirectStart;
    return false;
  }
  const plat::NativePath parameterPath = ParameterFileBesideProgram();
  std::string content, error;
  if (!ReadWholeFile(parameterPath, content, error, core::contract::kMaxParameterFileBytes)) {
    message = std::string(texts::kParameterReadFailed) + error + texts::kParameterPathOpen +
              plat::FromNative(parameterPath) + core::texts::kPathClose;
    return false;
  }
  // Gone before its content is looked at, whatever the content turns out to be.
  std::string ignored;
  DeleteMatchingFiles(parameterPath, ignored);
  if (!ParseParameterText(content, list)) {
    message = texts::kSelectionUnrecognised;
    return false;
  }
  if (list.count == 0) {
    message = texts::kSelectionEmpty;
    return false;
  }
  return true;
}

bool ReadWholeFile(const plat::NativePath& path, std::string& content, std::string& error, uint64_t maxBytes) {
  const uint32_t err = plat::ReadAll(path, content, false, maxBytes);
  if (err == plat::kErrFileTooLarge) {
    error = std::string(texts::kErrorDetailPrefix) + texts::kFileTooLarge;
    return false;
  }
  if (err != plat::kErrSuccess) {
    error = FileExceptionText(FileExceptionCause(err));
    return false;
  }
  error.clear();
  return true;
}

bool DeleteMatchingFiles(const plat::NativePath& pattern, std::string& error) {
  plat::FileFinder finder;
  bool more = finder.Start(pattern);
  if (!more) return false;
  while (more) {
    more = finder.Next();
    const uint32_t err = plat::RemoveFile(finder.FullPath());
    if (err != plat::kErrSuccess) {
      error = FileExceptionText(FileExceptionCause(err));
      return false;
    }
  }
  return true;
}

}  // namespace engine
