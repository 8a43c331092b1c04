// The backup engine at scale, side by side in one run on the same trees:
//   scan of a 100,000-file tree (mixed depths, 1-8 KB files) against a bare walk;
//   copy of 20,000 small files and of one 1 GiB file against the platform's
//   plain tools (natively cp -r; on Windows a bare CopyFileA loop and xcopy /E);
//   peak memory while scanning and copying the 100,000-file tree.
// Usage: bench_engine <data folder> [scan|copy|big|all]
// The trees are made once in the data folder and kept for later runs.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/backup.h"
#include "engine/launch.h"
#include "engine/walk.h"
#include "platform/fs.h"
#include "bench/bench_trees.h"
#include "bench/bench_host.h"
#include "bench/bench_util.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/posix_path.h"
#endif

namespace {

using BenchHost = bench::Host;


bool Exists(const std::string& path) { return plat::PathExists(plat::ToNative(path)); }

#ifdef _WIN32
double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
  return pmc.PeakWorkingSetSize / 1048576.0;
}
std::string HostPath(const std::string& path) { return path; }
#else
double PeakMegabytes() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss / 1024.0;
}
std::string HostPath(const std::string& path) { return plat::ToPosixPath(path); }
#endif

struct Copied {
  double seconds;
  int64_t files;
  std::string verdict;
};

// One whole backup run of selection into backup (fresh), through the engine.
Copied EngineBackup(const std::vector<std::string>& selection, const std::string& backup, bool checkContent = false) {
  RemoveTree(backup);
  MakeFolders(backup);
  BenchHost host;
  core::FilterSet filters;
  engine::BackupEngine engine(host, selection, filters);
  engine.ScanSelection();
  engine::RunOptions options;
  options.checkContent = checkContent;
  double t0 = bench::Now();
  engine.RunBackup(backup, options);
  double t = bench::Now() - t0;
  bool ok = host.last.find("正常終了") != std::string::npos;
  return {t, engine.Counted().files, ok ? "verified" : "NOT VERIFIED"};
}

void Scan(const std::string& data) {
  std::string tree = data + "\\scan100k";
  bench::MakeTree(tree, 100000);
  BenchHost host;
  core::FilterSet plain, filtered("*.dat;*.txt;*.ini", "", "", "obj;bin");
  std::vector<std::string> selection{tree};
  std::vector<double> ours, withFilters, bare, noPump;
  int64_t ob = 0, of = 0, bb = 0, bf = 0;
  for (int rep = 0; rep < 5; ++rep) {
    engine::BackupEngine e1(host, selection, plain);
    double t0 = bench::Now();
    e1.ScanSelection();
    double t1 = bench::Now();
    ob = e1.Counted().bytes, of = e1.Counted().files;
    engine::BackupEngine e2(host, selection, filtered);
    e2.ScanSelection();
    double t2 = bench::Now();
    bb = bf = 0;
    bench::BareWalk(tree, bb, bf);
    double t3 = bench::Now();
    BenchHost quiet;
    quiet.pump = false;
    engine::BackupEngine e3(quiet, selection, plain);
    e3.ScanSelection();
    noPump.push_back(bench::Now() - t3);
    ours.push_back(t1 - t0);
    withFilters.push_back(t2 - t1);
    bare.push_back(t3 - t2);
  }
  double o = bench::Median(ours), w = bench::Median(withFilters), b = bench::Median(bare);
  std::printf("scan of %lld files (%lld bytes; bare walk %lld files): median of 5\n", (long long)of, (long long)ob,
              (long long)bf);
  std::printf("  ScanSelection, no filters:          %8.1f ms  ratio %.2f\n", o * 1e3, o / b);
  std::printf("  ScanSelection, 3+2 pattern filters: %8.1f ms  ratio %.2f\n", w * 1e3, w / b);
  std::printf("  ScanSelection, no filters, no pump: %8.1f ms  ratio %.2f\n", bench::Median(noPump) * 1e3,
              bench::Median(noPump) / b);
  std::printf("  bare walk:                          %8.1f ms\n", b * 1e3);
}

// Runs each contender once per round, alternating, and prints the medians:
// copies are at the mercy of the page cache and writeback, so single runs lie.
struct Contender {
  const char* name;
  std::function<double()> run;  // seconds, or -1 if it could not run
};
void Race(const char* title, const std::vector<Contender>& contenders, int rounds) {
  std::vector<std::vector<double>> times(contenders.size());
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < contenders.size(); ++i) times[i].push_back(contenders[i].run());
  }
  double ours = bench::Median(times[0]);
  std::printf("%s (median of %d alternating rounds)\n", title, rounds);
  for (size_t i = 0; i < contenders.size(); ++i) {
    double t = bench::Median(times[i]);
    std::printf("  %-40s %7.2f s", contenders[i].name, t);
    if (i > 0 && t > 0) std::printf("   Larkspan / this = %.2f", ours / t);
    std::printf("\n");
  }
}

void CopyTree(const std::string& data, const std::vector<std::string>& selection, const std::string& source,
              const char* title, int rounds) {
  // Each contender writes into a folder no one used before, and nothing is
  // removed until the race is over: a file system may hold back the numbers
  // of files removed moments ago (ext4 without a journal skips them for a
  // minute), and whoever writes next would pay for the removal.
  const std::string out = data + "\\out";
  RemoveTree(out);  // left by an interrupted run
  int fresh = 0;
  auto next = [&] {
    const std::string folder = out + "\\" + std::to_string(fresh++);
    MakeFolders(folder);
    return folder;
  };
  std::string verdict;
  int64_t files = 0;
  std::vector<Contender> contenders;
  contenders.push_back({"Larkspan (engine, with its check)", [&] {
                          Copied c = EngineBackup(selection, next());
                          verdict = c.verdict;
                          files = c.files;
                          return c.seconds;
                        }});
  contenders.push_back({"Larkspan (engine, with its check and the content check)", [&] {
                          Copied c = EngineBackup(selection, next(), true);
                          verdict += " / " + c.verdict;
                          return c.seconds;
                        }});
#ifdef _WIN32
  contenders.push_back({"bare FindFirstFileA + CopyFileA loop", [&] {
                          const std::string to = next();
                          double t0 = bench::Now();
                          if (uint64_t size = 0; engine::FindPlainFile(plat::ToNative(source), size)) {
                            ::CopyFileA(source.c_str(), (to + "\\x").c_str(), TRUE);
                          } else {
                            bench::BareCopyA(source, to + "\\x");
                          }
                          return bench::Now() - t0;
                        }});
  contenders.push_back({"xcopy /E", [&] {
                          const std::string to = next();
                          return bench::RunCommand("xcopy /E /I /Q /H /Y \"" + source + "\" \"" + to + "\\x\\\"");
                        }});
#else
  contenders.push_back({"cp -r", [&] {
                          const std::string to = next();
                          return bench::RunCommand("cp -r '" + HostPath(source) + "' '" + HostPath(to) + "/x'");
                        }});
  contenders.push_back({"cp -r --preserve=mode,timestamps", [&] {
                          const std::string to = next();
                          return bench::RunCommand("cp -r --preserve=mode,timestamps '" + HostPath(source) + "' '" +
                                                   HostPath(to) + "/x'");
                        }});
#endif
  Race(title, contenders, rounds);
  std::printf("  Larkspan copied %lld files: %s\n", (long long)files, verdict.c_str());
  RemoveTree(out);
}

void CopySmall(const std::string& data) {
  std::string tree = data + "\\small20k";
  bench::MakeTree(tree, 20000);
  CopyTree(data, {tree}, tree, "copy of 20,000 small files", 3);
}

void CopyBig(const std::string& data) {
  std::string big = data + "\\big\\one.bin";
  if (!Exists(big)) {
    MakeFolders(data + "\\big");
    // Written in pieces: a 32-bit process has no room for 1 GiB at once.
    std::FILE* f = std::fopen(HostPath(big).c_str(), "wb");
    std::string chunk(1 << 20, 'b');
    for (int i = 0; f && i < 1024; ++i) {
      chunk[0] = static_cast<char>(i);
      std::fwrite(chunk.data(), 1, chunk.size(), f);
    }
    if (f) std::fclose(f);
  }
  CopyTree(data, {big}, big, "copy of one 1 GiB file", 3);
}

void Memory(const std::string& data) {
  std::string tree = data + "\\scan100k";
  bench::MakeTree(tree, 100000);
  double before = PeakMegabytes();
  Copied ours = EngineBackup({tree}, data + "\\outmem");
  std::printf("peak memory: %.1f MB before, %.1f MB after scanning and copying %lld files (%s, %.1f s)\n", before,
              PeakMegabytes(), (long long)ours.files, ours.verdict.c_str(), ours.seconds);
  RemoveTree(data + "\\outmem");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: bench_engine <data folder> [scan|copy|big|memory|all]\n");
    return 2;
  }
#ifdef _WIN32
  std::string data = argv[1];
#else
  std::string data = plat::FromPosixPath(argv[1]);
#endif
  std::string what = argc > 2 ? argv[2] : "all";
  MakeFolders(data);
  if (what == "memory") Memory(data);  // first, so that the peak is the engine's own
  if (what == "scan" || what == "all") Scan(data);
  if (what == "copy" || what == "all") CopySmall(data);
  if (what == "big" || what == "all") CopyBig(data);
  return 0;
}
