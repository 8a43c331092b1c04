// A real folder tree on disk for tests, removed by the destructor; program paths
// (backslashes, Shift_JIS) on both builds. A test's fault hook applies here too.
#pragma once

#include <string>

#include "platform/native_path.h"

// Absolute paths: every folder on the way; a file with exactly these bytes
// (replaced); a file or whole tree removed (a link removed, never followed).
void MakeFolders(const std::string& path);
void WriteBytes(const std::string& path, const std::string& content);
void WriteNative(const plat::NativePath& path, const std::string& content);
void RemoveTree(const std::string& path);
void RemoveTree(const plat::NativePath& path);  // the same function on POSIX
void MakeReadOnly(const std::string& path);

class TempTree {
 public:
  TempTree();
  ~TempTree() { RemoveTree(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& root() const { return root_; }  // without trailing separator
  std::string Path(const std::string& rel) const { return rel.empty() ? root_ : root_ + "\\" + rel; }
  void File(const std::string& rel, const std::string& content = std::string());  // with its parents, these bytes
  void Folder(const std::string& rel) { MakeFolders(Path(rel)); }  // with its parents
  std::string Read(const std::string& rel) const;                   // content, or "<missing>"
  bool Exists(const std::string& rel) const;

 private:
  std::string root_;
};
