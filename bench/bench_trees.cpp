// Benchmark trees and the bare walk (see bench_trees.h).
#include "bench/bench_trees.h"

#include <cstdio>
#include <cstdlib>

#include "bench/bench_util.h"

#include "platform/fs.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix_path.h"
#endif

namespace bench {

void MakeTree(const std::string& root, int count) {
  if (plat::PathExists(plat::ToNative(root + ".done"))) return;
  std::printf("making %d files under %s ...\n", count, root.c_str());
  std::fflush(stdout);
  std::string content(8192, 'x');
  for (int i = 0; i < count; ++i) {
    char rel[128];
    int a = i % 16, b = (i / 16) % 25, c = (i / 400) % 5;
    switch (i % 4) {
      case 0: std::snprintf(rel, sizeof(rel), "\\d%02d\\f%06d.dat", a, i); break;
      case 1: std::snprintf(rel, sizeof(rel), "\\d%02d\\e%02d\\f%06d.dat", a, b, i); break;
      case 2: std::snprintf(rel, sizeof(rel), "\\d%02d\\e%02d\\g%d\\f%06d.dat", a, b, c, i); break;
      default: std::snprintf(rel, sizeof(rel), "\\d%02d\\e%02d\\g%d\\h\\f%06d.dat", a, b, c, i); break;
    }
    std::string path = root + rel;
    MakeFolders(path.substr(0, path.rfind('\\')));
    WriteBytes(path, content.substr(0, 1024 + static_cast<size_t>(i * 7919) % 7169));
  }
  WriteBytes(root + ".done", "");
}

template <typename Char>
static bool IsDotName(const Char* name) {
  return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]));
}

#ifdef _WIN32
void BareWalk(const std::string& folder, int64_t& bytes, int64_t& files) {
  WIN32_FIND_DATAA d;
  HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotName(d.cFileName)) continue;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareWalk(folder + "\\" + d.cFileName, bytes, files);
    } else {
      bytes += (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
      ++files;
    }
  } while (::FindNextFileA(h, &d));
  ::FindClose(h);
}

void BareCopyA(const std::string& from, const std::string& to) {
  ::CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA d;
  HANDLE h = ::FindFirstFileA((from + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotName(d.cFileName)) continue;
    const std::string a = from + "\\" + d.cFileName, b = to + "\\" + d.cFileName;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareCopyA(a, b);
    } else {
      ::CopyFileA(a.c_str(), b.c_str(), TRUE);
    }
  } while (::FindNextFileA(h, &d));
  ::FindClose(h);
}

void BareCopyW(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW d;
  HANDLE h = ::FindFirstFileW((from + L"\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotName(d.cFileName)) continue;
    const std::wstring a = from + L"\\" + d.cFileName, b = to + L"\\" + d.cFileName;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareCopyW(a, b);
    } else {
      ::CopyFileW(a.c_str(), b.c_str(), TRUE);
    }
  } while (::FindNextFileW(h, &d));
  ::FindClose(h);
}

double RunCommand(const std::string& command) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::string line = command;
  const double t0 = Now();
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return -1;
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return Now() - t0;
}
#else
double RunCommand(const std::string& command) {
  const double t0 = Now();
  if (std::system(command.c_str()) != 0) return -1;
  return Now() - t0;
}

static void BarePosixWalk(const std::string& folder, int64_t& bytes, int64_t& files) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir)) {
    if (IsDotName(e->d_name)) continue;
    struct stat st {};
    if (fstatat(dirfd(dir), e->d_name, &st, 0) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      BarePosixWalk(folder + "/" + e->d_name, bytes, files);
    } else {
      bytes += st.st_size;
      ++files;
    }
  }
  closedir(dir);
}
void BareWalk(const std::string& folder, int64_t& bytes, int64_t& files) {
  BarePosixWalk(plat::ToPosixPath(folder), bytes, files);
}
#endif

}  // namespace bench
