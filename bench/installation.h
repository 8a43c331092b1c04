// What the whole-program benchmarks (bench_run, bench_startup) add to the
// end-to-end tests' driver (tests/e2e/driver.h): a throwaway installation of
// Larkspan.exe with its settings, its start as the extension starts it, and
// the sign that the main window shows its totals. Windows build only.
#pragma once

#ifdef _WIN32
#include <string>

#include "tests/e2e/driver.h"

namespace bench {

// Control identifiers read by the benchmarks: the main window's total of
// files, and the text of a message box.
constexpr int kTotalFilesId = 1014;
constexpr int kMessageTextId = 0xFFFF;

// Copies program (a host path with slashes, as the build names it, is turned
// into a Wine one) into folder with settings that name folder\backup as the
// one backup folder, without filters. The installed program's path, or "" if
// it could not be copied.
std::string InstallProgram(const std::string& program, const std::string& folder);
// Starts the installed program in its folder with the extension's token;
// false if it did not start.
bool StartProgram(e2e::Process& process, const std::string& installed);
// The main window (or with except given, another window such as a message
// box) of process pid that holds control id, if it is shown now; nullptr
// otherwise. Asked once: the benchmarks poll at their own pace.
HWND WindowNow(DWORD pid, int id, HWND except = nullptr);
// True once the total of files shows a figure (digits and commas) rather than
// the text shown while counting.
bool TotalsShown(const std::string& totalFiles);

}  // namespace bench

#endif
