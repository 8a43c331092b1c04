// The wildcard matcher on worst-case patterns against a plain recursive matcher (the
// definition written as recursion, exponential on such patterns): the ratio.
#include <cstdio>
#include <string>

#include "core/wildcard.h"
#include "bench/bench_util.h"

// Byte-wise, case-sensitive: the matcher with the plainest rule; 1 on a match.
static int MatchWildcard(std::string_view p, std::string_view t) {
  return core::wildcard::Match(p, t, [&](size_t i, size_t j) { return p[i] == t[j]; }) ? 1 : 0;
}

static int PlainRecursive(const char* p, const char* t) {
  if (!*p) return !*t;
  if (*p == '*') return PlainRecursive(p + 1, t) || (*t && PlainRecursive(p, t + 1));
  if (*t && (*p == '?' || *p == *t)) return PlainRecursive(p + 1, t + 1);
  return 0;
}

int main() {
  std::printf("The wildcard matcher against a plain recursive matcher (no match: the worst case)\n");
  std::printf("%-28s %12s %14s %10s\n", "pattern x text", "ours (us)", "recursive (us)", "ratio");
  struct Case {
    int stars;
    int textLen;
  } cases[] = {{4, 40}, {6, 40}, {8, 40}, {10, 30}, {30, 250}};
  for (const Case& c : cases) {
    std::string pattern;
    for (int i = 0; i < c.stars; ++i) pattern += "*a";
    pattern += "b";
    std::string text(static_cast<size_t>(c.textLen), 'a');
    int reps = 200;
    double t0 = bench::Now();
    int r = 0;
    for (int i = 0; i < reps; ++i) r += MatchWildcard(pattern, text);
    double ours = (bench::Now() - t0) / reps * 1e6;
    char label[64];
    std::snprintf(label, sizeof(label), "%d stars x %d bytes", c.stars, c.textLen);
    if (c.stars > 10) {
      std::printf("%-28s %12.2f %14s %10s\n", label, ours, "(years)", "-");
      continue;
    }
    int recReps = c.stars >= 8 ? 1 : 5;
    t0 = bench::Now();
    for (int i = 0; i < recReps; ++i) r += PlainRecursive(pattern.c_str(), text.c_str());
    double rec = (bench::Now() - t0) / recReps * 1e6;
    bench::Keep(r);
    std::printf("%-28s %12.2f %14.0f %10.0f\n", label, ours, rec, rec / (ours > 0 ? ours : 1e-3));
  }
  // The matcher's own worst case: a star then a long literal tail that almost
  // matches everywhere (pattern x text steps).
  {
    std::string pattern = "*" + std::string(20, 'a') + "b";
    std::string text(250, 'a');
    int reps = 2000;
    double t0 = bench::Now();
    int r = 0;
    for (int i = 0; i < reps; ++i) r += MatchWildcard(pattern, text);
    double ours = (bench::Now() - t0) / reps * 1e6;
    t0 = bench::Now();
    for (int i = 0; i < reps; ++i) r += PlainRecursive(pattern.c_str(), text.c_str());
    double rec = (bench::Now() - t0) / reps * 1e6;
    bench::Keep(r);
    std::printf("%-28s %12.2f %14.2f %10.2f\n", "* + 20 bytes x 250 bytes", ours, rec, rec / ours);
  }
  // Typical filter work: a short pattern against ordinary names.
  const char* names[] = {"report.txt", "photo_0001.jpg", "表計算.xls", "archive.tar.gz", "README"};
  int reps = 2000000;
  double t0 = bench::Now();
  int hits = 0;
  for (int i = 0; i < reps; ++i) hits += MatchWildcard("*.txt", names[i % 5]);
  double each = (bench::Now() - t0) / reps * 1e9;
  bench::Keep(hits);
  std::printf("typical \"*.txt\" against short names: %.1f ns per match\n", each);
  return 0;
}
