// File and path utilities: text rules, and the disk walks against real trees.
#include "engine/fileutil.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C

TEST(FormatGroupedNumber, GroupsEveryThreeDigits) {
  struct Case { int64_t value; const char* expected; } cases[] = {
      {0, "0"},
      {100, "100"},
      {999, "999"},
      {1000, "1,000"},
      {1234, "1,234"},
      {999999, "999,999"},
      {1000000, "1,000,000"},
      {1234567890, "1,234,567,890"},
      {999999999999LL, "999,999,999,999"},
      {1000000000000LL, "1,000,000,000,000"},
      {INT64_MAX, "9,223,372,036,854,775,807"},
      {-1234, "-1,234"},
      {-123, "-123"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, FormatGroupedNumber(cases[i].value)) << "case " << i;
  }
}

TEST(FormatSizeText, UnitsAndPrecision) {
  struct Case { int64_t bytes; std::string expected; } cases[] = {
      {-5, "0バイト"},
      {0, "0バイト"},
      {1, "  1バイト"},
      {5, "  5バイト"},
      {999, "999バイト"},
      {1024, "1024バイト"},
      {1025, "1.00KB"},
      {1536, "1.50KB"},
      {10240, "10.0KB"},
      {102400, "100KB"},
      {1048576, "1024KB"},
      {1048577, "1.00MB"},
      {15728640, "15.0MB"},
      {1073741824, "1024MB"},
      {1073741825, "1.00GB"},
      {5LL * 1073741824, "5.00GB"},
      {200LL * 1073741824, "200GB"},
      {4096LL * 1073741824, "4096GB"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, FormatSizeText(cases[i].bytes)) << "case " << i << " bytes " << cases[i].bytes;
  }
}

TEST(CountOccurrences, OverlapsNulAndLimit) {
  struct Case { std::string text; std::string sub; int expected; } cases[] = {
      {"", "\"", 0},
      {"no quotes", "\"", 0},
      {"\"a\" \"b\" ", "\"", 4},
      {"aaa", "aa", 2},
      {std::string("\"x\"\0\"y\"", 7), "\"", 2},  // nothing after the NUL counts
      {std::string(250000, '"'), "\"", 100000},
      {"abc", "", 0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    int count = -1;
    EXPECT_EQ(0, CountOccurrences(cases[i].text, cases[i].sub, count));
    EXPECT_EQ(cases[i].expected, count) << "case " << i;
  }
}

TEST(MatchWildcard, Semantics) {
  struct Case { const char* pattern; std::string text; int expected; } cases[] = {
      {"*.txt", "a.txt", 1},
      {"*.txt", "a.TXT", 0},
      {"?", "", 0},
      {"*", "", 1},
      {"", "", 1},
      {"", "a", 0},
      {"a*", "a", 1},
      {"*a", "ba", 1},
      {"*a", "ab", 0},
      {"a*b*c", "aXbYc", 1},
      {"a*b*c", "aXbY", 0},
      {"a*b*c", "abcbc", 1},
      {"?.txt", kHyo + ".txt", 0},   // "?" takes one byte: a double-byte character needs two
      {"??.txt", kHyo + ".txt", 1},
      {"*.*", "noext", 0},           // the literal "*.*": callers translate it
      {"**", "x", 1},
      {"a?c", "abc", 1},
      {"a?c", "ac", 0},
      {"*x*", "aaaxbbb", 1},
      {"*ab", "aab", 1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, MatchWildcard(cases[i].pattern, cases[i].text))
        << "case " << i << " pattern " << cases[i].pattern << " text " << cases[i].text;
  }
}

// Thirty stars against a long name that almost matches: a backtracking matcher
// would take exponential time; this one must finish at once (checked by the
// test's own time limit, the figures are in the benchmark).
TEST(MatchWildcard, ManyStarsDoNotExplode) {
  std::string pattern;
  for (int i = 0; i < 30; ++i) pattern += "*a";
  pattern += "b";
  std::string text(250, 'a');
  EXPECT_EQ(0, MatchWildcard(pattern, text));
  EXPECT_EQ(1, MatchWildcard(pattern, text + "b"));
}

TEST(EndsWithBackslash, CharacterWise) {
  struct Case { std::string path; int expected; } cases[] = {
      {"", -1}, {"C:\\", 0}, {"C:\\Data", -1}, {"C:\\Data\\", 0}, {"C:\\" + kHyo, -1}, {"C:\\" + kSo, -1},
      {"C:\\" + kSo + "\\", 0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, EndsWithBackslash(cases[i].path)) << "case " << i;
  }
}

TEST(GetLastComponent, AfterLastBackslashCharacter) {
  struct Case { std::string path; std::string expected; } cases[] = {
      {"C:\\Data\\a.txt", "a.txt"},
      {"a.txt", "a.txt"},
      {"C:\\Data\\", ""},
      {"C:\\", ""},
      {"C:\\" + kHyo, kHyo},             // the 0x5C inside 表 is no separator
      {"C:\\x\\" + kSo + "y", kSo + "y"},
      {"C:/Data/a", "C:/Data/a"},        // only the backslash separates here
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string name = "junk";
    EXPECT_EQ(0, GetLastComponent(cases[i].path, name));
    EXPECT_EQ(cases[i].expected, name) << "case " << i;
  }
}

TEST(SplitPath, DoubleByteAware) {
  struct Case { std::string path, drive, dir, name, ext; } cases[] = {
      {"C:\\Data\\Backup\\a.txt", "C:", "\\Data\\Backup\\", "a", ".txt"},
      {"C:\\Data\\", "C:", "\\Data\\", "", ""},
      {"C:\\", "C:", "\\", "", ""},
      {"C:", "C:", "", "", ""},
      {"\\\\server\\share\\Daily", "", "\\\\server\\share\\", "Daily", ""},
      {"C:/a/b.c.d", "C:", "/a/", "b.c", ".d"},
      {"C:\\" + kHyo, "C:", "\\", kHyo, ""},        // not "C:\表" split inside the character
      {"C:\\" + kSo + "\\x", "C:", "\\" + kSo + "\\", "x", ""},
      {"C:\\dir.v1\\name", "C:", "\\dir.v1\\", "name", ""},
      {"noext", "", "", "noext", ""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string drive, dir, name, ext;
    EXPECT_EQ(0, SplitPath(cases[i].path, drive, dir, name, ext));
    EXPECT_EQ(cases[i].drive, drive) << "case " << i;
    EXPECT_EQ(cases[i].dir, dir) << "case " << i;
    EXPECT_EQ(cases[i].name, name) << "case " << i;
    EXPECT_EQ(cases[i].ext, ext) << "case " << i;
  }
}

TEST(SplitPath, OverlongPartsAreCutAtCharacterBoundaries) {
  // 300 bytes of double-byte name: cut to at most 255 bytes, never half a character.
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += kHyo;
  std::string drive, dir, name, ext;
  SplitPath("C:\\" + longName, drive, dir, name, ext);
  EXPECT_EQ(254u, name.size());
  EXPECT_EQ(0u, name.size() % 2);
  SplitPath("C:\\" + std::string(600, 'd') + "\\x.txt", drive, dir, name, ext);
  EXPECT_EQ(255u, dir.size());
  EXPECT_EQ("x", name);
}

TEST(ShortenPath, DisplayForms) {
  struct Case { std::string path, expected; } cases[] = {
      {"C:\\Data\\Backup\\Daily", " C:\\...\\Daily"},
      {"C:\\Daily", " C:\\Daily"},
      {"C:\\Data\\", " C:\\Data\\"},
      {"C:\\", " C:\\"},
      {"C:", " C:"},
      {"\\\\server\\share\\Daily", " \\...\\Daily"},
      {"D:\\" + kHyo + "\\" + kSo, " D:\\...\\" + kSo},
      {"D:\\a\\v1.2", " D:\\...\\v1.2"},  // the whole last component is shown
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string path = cases[i].path;
    EXPECT_EQ(0, ShortenPath(path));
    EXPECT_EQ(cases[i].expected, path) << "case " << i;
  }
}

TEST(FileExceptionText, CauseTable) {
  struct Case { int cause; std::string text; } cases[] = {
      {0, "エラー詳細：エラーなし"},
      {1, "エラー詳細：未定義エラー"},
      {2, "エラー詳細：ファイル未定義"},
      {3, "エラー詳細：不正パス"},
      {4, "エラー詳細：オープン ファイル数超過"},
      {5, "エラー詳細：ファイル アクセス禁止"},
      {6, "エラー詳細：不正ファイル ハンドル使用"},
      {7, "エラー詳細：作業中のカレント ディレクトリの削除不可"},
      {8, "エラー詳細：ディレクトリ フル"},
      {9, "エラー詳細：ファイル ポインタ設定エラー"},
      {10, "エラー詳細：ハードウェア エラー"},
      {11, "エラー詳細：SHARE.EXE 未ロードまたは共有領域ロック済み"},
      {12, "エラー詳細：ロック済み領域のロック要求"},
      {13, "エラー詳細：ディスク フル"},
      {14, "エラー詳細：ファイルの終わりに到達"},
      {15, "エラー詳細：エラー内容不明"},
      {-1, "エラー詳細：エラー内容不明"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].text, FileExceptionText(cases[i].cause)) << "case " << i;
  }
}

TEST(FileExceptionCause, SystemErrorsMapOntoCauses) {
  struct Case { uint32_t error; int cause; } cases[] = {
      {0, 0},    {2, 2},    {3, 3},    {4, 4},     {5, 5},     {6, 6},   {16, 7},
      {32, 11},  {33, 12},  {38, 14},  {39, 13},   {112, 13},  {123, 3}, {206, 3},
      {80, 5},   {183, 5},  {145, 7},  {131, 9},   {9999, 1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].cause, FileExceptionCause(cases[i].error)) << "case " << i << " error " << cases[i].error;
  }
}

TEST(GetSystemErrorText, KnownCodeKeepsLineBreakUnknownIsEmpty) {
  std::string text = GetSystemErrorText(plat::kErrFileNotFound);
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ("\r\n", text.substr(text.size() - 2));
  EXPECT_EQ("", GetSystemErrorText(0x2FFFFFFFu));
}

// --- On the disk ---------------------------------------------------------------

TEST(PathExists, FilesFoldersAndTrailingSeparators) {
  TempTree t;
  t.File("a.txt", "x");
  t.Folder("dir");
  t.Folder(kHyo);
  struct Case { std::string path; int expected; } cases[] = {
      {t.Path("a.txt"), 0},
      {t.Path("dir"), 0},
      {t.Path("dir") + "\\", 0},         // one trailing backslash is ignored
      {t.Path(kHyo), 0},                  // ends in 0x5C but no separator is cut
      {t.Path("missing"), -1},
      {t.Path("missing") + "\\", -1},
      {"", -1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, PathExists(cases[i].path)) << "case " << i << " " << cases[i].path;
  }
}

TEST(IsPlainFile, FilesOnly) {
  TempTree t;
  t.File("a.txt", "x");
  t.File(kSo + ".txt", "y");
  t.Folder("dir");
  struct Case { std::string path; int expected; } cases[] = {
      {t.Path("a.txt"), 0},
      {t.Path(kSo + ".txt"), 0},
      {t.Path("dir"), -1},
      {t.Path("dir") + "\\", -1},
      {t.Path("missing.txt"), -1},
      {t.Path("*.txt"), -1},  // a pattern names no single file
      {t.Path("a.tx?"), -1},
      {"", -1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, IsPlainFile(cases[i].path)) << "case " << i << " " << cases[i].path;
  }
}

TEST(CountFilesAndSize, WalksTreesAndAdds) {
  TempTree t;
  t.SizedFile("one.bin", 100);
  t.SizedFile("tree\\a.txt", 10);
  t.SizedFile("tree\\sub\\b.txt", 20);
  t.SizedFile("tree\\sub\\deeper\\c.txt", 30);
  t.SizedFile("tree\\" + kHyo + "\\d.txt", 40);  // folder name ends in 0x5C
  t.File("tree\\empty.txt");
  t.Folder("tree\\emptydir");
  t.Folder("empty");
  struct Case { std::string path; int64_t bytes, files; } cases[] = {
      {t.Path("one.bin"), 100, 1},
      {t.Path("tree"), 100, 5},
      {t.Path("tree") + "\\", 100, 5},
      {t.Path("empty"), 0, 0},
      {t.Path("missing"), 0, 0},
      {t.Path("tree\\" + kHyo), 40, 1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    int64_t bytes = 0, files = 0;
    EXPECT_EQ(0, CountFilesAndSize(cases[i].path, bytes, files));
    EXPECT_EQ(cases[i].bytes, bytes) << "case " << i;
    EXPECT_EQ(cases[i].files, files) << "case " << i;
  }
  // Accumulators are added to, never assigned.
  int64_t bytes = 7, files = 3;
  CountFilesAndSize(t.Path("tree"), bytes, files);
  CountFilesAndSize(t.Path("tree"), bytes, files);
  EXPECT_EQ(207, bytes);
  EXPECT_EQ(13, files);
}

TEST(ReadWholeFile, ExactBytesAndCauses) {
  TempTree t;
  std::string binary("\"a\"\0\r\n\x95\x5C\xFF", 9);
  t.File("bin.dat", binary);
  t.File("empty.dat");
  t.Folder("dir");
  std::string content = "old", error = "old";
  EXPECT_EQ(0, ReadWholeFile(t.Path("bin.dat"), content, error));
  EXPECT_EQ(binary, content);
  EXPECT_EQ("", error);
  EXPECT_EQ(0, ReadWholeFile(t.Path("empty.dat"), content, error));
  EXPECT_EQ("", content);

  struct Case { std::string path; std::string error; } failures[] = {
      {t.Path("missing.dat"), "エラー詳細：ファイル未定義"},
      {t.Path("nodir\\missing.dat"), "エラー詳細：不正パス"},
      {t.Path("dir"), "エラー詳細：ファイル アクセス禁止"},
  };
  for (size_t i = 0; i < sizeof(failures) / sizeof(failures[0]); ++i) {
    content = "old";
    EXPECT_EQ(-1, ReadWholeFile(failures[i].path, content, error)) << "case " << i;
    EXPECT_EQ("", content) << "case " << i;
    EXPECT_EQ(failures[i].error, error) << "case " << i;
  }
}

TEST(ReadWholeFile, LargeFile) {
  TempTree t;
  t.SizedFile("big.dat", 10 * 1024 * 1024 + 7);
  std::string content, error;
  ASSERT_EQ(0, ReadWholeFile(t.Path("big.dat"), content, error));
  ASSERT_EQ(10u * 1024 * 1024 + 7, content.size());
  EXPECT_EQ('a', content[0]);
  EXPECT_EQ(static_cast<char>('a' + (content.size() - 1) % 26), content.back());
}

// Fault injection: the platform's sharing violation and other errors reach the
// caller as their file-exception causes.
struct InjectedError { plat::FsOp op; uint32_t error; };
uint32_t Inject(plat::FsOp op, const std::string&, void* ctx) {
  auto* e = static_cast<InjectedError*>(ctx);
  return op == e->op ? e->error : 0;
}

TEST(ReadWholeFile, InjectedErrorsGiveTheirCauses) {
  TempTree t;
  t.File("a.dat", "x");
  struct Case { uint32_t error; const char* text; } cases[] = {
      {plat::kErrSharingViolation, "エラー詳細：SHARE.EXE 未ロードまたは共有領域ロック済み"},
      {plat::kErrAccessDenied, "エラー詳細：ファイル アクセス禁止"},
      {plat::kErrLockViolation, "エラー詳細：ロック済み領域のロック要求"},
      {plat::kErrDiskFull, "エラー詳細：ディスク フル"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    InjectedError inj{plat::FsOp::Read, cases[i].error};
    plat::SetFaultHook(Inject, &inj);
    std::string content = "old", error;
    int result = ReadWholeFile(t.Path("a.dat"), content, error);
    plat::SetFaultHook(nullptr, nullptr);
    EXPECT_EQ(-1, result) << "case " << i;
    EXPECT_EQ(cases[i].text, error) << "case " << i;
    EXPECT_EQ("", content) << "case " << i;
  }
}

TEST(DeleteMatchingFiles, DeletesMatchesAndReportsFailures) {
  TempTree t;
  t.File("a.dat", "1");
  t.File("b.dat", "2");
  t.File("keep.txt", "3");
  std::string error = "untouched";
  EXPECT_EQ(0, DeleteMatchingFiles(t.Path("*.dat"), error));
  EXPECT_FALSE(t.Exists("a.dat"));
  EXPECT_FALSE(t.Exists("b.dat"));
  EXPECT_TRUE(t.Exists("keep.txt"));
  EXPECT_EQ("untouched", error);

  // Nothing matches: -1 and the error text is left alone.
  EXPECT_EQ(-1, DeleteMatchingFiles(t.Path("*.dat"), error));
  EXPECT_EQ("untouched", error);
  EXPECT_EQ(-1, DeleteMatchingFiles(t.Path("nodir\\x.dat"), error));
  EXPECT_EQ("untouched", error);

  // A failing deletion ends the loop with its cause.
  t.File("c.dat", "4");
  InjectedError inj{plat::FsOp::Remove, plat::kErrSharingViolation};
  plat::SetFaultHook(Inject, &inj);
  int result = DeleteMatchingFiles(t.Path("c.dat"), error);
  plat::SetFaultHook(nullptr, nullptr);
  EXPECT_EQ(-1, result);
  EXPECT_EQ("エラー詳細：SHARE.EXE 未ロードまたは共有領域ロック済み", error);
  EXPECT_TRUE(t.Exists("c.dat"));
}

TEST(GetModuleDir, FolderOfTheRunningProgram) {
  std::string dir = GetModuleDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(-1, EndsWithBackslash(dir)) << dir;
  EXPECT_EQ(0, PathExists(dir)) << dir;
  EXPECT_EQ(-1, IsPlainFile(dir)) << dir;
}

// Paths far beyond the 260-byte buffers are refused or cut, never overflow.
TEST(LongPaths, HandledSafely) {
  TempTree t;
  std::string longPath = t.Path(std::string(400, 'x') + "\\" + std::string(400, 'y') + ".txt");
  EXPECT_EQ(-1, PathExists(longPath));
  EXPECT_EQ(-1, IsPlainFile(longPath));
  int64_t bytes = 0, files = 0;
  EXPECT_EQ(0, CountFilesAndSize(longPath, bytes, files));
  EXPECT_EQ(0, bytes);
  std::string content, error;
  EXPECT_EQ(-1, ReadWholeFile(longPath, content, error));
  EXPECT_FALSE(error.empty());
  std::string shortForm = longPath;
  ShortenPath(shortForm);
  EXPECT_EQ(' ', shortForm[0]);
}

}  // namespace
