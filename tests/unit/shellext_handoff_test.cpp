// The extension's side of the hand-off, portable part: the parameter file's
// exact bytes, what the program reads back from them, the files beside the
// library and the creation-failure message.
#include "shellext/handoff.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/launch.h"
#include "tests/support/hex.h"

namespace {

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C

TEST(BuildParameterText, ExactBytes) {
  struct Case {
    std::vector<std::string> paths;
    std::string expected;
  } const cases[] = {
      // Each path in quotes followed by one space, in list order; files and folders alike.
      {{"D:\\Data"}, std::string("\x22") + "D:\\Data" + "\x22\x20"},
      {{"C:\\a.txt", "C:\\dir", "C:\\b.txt"}, "\"C:\\a.txt\" \"C:\\dir\" \"C:\\b.txt\" "},
      // The example of the contract: 31 bytes.
      {{"D:\\Data\\a.txt", "D:\\My Photos"}, "\"D:\\Data\\a.txt\" \"D:\\My Photos\" "},
      {{"C:\\My Documents\\ a b .txt"}, "\"C:\\My Documents\\ a b .txt\" "},
      // Second bytes 0x5C ("表" 95 5C, "ソ" 83 5C) and a drive root's trailing backslash.
      {{"C:\\" + kHyo + "\\" + kSo, "D:\\"}, "\"C:\\" + kHyo + "\\" + kSo + "\" \"D:\\\" "},
      {{"C:\\\x95\x5C\\\x83\x5C.txt"}, "\x22\x43\x3A\x5C\x95\x5C\x5C\x83\x5C\x2E\x74\x78\x74\x22\x20"},
      // Duplicates are kept; UNC paths pass unchanged.
      {{"\\\\server\\share\\x", "\\\\server\\share\\x"}, "\"\\\\server\\share\\x\" \"\\\\server\\share\\x\" "},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string text = "old content";
    ASSERT_EQ(0, shellext::BuildParameterText(cases[i].paths, text)) << "case " << i;
    EXPECT_EQ(Hex(cases[i].expected), Hex(text)) << "case " << i;
  }
}

TEST(BuildParameterText, RefusesWhatCannotBeReadBack) {
  const std::vector<std::string> cases[] = {
      {}, {""}, {"C:\\a", ""}, {"C:\\a\"b"}, {"C:\\a", std::string("C:\\b\0c", 6)}};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string text = "old content";
    EXPECT_EQ(-1, shellext::BuildParameterText(cases[i], text)) << "case " << i;
    EXPECT_EQ("", text) << "case " << i;
  }
}

// What the extension writes, the program's reader gives back path by path.
TEST(BuildParameterText, ProgramReadsTheSamePathsBack) {
  const std::vector<std::string> paths = {
      "C:\\a.txt", "D:\\My Photos", "C:\\" + kHyo + kSo + "\\" + kSo + " " + kHyo, "E:\\", "\\\\srv\\share\\d",
  };
  std::string text;
  ASSERT_EQ(0, shellext::BuildParameterText(paths, text));
  std::string_view rest(text);
  for (size_t i = 0; i < paths.size(); ++i) {
    std::string path;
    ASSERT_EQ(0, TakeNextQuotedPath(rest, path)) << "entry " << i;
    EXPECT_EQ(Hex(paths[i]), Hex(path)) << "entry " << i;
  }
  std::string none;
  EXPECT_EQ(-1, TakeNextQuotedPath(rest, none));
  EXPECT_EQ(" ", std::string(rest));
}

TEST(ModuleDirectory, CutAfterTheLastSeparatorCharacter) {
  struct Case {
    std::string file;
    std::string dir;
  } const cases[] = {
      {"C:\\Users\\u\\AppData\\Local\\Larkspan\\LarkspanShell.dll", "C:\\Users\\u\\AppData\\Local\\Larkspan\\"},
      {"C:\\LarkspanShell.dll", "C:\\"}, {"C:/tools/LarkspanShell.dll", "C:/tools/"},
      {"\\\\server\\share\\x\\LarkspanShell.dll", "\\\\server\\share\\x\\"},
      // The second byte of "表" and "ソ" is 0x5C: never a separator.
      {"C:\\" + kHyo + "\\" + kSo + ".dll", "C:\\" + kHyo + "\\"},
      {"C:\\" + kSo + kHyo + "\\" + kHyo + kSo + "LarkspanShell.dll", "C:\\" + kSo + kHyo + "\\"},
      {"C:\\dir\\" + kHyo, "C:\\dir\\"}, {"LarkspanShell.dll", ""}, {kHyo + kSo, ""}, {"", ""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(Hex(cases[i].dir), Hex(shellext::ModuleDirectory(cases[i].file))) << "case " << i;
  }
}

TEST(HandOffPaths, BesideTheLibrary) {
  const std::string dir = "C:\\" + kHyo + "\\";
  EXPECT_EQ("C:\\" + kHyo + "\\Larkspan.exe", shellext::ProgramPath(dir));
  EXPECT_EQ("C:\\" + kHyo + "\\lkpara.dat", shellext::ParameterFilePath(dir));
}

TEST(CreateFailedMessage, ExactText) {
  const std::string path = "C:\\" + kSo + "\\lkpara.dat";
  const std::string expected = "パラメータファイルの作成に失敗しました。　\n\n書き込み権限等を確認してください。　\n（ " + path + " ）";
  EXPECT_EQ(Hex(expected), Hex(shellext::CreateFailedMessage(path)));
  // The full-width spaces and parentheses, and the half-width spaces inside them, as bytes.
  const std::string message = shellext::CreateFailedMessage("X");
  EXPECT_NE(std::string::npos, message.find("\x81\x40\n\n")) << Hex(message);
  EXPECT_EQ("\n\x81\x69 X \x81\x6A", message.substr(message.size() - 8)) << Hex(message);
}

}  // namespace
