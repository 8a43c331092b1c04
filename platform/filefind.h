// CFileFind: the file finder every walk over the disk uses, with the shape of
// the class library's finder (FindFile, then FindNextFile while it returns
// true; the entry fetched by FindNextFile is the current one).
//
// Win32: FindFirstFileW/FindNextFileW on the long form of the pattern; each
// entry carries its native name and that name's Shift_JIS form (made without
// best fit, "?" for a character code page 932 lacks). POSIX: opendir/readdir/stat with
// Windows-like wildcard matching of the last component ("*.*" is everything,
// case-insensitive for A-Z), dot entries included as Windows reports them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/native_path.h"

// <windows.h> maps FindNextFile to FindNextFileA; our method keeps its own name.
#ifdef FindNextFile
#undef FindNextFile
#endif

class CFileFind {
 public:
  CFileFind();
  ~CFileFind();
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search for name (a path, its last component may hold * and ?).
  // True if at least one entry matched; the first one is then fetched by
  // FindNextFile. A running search is closed first.
  bool FindFile(const plat::NativePath& name);
  // Makes the next entry current. True while further entries remain, so the
  // last entry is current after the call that returned false.
  bool FindNextFile();
  // Ends the search and frees its handle; also done by the destructor.
  void Close();

  uint64_t GetLength() const;         // full 64-bit size of the current entry (a file link: its target's)
  std::string GetFileName() const;    // Shift_JIS form of the current entry's name
  const plat::NativePath& GetNativeName() const { return current_.native; }  // the name itself
  const plat::NativePath& GetNativeRoot() const { return root_; }            // the folder part itself
  bool MatchesMask(uint32_t mask) const;
  // The reparse tag of the current entry when it is a reparse point, else 0
  // (the POSIX stand-in knows none).
  uint32_t GetReparseTag() const;
  bool IsDots() const;
  bool IsDirectory() const;

  // Win32 error code of the last FindFile that failed (2 not found, 3 bad path...),
  // or of a listing that broke off: after FindNextFile returned false, nonzero when
  // entries may be missing, 0 when the listing ended normally.
  uint32_t GetLastError() const { return lastError_; }

  // One directory entry as the platform reports it.
  struct Entry {
    std::string name;          // Shift_JIS form
    plat::NativePath native;   // as the file system gives it
    uint64_t size = 0;
    uint32_t attributes = 0;
    uint32_t reparseTag = 0;
  };

 private:
  struct Impl;  // the platform's search handle
  bool FetchNext(Entry& e);
  // The folder part of a search pattern: everything before its last separator
  // character; with no separator, the drive ("C:") or nothing.
  static plat::NativePath SearchRootOf(const plat::NativePath& pattern);

  std::unique_ptr<Impl> impl_;
  plat::NativePath root_;
  Entry current_;
  Entry next_;
  bool haveNext_ = false;
  bool haveCurrent_ = false;
  uint32_t lastError_ = 0;
};

// The finder of every walk: the class library's finder with the full path of
// the current entry, made from the native root and name (never from their
// Shift_JIS forms).
class CFileFindEx : public CFileFind {
 public:
  plat::NativePath GetNativeFilePath() const { return plat::JoinNative(GetNativeRoot(), GetNativeName()); }
};
