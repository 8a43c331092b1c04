// CountFilesAndSize on a 20,000-file tree against a bare walk of the same tree
// (FindFirstFileA/FindNextFileA on Windows, readdir and stat natively), run
// alternately in one process: the ratio.
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/fileutil.h"
#include "tests/bench/bench_util.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>

#include "platform/posix_path.h"
#endif

namespace {

#ifdef _WIN32
void BareWalk(const std::string& folder, int64_t& bytes, int64_t& files) {
  WIN32_FIND_DATAA d;
  HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (d.cFileName[0] == '.' && (!d.cFileName[1] || (d.cFileName[1] == '.' && !d.cFileName[2]))) continue;
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
void BareWalk(const std::string& folder, int64_t& bytes, int64_t& files) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2]))) continue;
    std::string path = folder + "/" + e->d_name;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      BareWalk(path, bytes, files);
    } else {
      bytes += st.st_size;
      ++files;
    }
  }
  closedir(dir);
}
#endif

}  // namespace

int main() {
  TempTree tree;
  const int kFiles = 20000;
  // Mixed depths: 20 top folders, each with 10 sub-folders, some a level deeper.
  for (int i = 0; i < kFiles; ++i) {
    char rel[96];
    int top = i % 20, sub = (i / 20) % 10;
    if (i % 3 == 0) {
      std::snprintf(rel, sizeof(rel), "t%02d\\s%d\\deep\\f%05d.dat", top, sub, i);
    } else {
      std::snprintf(rel, sizeof(rel), "t%02d\\s%d\\f%05d.dat", top, sub, i);
    }
    tree.SizedFile(rel, 1024 + static_cast<uint64_t>(i % 7) * 1024);
  }
#ifdef _WIN32
  const std::string bareRoot = tree.root();
#else
  const std::string bareRoot = plat::ToPosixPath(tree.root());
#endif
  std::vector<double> ours, bare;
  int64_t ob = 0, of = 0, bb = 0, bf = 0;
  for (int rep = 0; rep < 7; ++rep) {
    ob = of = bb = bf = 0;
    double t0 = bench::Now();
    CountFilesAndSize(tree.root(), ob, of);
    double t1 = bench::Now();
    BareWalk(bareRoot, bb, bf);
    double t2 = bench::Now();
    ours.push_back(t1 - t0);
    bare.push_back(t2 - t1);
  }
  if (ob != bb || of != bf || of != kFiles) {
    std::printf("totals differ: ours %lld files %lld bytes, bare %lld files %lld bytes\n", (long long)of,
                (long long)ob, (long long)bf, (long long)bb);
    return 1;
  }
  double o = bench::Median(ours), b = bench::Median(bare);
  std::printf("CountFilesAndSize over %d files (%lld bytes): %.1f ms; bare walk %.1f ms; ratio %.2f (median of 7)\n",
              kFiles, (long long)ob, o * 1e3, b * 1e3, o / b);
  return 0;
}
