// Filters: pattern lists parsed once and the file and folder decisions (see
// filter.h).
#include "core/filter.h"

#include <cstring>

#include "core/sjis.h"
#include "core/wildcard.h"

namespace core {

namespace {

// Patterns taken from one list at most, empty ones counted.
constexpr size_t kMaxPatterns = 1000000;

constexpr char kAnyName[] = "*";
constexpr char kAnyNameWithDot[] = "*.*";

// Fills starts with 1 where a byte of s starts a character, or leaves it empty
// when every byte does (no double-byte character in s).
void MarkCharStarts(const std::string& s, std::vector<uint8_t>& starts) {
  starts.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (sjis::CharLen(s, i) == 2) {
      starts.assign(s.size(), 0);
      for (size_t j = 0; j < s.size(); j += sjis::CharLen(s, j)) starts[j] = 1;
      return;
    }
  }
}

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// The shared decision: a non-empty include list decides alone, then a
// non-empty exclude list, then the item takes part.
bool Decide(std::string_view path, const PatternList& include, const PatternList& exclude) {
  if (include.IsEmpty() && exclude.IsEmpty()) return true;
  FoldedName name(path);
  if (!include.IsEmpty()) return include.AnyMatches(name) || include.HitLimit();
  return !exclude.AnyMatches(name);
}

}  // namespace

FoldedName::FoldedName(std::string_view path) {
  size_t sep = sjis::FindLastChar(path, '\\');
  text.assign(sep == sjis::npos ? path : path.substr(sep + 1));
  sjis::FoldLatinLower(text);
  MarkCharStarts(text, starts);
}

PatternList::PatternList(std::string_view listText, Kind kind) : kind_(kind), empty_(listText.empty()) {
  std::string work(listText);
  sjis::FoldLatinLower(work);
  size_t pos = 0;
  size_t taken = 0;
  bool more = !work.empty();
  while (more) {
    size_t sep = sjis::FindChar(work, ';', pos);
    std::string_view piece;
    if (sep == sjis::npos) {
      piece = std::string_view(work).substr(pos);
      more = false;
    } else {
      piece = std::string_view(work).substr(pos, sep - pos);
      pos = sep + 1;
      more = pos < work.size();
    }
    if (!piece.empty()) {
      Pattern pattern;
      pattern.text.assign(piece);
      if (kind_ == Kind::Folder) {
        pattern.shape = Pattern::Exact;
      } else {
        if (pattern.text == kAnyNameWithDot) pattern.text = kAnyName;
        if (pattern.text.find_first_not_of('*') == std::string::npos) {
          pattern.shape = Pattern::Any;
        } else if (!HasWildcard(pattern.text)) {
          pattern.shape = Pattern::Exact;
        } else if (pattern.text[0] == '*' && !HasWildcard(std::string_view(pattern.text).substr(1))) {
          pattern.shape = Pattern::Suffix;
          pattern.text.erase(0, 1);
        } else {
          pattern.shape = Pattern::General;
          MarkCharStarts(pattern.text, pattern.starts);
          if (pattern.starts.empty()) pattern.starts.assign(pattern.text.size(), 1);
        }
      }
      patterns_.push_back(std::move(pattern));
    }
    if (++taken == kMaxPatterns) {
      hitLimit_ = true;
      break;
    }
  }
}

bool PatternList::Pattern::Matches(const FoldedName& name) const {
  const std::string& t = name.text;
  switch (shape) {
    case Any:
      return true;
    case Exact:
      return t == text;
    case Suffix: {
      // The suffix must begin where a character of the name begins.
      if (t.size() < text.size() || t.back() != text.back()) return false;
      size_t at = t.size() - text.size();
      return std::memcmp(t.data() + at, text.data(), text.size()) == 0 && name.StartsCharAt(at);
    }
    case General:
      break;
  }
  // "?" takes any one byte; any other pattern byte takes the same byte only
  // where both stand at the same place in a character (start or second byte).
  return wildcard::Match(text, t, [&](size_t p, size_t i) {
    return text[p] == t[i] && (starts[p] != 0) == name.StartsCharAt(i);
  });
}

bool PatternList::AnyMatches(const FoldedName& name) const {
  for (const Pattern& pattern : patterns_) {
    if (pattern.Matches(name)) return true;
  }
  return false;
}

void FilterSet::Set(std::string fileIn, std::string fileOut, std::string folderIn, std::string folderOut) {
  fileIn_ = PatternList(fileIn, PatternList::Kind::File);
  fileOut_ = PatternList(fileOut, PatternList::Kind::File);
  folderIn_ = PatternList(folderIn, PatternList::Kind::Folder);
  folderOut_ = PatternList(folderOut, PatternList::Kind::Folder);
  fileInText_ = std::move(fileIn);
  fileOutText_ = std::move(fileOut);
  folderInText_ = std::move(folderIn);
  folderOutText_ = std::move(folderOut);
}

bool FilterSet::IsEmpty() const {
  return fileInText_.empty() && fileOutText_.empty() && folderInText_.empty() && folderOutText_.empty();
}

bool CheckFileFilter(std::string_view path, const FilterSet& filters) {
  return Decide(path, filters.FileInclude(), filters.FileExclude());
}

bool CheckFolderFilter(std::string_view path, const FilterSet& filters) {
  return Decide(path, filters.FolderInclude(), filters.FolderExclude());
}

}  // namespace core
