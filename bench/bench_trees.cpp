// Benchmark trees and the bare walk (see bench_trees.h).
#include "bench/bench_trees.h"

#include <cstdio>

#include "engine/fileutil.h"
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
  if (PathExists(root + ".done") == 0) return;
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

static bool IsDotName(const char* name) { return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])); }

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
#else
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
