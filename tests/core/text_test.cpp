// Shift_JIS stepping, path and number texts, wildcards and filters: tables.
#include <gtest/gtest.h>

#include "engine/fileutil.h"
#include "engine/filter.h"
#include "platform/native_path.h"
#include "platform/sjis.h"

namespace {

const std::string kHyo = "表", kSo = "ソ";  // 0x95 0x5C, 0x83 0x5C: second byte "\"

TEST(Sjis, SeparatorSearchSkipsSecondBytes) {
  struct Case { std::string s; size_t last; bool endsWith; } cases[] = {
      {"", sjis::npos, false}, {"a\\b", 1, false}, {"C:\\" + kHyo, 2, false}, {kHyo + kSo, sjis::npos, false},
      {"C:\\" + kSo + "\\", 5, true}, {"a\x95\x22\\", 3, true}, {"C:\\a\\\\", 5, true}, {"\x95", sjis::npos, false},
  };
  ASSERT_EQ(std::string("\x95\x5C"), kHyo);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string& s = cases[i].s;
    EXPECT_EQ(std::to_string(cases[i].last) + (cases[i].endsWith ? "|0" : "|-1"),
              std::to_string(sjis::FindLastChar(s, '\\')) + "|" + std::to_string(EndsWithBackslash(s))) << "case " << i;
  }
}

// Native paths on Windows: code page 932 without best fit, and the long form the wide functions get.
TEST(NativePath, ShiftJisFormAndLongForm) {
#ifndef _WIN32
  GTEST_SKIP() << "the native path is the Shift_JIS path itself";
#else
  struct Case { std::wstring native; std::string sjis; bool exact; } names[] = {
      {L"C:\\表\\ソ", "C:\\" + kHyo + "\\" + kSo, true}, {L"Caf\u00E9", "Caf?", false}, {L"a\u00A5b", "a?b", false},
      {L"\u301C\uD55C", "??", false}, {L"trail. ", "trail. ", true}};
  for (size_t i = 0; i < std::size(names); ++i) {
    bool exact = !names[i].exact;
    EXPECT_EQ(names[i].sjis, plat::FromNative(names[i].native, &exact)) << i;
    EXPECT_EQ(names[i].exact, exact) << i;
    EXPECT_TRUE(!exact || names[i].native == plat::ToNative(names[i].sjis)) << i;
  }
  struct Form { std::wstring path, longForm; } forms[] = {
      {L"C:\\a. \\b", L"\\\\?\\C:\\a. \\b"}, {L"c:/a/b", L"\\\\?\\c:\\a\\b"}, {L"\\\\srv\\sh\\x", L"\\\\?\\UNC\\srv\\sh\\x"},
      {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"}, {L"rel\\x", L"rel\\x"}, {L"C:x", L"C:x"}, {L"", L""},
      {L"C:\\a\\..\\b", L"C:\\a\\..\\b"}, {L"C:\\a\\\\b", L"C:\\a\\\\b"}, {L"C:\\a\\", L"\\\\?\\C:\\a\\"}};
  for (size_t i = 0; i < std::size(forms); ++i)
    EXPECT_EQ(plat::FromNative(forms[i].longForm), plat::FromNative(plat::LongPathForm(forms[i].path))) << i;
#endif
}

TEST(PathText, SplitShortenAndLastComponent) {
  std::string longName;  // 300 bytes: the runtime's parts hold 255, cut between characters
  for (int i = 0; i < 150; ++i) longName += kHyo;
  struct Case { std::string path, split, shortForm, last; } cases[] = {
      {"C:\\Data\\Backup\\Daily", "C:|\\Data\\Backup\\|Daily|", " C:\\...\\Daily", "Daily"},
      {"C:\\Daily", "C:|\\|Daily|", " C:\\Daily", "Daily"},
      {"C:\\Data\\", "C:|\\Data\\||", " C:\\Data\\", ""},
      {"C:\\", "C:|\\||", " C:\\", ""},
      {"C:", "C:|||", " C:", "C:"},
      {"\\\\server\\share\\Daily", "|\\\\server\\share\\|Daily|", " \\...\\Daily", "Daily"},
      {"C:\\Data\\.git", "C:|\\Data\\||.git", " C:\\Data\\.git", ".git"},
      {"D:\\a\\v1.2", "D:|\\a\\|v1|.2", " D:\\...\\v1.2", "v1.2"},
      {"C:/a/b.c.d", "C:|/a/|b.c|.d", " C:\\...\\b.c.d", "C:/a/b.c.d"},
      {"C:\\" + kHyo, "C:|\\|" + kHyo + "|", " C:\\" + kHyo, kHyo},
      {"D:\\" + kHyo + "\\" + kSo, "D:|\\" + kHyo + "\\|" + kSo + "|", " D:\\...\\" + kSo, kSo},
      {"C:\\" + longName, "C:|\\|" + longName.substr(0, 254) + "|", " C:\\" + longName, longName},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string drive, dir, name, ext, shortForm = cases[i].path, last = "junk";
    EXPECT_EQ(0, SplitPath(cases[i].path, drive, dir, name, ext) + ShortenPath(shortForm));
    GetLastComponent(cases[i].path, last);
    EXPECT_EQ(cases[i].split + "#" + cases[i].shortForm + "#" + cases[i].last,
              drive + "|" + dir + "|" + name + "|" + ext + "#" + shortForm + "#" + last) << "case " << i;
  }
}

TEST(NumberText, SizesGroupsAndCounts) {
  struct Case { int64_t value; std::string size, grouped; } cases[] = {
      {-5, "0バイト", "-5"}, {0, "0バイト", "0"}, {1, "  1バイト", "1"}, {999, "999バイト", "999"},
      {1000, "1000バイト", "1,000"}, {1024, "1024バイト", "1,024"}, {1025, "1.00KB", "1,025"},
      {1536, "1.50KB", "1,536"}, {10240, "10.0KB", "10,240"}, {102400, "100KB", "102,400"},
      {1048576, "1024KB", "1,048,576"}, {1048577, "1.00MB", "1,048,577"}, {15728640, "15.0MB", "15,728,640"},
      {1073741824, "1024MB", "1,073,741,824"}, {1073741825, "1.00GB", "1,073,741,825"},
      {999999999999LL, "931GB", "999,999,999,999"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].size + "|" + cases[i].grouped, FormatSizeText(cases[i].value) + "|" +
              FormatGroupedNumber(cases[i].value)) << "case " << i;
  }
  struct Count { std::string text, sub; int expected; } counts[] = {
      {"no quotes", "\"", 0}, {"\"a\" \"b\" ", "\"", 4}, {"aaa", "aa", 2}, {std::string("\"x\"\0\"", 4), "\"", 2},
      {std::string(250000, '"'), "\"", 250000}, {"abc", "", 0},
  };
  for (size_t i = 0; i < std::size(counts); ++i) {
    int count = -1;
    EXPECT_EQ(counts[i].expected, (CountOccurrences(counts[i].text, counts[i].sub, count), count)) << "count " << i;
  }
}

TEST(MatchWildcard, ByteWiseAndCaseSensitive) {
  struct Case { const char* pattern; std::string text; int expected; } cases[] = {
      {"*.txt", "a.txt", 1}, {"*.txt", "a.TXT", 0}, {"?", "", 0}, {"*", "", 1}, {"", "a", 0}, {"a*b*c", "abcbc", 1},
      {"a*b*c", "aXbY", 0}, {"*ab", "aab", 1}, {"a?c", "ac", 0}, {"?.txt", kHyo + ".txt", 0},
      {"??.txt", kHyo + ".txt", 1}, {"*.*", "noext", 0},  // reading "*.*" as "*" is the callers' rule
      {"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(300, 'a'), 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].expected, MatchWildcard(cases[i].pattern, cases[i].text)) << "case " << i;
  }
}

constexpr int kTakes = 0, kLeaves = -1;

TEST(Filter, Decisions) {
  struct Case { bool folder; std::string in, out, name; int expected; } cases[] = {
      {0, "*.txt;*.ini", "", "B.TXT", kTakes}, {0, "*.txt;*.ini", "", "setup.Ini", kTakes},
      {0, "*.txt;*.ini", "", "txt", kLeaves}, {0, "*.txt;*.ini", "", "a.txt.bak", kLeaves},
      {0, "*.*", "", "README", kTakes}, {0, "*", "", "README", kTakes}, {0, " *.*", "", "README", kLeaves},
      {0, "*.*x", "", "README", kLeaves}, {0, "**.*", "", "README", kLeaves}, {0, "", "*.bak", "x.BAK", kLeaves},
      {0, "", "*.bak", "x.bak.txt", kTakes}, {0, ";", "", "a.txt", kLeaves}, {0, "", ";", "a.txt", kTakes},
      {0, ";*.txt;;", "", "a.txt", kTakes}, {0, "*.txt ;x", "", "a.txt", kLeaves},
      {0, "*.txt", "*.txt", "a.txt", kTakes},
      {0, "*.txt", "", "d.txt\\file", kLeaves}, {0, "a*c", "", "AxyzC", kTakes}, {0, "?.txt", "", "表.txt", kLeaves},
      {0, "??.txt", "", "表.txt", kTakes}, {0, "??", "", "表", kTakes}, {0, "*ソ", "", "表ソ", kTakes},
      // ダ is 0x83 0x5F ("_"), ヂ 0x83 0x61 ("a"), ア 0x83 0x41 ("A"): no letter matches a second byte.
      {0, "*_old", "", "x_old", kTakes}, {0, "*_old", "", "ダold", kLeaves}, {0, "*_o?d", "", "ダold", kLeaves},
      {0, "*_o?d", "", "x_old", kTakes}, {0, "*a*", "", "ヂ", kLeaves}, {0, "ア", "", "ヂ", kLeaves},
      {0, "ＡＢＣ.txt", "", "ａｂｃ.TXT", kTakes}, {0, "*.ｔｘｔ", "", "a.txt", kLeaves},
      {1, "Debug;Release", "", "Project", kLeaves}, {1, "Debug;Release", "", "RELEASE", kTakes},
      {1, "De*", "", "Debug", kLeaves}, {1, "De*", "", "de*", kTakes}, {1, "", "obj", "OBJ", kLeaves},
      {1, "", "obj", "objx", kTakes}, {1, "obj", "obj", "obj", kTakes}, {1, "a", "", "", kLeaves},
      {1, "", "a", "", kTakes}, {1, "", "", "x", kTakes}, {1, "my dir", "", "My Dir", kTakes},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string path = "C:\\w\\" + c.name;
    FilterSet set(c.folder ? "" : c.in, c.folder ? "" : c.out, c.folder ? c.in : "", c.folder ? c.out : "");
    EXPECT_EQ(c.expected, c.folder ? CheckFolderFilter(path, set) : CheckFileFilter(path, set)) << "case " << i;
    // Files never meet the folder lists, folders never the file lists.
    EXPECT_EQ(kTakes, c.folder ? CheckFileFilter(path, set) : CheckFolderFilter(path, set)) << "case " << i;
  }
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "x;";
  // A million patterns tried without a decision take the item, include or exclude.
  EXPECT_EQ(kTakes, CheckFileFilter("a.doc", FilterSet(million + "*.txt", "", "", "")));
  EXPECT_EQ(kTakes, CheckFileFilter("a.doc", FilterSet("", million + "*.doc", "", "")));
  EXPECT_EQ(kLeaves, CheckFileFilter("a.doc", FilterSet(million.substr(4) + "*.txt", "", "", "")));
  EXPECT_TRUE(FilterSet().IsEmpty());
}

}  // namespace
