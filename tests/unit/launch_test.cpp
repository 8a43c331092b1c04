// The launch contract, program side: token, quoted paths, kinds, refusals.
#include "engine/launch.h"

#include <gtest/gtest.h>

#include "engine/fileutil.h"
#include "tests/support/temp_tree.h"

namespace {

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C

std::string Quote(const std::string& path) { return "\"" + path + "\" "; }

TEST(CommandLineTail, ProgramNameAndBlanksRemoved) {
  struct Case { const char* line; const char* tail; } cases[] = {
      {"Larkspan.exe LarkspanCall", "LarkspanCall"},
      {"\"C:\\Program Files\\Larkspan.exe\" LarkspanCall", "LarkspanCall"},
      {"\"C:\\Program Files\\Larkspan.exe\"LarkspanCall", "LarkspanCall"},
      {"Larkspan.exe   \tLarkspanCall ", "LarkspanCall "},
      {"Larkspan.exe", ""},
      {"", ""},
      {"\"unterminated", ""},
      {"Larkspan.exe \"LarkspanCall\"", "\"LarkspanCall\""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].tail, CommandLineTail(cases[i].line)) << "case " << i;
  }
  EXPECT_EQ("", CommandLineTail(nullptr));
}

TEST(CheckLaunchToken, OnlyTheExactToken) {
  struct Case { const char* tail; int expected; } cases[] = {
      {"LarkspanCall", 0},      {"", -1},
      {"larkspancall", -1},     {"LarkspanCall ", -1},
      {" LarkspanCall", -1},    {"\"LarkspanCall\"", -1},
      {"LarkspanCall x", -1},   {"LarkspanCal", -1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, CheckLaunchToken(cases[i].tail)) << "case " << i;
  }
}

TEST(TakeNextQuotedPath, CutsPairsFromTheFront) {
  std::string text = "junk\"C:\\a b\" \"" + kHyo + "\"\"\" tail\"";
  std::string_view rest(text);
  std::string path;
  ASSERT_EQ(0, TakeNextQuotedPath(rest, path));
  EXPECT_EQ("C:\\a b", path);
  ASSERT_EQ(0, TakeNextQuotedPath(rest, path));
  EXPECT_EQ(kHyo, path);
  ASSERT_EQ(0, TakeNextQuotedPath(rest, path));
  EXPECT_EQ("", path);  // two adjacent quotes: an empty path
  path = "kept";
  EXPECT_EQ(-1, TakeNextQuotedPath(rest, path));  // a lone final quote
  EXPECT_EQ("kept", path);
  std::string_view none("no quotes");
  EXPECT_EQ(-1, TakeNextQuotedPath(none, path));
  EXPECT_EQ("no quotes", none);
}

TEST(ParseParameterText, EntriesAndKinds) {
  TempTree t;
  t.File("a.txt", "x");
  t.File("My Photos\\p.jpg", "x");
  t.File(kHyo + "\\" + kSo + ".txt", "x");
  const std::string a = t.Path("a.txt"), photos = t.Path("My Photos"), hyo = t.Path(kHyo),
                    so = t.Path(kHyo + "\\" + kSo + ".txt");
  struct Case {
    std::string text;
    int result;
    std::vector<std::string> paths;
    std::vector<int> kinds;
  } cases[] = {
      {"", 0, {}, {}},
      {"no quote at all", 0, {}, {}},
      {"\"", 0, {}, {}},
      {Quote(a), 0, {a}, {0}},
      {Quote(a) + "\"", 0, {a}, {0}},  // three quotes: one entry
      {Quote(a) + Quote(photos), 0, {a, photos}, {0, 1}},
      {Quote(hyo) + Quote(so), 0, {hyo, so}, {1, 0}},
      {Quote(a) + Quote(a), 0, {a, a}, {0, 0}},
      {Quote(photos + "\\"), 0, {photos + "\\"}, {1}},
      {Quote(a) + std::string(1, '\0') + Quote(photos), 0, {a}, {0}},  // nothing after a NUL
      {"\r\n" + Quote(a) + "\r\n", 0, {a}, {0}},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    SelectionList list;
    EXPECT_EQ(cases[i].result, ParseParameterText(cases[i].text, list)) << "case " << i;
    EXPECT_EQ(static_cast<int>(cases[i].paths.size()), list.count) << "case " << i;
    EXPECT_EQ(cases[i].paths, list.paths) << "case " << i;
    EXPECT_EQ(cases[i].kinds, list.kinds) << "case " << i;
  }
}

TEST(ParseParameterText, AnEntryThatNamesNothingFails) {
  TempTree t;
  t.File("a.txt", "x");
  struct Case { std::string text; } cases[] = {
      {Quote(t.Path("a.txt")) + Quote(t.Path("gone.txt"))},
      {Quote("")},
      {Quote(t.Path("*.txt"))},
      {Quote(t.Path(std::string(300, 'l')))},
      {Quote(t.Path("a.txt\\x"))},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    SelectionList list;
    EXPECT_EQ(-1, ParseParameterText(cases[i].text, list)) << "case " << i;
  }
}

TEST(ParseParameterText, DriveRootIsAFolder) {
  std::string root = GetModuleDir();
#ifdef _WIN32
  root = root.substr(0, 3);  // "Z:\" under Wine, "C:\" on Windows
#else
  GTEST_SKIP() << "drive roots exist on Windows only";
#endif
  SelectionList list;
  ASSERT_EQ(0, ParseParameterText(Quote(root), list));
  ASSERT_EQ(1, list.count);
  EXPECT_EQ(root, list.paths[0]);
  EXPECT_EQ(SelectionList::kFolder, list.kinds[0]);
}

TEST(ParseParameterText, FiftyThousandEntriesAtMost) {
  TempTree t;
  t.File("f", "x");
  std::string entry = Quote(t.Path("f"));
  std::string text;
  for (int i = 0; i < 50001; ++i) text += entry;  // 100,002 quotes
  SelectionList list;
  ASSERT_EQ(0, ParseParameterText(text, list));
  EXPECT_EQ(50000, list.count);
  EXPECT_EQ(50000u, list.paths.size());
  EXPECT_EQ(t.Path("f"), list.paths.back());
}

// The whole sequence with the parameter file beside the test program. One test
// function, so that parallel test processes never share the file.
TEST(LoadSelection, SequenceAndRefusals) {
  TempTree t;
  t.File("a.txt", "x");
  const std::string param = ParameterFilePath();
  const std::string readFailed = std::string("パラメータファイルの読み込みに失敗しました。　\n") +
                                 "エラー詳細：ファイル未定義" + "\n( " + param + " )";
  struct Case {
    const char* tail;
    bool writeFile;
    std::string content;
    int result;
    std::string message;
    bool fileRemains;
  } cases[] = {
      {"", true, Quote(t.Path("a.txt")), -1, "直接起動はできません　", true},
      {"LarkspanCall ", true, Quote(t.Path("a.txt")), -1, "直接起動はできません　", true},
      {"LarkspanCall", false, "", -1, readFailed, false},
      {"LarkspanCall", true, "", -1, "指定されたファイル・フォルダが0件です ", false},
      {"LarkspanCall", true, "\"lonely", -1, "指定されたファイル・フォルダが0件です ", false},
      {"LarkspanCall", true, Quote(t.Path("gone")), -1, "選択したファイル、またはフォルダが正しく認識できません ",
       false},
      {"LarkspanCall", true, Quote(t.Path("a.txt")) + Quote(t.Path("")), 0, "", false},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    RemoveTree(param);
    if (cases[i].writeFile) WriteBytes(param, cases[i].content);
    SelectionList list;
    std::string message;
    EXPECT_EQ(cases[i].result, LoadSelection(cases[i].tail, list, message)) << "case " << i;
    EXPECT_EQ(cases[i].message, message) << "case " << i;
    EXPECT_EQ(cases[i].fileRemains ? 0 : -1, PathExists(param)) << "case " << i;
    if (cases[i].result == 0) {
      EXPECT_EQ(2, list.count);
      EXPECT_EQ((std::vector<int>{0, 1}), list.kinds);
    }
  }
  RemoveTree(param);
}

}  // namespace
