// What the whole-program benchmarks (bench_run, bench_startup) share: a
// throwaway installation of Larkspan.exe, starting it as the extension does,
// finding and reading its windows, and ending it. Windows build only.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <string>

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
// Starts the installed program with the extension's token; false if it did not start.
bool StartProgram(const std::string& installed, PROCESS_INFORMATION& info);
// Waits up to 30 s for the program to end, ends it otherwise, frees its handles.
void EndProgram(PROCESS_INFORMATION& info);
// The first visible top-level window of process pid, other than except, that
// holds control id; nullptr if there is none yet.
HWND FindWindowOf(DWORD pid, int id, HWND except = nullptr);
// The text of control id of window, "" if it does not answer within 10 s.
std::string ControlText(HWND window, int id);
// True once the total of files shows a figure (digits and commas) rather than
// the text shown while counting.
bool TotalsShown(const std::string& totalFiles);

}  // namespace bench

#endif
