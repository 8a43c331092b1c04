// The about box, the version box of the system menu and the help command end
// to end: their controls, every way to close them, the web button that ends
// the program as its cancel button does, and the help viewer with and
// without the help file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

constexpr int kAbout = 32771;
constexpr int kHelp = 32775;
constexpr int kWebButton = 1009;
const std::string kVersionTitle = "Larkspanのﾊﾞｰｼﾞｮﾝ情報";
const std::string kHelpTitle = "Larkspan ヘルプ";

class Boxes : public MainWindowTest {
 protected:
  // Starts the program with a usable backup folder and waits for its totals;
  // nullptr (and a failure) if it did not get there.
  HWND StartReady(Process& program) {
    tree_.File("data\\a.txt", "a");
    tree_.Folder("backups\\A");
    return StartCounted(program, {Backups("A"), {{Backups("A")}}}, {Data("a.txt")});
  }
};

TEST_F(Boxes, TheVersionBoxAndTheAboutBoxWithItsWebButton) {
  Process program;
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  // The system menu's version item's command is 16; the low four bits are the system's to use.
  for (WPARAM command : {0x10, 0x11, 0x1F}) {
    SCOPED_TRACE(testing::Message() << "system command " << command);
    ::PostMessageA(main, WM_SYSCOMMAND, command, 0);
    HWND box = WaitForDialog(program.pid(), kVersionTitle, IDOK, kBoxAppearsMs);
    ASSERT_TRUE(box) << "no version box";
    EXPECT_EQ("", CompareWithTemplate(box, 235, 55,
                                      {{-1, "Static", "", 11, 17, 20, 20, false},
                                       {-1, "Static", "Larkspan Version 1.0", 40, 10, 119, 8, false},
                                       {-1, "Static", "Copyright (C) Larkspan", 40, 25, 119, 8, false},
                                       {IDOK, "Button", "OK", 178, 7, 50, 14, true}}));
    ASSERT_TRUE(ClickButton(box, IDOK));
    EXPECT_TRUE(WaitGone(box, kBoxAppearsMs));
  }
  // The system's own commands keep their meaning: 0x20 is no version box.
  ::PostMessageA(main, WM_SYSCOMMAND, 0x20, 0);
  EXPECT_FALSE(WaitForDialog(program.pid(), kVersionTitle, IDOK, kQuietMs));
  // Each way to close the box but the web button leaves the program running.
  struct Close {
    const char* how;
    UINT message;
    WPARAM wParam;
  } const closes[] = {
      {"OK", WM_COMMAND, IDOK},
      {"Enter", WM_KEYDOWN, VK_RETURN},
      {"Esc", WM_KEYDOWN, VK_ESCAPE},
      {"close box", WM_CLOSE, 0},
  };
  for (const Close& c : closes) {
    SCOPED_TRACE(c.how);
    PostMenuCommand(main, kAbout);
    HWND about = WaitForDialog(program.pid(), "Larkspan", kWebButton, kBoxAppearsMs);
    ASSERT_TRUE(about) << "no about box";
    EXPECT_EQ("", CompareWithTemplate(about, 187, 85,
                                      {{-1, "Static", "", 7, 7, 20, 20, false},
                                       {-1, "Static", "Larkspan　Version 1.00", 38, 7, 112, 15, false},
                                       {-1, "Static", "Copyright (C) Larkspan", 38, 27, 112, 15, false},
                                       {kWebButton, "Button", "https://larkspan.example.jp/", 50, 45, 86, 13, true},
                                       {IDOK, "Button", "OK", 130, 64, 50, 14, true}}));
    EXPECT_EQ(IDOK, WaitForFocus(about, IDOK, 2000));
    ::PostMessageA(c.message == WM_KEYDOWN ? ::GetDlgItem(about, IDOK) : about, c.message, c.wParam, 0);
    EXPECT_TRUE(WaitGone(about, kBoxAppearsMs));
    EXPECT_FALSE(program.WaitExit(kQuietMs)) << "the program ended";
    EXPECT_TRUE(IsControlEnabled(main, kStart));
  }
  // The web button opens its caption (whatever comes of it), closes the box
  // and ends the program as the cancel button does, saving the settings.
  ::DeleteFileA(Ini().c_str());
  PostMenuCommand(main, kAbout);
  HWND about = WaitForDialog(program.pid(), "Larkspan", kWebButton, kBoxAppearsMs);
  ASSERT_TRUE(about);
  ASSERT_TRUE(ClickButton(about, kWebButton));
  ExpectEnds(program);
  EXPECT_EQ(Backups("A"), IniValue("Backup", "BackupFolder"));
}

// --- Help --------------------------------------------------------------------

// The help file as the build makes it: beside the built program.
std::string BuiltHelpFile() {
  const std::string program = BuiltProgram();
  return program.substr(0, program.rfind('\\')) + "\\Larkspan.chm";
}

// The visible top-level window captioned title, of any process, polled for at
// most timeoutMs.
HWND WaitForWindowTitled(const std::string& title, DWORD timeoutMs) {
  HWND window = nullptr;
  Poll([&] { return (window = ::FindWindowA(nullptr, title.c_str())) && ::IsWindowVisible(window); }, timeoutMs);
  return window && ::IsWindowVisible(window) ? window : nullptr;
}

// Closes a window of another process and makes sure that process ends.
void CloseProcessOf(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  ::PostMessageA(window, WM_CLOSE, 0, 0);
  if (!process) return;
  if (::WaitForSingleObject(process, kBoxAppearsMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the help viewer did not close";
    ::TerminateProcess(process, 99);
    ::WaitForSingleObject(process, kBoxAppearsMs);
  }
  ::CloseHandle(process);
}

TEST_F(Boxes, HelpWithAndWithoutTheHelpFile) {
  const std::string help = installDir_ + "\\Larkspan.chm";
  ASSERT_TRUE(::CopyFileA(BuiltHelpFile().c_str(), help.c_str(), FALSE)) << BuiltHelpFile();
  Process program;
  HWND main = StartReady(program);
  ASSERT_TRUE(main);

  // Present: the viewer opens it; the program does not wait for it.
  PostMenuCommand(main, kHelp);
  HWND viewer = WaitForWindowTitled(kHelpTitle, 15000);
  ASSERT_TRUE(viewer) << "no help viewer showed " << Readable(kHelpTitle);
  DWORD viewerPid = 0;
  ::GetWindowThreadProcessId(viewer, &viewerPid);
  EXPECT_NE(program.pid(), viewerPid);
  EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
  EXPECT_TRUE(IsControlEnabled(main, kStart));
  CloseProcessOf(viewer);

  // Missing: one message, and the program goes on.
  ASSERT_TRUE(::DeleteFileA(help.c_str()));
  PostMenuCommand(main, kHelp);
  ExpectBox(program, IDOK, "ヘルプが見つかりません　", "exclamation");
  EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
  EXPECT_TRUE(IsControlEnabled(main, kStart));
  // The system menu's close command ends the program.
  ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectEnds(program);
}

}  // namespace
}  // namespace e2e
