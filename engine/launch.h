// The program's side of the launch contract: the command-line token, the
// parameter file beside the program and the SelectionList made from it.
//
// The parameter file is a concatenation of entries: '"', path, '"', ' '. The
// reader takes the text up to its first NUL byte, pairs its double quotes
// (every pair is an entry) and ignores everything between and after the pairs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_path.h"

// The selected paths in file order, verbatim, each with its kind fixed at load
// time: 0 a file, 1 a folder.
struct SelectionList {
  enum Kind { kFile = 0, kFolder = 1 };
  int count = 0;
  std::vector<std::string> paths;
  std::vector<int> kinds;
};

// The command-line tail as the application framework hands it to the program:
// the program name (quoted or not) and the blanks after it removed; the rest,
// trailing blanks included, untouched.
std::string CommandLineTail(const char* commandLine);

// 0 if tail is exactly the launch token (byte for byte, case-sensitive), else -1.
int CheckLaunchToken(const std::string& tail);

// Cuts the next quoted path from the front of rest: path = the text between the
// first two double quotes, rest = what follows the second. 0 on success; -1 if
// no complete pair is left (path untouched; rest unchanged when no quote at all).
int TakeNextQuotedPath(std::string_view& rest, std::string& path);

// Fills list from the parameter file's content, one entry per quote pair. 0 on
// success; -1 as soon as an entry is neither an existing file nor an existing
// folder (the list then ends with that entry). A text without a complete quote
// pair gives 0 and count 0.
int ParseParameterText(const std::string& text, SelectionList& list);

// The largest parameter file the program reads: 64 MiB. An entry takes its
// path's length + 3 bytes and a path at most 260 bytes, so this holds more than
// 250,000 entries of the longest paths (100,000 of them take 26 MB), while the
// file and the list made from it (under 1 GB even for a file of nothing but
// the shortest entries) stay within the 2 GB of a 32-bit process. A larger
// file is refused unread, so it can never exhaust memory.
constexpr uint64_t kMaxParameterFileBytes = 64u << 20;

// Full native path of the parameter file: the program's folder + "\" +
// "lkpara.dat" (the message that names it shows its Shift_JIS form).
plat::NativePath ParameterFilePath();

// The load sequence: token check, read of the parameter file, its deletion
// right after a successful read, parsing. 0 with a non-empty list, or -1 with
// message = the refusal to show (stop icon); the caller then closes. A file
// that cannot be read, or is larger than kMaxParameterFileBytes, is refused
// with the read-failure message and left where it is (it was not read; the
// next hand-off replaces it).
int LoadSelection(const std::string& commandTail, SelectionList& list, std::string& message);
