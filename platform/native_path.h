// Paths as the file system takes them: UTF-16 on Windows, the program's own
// Shift_JIS text (backslash separators) on POSIX. The engine carries these for
// everything it touches on disk; the Shift_JIS form of a name is made only for
// the filters and the texts of messages, never to open a file again.
#pragma once

#include <string>

namespace plat {

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// The native form of a Shift_JIS path (code page 932, whatever the system's
// ANSI code page is). Exact: every character of code page 932 has one.
NativePath ToNative(const std::string& sjis);

// The Shift_JIS form of a native path or name, without best fit: a character
// that code page 932 lacks becomes "?" (never a look-alike such as "e" for "é"
// or a backslash for "¥"). *exact (if given) tells whether every character had
// its own form.
std::string FromNative(const NativePath& path, bool* exact = nullptr);

// folder + "\" + name; the separator is left out when folder's last character
// is a backslash or slash (a drive root "E:\").
NativePath JoinNative(const NativePath& folder, const NativePath& name);

// Position of the last backslash or slash character, or npos.
size_t LastSeparator(const NativePath& path);

// True if path holds "*" or "?" (a pattern, never one file).
bool HasWildcard(const NativePath& path);

// The form handed to the system's functions. Windows: an absolute path
// "C:\..." becomes "\\?\C:\..." and "\\server\share\..." becomes
// "\\?\UNC\server\share\..." (slashes turned into backslashes), so that its
// length is limited by the file system rather than by 260 characters, and
// names ending in a dot or a space pass unchanged; any other path, and one
// with a "." or ".." component or a doubled separator, is kept.
// POSIX: the path itself.
NativePath LongPathForm(const NativePath& path);

// The path with each component in its long form (a short 8.3 component
// replaced by the real name), in the same plain or "\\?\" form as given;
// path itself when it holds no "~" (no generated short name does without) or
// the system cannot tell (missing item, POSIX).
NativePath LongPathName(const NativePath& path);

}  // namespace plat
