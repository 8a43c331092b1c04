// The extension's portable hand-off: the files found beside the library.
#include "shellext/handoff.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HandOff, PathsBesideTheLibrary) {
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
