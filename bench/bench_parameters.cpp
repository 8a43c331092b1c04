// A 50,000-entry parameter text over a real tree (files and folders, every
// entry looked up on the disk): entries per second.
#include <cstdio>
#include <string>

#include "engine/launch.h"
#include "bench/bench_util.h"
#include "tests/support/temp_tree.h"

int main() {
  TempTree tree;
  const int kDistinct = 1000;
  std::vector<std::string> paths;
  for (int i = 0; i < kDistinct; ++i) {
    char rel[64];
    if (i % 4 == 0) {
      std::snprintf(rel, sizeof(rel), "フォルダ %03d", i);
      tree.Folder(rel);
    } else {
      std::snprintf(rel, sizeof(rel), "d%02d\\表ソ file %04d.txt", i % 10, i);
      tree.File(rel, "x");
    }
    paths.push_back(tree.Path(rel));
  }
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "\"" + paths[static_cast<size_t>(i) % paths.size()] + "\" ";
  std::vector<double> times;
  int folders = 0, entries = 0;
  for (int rep = 0; rep < 3; ++rep) {
    core::SelectionList list;
    double t0 = bench::Now();
    engine::ParseParameterText(text, list);
    times.push_back(bench::Now() - t0);
    entries = list.count, folders = 0;
    for (int k : list.kinds) folders += k;
  }
  double t = bench::Median(times);
  std::printf("parameter text: %zu bytes, %d entries read (%d folders), median of 3: %.3f s, %.0f entries/s\n",
              text.size(), entries, folders, t, entries / t);
  return 0;
}
