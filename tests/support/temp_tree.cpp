// TempTree: Shift_JIS names reach the disk byte for byte; removal by native names (any name, any depth).
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
static std::string NewRoot() {
  char base[MAX_PATH] = {};  // ends with a backslash
  return std::string(base, ::GetTempPathA(MAX_PATH, base)) + "lk" + std::to_string(::GetCurrentProcessId());
}
static std::FILE* Open(const plat::NativePath& path) { return _wfopen(plat::LongPathForm(path).c_str(), L"wb"); }
void MakeReadOnly(const std::string& path) { ::SetFileAttributesW(plat::ToNative(path).c_str(), FILE_ATTRIBUTE_READONLY); }
static void RemoveOne(const plat::NativePath& path, bool folder) {
  const plat::NativePath p = plat::LongPathForm(path);
  ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  folder ? ::RemoveDirectoryW(p.c_str()) : ::DeleteFileW(p.c_str());
}
void RemoveTree(const std::string& path) { RemoveTree(plat::ToNative(path)); }
#else
#include <sys/stat.h>
#include <unistd.h>
#include "platform/posix_path.h"
static std::string NewRoot() { return "\\tmp\\lk" + std::to_string(getpid()); }
static std::FILE* Open(const plat::NativePath& path) { return std::fopen(plat::ToPosixPath(path).c_str(), "wb"); }
// A link is removed, never followed; a folder goes with what the finder does not list (the stand-in's named streams).
static void RemoveOne(const plat::NativePath& p, bool) {
  std::error_code ignored;
  std::filesystem::remove_all(plat::ToPosixPath(p), ignored);
}
void MakeReadOnly(const std::string& path) { chmod(plat::ToPosixPath(path).c_str(), 0444); }
#endif

#include "platform/filefind.h"
#include "platform/fs.h"
#include "core/sjis.h"

void MakeFolders(const std::string& path) {
  for (size_t sep = core::sjis::FindChar(path, '\\', 1); sep != core::sjis::npos; sep = core::sjis::FindChar(path, '\\', sep + 1))
    plat::CreateFolder(plat::ToNative(path.substr(0, sep)));  // each parent; those present refuse
  const plat::NativePath native = plat::ToNative(path);
  uint32_t attributes = (plat::CreateFolder(native), plat::GetAttributes(native));
  if (attributes == plat::kInvalidAttributes || !(attributes & plat::kAttrDirectory)) ADD_FAILURE() << path;
}

void WriteBytes(const std::string& path, const std::string& content) { WriteNative(plat::ToNative(path), content); }
void WriteNative(const plat::NativePath& path, const std::string& content) {
  std::FILE* f = Open(path);
  size_t done = f ? std::fwrite(content.data(), 1, content.size(), f) : 0;
  if (!f || std::fclose(f) != 0 || done != content.size()) ADD_FAILURE() << "cannot write " << plat::FromNative(path);
}

void RemoveTree(const plat::NativePath& path) {
  plat::FileFinder f;
  if (!f.Start(path)) return;
  const bool folder = (f.Next(), f.IsDirectory() != 0);
  if (folder && !f.MatchesMask(plat::kAttrReparsePoint) && f.Start(plat::JoinNative(path, plat::ToNative("*")))) {
    for (int more = 1; more;) {
      more = f.Next();
      if (!f.IsDots()) RemoveTree(plat::JoinNative(path, f.GetNativeName()));
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
  MakeFolders(Path(rel).substr(0, core::sjis::FindLastChar(Path(rel), '\\')));
  WriteBytes(Path(rel), content);
}

std::string TempTree::Read(const std::string& rel) const {
  std::string out;
  return plat::ReadAll(plat::ToNative(Path(rel)), out) == 0 ? out : "<missing>";
}
bool TempTree::Exists(const std::string& rel) const { return plat::FileFinder().Start(plat::ToNative(Path(rel))); }
