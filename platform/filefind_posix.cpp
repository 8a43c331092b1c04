// plat::FileFinder on opendir/readdir/stat, behaving as FindFirstFileA does for the
// patterns the program uses: a plain path finds that one entry, a last
// component with * or ? lists the folder ("*.*" is everything, A-Z compare
// case-insensitively), dot entries included.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/filefind.h"
#include "platform/fs.h"
#include "platform/posix_handle.h"
#include "platform/posix_path.h"
#include "core/wildcard.h"

struct plat::FileFinder::Impl {
  plat::UniqueDir dir;
  std::string folder;   // POSIX folder being listed
  std::string mask;     // last component of the pattern
  plat::NativePath pattern;
  bool single = false;  // a plain path: one entry, already fetched
  Entry first;
  bool firstPending = false;
};

plat::FileFinder::FileFinder() = default;
plat::FileFinder::~FileFinder() { Close(); }

void plat::FileFinder::Close() {
  impl_.reset();
  haveNext_ = haveCurrent_ = false;
}

// Windows-style wildcard match of a directory entry name: * any run, ? one
// byte, A-Z folded byte by byte; Start reads "*.*" as "*" beforehand, as
// FindFirstFile does.
static bool MatchName(std::string_view mask, std::string_view name) {
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return core::wildcard::Match(mask, name, [&](size_t p, size_t t) { return fold(mask[p]) == fold(name[t]); });
}

// The DOS attributes Wine keeps for a Unix file in this extended attribute
// ("0x6": hidden and system); the native build reads them the same way, for
// folders only (the walk asks them of folders).
constexpr char kDosAttributes[] = "user.DOSATTRIB";
constexpr uint32_t kDosAttributeBits = plat::kAttrHidden | plat::kAttrSystem;

static uint32_t DosAttributesOf(int at, const char* path) {
  char text[32] = {};
  const std::string file = at == AT_FDCWD ? std::string(path) : "/proc/self/fd/" + std::to_string(at) + "/" + path;
  const ssize_t n = getxattr(file.c_str(), kDosAttributes, text, sizeof(text) - 1);
  return n > 0 ? static_cast<uint32_t>(std::strtoul(text, nullptr, 16)) & kDosAttributeBits : 0;
}

// Fills e from the disk. at/name: a folder descriptor and a name in it (or
// AT_FDCWD and a path). A link is followed and marked (its size its own, as
// Windows gives it); a dangling link is reported as itself. mayBeLink false skips the link test (readdir said so).
static bool StatEntry(int at, const char* path, const std::string& name, bool mayBeLink, plat::FileFinder::Entry& e) {
  struct stat st {};
  bool linked = false;
  if (mayBeLink) {
    struct stat lst {};
    linked = fstatat(at, path, &lst, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(lst.st_mode);
    if (fstatat(at, path, &st, 0) != 0) {
      if (!linked) return false;
      st = lst;
    }
  } else if (fstatat(at, path, &st, 0) != 0) {
    return false;
  }
  e.name = e.native = name;
  e.attributes = S_ISDIR(st.st_mode) ? plat::kAttrDirectory : plat::kAttrArchive;
  if (!(st.st_mode & S_IWUSR)) e.attributes |= plat::kAttrReadOnly;
  if (linked) e.attributes |= plat::kAttrReparsePoint;
  if (S_ISDIR(st.st_mode)) e.attributes |= DosAttributesOf(at, path);
  // A link lists at its own size, 0, as Windows lists a symbolic link.
  e.size = S_ISDIR(st.st_mode) || linked ? 0 : static_cast<uint64_t>(st.st_size);
  return true;
}

// Names compare case-insensitively on Windows: when the exact name is not
// there, the folder is searched for one that differs only in A-Z case.
static bool FindFolded(const std::string& folder, const std::string& name, plat::FileFinder::Entry& e) {
  int savedErrno = errno;
  bool found = false;
  plat::UniqueDir dir(opendir(folder.c_str()));
  while (dirent* d = dir ? readdir(dir.get()) : nullptr) {
    if (MatchName(name, d->d_name) && StatEntry(dirfd(dir.get()), d->d_name, d->d_name, true, e)) {
      found = true;
      break;
    }
  }
  dir.reset();
  errno = savedErrno;
  return found;
}

bool plat::FileFinder::FetchNext(Entry& e) {
  if (!impl_) return false;
  if (impl_->firstPending) {
    impl_->firstPending = false;
    e = impl_->first;
    return true;
  }
  if (impl_->single || !impl_->dir) return false;
  for (;;) {
    if ((lastError_ = plat::InjectedFault(plat::FsOp::ListMore, impl_->pattern)) != 0) return false;
    errno = 0;
    dirent* d = readdir(impl_->dir.get());
    if (!d) {  // the end of the listing, or one that broke off
      if (errno) lastError_ = plat::ErrnoToWin32(errno, impl_->folder);
      return false;
    }
    // "name:stream" is a named stream of the stand-in, never listed (see file_io.h).
    if (!MatchName(impl_->mask, d->d_name) || std::strchr(d->d_name, ':')) continue;
    bool mayBeLink = d->d_type == DT_LNK || d->d_type == DT_UNKNOWN;
    if (StatEntry(dirfd(impl_->dir.get()), d->d_name, d->d_name, mayBeLink, e)) return true;
  }
  return false;
}

bool plat::FileFinder::Start(const plat::NativePath& pattern) {
  Close();
  lastError_ = plat::InjectedFault(plat::FsOp::Attributes, pattern);
  if (lastError_) return false;
  std::string posix = plat::ToPosixPath(pattern);
  size_t slash = posix.rfind('/');
  auto impl = std::make_unique<Impl>();
  impl->pattern = pattern;
  impl->folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : posix.substr(0, slash));
  impl->mask = slash == std::string::npos ? posix : posix.substr(slash + 1);
  if (impl->mask.empty()) {  // "dir\" names no entry
    lastError_ = plat::kErrFileNotFound;
    return false;
  }
  if (impl->mask == "*.*") impl->mask = "*";
  if (impl->mask.find_first_of("*?") == std::string::npos) {
    impl->single = true;
    if (!StatEntry(AT_FDCWD, posix.c_str(), impl->mask, true, impl->first) && !FindFolded(impl->folder, impl->mask, impl->first)) {
      lastError_ = plat::ErrnoToWin32(errno, posix);
      return false;
    }
    impl->firstPending = true;
  } else {
    impl->dir.reset(opendir(impl->folder.c_str()));
    if (!impl->dir) {
      lastError_ = errno == ENOENT ? plat::kErrPathNotFound : plat::ErrnoToWin32(errno, impl->folder);
      return false;
    }
  }
  impl_ = std::move(impl);
  root_ = SearchRootOf(pattern);
  haveNext_ = FetchNext(next_);
  if (!haveNext_) {
    impl_.reset();
    if (!lastError_) lastError_ = plat::kErrFileNotFound;
    return false;
  }
  return true;
}
