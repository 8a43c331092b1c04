// plat::FileFinder: the file finder every walk over the disk uses (Start, then
// Next while it returns true; the entry fetched by Next is the current one).
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

namespace plat {

class FileFinder {
 public:
  FileFinder();
  ~FileFinder();
  FileFinder(const FileFinder&) = delete;
  FileFinder& operator=(const FileFinder&) = delete;

  // Starts a search for name (a path, its last component may hold * and ?).
  // True if at least one entry matched; the first one is then fetched by
  // Next. A running search is closed first.
  bool Start(const plat::NativePath& name);
  // Makes the next entry current. True while further entries remain, so the
  // last entry is current after the call that returned false.
  bool Next();
  // Ends the search and frees its handle; also done by the destructor.
  void Close();

  uint64_t GetLength() const;         // full 64-bit size of the current entry (a file link: its target's)
  std::string GetFileName() const;    // Shift_JIS form of the current entry's name
  const plat::NativePath& GetNativeName() const { return current_.native; }  // the name itself
  const plat::NativePath& GetNativeRoot() const { return root_; }            // the folder part itself
  // The full path of the current entry, made from the native root and name
  // (never from their Shift_JIS forms).
  plat::NativePath FullPath() const { return plat::JoinNative(root_, current_.native); }
  bool MatchesMask(uint32_t mask) const;
  // The reparse tag of the current entry when it is a reparse point, else 0
  // (the POSIX stand-in knows none).
  uint32_t GetReparseTag() const;
  bool IsDots() const;
  bool IsDirectory() const;

  // Win32 error code of the last Start that failed (2 not found, 3 bad path...),
  // or of a listing that broke off: after Next returned false, nonzero when
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

}  // namespace plat
