// Backups that link the files unchanged since the previous backup:
//   a second backup of an unchanged tree of 10,000 files of 2 KB with the option
//   on, against the first (medians of three), and the disk space each takes;
//   a second backup of a 1 GiB tree (64 files of 16 MiB) in which one file
//   changed: the space it takes, against that file's size.
// Usage: bench_link <data folder> [small|big|all]
// The trees are made once in the data folder and kept for later runs.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "bench/bench_util.h"
#include "engine/backup.h"
#include "platform/fs.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/statvfs.h>

#include "platform/posix_path.h"
#endif

namespace {

using BenchHost = bench::Host;

#ifdef _WIN32
std::string HostPath(const std::string& path) { return path; }
#else
std::string HostPath(const std::string& path) { return plat::ToPosixPath(path); }
#endif

// Free bytes of the volume holding path.
double FreeBytes(const std::string& path) {
#ifdef _WIN32
  ULARGE_INTEGER free{};
  ::GetDiskFreeSpaceExW(plat::ToNative(path).c_str(), &free, nullptr, nullptr);
  return static_cast<double>(free.QuadPart);
#else
  struct statvfs fs {};
  statvfs(HostPath(path).c_str(), &fs);
  return static_cast<double>(fs.f_bavail) * static_cast<double>(fs.f_frsize);
#endif
}

// Writes a file of size bytes, each byte from seed and its place.
void WriteFile(const std::string& path, size_t size, unsigned seed) {
  std::FILE* f = std::fopen(HostPath(path).c_str(), "wb");
  std::vector<char> chunk(1 << 20);
  for (size_t done = 0; f && done < size; done += chunk.size()) {
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>((done + i) * 31 + seed);
    std::fwrite(chunk.data(), 1, std::min(chunk.size(), size - done), f);
  }
  if (f) std::fclose(f);
}

// Makes count files of size bytes in folders of 100, once.
void MakeFlatTree(const std::string& root, int count, size_t size) {
  if (plat::PathExists(plat::ToNative(root + ".done"))) return;
  RemoveTree(root);
  for (int i = 0; i < count; ++i) {
    const std::string folder = root + "\\d" + std::to_string(i / 100);
    if (i % 100 == 0) MakeFolders(folder);
    WriteFile(folder + "\\f" + std::to_string(i) + ".dat", size, static_cast<unsigned>(i));
  }
  WriteFile(root + ".done", 0, 0);
}

struct Run {
  double seconds = 0, usedBytes = 0;
  int64_t linked = 0;
  bool verified = false;
};

// One backup of tree into backup with the option on, through the engine.
Run Backup(BenchHost& host, const std::string& tree, const std::string& backup) {
  std::vector<std::string> selection{tree};
  core::FilterSet filters;
  engine::BackupEngine engine(host, selection, filters);
  engine.ScanSelection();
  engine::RunOptions options;
  options.linkUnchanged = true;
  Run run;
  const double freeBefore = FreeBytes(backup), t0 = bench::Now();
  engine.RunBackup(backup, options);
  run.seconds = bench::Now() - t0;
  run.usedBytes = freeBefore - FreeBytes(backup);
  run.linked = engine.Linked();
  run.verified = host.last.find("正常終了") != std::string::npos;
  return run;
}

void Small(const std::string& data) {
  const std::string tree = data + "\\link10k", backup = data + "\\link10k-backup";
  MakeFlatTree(tree, 10000, 2048);
  std::vector<double> first, second;
  Run a, b;
  for (int rep = 0; rep < 3; ++rep) {
    RemoveTree(backup);
    MakeFolders(backup);
    BenchHost host;
    a = Backup(host, tree, backup);
    b = Backup(host, tree, backup);
    first.push_back(a.seconds), second.push_back(b.seconds);
  }
  const double f = bench::Median(first), s = bench::Median(second);
  std::printf("10,000 files of 2 KB, option on (medians of 3):\n");
  std::printf("  first backup (all copied)        %8.3f s  %s  space %.1f MB\n", f, a.verified ? "verified" : "NOT VERIFIED",
              a.usedBytes / 1048576.0);
  std::printf("  second backup (%lld linked)     %8.3f s  %s  space %.1f MB\n", static_cast<long long>(b.linked), s,
              b.verified ? "verified" : "NOT VERIFIED", b.usedBytes / 1048576.0);
  std::printf("  second / first                   %8.2fx (target at most 0.35x)\n", s / f);
  RemoveTree(backup);
}

void Big(const std::string& data) {
  const std::string tree = data + "\\link1g", backup = data + "\\link1g-backup";
  constexpr size_t kFile = 16 << 20;
  MakeFlatTree(tree, 64, kFile);
  RemoveTree(backup);
  MakeFolders(backup);
  BenchHost host;
  const Run a = Backup(host, tree, backup);
  WriteFile(tree + "\\d0\\f7.dat", kFile, 99);  // one file changed
  const Run b = Backup(host, tree, backup);
  WriteFile(tree + "\\d0\\f7.dat", kFile, 7);   // as made
  std::printf("1 GiB in 64 files of 16 MiB, one changed, option on:\n");
  std::printf("  first backup    %7.2f s  %s  space %7.1f MB\n", a.seconds, a.verified ? "verified" : "NOT VERIFIED",
              a.usedBytes / 1048576.0);
  std::printf("  second backup   %7.2f s  %s  space %7.1f MB (%lld linked; the changed file is %.1f MB)\n", b.seconds,
              b.verified ? "verified" : "NOT VERIFIED", b.usedBytes / 1048576.0, static_cast<long long>(b.linked),
              kFile / 1048576.0);
  RemoveTree(backup);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: bench_link <data folder> [small|big|all]\n");
    return 2;
  }
  const std::string data = argv[1], what = argc > 2 ? argv[2] : "all";
  if (what == "small" || what == "all") Small(data);
  if (what == "big" || what == "all") Big(data);
  return 0;
}
