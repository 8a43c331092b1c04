// TempTree on Win32 ANSI calls or POSIX calls, so that Shift_JIS names reach
// the disk byte for byte on both builds.
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/sjis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix_path.h"
#endif

namespace {

std::string ParentOf(const std::string& path) {
  size_t sep = sjis::FindLastChar(path, '\\');
  return sep == sjis::npos ? std::string() : path.substr(0, sep);
}

#ifdef _WIN32
bool IsFolder(const std::string& p) {
  DWORD a = ::GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool MakeOneFolder(const std::string& p) { return ::CreateDirectoryA(p.c_str(), nullptr) || IsFolder(p); }
#else
bool IsFolder(const std::string& p) {
  struct stat st {};
  return stat(plat::ToPosixPath(p).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool MakeOneFolder(const std::string& p) { return mkdir(plat::ToPosixPath(p).c_str(), 0755) == 0 || IsFolder(p); }
#endif

}  // namespace

void MakeFolders(const std::string& path) {
  if (path.empty() || IsFolder(path)) return;
  std::string parent = ParentOf(path);
  if (!parent.empty() && parent != path) MakeFolders(parent);
  if (!MakeOneFolder(path)) ADD_FAILURE() << "cannot create folder " << path;
}

void WriteBytes(const std::string& path, const std::string& content) {
#ifdef _WIN32
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create " << path << " error " << ::GetLastError();
    return;
  }
  DWORD done = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
  ::CloseHandle(h);
  if (done != content.size()) ADD_FAILURE() << "short write to " << path;
#else
  int fd = open(plat::ToPosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    ADD_FAILURE() << "cannot create " << path;
    return;
  }
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  if (done != content.size()) ADD_FAILURE() << "short write to " << path;
#endif
}

void RemoveTree(const std::string& path) {
#ifdef _WIN32
  DWORD a = ::GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAA d;
    HANDLE h = ::FindFirstFileA((path + "\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = d.cFileName;
        if (name != "." && name != "..") RemoveTree(path + "\\" + name);
      } while (::FindNextFileA(h, &d));
      ::FindClose(h);
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(path.c_str());
  } else {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
  }
#else
  std::string p = plat::ToPosixPath(path);
  struct stat st {};
  if (lstat(p.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(p.c_str())) {
      std::vector<std::string> names;
      while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
      for (const auto& name : names) RemoveTree(path + "\\" + name);
    }
    rmdir(p.c_str());
  } else {
    unlink(p.c_str());
  }
#endif
}

TempTree::TempTree() {
  static std::atomic<int> serial{0};
  char name[64];
#ifdef _WIN32
  char base[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, base);
  std::string dir = base;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::snprintf(name, sizeof(name), "\\lk%lu_%d", ::GetCurrentProcessId(), serial++);
#else
  std::string dir = plat::FromPosixPath("/tmp");
  std::snprintf(name, sizeof(name), "\\lk%d_%d", static_cast<int>(getpid()), serial++);
#endif
  root_ = dir + name;
  RemoveTree(root_);
  MakeFolders(root_);
}

TempTree::~TempTree() { RemoveTree(root_); }

std::string TempTree::Path(const std::string& rel) const { return rel.empty() ? root_ : root_ + "\\" + rel; }

void TempTree::Folder(const std::string& rel) { MakeFolders(Path(rel)); }

void TempTree::File(const std::string& rel, const std::string& content) {
  std::string full = Path(rel);
  MakeFolders(ParentOf(full));
  WriteBytes(full, content);
}

void TempTree::SizedFile(const std::string& rel, uint64_t size) {
  std::string content(static_cast<size_t>(size), '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  File(rel, content);
}

bool TempTree::SparseFile(const std::string& rel, uint64_t size) {
  File(rel);
#ifdef _WIN32
  HANDLE h = ::CreateFileA(Path(rel).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER pos;
  pos.QuadPart = static_cast<LONGLONG>(size);
  bool ok = ::SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
  ::CloseHandle(h);
  return ok;
#else
  return truncate(plat::ToPosixPath(Path(rel)).c_str(), static_cast<off_t>(size)) == 0;
#endif
}

std::string TempTree::Read(const std::string& rel) const {
  std::string out;
#ifdef _WIN32
  HANDLE h = ::CreateFileA(Path(rel).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[4096];
  DWORD got = 0;
  while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0) out.append(buf, got);
  ::CloseHandle(h);
#else
  int fd = open(plat::ToPosixPath(Path(rel)).c_str(), O_RDONLY);
  if (fd < 0) return "<missing>";
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof(buf))) > 0) out.append(buf, static_cast<size_t>(n));
  close(fd);
#endif
  return out;
}

bool TempTree::Exists(const std::string& rel) const {
#ifdef _WIN32
  return ::GetFileAttributesA(Path(rel).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat st {};
  return lstat(plat::ToPosixPath(Path(rel)).c_str(), &st) == 0;
#endif
}
