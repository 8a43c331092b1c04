// The portable rules of core/ in tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/filter.h"
#include "core/launch.h"
#include "core/path_text.h"
#include "core/sjis.h"

namespace {

const std::string kHyo = "表", kSo = "ソ";  // 0x95 0x5C, 0x83 0x5C: second byte "\"

TEST(Sjis, SeparatorSearchSkipsSecondBytes) {
  struct Case { std::string s; size_t last; bool endsWith; } cases[] = {
      {"", core::sjis::npos, false}, {"a\\b", 1, false}, {"C:\\" + kHyo, 2, false}, {kHyo + kSo, core::sjis::npos, false},
      {"C:\\" + kSo + "\\", 5, true}, {"a\x95\x22\\", 3, true}, {"C:\\a\\\\", 5, true}, {"\x95", core::sjis::npos, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string& s = cases[i].s;
    EXPECT_EQ(std::to_string(cases[i].last) + "|" + std::to_string(cases[i].endsWith),
              std::to_string(core::sjis::FindLastChar(s, '\\')) + "|" + std::to_string(core::EndsWithBackslash(s))) << i;
  }
}

TEST(PathText, SplitAndShorten) {
  std::string longName;  // 300 bytes: the runtime's parts hold 255, cut between characters
  for (int i = 0; i < 150; ++i) longName += kHyo;
  struct Case { std::string path, split, shortForm; } cases[] = {
      {"C:\\Data\\Backup\\Daily", "C:|\\Data\\Backup\\|Daily|", " C:\\...\\Daily"},
      {"C:\\Daily", "C:|\\|Daily|", " C:\\Daily"}, {"C:\\Data\\", "C:|\\Data\\||", " C:\\Data\\"},
      {"C:\\", "C:|\\||", " C:\\"}, {"C:", "C:|||", " C:"},
      {"\\\\server\\share\\Daily", "|\\\\server\\share\\|Daily|", " \\...\\Daily"},
      {"C:\\Data\\.git", "C:|\\Data\\||.git", " C:\\Data\\.git"}, {"D:\\a\\v1.2", "D:|\\a\\|v1|.2", " D:\\...\\v1.2"},
      {"C:/a/b.c.d", "C:|/a/|b.c|.d", " C:\\...\\b.c.d"}, {"C:\\" + kHyo, "C:|\\|" + kHyo + "|", " C:\\" + kHyo},
      {"D:\\" + kHyo + "\\" + kSo, "D:|\\" + kHyo + "\\|" + kSo + "|", " D:\\...\\" + kSo},
      {"C:\\" + longName, "C:|\\|" + longName.substr(0, 254) + "|", " C:\\" + longName},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string drive, dir, name, ext, shortForm = cases[i].path;
    core::SplitPath(cases[i].path, drive, dir, name, ext);
    core::ShortenPath(shortForm);
    EXPECT_EQ(cases[i].split + "#" + cases[i].shortForm, drive + "|" + dir + "|" + name + "|" + ext + "#" + shortForm)
        << i;
  }
}

TEST(NumberText, SizesAndGroups) {
  struct Case { int64_t value; std::string size, grouped; } cases[] = {
      {-5, "0バイト", "-5"}, {0, "0バイト", "0"}, {1, "  1バイト", "1"}, {1000, "1000バイト", "1,000"},
      {1024, "1024バイト", "1,024"}, {1025, "1.00KB", "1,025"}, {10240, "10.0KB", "10,240"},
      {102400, "100KB", "102,400"}, {1048576, "1024KB", "1,048,576"}, {1048577, "1.00MB", "1,048,577"},
      {1073741824, "1024MB", "1,073,741,824"}, {1073741825, "1.00GB", "1,073,741,825"},
      {999999999999LL, "931GB", "999,999,999,999"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.size + "|" + c.grouped, core::FormatSizeText(c.value) + "|" + core::FormatGroupedNumber(c.value)) << c.value;
}

constexpr bool kTakes = true, kLeaves = false;

TEST(Filter, Decisions) {
  struct Case { bool folder; std::string in, out, name; bool expected; } cases[] = {
      {0, "*.txt;*.ini", "", "B.TXT", kTakes}, {0, "*.txt;*.ini", "", "setup.Ini", kTakes},
      {0, "*.txt;*.ini", "", "txt", kLeaves}, {0, "*.txt;*.ini", "", "a.txt.bak", kLeaves},
      {0, "*.*", "", "README", kTakes}, {0, " *.*", "", "README", kLeaves}, {0, "*.*x", "", "README", kLeaves},
      {0, "**.*", "", "README", kLeaves}, {0, "", "*.bak", "x.BAK", kLeaves}, {0, "", "*.bak", "x.bak.txt", kTakes},
      {0, ";", "", "a.txt", kLeaves}, {0, "", ";", "a.txt", kTakes}, {0, ";*.txt;;", "", "a.txt", kTakes},
      {0, "*.txt ;x", "", "a.txt", kLeaves}, {0, "*.txt", "*.txt", "a.txt", kTakes},
      {0, "*.txt", "", "d.txt\\file", kLeaves}, {0, "a*c", "", "AxyzC", kTakes}, {0, "?.txt", "", "表.txt", kLeaves},
      {0, "??.txt", "", "表.txt", kTakes}, {0, "*ソ", "", "表ソ", kTakes},
      // ダ is 0x83 0x5F ("_"), ヂ 0x83 0x61 ("a"), ア 0x83 0x41 ("A"): no letter matches a second byte.
      {0, "*_old", "", "ダold", kLeaves}, {0, "*_o?d", "", "ダold", kLeaves}, {0, "*_o?d", "", "x_old", kTakes},
      {0, "*a*", "", "ヂ", kLeaves}, {0, "ア", "", "ヂ", kLeaves}, {0, "ＡＢＣ.txt", "", "ａｂｃ.TXT", kTakes},
      {0, "*.ｔｘｔ", "", "a.txt", kLeaves}, {1, "Debug;Release", "", "Project", kLeaves},
      {1, "Debug;Release", "", "RELEASE", kTakes}, {1, "De*", "", "Debug", kLeaves}, {1, "De*", "", "de*", kTakes},
      {1, "", "obj", "OBJ", kLeaves}, {1, "", "obj", "objx", kTakes}, {1, "obj", "obj", "obj", kTakes},
      {1, "a", "", "", kLeaves}, {1, "", "a", "", kTakes}, {1, "my dir", "", "My Dir", kTakes},
      {0, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", "", std::string(300, 'a'), kLeaves},  // never exponential
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string path = "C:\\w\\" + c.name;
    core::FilterSet set(c.folder ? "" : c.in, c.folder ? "" : c.out, c.folder ? c.in : "", c.folder ? c.out : "");
    EXPECT_EQ(c.expected, c.folder ? core::CheckFolderFilter(path, set) : core::CheckFileFilter(path, set)) << i;
    // Files never meet the folder lists, folders never the file lists.
    EXPECT_EQ(kTakes, c.folder ? core::CheckFileFilter(path, set) : core::CheckFolderFilter(path, set)) << i;
  }
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "x;";
  // A million patterns tried without a decision take the item, include or exclude.
  EXPECT_EQ(kTakes, core::CheckFileFilter("a.doc", core::FilterSet(million + "*.txt", "", "", "")));
  EXPECT_EQ(kTakes, core::CheckFileFilter("a.doc", core::FilterSet("", million + "*.doc", "", "")));
  EXPECT_EQ(kLeaves, core::CheckFileFilter("a.doc", core::FilterSet(million.substr(4) + "*.txt", "", "", "")));
}

TEST(Launch, CommandLineQuotedPathsAndParameterText) {
  struct Tail { const char* line; std::string tail; bool token; } tails[] = {
      {"Larkspan.exe LarkspanCall", "LarkspanCall", true},
      {"\"C:\\P F\\表\\Larkspan.exe\"LarkspanCall", "LarkspanCall", true},
      {"Larkspan.exe   \tLarkspanCall ", "LarkspanCall ", false}, {"Larkspan.exe larkspancall", "larkspancall", false},
      {"L.exe \"LarkspanCall\"", "\"LarkspanCall\"", false}, {"x LarkspanCall y", "LarkspanCall y", false},
      {"L.exe", "", false},
  };
  for (size_t i = 0; i < std::size(tails); ++i) {
    EXPECT_EQ(tails[i].tail + "|" + std::to_string(tails[i].token),
              core::CommandLineTail(tails[i].line) + "|" + std::to_string(core::CheckLaunchToken(tails[i].tail))) << "tail " << i;
  }
  // 0x81 before a quote is no double-byte character; the last pair is empty and the rest, without quotes, stays.
  std::string text = "junk\"C:\\a b\" \"表\"\"\"\"\x81\" \"\"tail", got, path;
  std::string_view rest(text);
  while (core::TakeNextQuotedPath(rest, path)) got += "[" + path + "]";
  EXPECT_EQ("[C:\\a b][表][][\x81][]|tail", got + "|" + std::string(rest));
  // Paths, result, the parameter file's bytes.
  const struct { std::vector<std::string> paths; bool result; std::string text; } files[] = {
      {{"D:\\Data\\a.txt", "D:\\My Photos"}, true, "\"D:\\Data\\a.txt\" \"D:\\My Photos\" "},
      {{"C:\\" + kHyo + "\\" + kSo, "D:\\"}, true, "\"C:\\" + kHyo + "\\" + kSo + "\" \"D:\\\" "},
      {{}, false, ""}, {{"C:\\a", ""}, false, ""}, {{"C:\\a\"b"}, false, ""},
  };
  for (size_t i = 0; i < std::size(files); ++i) {
    std::string written = "old";
    EXPECT_EQ(std::to_string(files[i].result) + files[i].text,
              std::to_string(core::BuildParameterText(files[i].paths, written)) + written) << "file " << i;
  }
}

}  // namespace
