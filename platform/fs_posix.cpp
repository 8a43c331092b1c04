// File-system calls on POSIX, with Windows' answers (see fs.h).
#include <dirent.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/file_io.h"
#include "platform/fs.h"
#include "platform/posix_handle.h"
#include "platform/posix_path.h"
#include "core/sjis.h"

namespace plat {

namespace {
FaultHook g_hook = nullptr;
void* g_hookCtx = nullptr;
}  // namespace

void SetFaultHook(FaultHook hook, void* ctx) {
  g_hook = hook;
  g_hookCtx = ctx;
}

uint32_t InjectedFault(FsOp op, const std::string& path) { return g_hook ? g_hook(op, path, g_hookCtx) : 0; }

std::string ToPosixPath(const std::string& path) {
  std::string out = path;
  for (size_t i = 0; i < out.size(); i += core::sjis::CharLen(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

std::string FromPosixPath(const std::string& path) {
  std::string out = path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

uint32_t ErrnoToWin32(int err, const std::string& posixPath) {
  switch (err) {
    case 0: return kErrSuccess;
    case ENOENT: {
      size_t slash = posixPath.rfind('/');
      if (slash == std::string::npos || slash == 0) return kErrFileNotFound;
      struct stat st {};
      std::string parent = posixPath.substr(0, slash);
      return (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? kErrFileNotFound : kErrPathNotFound;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kErrAccessDenied;
    case EMFILE:
    case ENFILE: return kErrTooManyOpenFiles;
    case EBADF: return kErrInvalidHandle;
    case ENOSPC:
    case EDQUOT: return kErrDiskFull;
    case EEXIST: return kErrFileExists;
    case ENOTEMPTY: return kErrDirNotEmpty;
    case EBUSY:
    case ETXTBSY: return kErrSharingViolation;
    case ENOMEM: return kErrNotEnoughMemory;
    case EINVAL: return kErrInvalidParameter;
    default: return 31;  // ERROR_GEN_FAILURE
  }
}

namespace {

// The DOS attributes Wine keeps in this extended attribute ("0x4006": hidden,
// system, encrypted), of the open file fd or else of path. A folder's
// read-only mark is kept there too: on Windows it protects nothing.
constexpr char kDosAttributes[] = "user.DOSATTRIB";
constexpr uint32_t kDosAttributeBits = kAttrMarks | kAttrEncrypted;
uint32_t DosAttributesOf(int fd, const char* path = nullptr) {
  char text[32] = {};
  const ssize_t n = path ? getxattr(path, kDosAttributes, text, sizeof(text) - 1)
                         : fgetxattr(fd, kDosAttributes, text, sizeof(text) - 1);
  return n > 0 ? static_cast<uint32_t>(std::strtoul(text, nullptr, 16)) & kDosAttributeBits : 0;
}

}  // namespace

uint32_t GetAttributes(const std::string& path, uint32_t* err) {
  uint32_t fault = InjectedFault(FsOp::Attributes, path);
  std::string posix = ToPosixPath(path);
  struct stat st {};
  if (fault || path.empty() || stat(posix.c_str(), &st) != 0) {
    if (err) *err = fault ? fault : (path.empty() ? kErrPathNotFound : ErrnoToWin32(errno, posix));
    return kInvalidAttributes;
  }
  uint32_t attrs = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if (!(st.st_mode & S_IWUSR)) attrs |= kAttrReadOnly;
  return attrs | DosAttributesOf(-1, posix.c_str());
}

bool FollowedFileSize(const std::string& path, uint64_t& size) {
  struct stat st {};
  if (stat(ToPosixPath(path).c_str(), &st) != 0) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

uint32_t io::ReadWhole(const std::string& path, std::string& out, bool) {
  out.clear();
  if (uint32_t fault = InjectedFault(FsOp::Read, path)) return fault;
  std::string posix = ToPosixPath(path);
  UniqueFd file(open(posix.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) return ErrnoToWin32(errno, posix);
  struct stat st {};
  if (fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) {
    return S_ISDIR(st.st_mode) ? kErrAccessDenied : ErrnoToWin32(errno, posix);
  }
  // Read what the file holds now, not what stat said: it may grow or shrink.
  std::vector<char> buf(64 * 1024);
  for (;;) {
    ssize_t n = read(file.get(), buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      out.clear();
      return ErrnoToWin32(errno, posix);
    }
    if (n == 0) break;
    out.append(buf.data(), static_cast<size_t>(n));
  }
  return kErrSuccess;
}

uint32_t RemoveFile(const std::string& path) {
  if (uint32_t fault = InjectedFault(FsOp::Remove, path)) return fault;
  std::string posix = ToPosixPath(path);
  struct stat st {};
  if (lstat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kErrAccessDenied;  // as DeleteFileA
  if (unlink(posix.c_str()) != 0) return ErrnoToWin32(errno, posix);
  // Its named streams go with it, as on Windows.
  io::File none;
  std::vector<NativePath> streams;
  io::NamedStreams(none, path, streams);
  for (const NativePath& stream : streams) unlink(ToPosixPath(io::StreamPath(path, stream)).c_str());
  return kErrSuccess;
}

uint32_t CreateFolder(const std::string& path) {
  if (uint32_t fault = InjectedFault(FsOp::MakeFolder, path)) return fault;
  std::string posix = ToPosixPath(path);
  if (mkdir(posix.c_str(), 0777) == 0) return kErrSuccess;
  return errno == EEXIST ? kErrAlreadyExists : ErrnoToWin32(errno, posix);
}

namespace {

// Writes all of buf to fd. 0 or errno.
int WriteAll(int fd, const char* buf, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, buf, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    buf += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

int FdOf(const io::File& file) { return static_cast<int>(file.handle); }

}  // namespace

namespace io {

uint32_t File::Close() {
  if (!IsOpen()) return kErrSuccess;
  const int closed = close(FdOf(*this));
  handle = kNone;
  return closed == 0 ? kErrSuccess : ErrnoToWin32(errno, "");
}

uint32_t OpenSource(const NativePath& path, File& file, Facts& facts) {
  if (uint32_t fault = InjectedFault(FsOp::Read, path)) return fault;
  const std::string posix = ToPosixPath(path);
  const int fd = open(posix.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoToWin32(errno, posix);
  file.handle = fd;
  struct stat st {};
  if (fstat(fd, &st) != 0) return ErrnoToWin32(errno, posix);
  if (S_ISDIR(st.st_mode)) return kErrAccessDenied;
  facts.attributes = kAttrArchive | DosAttributesOf(fd) | ((st.st_mode & S_IWUSR) ? 0u : uint32_t{kAttrReadOnly});
  facts.lastWrite = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
  return kErrSuccess;
}

uint32_t CreateTarget(const NativePath& path, File& file) {
  if (uint32_t fault = InjectedFault(FsOp::Copy, path)) return fault;
  const std::string posix = ToPosixPath(path);
  const int fd = open(posix.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST ? kErrFileExists : ErrnoToWin32(errno, posix);
  file.handle = fd;
  return kErrSuccess;
}

uint32_t Read(File& file, char* buffer, size_t size, size_t* got) {
  for (;;) {
    const ssize_t n = read(FdOf(file), buffer, size);
    if (n >= 0) return (*got = static_cast<size_t>(n)), kErrSuccess;
    if (errno != EINTR) return ErrnoToWin32(errno, "");
  }
}

uint32_t Write(File& file, const char* data, size_t size) {
  const int err = WriteAll(FdOf(file), data, size);
  return err ? ErrnoToWin32(err, "") : kErrSuccess;
}

uint32_t NamedStreams(File&, const NativePath& path, std::vector<NativePath>& names) {
  // The stand-in's streams: the files "name:stream" beside the file.
  names.clear();
  const std::string posix = ToPosixPath(path);
  const size_t slash = posix.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : posix.substr(0, slash + 1);
  const std::string prefix = posix.substr(slash + 1) + ":";
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
        names.push_back(name.substr(prefix.size()));
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return kErrSuccess;
}

NativePath StreamPath(const NativePath& file, const NativePath& stream) { return file + ":" + stream; }

bool HoldsNamedStreams(File&) { return InjectedFault(FsOp::NamedStreams, "") == 0; }

uint32_t FinishTarget(File& target, const Facts& facts) {
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(facts.lastWrite / 1000000000u), static_cast<long>(facts.lastWrite % 1000000000u)}};
  const uint32_t err = futimens(FdOf(target), times) == 0 ? kErrSuccess : ErrnoToWin32(errno, "");
  const uint32_t closed = target.Close();
  return err ? err : closed;
}

uint32_t SetAttributes(const NativePath& path, uint32_t attributes) {
  const std::string posix = ToPosixPath(path);
  struct stat st {};
  if (stat(posix.c_str(), &st) != 0) return ErrnoToWin32(errno, posix);
  char dos[16];
  std::snprintf(dos, sizeof(dos), "0x%x", static_cast<unsigned>(attributes & kDosAttributeBits));
  if ((attributes & kDosAttributeBits) && setxattr(posix.c_str(), kDosAttributes, dos, std::strlen(dos), 0) != 0)
    return ErrnoToWin32(errno, posix);
  if (S_ISDIR(st.st_mode)) return kErrSuccess;
  const mode_t mode = (attributes & kAttrReadOnly) ? 0444 : 0644;
  return chmod(posix.c_str(), mode) == 0 ? kErrSuccess : ErrnoToWin32(errno, posix);
}

uint32_t SystemCopy(const NativePath&, const NativePath&, CopyProgress*) {
  // The stand-in has no encryption: as a destination that cannot hold it.
  return kErrEncryptionFailed;
}

}  // namespace io

uint32_t ReplaceAll(const std::string& path, const std::string& bytes) {
  const std::string posix = ToPosixPath(path);
  // The new file keeps the mode of the one it replaces; a file without its
  // owner's write bit is read-only (as GetAttributes says) and refused, as on
  // Windows.
  struct stat st {};
  mode_t mode = 0644;
  if (stat(posix.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR)) return kErrAccessDenied;
    mode = st.st_mode & 07777;
  }
  const std::string temp = posix + ".~" + std::to_string(getpid());
  UniqueFd file(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (!file) return ErrnoToWin32(errno, posix);
  uint32_t fault = InjectedFault(FsOp::Replace, path);
  const size_t written = fault ? bytes.size() / 2 : bytes.size();
  int err = WriteAll(file.get(), bytes.data(), written);
  // On the drive before the rename, which flushes nothing (see fs.h).
  if (!err && !fault && fsync(file.get()) != 0) err = errno;
  if (int closed = file.reset(); closed && !err) err = closed;
  if (!err && !fault && rename(temp.c_str(), posix.c_str()) != 0) err = errno;
  if (err || fault) {
    unlink(temp.c_str());
    return fault ? fault : ErrnoToWin32(err, posix);
  }
  // The rename itself is the folder's to keep.
  const size_t slash = posix.rfind('/');
  UniqueFd folder(open(slash == std::string::npos ? "." : posix.substr(0, slash + 1).c_str(), O_RDONLY | O_CLOEXEC));
  if (folder) fsync(folder.get());
  return kErrSuccess;
}

uint32_t ReadBack(const std::string& path, CopyProgress& progress) {
  if (uint32_t fault = InjectedFault(FsOp::ReadBack, path)) return fault;
  const std::string posix = ToPosixPath(path);
  io::File file;
  const int fd = open(posix.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoToWin32(errno, posix);
  file.handle = fd;
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);  // what is cached of it goes: the drive is read
  thread_local std::vector<char> buffer(256 << 10);  // one for every read-back of the thread, as on Windows
  for (;;) {
    size_t got = 0;
    if (uint32_t err = io::Read(file, buffer.data(), buffer.size(), &got)) return err;
    if (got == 0) return kErrSuccess;
    progress.Copied(buffer.data(), got);
    if (!progress.Continue()) return kErrRequestAborted;
  }
}

bool GetFileId(const std::string& path, FileId& id) {
  struct stat st {};
  if (stat(ToPosixPath(path).c_str(), &st) != 0) return false;
  id.volume = static_cast<uint64_t>(st.st_dev);
  id.index = static_cast<uint64_t>(st.st_ino);
  return true;
}

uint32_t GetFileFacts(const std::string& path, FileFacts& facts) {
  const std::string posix = ToPosixPath(path);
  struct stat st {};
  if (lstat(posix.c_str(), &st) != 0) return ErrnoToWin32(errno, posix);
  char text[32] = {};
  const ssize_t n = S_ISREG(st.st_mode) ? lgetxattr(posix.c_str(), "user.DOSATTRIB", text, sizeof(text) - 1) : 0;
  constexpr uint32_t kKept = kAttrHidden | kAttrSystem | kAttrNotContentIndexed | kAttrEncrypted;
  facts.attributes = (n > 0 ? static_cast<uint32_t>(std::strtoul(text, nullptr, 16)) & kKept : 0) |
                     (S_ISLNK(st.st_mode) ? kAttrReparsePoint : S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive) |
                     ((st.st_mode & S_IWUSR) ? 0u : uint32_t{kAttrReadOnly});
  facts.size = static_cast<uint64_t>(st.st_size);
  facts.lastWrite = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
  // The stand-in's streams: the files "name:stream" beside it.
  facts.streams.clear();
  io::File none;
  std::vector<NativePath> names;
  io::NamedStreams(none, path, names);
  for (const NativePath& name : names) {
    struct stat stream {};
    if (stat(ToPosixPath(io::StreamPath(path, name)).c_str(), &stream) == 0)
      facts.streams.emplace_back(name, static_cast<uint64_t>(stream.st_size));
  }
  return kErrSuccess;
}

uint32_t MakeHardLink(const std::string& link, const std::string& target) {
  if (uint32_t fault = InjectedFault(FsOp::Link, link)) return fault;
  const std::string posix = ToPosixPath(link);
  if (::link(ToPosixPath(target).c_str(), posix.c_str()) == 0) return kErrSuccess;
  switch (errno) {
    case EEXIST: return kErrAlreadyExists;
    case EMLINK: return kErrTooManyLinks;
    case EPERM:  // the file system has no hard links (vfat, exfat)
    case EOPNOTSUPP: return kErrNotSupported;
    default: return ErrnoToWin32(errno, posix);
  }
}

LocalTime LocalNow() {
  time_t now = time(nullptr);
  struct tm tm {};
  localtime_r(&now, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int64_t TickMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }


NativePath ModulePath(void*) {
  std::vector<char> buf(512);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buf.size()) return FromPosixPath(std::string(buf.data(), static_cast<size_t>(n)));
    buf.resize(buf.size() * 2);
  }
}

std::string SystemErrorText(uint32_t code) {
  // The native build has no system message table; these few texts stand in
  // for it, ending in the line break that system texts carry.
  switch (code) {
    case kErrSuccess: return "The operation completed successfully.\r\n";
    case kErrFileNotFound: return "The system cannot find the file specified.\r\n";
    case kErrPathNotFound: return "The system cannot find the path specified.\r\n";
    case kErrAccessDenied: return "Access is denied.\r\n";
    case kErrSharingViolation:
      return "The process cannot access the file because it is being used by another process.\r\n";
    case kErrFileExists: return "The file exists.\r\n";
    case kErrDiskFull: return "There is not enough space on the disk.\r\n";
    case kErrAlreadyExists: return "Cannot create a file when that file already exists.\r\n";
    default: return std::string();
  }
}

}  // namespace plat
