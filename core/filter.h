// Filters: whether a file or folder met by a walk takes part, decided by the
// four pattern lists of the current backup folder (the FilterSet).
//
// Pattern-list syntax: patterns separated by ";", nothing trimmed (a space
// belongs to its pattern), empty patterns skipped, at most 1,000,000 patterns
// taken from one list. The list and the tested name (the last component of the
// path) are lower-cased alike: A-Z and the full-width Ａ-Ｚ, never a byte inside
// a double-byte character (sjis::FoldLatinLower). File patterns are wildcards
// ("*" any run of bytes, "?" exactly one byte, "*.*" read as "*"); every other
// character of a pattern matches only the same whole character of the name, so
// a letter never matches the second byte of a double-byte character. Folder
// patterns are compared whole, byte for byte; "*" and "?" are plain characters
// there.
//
// A list is parsed once (PatternList); the decisions then cost one fold of the
// name and one comparison per pattern.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A name prepared for matching: the last component of a path, folded, with the
// positions where its characters start.
struct FoldedName {
  explicit FoldedName(std::string_view path);
  bool StartsCharAt(size_t i) const { return starts.empty() || starts[i] != 0; }
  std::string text;
  std::vector<uint8_t> starts;  // empty when every byte starts a character
};

// One pattern list, parsed and lower-cased once.
class PatternList {
 public:
  enum class Kind { File, Folder };

  // The empty list (it decides nothing).
  PatternList() = default;
  // Parses text as a list of the given kind.
  PatternList(std::string_view text, Kind kind);

  // True if the list text was empty. A text of separators only (";") is not
  // empty: as an include list it takes nothing.
  bool IsEmpty() const { return empty_; }
  // True if one of the list's patterns takes the name.
  bool AnyMatches(const FoldedName& name) const;
  // True if the list had 1,000,000 patterns or more (empty ones counted), so
  // that only the first 1,000,000 were taken; without a match the list then
  // decides for the item.
  bool HitLimit() const { return hitLimit_; }

 private:
  struct Pattern {
    enum Shape { Any, Exact, Suffix, General };
    Shape shape = General;
    std::string text;
    std::vector<uint8_t> starts;  // 1 where a pattern byte starts a character
    bool Matches(const FoldedName& name) const;
  };

  std::vector<Pattern> patterns_;
  Kind kind_ = Kind::File;
  bool empty_ = true;
  bool hitLimit_ = false;
};

// The filters of one backup folder: the four list texts as stored, and their
// parsed forms, kept together.
class FilterSet {
 public:
  FilterSet() = default;
  FilterSet(std::string fileIn, std::string fileOut, std::string folderIn, std::string folderOut) {
    Set(std::move(fileIn), std::move(fileOut), std::move(folderIn), std::move(folderOut));
  }

  // Replaces all four lists.
  void Set(std::string fileIn, std::string fileOut, std::string folderIn, std::string folderOut);
  // Sets all four lists empty.
  void Clear() { Set("", "", "", ""); }
  // True while all four lists are empty (the filter indicator is hidden then).
  bool IsEmpty() const;

  const std::string& FilterFileIn() const { return fileInText_; }
  const std::string& FilterFileOut() const { return fileOutText_; }
  const std::string& FilterFolderIn() const { return folderInText_; }
  const std::string& FilterFolderOut() const { return folderOutText_; }

  const PatternList& FileInclude() const { return fileIn_; }
  const PatternList& FileExclude() const { return fileOut_; }
  const PatternList& FolderInclude() const { return folderIn_; }
  const PatternList& FolderExclude() const { return folderOut_; }

 private:
  std::string fileInText_, fileOutText_, folderInText_, folderOutText_;
  PatternList fileIn_, fileOut_, folderIn_, folderOut_;
};

// True if the file at path takes part, false if it is left out. A non-empty
// include list decides alone; otherwise a non-empty exclude list; otherwise
// it takes part.
bool CheckFileFilter(std::string_view path, const FilterSet& filters);

// True if the folder at path is entered, false if it is left out with
// everything beneath it. Same decision as CheckFileFilter, with whole-name
// comparison. A drive root ("D:\") has an empty name: an include list leaves it out.
bool CheckFolderFilter(std::string_view path, const FilterSet& filters);

}  // namespace core
