// A real folder tree on disk for tests, removed again by the destructor. Paths
// use the program's convention (backslash separators, Shift_JIS names) on both
// builds.
#pragma once

#include <cstdint>
#include <string>

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The tree's root folder, without trailing separator.
  const std::string& root() const { return root_; }
  // root + "\" + rel (rel uses backslashes).
  std::string Path(const std::string& rel) const;
  // Creates the file (and its parent folders) with exactly these bytes.
  void File(const std::string& rel, const std::string& content = std::string());
  // Creates a file of the given size filled with a repeating pattern.
  void SizedFile(const std::string& rel, uint64_t size);
  // Creates a sparse file of the given size (no disk used). False if impossible.
  bool SparseFile(const std::string& rel, uint64_t size);
  // Creates the folder and its parents.
  void Folder(const std::string& rel);
  // Content of a file, or "<missing>".
  std::string Read(const std::string& rel) const;
  bool Exists(const std::string& rel) const;

 private:
  std::string root_;
};

// Creates every folder on the way to path (absolute, program convention).
void MakeFolders(const std::string& path);
// Writes a file with exactly these bytes (absolute path), replacing any.
void WriteBytes(const std::string& path, const std::string& content);
// Removes a file or a whole tree (absolute path); missing is fine.
void RemoveTree(const std::string& path);
