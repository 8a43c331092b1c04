// The extension's portable hand-off: the parameter file's exact bytes and the
// files found beside the library.
#include "shellext/handoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HandOff, ParameterTextAndPaths) {
  const std::string hyo = "表", so = "ソ";  // second bytes 0x5C
  // Paths, result, the parameter file's bytes.
  const struct { std::vector<std::string> paths; int result; std::string text; } cases[] = {
      {{"D:\\Data\\a.txt", "D:\\My Photos"}, 0, "\"D:\\Data\\a.txt\" \"D:\\My Photos\" "},
      {{"C:\\" + hyo + "\\" + so, "D:\\"}, 0, "\"C:\\" + hyo + "\\" + so + "\" \"D:\\\" "},
      {{}, -1, ""}, {{"C:\\a", ""}, -1, ""}, {{"C:\\a\"b"}, -1, ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string text = "old";
    EXPECT_EQ(cases[i].result, shellext::BuildParameterText(cases[i].paths, text)) << "case " << i;
    EXPECT_EQ(cases[i].text, text) << "case " << i;
  }
  const std::wstring dirs[][2] = {{L"C:\\x\\y.dll", L"C:\\x\\"}, {L"C:/x/y.dll", L"C:/x/"},
                                  {L"C:\\Łukasz\\表\\y.dll", L"C:\\Łukasz\\表\\"}, {L"y.dll", L""}};
  for (size_t i = 0; i < std::size(dirs); ++i) {
    EXPECT_EQ(dirs[i][1], shellext::ModuleDirectory(dirs[i][0])) << "case " << i;
  }
  const std::wstring dir = dirs[2][1];  // a name with no Shift_JIS form
  EXPECT_EQ(dir + L"Larkspan.exe", shellext::ProgramPath(dir));
  EXPECT_EQ(dir + L"lkpara.dat", shellext::ParameterFilePath(dir));
}

}  // namespace
