// TempTree on the platform layer and the C runtime's ANSI calls, so that
// Shift_JIS names reach the disk byte for byte on both builds.
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>  // before filefind.h, which takes back its FindNextFile macro
static std::string NewRoot() {
  char base[MAX_PATH] = {};  // ends with a backslash
  ::GetTempPathA(MAX_PATH, base);
  return base + ("lk" + std::to_string(::GetCurrentProcessId()));
}
static std::FILE* Open(const std::string& path) { return std::fopen(path.c_str(), "wb"); }
static void RemoveOne(const std::string& p, bool folder) {
  ::SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  folder ? ::RemoveDirectoryA(p.c_str()) : ::DeleteFileA(p.c_str());
}
#else
#include <unistd.h>
#include "platform/posix_path.h"
static std::string NewRoot() { return "\\tmp\\lk" + std::to_string(getpid()); }
static std::FILE* Open(const std::string& path) { return std::fopen(plat::ToPosixPath(path).c_str(), "wb"); }
static void RemoveOne(const std::string& p, bool) { std::remove(plat::ToPosixPath(p).c_str()); }  // also links
#endif

#include "platform/filefind.h"
#include "platform/fs.h"
#include "platform/sjis.h"

void MakeFolders(const std::string& path) {
  for (size_t sep = sjis::FindChar(path, '\\', 1); sep != sjis::npos; sep = sjis::FindChar(path, '\\', sep + 1))
    plat::CreateFolder(path.substr(0, sep));  // each parent; those present refuse
  uint32_t attributes = (plat::CreateFolder(path), plat::GetAttributes(path));
  if (attributes == plat::kInvalidAttributes || !(attributes & plat::kAttrDirectory)) ADD_FAILURE() << path;
}

void WriteBytes(const std::string& path, const std::string& content) {
  std::FILE* f = Open(path);
  size_t done = f ? std::fwrite(content.data(), 1, content.size(), f) : 0;
  if (!f || std::fclose(f) != 0 || done != content.size()) ADD_FAILURE() << "cannot write " << path;
}

void RemoveTree(const std::string& path) {
  CFileFind f;
  if (!f.FindFile(path.c_str())) return;
  const bool folder = (f.FindNextFile(), f.IsDirectory() != 0);
  if (folder && !f.MatchesMask(plat::kAttrReparsePoint) && f.FindFile((path + "\\*.*").c_str())) {
    for (int more = 1; more;) {
      more = f.FindNextFile();
      if (!f.IsDots()) RemoveTree(path + "\\" + f.GetFileName());
    }
  }
  f.Close();
  RemoveOne(path, folder);
}

TempTree::TempTree() {
  static int serial = 0;
  root_ = NewRoot() + "_" + std::to_string(serial++);
  RemoveTree(root_);
  MakeFolders(root_);
}

void TempTree::File(const std::string& rel, const std::string& content) {
  MakeFolders(Path(rel).substr(0, sjis::FindLastChar(Path(rel), '\\')));
  WriteBytes(Path(rel), content);
}

std::string TempTree::Read(const std::string& rel) const {
  std::string out;
  return plat::ReadAll(Path(rel), out) == 0 ? out : "<missing>";
}

bool TempTree::Exists(const std::string& rel) const { return CFileFind().FindFile(Path(rel).c_str()) != 0; }
