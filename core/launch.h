// The launch contract between the Explorer extension and the program, shared
// by both: the program's file name, the command-line token, the parameter file
// beside both binaries and its format, the caption of every message box; and
// the pure rules that write and read it.
//
// The parameter file is a concatenation of entries: '"', path, '"', ' ' (no
// header, no line break, no terminator), in Shift_JIS. The reader takes the
// text up to its first NUL byte, pairs its double quotes (every pair is an
// entry) and ignores everything between and after the pairs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

namespace contract {

constexpr const char kCaption[] = "Larkspan";
constexpr const char kProgramFileName[] = "Larkspan.exe";
constexpr const char kLaunchToken[] = "LarkspanCall";
constexpr const char kParameterFileName[] = "lkpara.dat";
// One entry of the parameter file: kQuote, path, kQuote, kEntryEnd.
constexpr char kQuote = '"';
constexpr char kEntryEnd = ' ';

// The largest parameter file the program reads: 64 MiB. An entry takes its
// path's length + 3 bytes and a path at most 260 bytes, so this holds more than
// 250,000 entries of the longest paths (100,000 of them take 26 MB), while the
// file and the list made from it (under 1 GB even for a file of nothing but
// the shortest entries) stay within the 2 GB of a 32-bit process. A larger
// file is refused unread, so it can never exhaust memory.
constexpr uint64_t kMaxParameterFileBytes = 64u << 20;

}  // namespace contract

// The selected paths in file order, verbatim, each with its kind fixed at load
// time: 0 a file, 1 a folder.
struct SelectionList {
  enum Kind { kFile = 0, kFolder = 1 };
  int count = 0;
  std::vector<std::string> paths;
  std::vector<int> kinds;
};

// The parameter file's content for paths: for each path, in order, a double
// quote, the path's bytes, a double quote and a space. False with text empty
// when paths is empty or one of them is empty or holds a double quote or a NUL
// byte: the program could not read such a list back as it was selected.
bool BuildParameterText(const std::vector<std::string>& paths, std::string& text);

// The command-line tail as the application framework hands it to the program:
// the program name (quoted or not) and the blanks after it removed; the rest,
// trailing blanks included, untouched.
std::string CommandLineTail(std::string_view commandLine);

// True if tail is exactly the launch token (byte for byte, case-sensitive).
bool CheckLaunchToken(std::string_view tail);

// Cuts the next quoted path from the front of rest: path = the text between the
// first two double quotes, rest = what follows the second. False if no
// complete pair is left (path untouched; rest unchanged when no quote at all).
bool TakeNextQuotedPath(std::string_view& rest, std::string& path);

}  // namespace core
