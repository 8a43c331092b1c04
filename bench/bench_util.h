// Small helpers shared by the benchmark programs: a steady clock, a median and
// the message pump of the window's thread.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace bench {

inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Median of the values (they are reordered).
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Keeps a result alive so that the optimiser cannot drop the work.
template <typename T>
inline void Keep(const T& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

#ifdef _WIN32
// Dispatches every waiting message of the calling thread, as the dialog's host does per file.
inline void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}
#endif

}  // namespace bench
