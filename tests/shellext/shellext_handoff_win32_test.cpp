// The hand-off's Win32 part called directly (linked in, not loaded), where a
// step must fail that the disk will not fail on its own (a short write, a file
// that cannot be created, an unknown own folder); and the whole-path fetch of
// long drop-file entries.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/handoff_win32.h"
#include "tests/shellext/com_support.h"
#include "tests/support/temp_tree.h"

namespace {

using namespace shelltest;

// Removes the hook whatever happens to the test.
class FaultHookGuard {
 public:
  explicit FaultHookGuard(shellext::HandOffFaultHook hook) { shellext::SetHandOffFaultHook(hook); }
  ~FaultHookGuard() { shellext::SetHandOffFaultHook(nullptr); }
  FaultHookGuard(const FaultHookGuard&) = delete;
  FaultHookGuard& operator=(const FaultHookGuard&) = delete;
};

using shellext::HandOffStep;
DWORD FailWrite(HandOffStep step) { return step == HandOffStep::kWrite ? ERROR_DISK_FULL : 0; }
DWORD FailCreate(HandOffStep step) { return step == HandOffStep::kCreate ? ERROR_ACCESS_DENIED : 0; }

class HandOffDirectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tree_.root() + "\\";
    ASSERT_TRUE(::CopyFileA(BuiltStandIn().c_str(), (folder_ + "Larkspan.exe").c_str(), FALSE));
  }
  std::string ParameterFile() const { return folder_ + "lkpara.dat"; }

  TempTree tree_;
  std::string folder_;
};

TEST_F(HandOffDirectTest, WriteParameterFileReplacesWithExactlyTheText) {
  struct Case {
    std::string before;  // "" for no file
    std::string text;
  } const cases[] = {
      {"", "\"C:\\a\" "},
      {std::string(5000, 'x'), "\"C:\\b\" "},
      {"\"C:\\c\" ", "\"C:\\表\" \"C:\\ソ\" "},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    ::DeleteFileA(ParameterFile().c_str());
    if (!cases[i].before.empty()) WriteBytes(ParameterFile(), cases[i].before);
    DWORD error = 0xDEADBEEF;
    EXPECT_EQ(0, shellext::WriteParameterFile(ParameterFile(), cases[i].text, error)) << "case " << i;
    EXPECT_EQ(Hex(cases[i].text), Hex(ReadBytes(ParameterFile()))) << "case " << i;
  }
  ::DeleteFileA(ParameterFile().c_str());
  ASSERT_TRUE(::CreateDirectoryA(ParameterFile().c_str(), nullptr));
  DWORD error = 0;
  EXPECT_EQ(-1, shellext::WriteParameterFile(ParameterFile(), "\"C:\\a\" ", error));
  EXPECT_NE(0u, error) << "the system's reason comes back";
  ::RemoveDirectoryA(ParameterFile().c_str());
}

// A failed write (a full disk) or creation is not taken for success, and
// without its own folder the library does not fall back on the caller's
// current folder: the creation message, nothing written, nothing started.
TEST_F(HandOffDirectTest, FailedWriteIsReportedAndNothingStarts) {
  struct Case {
    shellext::HandOffFaultHook hook;
    bool ownFolder;
  } const cases[] = {{FailWrite, true}, {FailCreate, true}, {nullptr, false}};
  char current[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, current);
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    ::DeleteFileA(ParameterFile().c_str());
    FaultHookGuard guard(cases[i].hook);
    DropDataObject data({"C:\\a", "C:\\b"});
    BoxCatcher boxes;
    ASSERT_TRUE(::SetCurrentDirectoryA(folder_.c_str()));
    EXPECT_EQ(S_OK, shellext::HandOff(&data, cases[i].ownFolder ? folder_ : "")) << "case " << i;
    ::SetCurrentDirectoryA(current);
    ASSERT_EQ(1u, boxes.boxes().size()) << "case " << i;
    const std::string path = cases[i].ownFolder ? ParameterFile() : "lkpara.dat";
    EXPECT_EQ(Hex(CreateFailedText(path)), Hex(boxes.boxes()[0].text)) << "case " << i;
    if (!cases[i].ownFolder) {
      EXPECT_EQ("<missing>", ReadBytes(ParameterFile())) << "case " << i;
    }
    EXPECT_FALSE(WaitForStandIn(folder_, kNotStartedMs).started) << "case " << i;
  }
}

// Every entry comes whole, whatever its length: a path cut to a fixed buffer
// would name another file or folder, or none.
TEST(CollectDropPaths, LongPathsComeWhole) {
  const std::string deep = "C:\\" + std::string(250, 'a') + "\\表" + std::string(40, 'b') + ".txt";
  const std::vector<std::string> paths = {"C:\\x", deep, std::string(259, 'c'), std::string(260, 'd'),
                                          std::string(261, 'e')};
  for (auto kind : {DropDataObject::Kind::kAnsi, DropDataObject::Kind::kWide}) {
    DropDataObject data(paths, kind);
    std::vector<std::string> got;
    ASSERT_EQ(S_OK, shellext::CollectDropPaths(&data, got));
    ASSERT_EQ(paths.size(), got.size());
    for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(Hex(paths[i]), Hex(got[i])) << "entry " << i;
    EXPECT_EQ(1, data.givenBack());
    EXPECT_EQ(0, data.givenBackLocked());
  }
}

TEST(CollectDropPaths, NothingToCollect) {
  std::vector<std::string> got = {"stale"};
  EXPECT_EQ(E_INVALIDARG, shellext::CollectDropPaths(nullptr, got));
  EXPECT_TRUE(got.empty());
  DropDataObject none({"C:\\a"}, DropDataObject::Kind::kNoDropList);
  EXPECT_EQ(E_INVALIDARG, shellext::CollectDropPaths(&none, got));
  DropDataObject empty({});
  EXPECT_EQ(E_INVALIDARG, shellext::CollectDropPaths(&empty, got));
  EXPECT_EQ(1, empty.givenBack());
  EXPECT_EQ(0, empty.givenBackLocked());
}

TEST(ModuleFileNameOf, OwnProgramWhole) {
  char expected[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, expected, MAX_PATH);
  EXPECT_EQ(std::string(expected, n), shellext::ModuleFileNameOf(nullptr));
}

}  // namespace
