// File and path utilities: the stateless toolbox for every touch of the disk
// and for the number texts the program shows. Paths are Shift_JIS text; every
// separator search is character-wise (see platform/sjis.h).
//
// Result convention: 0 for success or "yes", -1 for failure or "no" (the one
// exception, MatchWildcard, gives 1 for a match and 0 otherwise). Error texts
// come back through an output string; nothing here shows a message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/filefind.h"

// The finder of every walk: the class library's finder with the full path of
// the current entry.
class CFileFindEx : public CFileFind {
 public:
  // Root + "\" + name; the separator is left out only when the root's last
  // *character* is a backslash or slash, so a root that ends in a double-byte
  // character whose second byte is 0x5C still gets one; an empty root gets one.
  std::string GetFilePath() const;
  // The same path in native form, made from the native root and name (never
  // from their Shift_JIS forms).
  plat::NativePath GetNativeFilePath() const { return plat::JoinNative(GetNativeRoot(), GetNativeName()); }
};

// Folder of the running program file, without trailing backslash, as a native
// path (the folder beside the program holds its settings and parameter file).
plat::NativePath GetModuleFolder();

// 0 if a file or folder exists at path (one trailing backslash ignored), else -1.
int PathExists(const std::string& path);

// 0 if path names an existing file that is not a folder, else -1. A path with
// wildcard characters names no single file and gives -1.
int IsPlainFile(const std::string& path);

// 0 if the last character of path is a backslash, else -1 (also for "").
int EndsWithBackslash(const std::string& path);

// Reads the whole file byte for byte. 0 with error empty, or -1 with content
// empty and error = FileExceptionText of the cause; a file larger than
// maxBytes (by its listed size) is not read at all: -1 with error =
// "エラー詳細：" + the too-large cause text.
int ReadWholeFile(const plat::NativePath& path, std::string& content, std::string& error,
                  uint64_t maxBytes = UINT64_MAX);

// "エラー詳細：" followed by the text of a file-exception cause code (0..14).
std::string FileExceptionText(int cause);

// File-exception cause code (0..14) for a Win32 error code.
int FileExceptionCause(uint32_t systemError);

// Deletes every file matching the wildcard path. 0 if at least one was deleted
// and none failed; -1 if nothing matched (error untouched) or a deletion failed
// (error = FileExceptionText of the cause; the loop ends there).
int DeleteMatchingFiles(const plat::NativePath& pattern, std::string& error);

// Splits like the runtime's _splitpath, double-byte aware: drive ("C:" or ""),
// directory (up to and including the last \ or /), name, extension (from the
// last dot of the last component). Parts are cut at the runtime's buffer sizes
// (drive 3, dir 256, name 256, ext 256 bytes with terminator). Always 0.
int SplitPath(const std::string& path, std::string& drive, std::string& dir, std::string& name,
              std::string& ext);

// Replaces path by its display form: " C:\...\Name", or " " + path when it lies
// directly under a drive root or its last component has an empty name part
// (the path ends with a separator, is a bare drive, or its last component
// begins with its last dot, as ".git" does). Always 0.
int ShortenPath(std::string& path);

// name = everything after the last backslash (the whole path without one). 0.
int GetLastComponent(const std::string& path, std::string& name);

// Byte-wise, case-sensitive wildcard match: * any run of bytes, ? one byte.
// 1 on a match, 0 otherwise. At most pattern x text steps, never exponential.
int MatchWildcard(std::string_view pattern, std::string_view text);

// Text of a system error code, untrimmed (its line break and markers kept);
// empty when the system has none.
std::string GetSystemErrorText(uint32_t code);

// Decimal text with "," every three digits: 1234567 gives "1,234,567".
std::string FormatGroupedNumber(int64_t value);

// Short size text in units of 1024: "  5バイト", "1.50KB", "15.0MB", "1024MB".
std::string FormatSizeText(int64_t bytes);

// Counts the (possibly overlapping) occurrences of sub in text up to its first
// NUL byte, all of them (a count beyond the largest int stays there). Always 0.
int CountOccurrences(std::string_view text, std::string_view sub, int& count);

#ifdef _WIN32
// Dispatches every waiting message of the calling thread, for all windows; never waits.
void PumpMessages();

// Opens the shell's folder picker pre-set to path. 0 with path replaced if a
// file-system folder was chosen; -1 with path unchanged otherwise. mode 1 shows
// the new-folder button; any other mode hides it.
struct HWND__;
int BrowseForFolder(HWND__* owner, const std::string& title, std::string& path, int mode);
#endif
