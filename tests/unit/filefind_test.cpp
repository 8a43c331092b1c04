// The file finder: the class library's stepping, the roots it reports, and
// CFileFindEx's separator rule for roots ending in a 0x5C second byte.
#include <gtest/gtest.h>

#include <set>

#include "engine/fileutil.h"
#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C

// A finder whose search root is set by hand, to test GetFilePath alone.
class RootedFinder : public CFileFindEx {
 public:
  RootedFinder(std::string root, std::string name) : root_(std::move(root)), name_(std::move(name)) {}
  std::string GetRoot() const override { return root_; }
  std::string GetFileName() const override { return name_; }

 private:
  std::string root_, name_;
};

class RootedBaseFinder : public CFileFind {
 public:
  RootedBaseFinder(std::string root, std::string name) : root_(std::move(root)), name_(std::move(name)) {}
  std::string GetRoot() const override { return root_; }
  std::string GetFileName() const override { return name_; }

 private:
  std::string root_, name_;
};

// The base class reads the root's last byte; CFileFindEx its last character.
TEST(CFileFindEx, GetFilePathSeparatorRule) {
  struct Case {
    std::string root;
    std::string ex;    // CFileFindEx
    std::string base;  // the byte-wise rule it replaces
  } cases[] = {
      {"C:", "C:\\n", "C:\\n"},
      {"C:\\", "C:\\n", "C:\\n"},
      {"C:\\Data", "C:\\Data\\n", "C:\\Data\\n"},
      {"C:/Data/", "C:/Data/n", "C:/Data/n"},
      {"C:\\" + kHyo, "C:\\" + kHyo + "\\n", "C:\\" + kHyo + "n"},
      {"C:\\" + kSo, "C:\\" + kSo + "\\n", "C:\\" + kSo + "n"},
      {"", "\\n", "\\n"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].ex, RootedFinder(cases[i].root, "n").GetFilePath()) << "case " << i;
    EXPECT_EQ(cases[i].base, RootedBaseFinder(cases[i].root, "n").GetFilePath()) << "case " << i;
  }
}

TEST(CFileFind, LastEntryIsCurrentAfterTheCallThatReturnsZero) {
  TempTree t;
  t.File("d\\a.txt", "1");
  t.File("d\\b.txt", "22");
  t.File("d\\c.dat", "333");
  t.Folder("d\\sub");
  CFileFindEx finder;
  std::set<std::string> seen;
  std::set<std::string> paths;
  int more = finder.FindFile((t.Path("d") + "\\*.*").c_str());
  ASSERT_TRUE(more);
  int dots = 0;
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) {
      ++dots;
      continue;
    }
    seen.insert(finder.GetFileName());
    paths.insert(finder.GetFilePath());
    if (finder.GetFileName() == "b.txt") {
      EXPECT_EQ(2u, finder.GetLength());
    }
    EXPECT_EQ(finder.GetFileName() == "sub", finder.IsDirectory() != 0) << finder.GetFileName();
  }
  EXPECT_EQ(2, dots);  // "." and ".." as Windows lists them
  EXPECT_EQ((std::set<std::string>{"a.txt", "b.txt", "c.dat", "sub"}), seen);
  EXPECT_EQ(1u, paths.count(t.Path("d\\c.dat")));
  EXPECT_EQ(t.Path("d"), finder.GetRoot());
}

TEST(CFileFind, PatternsAndSingleEntries) {
  TempTree t;
  t.File("d\\a.txt", "1");
  t.File("d\\B.TXT", "2");
  t.File("d\\c.dat", "3");
  t.File("d\\" + kHyo + ".txt", "4");
  struct Case {
    std::string pattern;
    size_t found;  // entries, dots excluded
  } cases[] = {
      {"d\\*.txt", 3},   // A-Z compare case-insensitively, as on Windows
      {"d\\*.dat", 1},
      {"d\\*", 4},
      {"d\\a.txt", 1},
      {"d\\A.TXT", 1},
      {"d\\nothing*", 0},
      {"d\\missing.txt", 0},
      {"nodir\\*.*", 0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    CFileFindEx finder;
    size_t found = 0;
    int more = finder.FindFile(t.Path(cases[i].pattern).c_str());
    while (more) {
      more = finder.FindNextFile();
      if (!finder.IsDots()) ++found;
    }
    EXPECT_EQ(cases[i].found, found) << "case " << i << " " << cases[i].pattern;
  }
}

TEST(CFileFind, ErrorsOfAFailedSearch) {
  TempTree t;
  t.Folder("d");
  CFileFindEx finder;
  EXPECT_FALSE(finder.FindFile(t.Path("d\\missing.txt").c_str()));
  EXPECT_EQ(plat::kErrFileNotFound, finder.GetLastError());
  EXPECT_FALSE(finder.FindFile(t.Path("nodir\\*.*").c_str()));
  EXPECT_EQ(plat::kErrPathNotFound, finder.GetLastError());
  // A path ending in a separator names no entry.
  EXPECT_FALSE(finder.FindFile((t.Path("d") + "\\").c_str()));
}

TEST(CFileFind, DoubledSeparatorAfterARootIsAccepted) {
  TempTree t;
  t.File("d\\x.txt", "1");
  CFileFindEx finder;
  int more = finder.FindFile((t.Path("d") + "\\\\*.*").c_str());
  ASSERT_TRUE(more);
  bool found = false;
  while (more) {
    more = finder.FindNextFile();
    if (finder.GetFileName() == "x.txt") {
      found = true;
      EXPECT_EQ(t.Path("d") + "\\x.txt", finder.GetFilePath());
    }
  }
  EXPECT_TRUE(found);
}

TEST(CFileFind, FullSixtyFourBitSizes) {
  // A sparse file costs no disk; 5 GiB does not fit in 32 bits.
  TempTree t;
  const uint64_t kFive = 5ULL * 1024 * 1024 * 1024;
  ASSERT_TRUE(t.SparseFile("big.bin", kFive));
  t.SizedFile("small.bin", 3);
  int64_t bytes = 0, files = 0;
  CountFilesAndSize(t.Path(""), bytes, files);
  EXPECT_EQ(static_cast<int64_t>(kFive) + 3, bytes);
  EXPECT_EQ(2, files);
  bytes = files = 0;
  CountFilesAndSize(t.Path("big.bin"), bytes, files);
  EXPECT_EQ(static_cast<int64_t>(kFive), bytes);
}

}  // namespace
