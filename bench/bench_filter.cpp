// CheckFileFilter over one million names with a 50-pattern include list: names
// per second, for lists of "*.ext" patterns and of mixed patterns, and the same
// decision made by splitting the list anew for every name (the wildcard matcher per
// pattern) for comparison.
#include <cstdio>
#include <string>
#include <vector>

#include "core/wildcard.h"
#include "core/filter.h"
#include "core/sjis.h"
#include "bench/bench_util.h"

namespace {

constexpr size_t kNames = 1000000;

// Deterministic names: a folder, a stem (some in Japanese), an extension.
std::vector<std::string> MakeNames() {
  static const char* const kStems[] = {"report", "IMG_", "表計算", "data", "ソース", "backup", "README", "main"};
  static const char* const kExts[] = {".txt", ".JPG", ".cpp", ".h", ".xls", ".bak", "", ".tar.gz", ".ini", ".dat"};
  std::vector<std::string> names;
  names.reserve(kNames);
  uint32_t x = 12345;
  for (size_t i = 0; i < kNames; ++i) {
    x = x * 1103515245u + 12345u;
    std::string name = "C:\\Users\\user\\Documents\\project\\";
    name += kStems[(x >> 8) % 8];
    name += std::to_string(x % 100000);
    name += kExts[(x >> 16) % 10];
    names.push_back(std::move(name));
  }
  return names;
}

std::string SuffixList() {
  std::string list;
  for (int i = 0; i < 49; ++i) list += "*.x" + std::to_string(i) + ";";
  return list + "*.txt";  // the one that takes something, last
}

std::string MixedList() {
  std::string list;
  for (int i = 0; i < 10; ++i) list += "*.x" + std::to_string(i) + ";";
  for (int i = 0; i < 10; ++i) list += "*tmp" + std::to_string(i) + "*;";
  for (int i = 0; i < 10; ++i) list += "img_?" + std::to_string(i) + "*.jpg;";
  for (int i = 0; i < 10; ++i) list += "file" + std::to_string(i) + ".dat;";
  for (int i = 0; i < 9; ++i) list += "ソース?" + std::to_string(i) + ".*;";
  return list + "*.cpp";
}

// The decision as a walk would make it without the parsed list.
int SplitPerName(const std::string& path, const std::string& list) {
  const size_t sep = core::sjis::FindLastChar(path, '\\');
  std::string name = sep == core::sjis::npos ? path : path.substr(sep + 1);
  core::sjis::FoldLatinLower(name);
  std::string work = list;
  core::sjis::FoldLatinLower(work);
  while (!work.empty()) {
    size_t at = core::sjis::FindChar(work, ';');
    std::string pattern = at == core::sjis::npos ? work : work.substr(0, at);
    work = at == core::sjis::npos ? std::string() : work.substr(at + 1);
    if (pattern == "*.*") pattern = "*";
    if (!pattern.empty() && core::wildcard::Match(pattern, name, [&](size_t i, size_t j) { return pattern[i] == name[j]; }))
      return 0;
  }
  return -1;
}

void Run(const char* label, const std::vector<std::string>& names, const std::string& list) {
  const core::FilterSet set(list, "", "", "");
  std::vector<double> rates;
  long taken = 0;
  for (int round = 0; round < 3; ++round) {
    double t0 = bench::Now();
    taken = 0;
    for (const std::string& n : names) taken += core::CheckFileFilter(n, set);
    rates.push_back(static_cast<double>(names.size()) / (bench::Now() - t0));
  }
  bench::Keep(taken);
  double rate = bench::Median(rates);
  std::printf("%-34s %12.0f names/s %8.1f ns/name  (%ld of %zu taken)\n", label, rate, 1e9 / rate, taken,
              names.size());
}

void RunSplit(const char* label, const std::vector<std::string>& names, const std::string& list) {
  double t0 = bench::Now();
  long taken = 0;
  size_t n = names.size() / 10;  // a tenth is enough to see the rate
  for (size_t i = 0; i < n; ++i) taken += SplitPerName(names[i], list) == 0;
  double rate = static_cast<double>(n) / (bench::Now() - t0);
  bench::Keep(taken);
  std::printf("%-34s %12.0f names/s %8.1f ns/name\n", label, rate, 1e9 / rate);
}

}  // namespace

int main() {
  std::vector<std::string> names = MakeNames();
  std::printf("CheckFileFilter, 50-pattern include list, %zu names\n", names.size());
  Run("50 x \"*.ext\" (parsed once)", names, SuffixList());
  Run("50 mixed patterns (parsed once)", names, MixedList());
  RunSplit("50 x \"*.ext\", split per name", names, SuffixList());
  RunSplit("50 mixed, split per name", names, MixedList());
  return 0;
}
