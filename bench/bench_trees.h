// Trees on disk shared by the benchmarks, and the bare walk and copy loops they
// are measured against. Paths use the program's convention (backslashes) on both builds.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Makes count files of 1-8 KB at mixed depths (1 to 4 levels) under root, once:
// a marker root + ".done" keeps the tree for later runs.
void MakeTree(const std::string& root, int count);

// Adds the files under folder and their sizes, with nothing but the platform's
// own enumeration (FindFirstFileA/FindNextFileA, or readdir and fstatat).
void BareWalk(const std::string& folder, int64_t& bytes, int64_t& files);

// Runs a command line and waits for it. Seconds taken, or -1 if it could not
// be started (POSIX: if it failed).
double RunCommand(const std::string& command);

#ifdef _WIN32
// The bare copy loops the program is measured against: every folder made,
// every file copied fail-if-exists, with nothing but FindFirstFile and
// CopyFile of the ANSI or of the wide functions.
void BareCopyA(const std::string& from, const std::string& to);
void BareCopyW(const std::wstring& from, const std::wstring& to);
#endif

}  // namespace bench
