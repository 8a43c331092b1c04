// The program's side of the launch contract (see launch.h).
#include "engine/launch.h"

#include "core/path_text.h"
#include "engine/texts.h"
#include "platform/filefind.h"
#include "platform/fs.h"

bool IsPlainFile(const plat::NativePath& path) {
  // A pattern would find some file in a folder, not the file named by path.
  if (plat::HasWildcard(path)) return false;
  CFileFind finder;
  if (!finder.FindFile(path)) return false;
  finder.FindNextFile();
  return !finder.IsDirectory();
}

// Kind of a selected path: a plain file, else an existing folder (one trailing
// backslash ignored), else -1. One attribute query answers what a file search
// followed by an existence test would: a file's attributes say "file", a
// folder's say "folder"; only when the query fails (a trailing backslash, a
// drive root written "C:\") does the existence test run.
static int SelectionKindOf(const std::string& path) {
  const plat::NativePath native = plat::ToNative(path);
  if (!path.empty() && !plat::HasWildcard(native) && !EndsWithBackslash(path)) {
    const uint32_t attrs = plat::GetAttributes(native);
    if (attrs != plat::kInvalidAttributes)
      return (attrs & plat::kAttrDirectory) ? SelectionList::kFolder : SelectionList::kFile;
  }
  if (IsPlainFile(native)) return SelectionList::kFile;
  if (plat::PathExists(native)) return SelectionList::kFolder;
  return -1;
}

bool ParseParameterText(const std::string& text, SelectionList& list) {
  // Only the text before the first NUL byte counts, for the quotes and the paths.
  std::string_view rest(text.c_str());
  const int n = CountOccurrences(rest, std::string_view(&contract::kQuote, 1)) / 2;
  // The list grows entry by entry: a text of countless bogus pairs ends at its
  // first one without the room for all of them ever being taken.
  list = SelectionList();
  std::string path;
  for (int i = 0; i < n && TakeNextQuotedPath(rest, path); ++i) {
    const int kind = SelectionKindOf(path);
    list.paths.push_back(std::move(path));
    list.kinds.push_back(kind < 0 ? SelectionList::kFile : kind);
    list.count = i + 1;
    if (kind < 0) return false;
  }
  return true;
}

plat::NativePath ParameterFilePath() {
  return plat::JoinNative(plat::ModuleFolder(), plat::ToNative(contract::kParameterFileName));
}

bool LoadSelection(const std::string& commandTail, SelectionList& list, std::string& message) {
  if (!CheckLaunchToken(commandTail)) {
    message = texts::kRefuseDirectStart;
    return false;
  }
  const plat::NativePath parameterPath = ParameterFilePath();
  std::string content, error;
  if (!ReadWholeFile(parameterPath, content, error, contract::kMaxParameterFileBytes)) {
    message = std::string(texts::kParameterReadFailed) + error + texts::kParameterPathOpen +
              plat::FromNative(parameterPath) + texts::kParameterPathClose;
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

int FileExceptionCause(uint32_t systemError) {
  // The file-exception causes: 0 none, 1 generic, 2 not found, 3 bad path,
  // 4 too many open files, 5 access denied, 6 invalid file, 7 remove current
  // directory, 8 directory full, 9 bad seek, 10 hardware I/O, 11 sharing
  // violation, 12 lock violation, 13 disk full, 14 end of file.
  switch (systemError) {
    case 0: return 0;
    case 2: case 18: case 110: return 2;                    // not found, no more files, open failed
    case 3: case 15: case 17: case 34: case 53: case 55:    // path, drive, device, net path
    case 67: case 85: case 111: case 123: case 124: case 125:
    case 144: case 148: case 161: case 206: case 267: return 3;
    case 4: case 36: case 68: case 113: return 4;
    case 5: case 12: case 19: case 29: case 54: case 58: case 64: case 65: case 71: case 80:
    case 82: case 86: case 142: case 170: case 183: return 5;
    case 6: case 11: case 26: case 60: case 66: case 114: case 182: case 188: case 193: return 6;
    case 16: case 145: return 7;
    case 8: case 14: case 62: return 8;                     // out of memory, spool space
    case 24: case 25: case 27: case 30: case 131: case 132: return 9;
    case 21: case 23: case 31: case 57: case 59: case 88: case 117: case 995: case 996: case 997:
      return 10;
    case 32: return 11;
    case 33: case 108: case 167: return 12;
    case 39: case 112: return 13;
    case 38: return 14;
    default: return 1;
  }
}

std::string FileExceptionText(int cause) {
  std::string text = texts::kErrorDetailPrefix;
  constexpr int kCauses = static_cast<int>(std::size(texts::kFileExceptionCauses));
  text += (cause >= 0 && cause < kCauses) ? texts::kFileExceptionCauses[cause] : texts::kFileExceptionUnknown;
  return text;
}

bool ReadWholeFile(const plat::NativePath& path, std::string& content, std::string& error, uint64_t maxBytes) {
  // The size as the folder lists it, looked at before anything is allocated: a
  // file above maxBytes is never read. A path the finder does not find as one
  // file goes on to the read, which reports why it cannot be read.
  CFileFind finder;
  if (!plat::HasWildcard(path) && finder.FindFile(path)) {
    finder.FindNextFile();
    if (!finder.IsDirectory() && finder.GetLength() > maxBytes) {
      content.clear();
      error = std::string(texts::kErrorDetailPrefix) + texts::kFileTooLarge;
      return false;
    }
  }
  finder.Close();
  const uint32_t err = plat::ReadAll(path, content);
  if (err != plat::kErrSuccess) {
    content.clear();
    error = FileExceptionText(FileExceptionCause(err));
    return false;
  }
  error.clear();
  return true;
}

bool DeleteMatchingFiles(const plat::NativePath& pattern, std::string& error) {
  CFileFindEx finder;
  bool more = finder.FindFile(pattern);
  if (!more) return false;
  while (more) {
    more = finder.FindNextFile();
    const uint32_t err = plat::RemoveFile(finder.GetNativeFilePath());
    if (err != plat::kErrSuccess) {
      error = FileExceptionText(FileExceptionCause(err));
      return false;
    }
  }
  return true;
}
