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
  const std::string dirs[][2] = {{"C:\\x\\y.dll", "C:\\x\\"}, {"C:/x/y.dll", "C:/x/"},
                                 {"C:\\" + hyo + "\\" + so, "C:\\" + hyo + "\\"}, {hyo + so, ""}};
  for (size_t i = 0; i < std::size(dirs); ++i) {
    EXPECT_EQ(dirs[i][1], shellext::ModuleDirectory(dirs[i][0])) << "case " << i;
  }
  EXPECT_EQ("C:\\" + hyo + "\\Larkspan.exe", shellext::ProgramPath("C:\\" + hyo + "\\"));
  EXPECT_EQ("C:\\" + hyo + "\\lkpara.dat", shellext::ParameterFilePath("C:\\" + hyo + "\\"));
}

}  // namespace
