// Owners for POSIX file descriptors and directory streams (POSIX implementations
// only, as handle.h is for Win32): each non-copyable type closes what it holds
// exactly once.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

// One owner type: Traits says which value is empty and how it is closed.
template <typename T, typename Traits>
class PosixOwner {
 public:
  explicit PosixOwner(T h = Traits::Empty()) : h_(h) {}
  ~PosixOwner() { reset(); }
  PosixOwner(const PosixOwner&) = delete;
  PosixOwner& operator=(const PosixOwner&) = delete;
  explicit operator bool() const { return h_ != Traits::Empty(); }
  T get() const { return h_; }
  // Closes the held descriptor or stream (if any) and takes h: 0, or the errno
  // of a failed close (for a written file, the system's last word on the write).
  int reset(T h = Traits::Empty()) {
    const int result = h_ == Traits::Empty() || Traits::Close(h_) == 0 ? 0 : errno;
    h_ = h;
    return result;
  }

 private:
  T h_;
};

struct FdTraits {
  static int Empty() { return -1; }
  static int Close(int fd) { return ::close(fd); }
};
// A file descriptor from open(); -1 is empty.
using UniqueFd = PosixOwner<int, FdTraits>;

struct DirTraits {
  static DIR* Empty() { return nullptr; }
  static int Close(DIR* dir) { return ::closedir(dir); }
};
// A directory stream from opendir(); null is empty.
using UniqueDir = PosixOwner<DIR*, DirTraits>;

}  // namespace plat
