// Profile access on POSIX: our own small INI store with the contract of the
// system's profile functions (see profile.h). Every call reads the file anew;
// a write replaces the file as a whole through a temporary file in the same
// folder, so that a failed write never leaves half a file behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/fs.h"
#include "platform/posix_path.h"
#include "platform/profile.h"
#include "platform/profile_store.h"
#include "platform/sjis.h"

namespace plat {
namespace {

// Copies at most size - 1 bytes of text, never half a double-byte character,
// and terminates. Returns the bytes copied.
uint32_t CopyCut(const std::string& text, char* buf, uint32_t size) {
  size_t limit = size - 1;
  size_t n = 0;
  while (n < text.size()) {
    size_t len = sjis::CharLen(text, n);
    if (n + len > limit) break;
    n += len;
  }
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return static_cast<uint32_t>(n);
}

// Writes bytes to path through a temporary file beside it. Returns 0 or an error code.
uint32_t ReplaceFile(const std::string& posixPath, const std::string& bytes) {
  struct stat st {};
  mode_t mode = 0644;
  if (stat(posixPath.c_str(), &st) == 0) mode = st.st_mode & 07777;
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), ".~%d", static_cast<int>(getpid()));
  std::string temp = posixPath + suffix;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return ErrnoToWin32(errno, posixPath);
  size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0 && !err) err = errno;
  if (!err && rename(temp.c_str(), posixPath.c_str()) != 0) err = errno;
  if (err) {
    unlink(temp.c_str());
    return ErrnoToWin32(err, posixPath);
  }
  return kErrSuccess;
}

}  // namespace

uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const NativePath& path) {
  if (size == 0) return 0;
  std::string bytes, value;
  // Whatever keeps the file from being read (missing, a folder, no access)
  // gives the default, as a missing key does.
  bool found = ReadAll(path, bytes) == kErrSuccess && IniText(bytes).Find(section, key, &value);
  if (!found) {
    value = def;
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  return CopyCut(value, buf, size);
}

bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const NativePath& path, uint32_t* err) {
  uint32_t e = InjectedFault(FsOp::ProfileWrite, path);
  if (!e) e = CheckProfileEntry(section, key, value);
  std::string bytes;
  if (!e) {
    e = ReadAll(path, bytes);
    if (e == kErrFileNotFound) e = kErrSuccess;  // the write creates it
  }
  if (!e) {
    IniText text(std::move(bytes));
    if (value) {
      text.Set(section, key, value);
      e = ReplaceFile(ToPosixPath(path), text.bytes());
    } else if (text.Remove(section, key)) {
      e = ReplaceFile(ToPosixPath(path), text.bytes());
    }
  }
  if (e && err) *err = e;
  return e == kErrSuccess;
}

}  // namespace plat
