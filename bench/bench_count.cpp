// CountFilesAndSize on a 20,000-file tree against a bare walk of the same tree
// (FindFirstFileA/FindNextFileA on Windows, readdir and stat natively), run
// alternately in one process: the ratio.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/walk.h"
#include "bench/bench_trees.h"
#include "bench/bench_util.h"
#include "tests/support/temp_tree.h"

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
    tree.File(rel, std::string(1024 + (i % 7) * 1024, 'x'));
  }
  std::vector<double> ours, bare;
  int64_t ob = 0, of = 0, bb = 0, bf = 0;
  for (int rep = 0; rep < 7; ++rep) {
    ob = of = bb = bf = 0;
    double t0 = bench::Now();
    engine::CountFilesAndSize(plat::ToNative(tree.root()), ob, of);
    double t1 = bench::Now();
    bench::BareWalk(tree.root(), bb, bf);
    double t2 = bench::Now();
    ours.push_back(t1 - t0);
    bare.push_back(t2 - t1);
  }
  double o = bench::Median(ours), b = bench::Median(bare);
  std::printf("CountFilesAndSize over %lld files (%lld bytes): %.1f ms; bare walk over %lld files (%lld bytes) %.1f ms; "
              "ratio %.2f (median of 7)\n", (long long)of, (long long)ob, o * 1e3, (long long)bf, (long long)bb, b * 1e3, o / b);
  return 0;
}
