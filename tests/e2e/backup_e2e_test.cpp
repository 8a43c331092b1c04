// A whole backup in the real main window, end to end: the start button, the
// verdict, the zero-files question, cancel during the count and during the
// copy, a missing backup folder, and the extended menu's open-folder command.
// The destination is checked on disk afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

const std::string kSucceeded = "バックアップが正常終了しました。　\n\nバックアップフォルダ：\n  ";
const std::string kSucceededSubFolder = "  \n\nバックアップフォルダの配下に作成したフォルダ：　　\n  ";
const std::string kCancelled = "バックアップがキャンセルされました　";
const std::string kZeroFiles = "バックアップの対象となるファイルが0件です。バックアップ開始しますか？　";
const std::string kBackupFolderMissing = "バックアップフォルダが存在しません。　\n( ";
const std::string kOpenUnusable = "バックアップフォルダが未設定か、または存在しません。　\n( ";
const std::string kMissingLabel = " << エラー：存在しない >>";

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Mismatch(int64_t sourceFiles, int64_t sourceBytes, int64_t destFiles, int64_t destBytes) {
  return "【バックアップ終了後の確認チェックで検出】\n\nバックアップが正常に終了できませんでした。　　　　\n"
         "バックアップ元とバックアップ先の、ファイル数またはサイズが異なります。　\n\n"
         "・バックアップ元ファイル数　：　" + Grouped(sourceFiles) + "　\n・バックアップ元サイズ　：　" +
         Grouped(sourceBytes) + "バイト　\n\n・バックアップ先ファイル数　：　" + Grouped(destFiles) +
         "　\n・バックアップ先サイズ　：　" + Grouped(destBytes) + "バイト　";
}

// True if name has the form of a backup sub-folder: ２０２４／０３／０５＿０９：４１：２７.
bool IsStampName(const std::string& name) {
  const std::string shape = "９９９９／９９／９９＿９９：９９：９９", digits = "０１２３４５６７８９";
  if (name.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); i += 2) {
    const std::string c = name.substr(i, 2);
    const size_t at = digits.find(c);
    if (shape.compare(i, 2, "９") == 0 ? at == std::string::npos || at % 2 != 0 : shape.compare(i, 2, c) != 0) {
      return false;
    }
  }
  return true;
}

using Backup = MainWindowTest;

TEST_F(Backup, AWholeBackupEndsWithTheSuccessMessage) {
  // Names with spaces and with characters whose second byte is 0x5C.
  tree_.File("data\\a.txt", "alpha");
  tree_.File("data\\写真 2024\\IMG_0001.jpg", std::string(3000, 'j'));
  tree_.File("data\\写真 2024\\夏\\IMG_0002.jpg", std::string(4500, 'k'));
  tree_.Folder("data\\写真 2024\\空");
  tree_.File("data\\表ソ\\能.txt", "nou");
  tree_.Folder("backups\\main");
  const std::string main = Backups("main");
  Process program;
  HWND dialog = StartCounted(program, {main, {{main}}}, {Data("a.txt"), Data("写真 2024"), Data("表ソ")});
  ASSERT_TRUE(dialog);
  EXPECT_EQ("4", ControlText(dialog, kTotalFiles));
  EXPECT_EQ("7.33KB", ControlText(dialog, kTotalSize)) << Readable(ControlText(dialog, kTotalSize));

  ASSERT_TRUE(ClickButton(dialog, kStart));
  HWND box = WaitForMessageBox("Larkspan", program.pid(), kBoxAppearsMs);
  ASSERT_TRUE(box) << "no verdict";
  // While the verdict shows, the window shows the finished run.
  EXPECT_TRUE(IsControlVisible(dialog, kProgress));
  EXPECT_FALSE(IsControlEnabled(dialog, kStart));
  EXPECT_FALSE(IsControlEnabled(dialog, kMenuButton));
  EXPECT_TRUE(IsControlEnabled(dialog, kCancel));
  EXPECT_EQ(4, ProgressPos(dialog));
  const std::vector<std::string> made = List(main);
  ASSERT_EQ(1u, made.size());
  const std::string stamp = made[0];
  EXPECT_TRUE(IsStampName(stamp)) << Readable(stamp);
  EXPECT_EQ(kSucceeded + main + kSucceededSubFolder + stamp, MessageBoxText(box)) << Readable(MessageBoxText(box));
  EXPECT_STREQ("information", BoxIconName(IdentifyMessageBoxIcon(box, 3000)));
  ASSERT_TRUE(PressButton(box, IDOK, 3000));
  ExpectEnds(program);

  const std::string copy = "backups\\main\\" + stamp + "\\";
  EXPECT_EQ((std::vector<std::string>{"a.txt", "写真 2024", "表ソ"}), List(Backups("main\\" + stamp)));
  EXPECT_EQ("alpha", tree_.Read(copy + "a.txt"));
  EXPECT_EQ(std::string(3000, 'j'), tree_.Read(copy + "写真 2024\\IMG_0001.jpg"));
  EXPECT_EQ(std::string(4500, 'k'), tree_.Read(copy + "写真 2024\\夏\\IMG_0002.jpg"));
  EXPECT_TRUE(tree_.Exists(copy + "写真 2024\\空"));
  EXPECT_EQ("nou", tree_.Read(copy + "表ソ\\能.txt"));
  EXPECT_EQ(main, IniValue("Backup", "BackupFolder"));
  EXPECT_EQ("1.00", IniValue("Base", "VL"));
}

TEST_F(Backup, EndMsgZeroFinishesWithoutAMessage) {
  tree_.File("data\\a.txt", "alpha");
  tree_.Folder("backups\\main");
  Process program;
  HWND dialog = StartCounted(program, {Backups("main"), {{Backups("main")}}, 0}, {Data("a.txt")});
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(ClickButton(dialog, kStart));
  // The program ends by itself about half a second after the copy, silently.
  const DWORD clicked = ::GetTickCount();
  while (!program.WaitExit(50)) {
    ASSERT_TRUE(NoBoxWithin(program.pid(), 0)) << "a message appeared: "
                                               << Readable(MessageBoxText(WaitForMessageBox("Larkspan", 0, 0)));
    ASSERT_LT(::GetTickCount() - clicked, kProgramEndsMs) << "the program did not end";
  }
  EXPECT_GE(::GetTickCount() - clicked, 400u) << "the finished window stands for half a second";
  const std::vector<std::string> made = List(Backups("main"));
  ASSERT_EQ(1u, made.size());
  EXPECT_EQ("alpha", tree_.Read("backups\\main\\" + made[0] + "\\a.txt"));
}

TEST_F(Backup, ZeroFilesQuestionAnsweredNoThenYes) {
  // Nothing passes the filter: the selected folders hold only .dat files.
  tree_.SizedFile("data\\numbers\\n.dat", 100);
  tree_.Folder("data\\numbers\\inner");
  tree_.Folder("data\\empty");
  tree_.Folder("backups\\main");
  const std::string main = Backups("main");
  Process program;
  HWND dialog = StartCounted(program, {main, {{main, "*.txt"}}}, {Data("numbers"), Data("empty")});
  ASSERT_TRUE(dialog);
  EXPECT_EQ("0", ControlText(dialog, kTotalFiles));

  ASSERT_TRUE(ClickButton(dialog, kStart));
  ExpectBox(program, IDNO, kZeroFiles, "question");
  EXPECT_FALSE(program.WaitExit(300)) << "No keeps the window open";
  EXPECT_EQ(0u, List(main).size()) << "No creates nothing";
  EXPECT_TRUE(IsControlEnabled(dialog, kStart));

  ASSERT_TRUE(ClickButton(dialog, kStart));
  ExpectBox(program, IDYES, kZeroFiles);
  // Yes: the folders are made without files, and both totals are 0.
  HWND verdict = WaitForMessageBox("Larkspan", program.pid(), kBoxAppearsMs);
  ASSERT_TRUE(verdict);
  const std::vector<std::string> made = List(main);
  ASSERT_EQ(1u, made.size());
  EXPECT_EQ(kSucceeded + main + kSucceededSubFolder + made[0], MessageBoxText(verdict))
      << Readable(MessageBoxText(verdict));
  ASSERT_TRUE(PressButton(verdict, IDOK, 3000));
  ExpectEnds(program);
  EXPECT_EQ((std::vector<std::string>{"empty", "numbers"}), List(Backups("main\\" + made[0])));
  EXPECT_EQ((std::vector<std::string>{"inner"}), List(Backups("main\\" + made[0] + "\\numbers")));
}

TEST_F(Backup, MissingBackupFolder) {
  tree_.File("data\\a.txt", "alpha");
  struct Case {
    const char* what;
    bool removedWhileOpen;
  } const cases[] = {
      {"missing from the start", false},
      {"removed after the totals were shown", true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    const std::string folder = Backups("gone" + std::to_string(i));
    if (c.removedWhileOpen) MakeFolders(folder);
    Process program;
    HWND dialog = StartCounted(program, {folder, {{folder}}}, {Data("a.txt")});
    ASSERT_TRUE(dialog);
    if (c.removedWhileOpen) {
      EXPECT_EQ("1", ControlText(dialog, kTotalFiles));
      RemoveTree(folder);
    } else {
      EXPECT_EQ(kMissingLabel, ControlText(dialog, kBackupFolder)) << Readable(ControlText(dialog, kBackupFolder));
      EXPECT_EQ("", ControlText(dialog, kTotalFiles));
      EXPECT_EQ("", ControlText(dialog, kTotalSize));
      // A folder that is set but missing is not the "set one up first" case.
      EXPECT_TRUE(NoBoxWithin(program.pid(), 300));
    }
    ASSERT_TRUE(ClickButton(dialog, kStart));
    ExpectBox(program, IDOK, kBackupFolderMissing + folder + " )", "exclamation");
    EXPECT_FALSE(program.WaitExit(200)) << "the window stays";

    PostMenuCommand(dialog, kOpenBackupFolder);
    ExpectBox(program, IDOK, kOpenUnusable + folder + " )", "exclamation");
    EXPECT_FALSE(program.WaitExit(200)) << "the window stays";
    EXPECT_FALSE(tree_.Exists("backups\\gone" + std::to_string(i)));
    PostClose(dialog);
    ExpectEnds(program);
  }
}

using FolderWindowSearch = std::pair<const std::string*, std::vector<HWND>>;

BOOL CALLBACK VisitFolderWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<FolderWindowSearch*>(param);
  if (::IsWindowVisible(window) && Caption(window).find(*search->first) != std::string::npos) {
    search->second.push_back(window);
  }
  return TRUE;
}

// Waits for the shell's windows whose caption holds name (the opened folder's
// name) and closes them as their user would (never by ending a process: the
// shell's desktop may share it); the number of windows found.
int CloseFolderWindows(const std::string& name, DWORD timeoutMs) {
  FolderWindowSearch search(&name, {});
  std::vector<HWND>& windows = search.second;
  Poll([&] { return ::EnumWindows(VisitFolderWindow, reinterpret_cast<LPARAM>(&search)), !windows.empty(); },
       timeoutMs);
  for (HWND window : windows) {
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Poll([&] { return !::IsWindow(window); }, 5000)) << "the folder window did not close";
  }
  return static_cast<int>(windows.size());
}

TEST_F(Backup, OpenBackupFolderFromTheExtendedMenuEndsTheProgram) {
  tree_.File("data\\a.txt", "alpha");
  tree_.Folder("backups\\opened here");
  Process program;
  HWND dialog = StartCounted(program, {Backups("opened here"), {{Backups("opened here")}}}, {Data("a.txt")});
  ASSERT_TRUE(dialog);
  // The extended menu opens with its top-left corner at the button's top-right corner.
  ASSERT_TRUE(ClickButton(dialog, kMenuButton));
  HWND popup = WaitForPopupMenu(program.pid(), 3000);
  ASSERT_TRUE(popup) << "the extended menu did not open";
  RECT menu = {}, button = {};
  ::GetWindowRect(popup, &menu);
  ::GetWindowRect(::GetDlgItem(dialog, kMenuButton), &button);
  EXPECT_EQ(button.right, menu.left);
  EXPECT_EQ(button.top, menu.top);
  // Its first item: open the backup folder.
  ChooseFromPopup(popup, 1);
  ExpectEnds(program);
  EXPECT_EQ(1, CloseFolderWindows("opened here", 10000)) << "no folder window was opened";
  EXPECT_EQ(Backups("opened here"), IniValue("Backup", "BackupFolder"));
}

TEST_F(Backup, CancelDuringTheCountEndsTheProgramAtOnce) {
  for (int i = 0; i < 200; ++i) tree_.File("data\\many\\f" + std::to_string(i) + ".txt", "x");
  tree_.Folder("backups\\main");
  tree_.Folder("backups\\other");
  enum class Way { kButton, kEscKey, kCloseBox };
  struct Case {
    const char* what;
    Way way;
  } const cases[] = {
      {"the cancel button", Way::kButton},
      {"the Esc key", Way::kEscKey},
      {"the close box", Way::kCloseBox},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    WriteSettings({Backups("main"), {{Backups("main")}, {Backups("other")}}});
    // 10,000 times the same folder: 2,000,000 files to count, some seconds
    // even at the 2-3 microseconds per file measured under Wine.
    Select(std::vector<std::string>(10000, Data("many")));
    Process program;
    HWND dialog = Start(program);
    ASSERT_TRUE(dialog);
    ::Sleep(300);
    // Counting: the window answers, the totals wait, start and "≫" are off.
    ASSERT_EQ(kCounting, ControlText(dialog, kTotalFiles)) << "the count ended too soon to be cancelled";
    EXPECT_EQ(kCounting, ControlText(dialog, kTotalSize));
    EXPECT_FALSE(IsControlEnabled(dialog, kStart));
    EXPECT_FALSE(IsControlEnabled(dialog, kMenuButton));
    if (c.way == Way::kButton) {
      // The value fields wait on light blue.
      EXPECT_EQ(RGB(130, 179, 253), ScreenPixel(dialog, kTotalFiles, 1, 1));
      // No second count while one runs: the switch does not open, a folder command is ignored.
      EXPECT_TRUE(ClickPicture(dialog, kFolderSwitch));
      EXPECT_FALSE(WaitForPopupMenu(program.pid(), 300)) << "the switch menu opened during the count";
      PostMenuCommand(dialog, kFolderCommand0 + 1);
    }

    const DWORD cancelled = ::GetTickCount();
    switch (c.way) {
      case Way::kButton:
        ASSERT_TRUE(ClickButton(dialog, kCancel));
        break;
      case Way::kEscKey:
        ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case Way::kCloseBox:
        PostClose(dialog);
        break;
    }
    ExpectEnds(program, 3000);
    EXPECT_LT(::GetTickCount() - cancelled, 3000u);
    EXPECT_EQ("1.00", IniValue("Base", "VL")) << "the settings are saved on this way out too";
    EXPECT_EQ(Backups("main"), IniValue("Backup", "BackupFolder")) << "the folder command was not ignored";
    EXPECT_EQ(0u, List(Backups("main")).size());
  }
}

TEST_F(Backup, CancelDuringTheCopyReportsAndEnds) {
  // 3 folders of 400 files: the copy takes long enough to be cancelled midway.
  for (int f = 0; f < 3; ++f) {
    for (int i = 0; i < 400; ++i) tree_.File("data\\d" + std::to_string(f) + "\\f" + std::to_string(i) + ".txt", "xy");
  }
  tree_.Folder("backups\\main");
  const std::string main = Backups("main");
  Process program;
  HWND dialog = StartCounted(program, {main, {{main}}}, {Data("d0"), Data("d1"), Data("d2")});
  ASSERT_TRUE(dialog);
  ASSERT_EQ("1,200", ControlText(dialog, kTotalFiles));
  ASSERT_TRUE(ClickButton(dialog, kStart));
  // Cancel as soon as the bar has moved.
  const DWORD started = ::GetTickCount();
  while (ProgressPos(dialog) <= 0 && ::GetTickCount() - started < 10000) ::Sleep(2);
  ASSERT_TRUE(ClickButton(dialog, kCancel));

  ExpectBox(program, IDOK, kCancelled, "exclamation");
  // Then the check reports what is missing, with the numbers on disk.
  HWND verdict = WaitForMessageBox("Larkspan", program.pid(), kBoxAppearsMs);
  ASSERT_TRUE(verdict);
  const std::vector<std::string> made = List(main);
  ASSERT_EQ(1u, made.size());
  int64_t files = 0, bytes = 0;
  CountTree(main + "\\" + made[0], files, bytes);
  EXPECT_GT(files, 0);
  EXPECT_LT(files, 1200) << "the copy was not cancelled";
  EXPECT_EQ(Mismatch(1200, 2400, files, bytes), MessageBoxText(verdict)) << Readable(MessageBoxText(verdict));
  EXPECT_STREQ("stop", BoxIconName(IdentifyMessageBoxIcon(verdict, 3000)));
  ASSERT_TRUE(PressButton(verdict, IDOK, 3000));
  ExpectEnds(program);
}

}  // namespace
}  // namespace e2e
