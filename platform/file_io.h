// The steps the copy (platform/copy.cpp) is made of, one implementation per
// system (fs_win32.cpp, fs_posix.cpp). For the platform layer only.
//
// The POSIX stand-in keeps what Windows keeps beyond a file's bytes the way a
// test can make and see it: a named data stream "name:stream" is the file of
// that name beside it (never listed by the finder, removed with its file); the
// DOS attributes, encryption (0x4000) included, are Wine's extended attribute.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs.h"

namespace plat::io {

// The read of ReadAll (fs.h) once its limit is kept: every byte the file holds.
uint32_t ReadWhole(const NativePath& path, std::string& out, bool shared);

// An open file, closed by its owner exactly once.
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  static constexpr intptr_t kNone = -1;
  bool IsOpen() const { return handle != kNone; }
  // Closes the file; 0, or the error the system reports on closing (a write
  // it could not complete).
  uint32_t Close();

  intptr_t handle = kNone;  // HANDLE or descriptor
};

// What the copy keeps of a source: its attributes and last-write time (system
// units).
struct Facts {
  uint32_t attributes = 0;
  uint64_t lastWrite = 0;
};

// Opens path for reading in sequence, shared (others may read, write and
// delete it meanwhile). A folder is refused (kErrAccessDenied).
uint32_t OpenSource(const NativePath& path, File& file, Facts& facts);
// Creates path for writing; an existing file or folder is an error
// (kErrFileExists) and stays untouched.
uint32_t CreateTarget(const NativePath& path, File& file);
// Reads up to size bytes; *got 0 at the end.
uint32_t Read(File& file, char* buffer, size_t size, size_t* got);
// Writes all of data.
uint32_t Write(File& file, const char* data, size_t size);
// The names of the source's named data streams (without the default one);
// none when its file system has none.
uint32_t NamedStreams(File& source, const NativePath& path, std::vector<NativePath>& names);
// The path of a named stream of a file.
NativePath StreamPath(const NativePath& file, const NativePath& stream);
// True if the volume of the open target holds named streams.
bool HoldsNamedStreams(File& target);
// Sets the target's last-write time to the source's and closes it.
uint32_t FinishTarget(File& target, const Facts& facts);
// Sets path's attributes (a read-only copy could not have been written).
uint32_t SetAttributes(const NativePath& path, uint32_t attributes);
// The system's own copy, never replacing, with progress asked per chunk where
// the system calls back; removes what it wrote when it fails. For the files
// only the system can copy as they are (encrypted ones).
uint32_t SystemCopy(const NativePath& source, const NativePath& destination, CopyProgress* progress);

}  // namespace plat::io
