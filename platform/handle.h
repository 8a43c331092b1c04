// Owners for Win32 handles: each closes what it holds exactly once.
#pragma once

#include <windows.h>

namespace plat {

// A kernel handle from CreateFile and friends; INVALID_HANDLE_VALUE and null are empty.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~FileHandle() { reset(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& o) noexcept : h_(o.release()) {}
  FileHandle& operator=(FileHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  void reset(HANDLE h = INVALID_HANDLE_VALUE) {
    if (*this) ::CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_;
};

}  // namespace plat
