// One running instance per program file, end to end: a second start while the
// main window is open is refused with the second-instance message and leaves
// the running instance and the waiting parameter file alone; a copy under
// another name runs beside it; after the first has ended a new start works.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

const std::string kAlreadyRunning = "Larkspanは既に実行しています";

using Instance = MainWindowTest;

TEST_F(Instance, ASecondStartIsRefusedWhileTheFirstRuns) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("backups\\main");
  WriteSettings({Backups("main"), {{Backups("main")}}});
  Select({Data("a.txt")});
  Process first;
  HWND dialog = Start(first);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(WaitForTotals(dialog));

  // A new hand-off waits in the parameter file.
  const std::string waiting = "\"" + Data("a.txt") + "\" ";
  WriteBytes(ParameterFile(), waiting);
  struct Case {
    const char* what;
    std::string commandLine;
  } const cases[] = {
      {"started with the token", "\"" + Program() + "\" LarkspanCall"},
      // The instance check comes first: not the refusal of a direct start.
      {"started directly", "\"" + Program() + "\""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    Process second;
    std::string error;
    ASSERT_TRUE(second.Start(c.commandLine, tree_.root(), &error)) << error;
    Box box = AnswerBox(second.pid(), IDOK, kBoxAppearsMs);
    ASSERT_TRUE(box.shown) << "no second-instance message";
    EXPECT_EQ(kAlreadyRunning, box.text) << Readable(box.text);
    EXPECT_STREQ("exclamation", BoxIconName(box.icon));
    ExpectEnds(second);
    EXPECT_EQ(waiting, tree_.Read("prog\\lkpara.dat")) << "the second instance must not touch the parameter file";
    EXPECT_TRUE(::IsWindow(dialog)) << "the running instance must stay";
    EXPECT_FALSE(first.WaitExit(0));
  }

  // The same program under another file name has its own mutex.
  const std::string otherDir = tree_.Path("prog2");
  MakeFolders(otherDir);
  ASSERT_TRUE(::CopyFileA(Program().c_str(), (otherDir + "\\Backup2.exe").c_str(), FALSE));
  WriteBytes(otherDir + "\\lkpara.dat", waiting);
  Process other;
  std::string error;
  ASSERT_TRUE(other.Start("\"" + otherDir + "\\Backup2.exe\" LarkspanCall", tree_.root(), &error)) << error;
  HWND otherDialog = WaitForMainWindow(other.pid(), kWindowAppearsMs);
  ASSERT_TRUE(otherDialog) << "a differently named copy must run beside the first";
  PostClose(otherDialog);
  ExpectEnds(other);

  // Once the first has ended, the next start succeeds (the mutex went with it).
  PostClose(dialog);
  ExpectEnds(first);
  Process third;
  HWND thirdDialog = Start(third);
  ASSERT_TRUE(thirdDialog);
  EXPECT_EQ("1 個", ControlText(thirdDialog, kFileCount));
  PostClose(thirdDialog);
  ExpectEnds(third);
}

}  // namespace
}  // namespace e2e
