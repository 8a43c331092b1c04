// The main window end to end: the real Larkspan.exe started as the extension
// starts it, its controls read by identifier, its pictures and colours read
// from the screen, its message boxes answered, and the settings file checked
// after it has closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

const std::string kNotSet = " << 未設定 >>";
const std::string kNoFolderOnStart =
    "バックアップ用のフォルダが未設定です。　\n「バックアップフォルダ設定」で設定してください。　";
const std::string kSaveFailed = "環境設定ファイルの保存でエラーが発生しました ";

// The display form of a path that does not lie directly under a drive root:
// " ", the drive, "\\...\\" and the last component.
std::string Short(const std::string& path) {
  return " " + path.substr(0, 2) + "\\...\\" + path.substr(path.rfind('\\') + 1);
}

const COLORREF kWhite = RGB(255, 255, 255);

using MainWindow = MainWindowTest;

TEST_F(MainWindow, NoBackupFolderSet) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("data\\photos");
  Select({Data("a.txt"), Data("photos")});
  // No settings file at all: every value takes its default.
  Process program;
  HWND dialog = Start(program);
  ASSERT_TRUE(dialog);
  // The count finds no folder, saves the settings and says what to do.
  ASSERT_TRUE(ExpectBox(program, IDOK, kSetUpFirst, "information"));
  EXPECT_EQ("", IniValue("Backup", "BackupFolder")) << "saved by the count";

  EXPECT_EQ(kNotSet, ControlText(dialog, kBackupFolder));
  EXPECT_EQ("", ControlText(dialog, kTotalSize));
  EXPECT_EQ("", ControlText(dialog, kTotalFiles));
  EXPECT_EQ("1 個", ControlText(dialog, kFileCount));
  EXPECT_EQ("1 個", ControlText(dialog, kFolderCount));
  EXPECT_FALSE(IsControlVisible(dialog, kFilterIndicator));
  EXPECT_FALSE(IsControlVisible(dialog, kProgress));
  EXPECT_TRUE(IsControlEnabled(dialog, kMenuButton));

  // The start button only reports the missing folder; the window stays.
  ASSERT_TRUE(ClickButton(dialog, kStart));
  ASSERT_TRUE(ExpectBox(program, IDOK, kNoFolderOnStart, "information"));
  EXPECT_FALSE(program.WaitExit(300)) << "the window must stay open";
  EXPECT_TRUE(::IsWindow(dialog));
  EXPECT_EQ(0u, List(Backups("")).size());

  ASSERT_TRUE(ClickButton(dialog, kCancel));
  ExpectEnds(program);
  EXPECT_EQ("1.00", IniValue("Base", "VL"));
  EXPECT_EQ("1", IniValue("Option", "EndMsg"));
  EXPECT_EQ("<missing>", tree_.Read("prog\\lkpara.dat"));
}

TEST_F(MainWindow, CountsTotalsPicturesAndFilterIndicator) {
  // 3 text files (1 + 22 + 333 bytes), 2 data files (4,000 + 50,000 bytes),
  // one of each in the folder "skip".
  tree_.File("data\\tree\\a.txt", "a");
  tree_.File("data\\tree\\b.txt", std::string(22, 'b'));
  tree_.File("data\\tree\\skip\\c.txt", std::string(333, 'c'));
  tree_.SizedFile("data\\tree\\d.dat", 4000);
  tree_.SizedFile("data\\tree\\skip\\e.dat", 50000);
  tree_.File("data\\single.dat", "12345");
  tree_.File("data\\b.txt", std::string(200, 'b'));
  for (const char* f : {"f1", "f2", "f3"}) tree_.Folder(std::string("data\\") + f);
  tree_.Folder("backups\\main");
  const std::string main = Backups("main");
  const std::vector<std::string> tree = {Data("tree")};
  struct Case {
    const char* what;
    Settings settings;
    std::vector<std::string> selection;
    const char *files, *folders, *size, *totalFiles;
    bool indicator;
  } const cases[] = {
      {"files and folders", {main, {{main}}}, {Data("single.dat"), Data("f1"), Data("b.txt"), Data("f2"), Data("f3")},
       "2 個", "3 個", "205バイト", "2", false},
      {"registered without filters", {main, {{main}}}, tree, "0 個", "1 個", "53.1KB", "5", false},
      {"file include list", {main, {{main, "*.txt"}}}, tree, "0 個", "1 個", "356バイト", "3", true},
      {"file exclude list", {main, {{main, "", "*.TXT"}}}, tree, "0 個", "1 個", "52.7KB", "2", true},
      {"folder exclude list", {main, {{main, "", "", "", "skip"}}}, tree, "0 個", "1 個", "3.93KB", "3", true},
      {"folder include list leaves the selected folder out", {main, {{main, "", "", "other"}}}, tree, "0 個", "1 個",
       "0バイト", "0", true},
      {"a selected file and its filter", {main, {{main, "*.txt"}}}, {Data("single.dat")}, "1 個", "0 個", "0バイト",
       "0", true},
      {"the current folder is not in the list", {main, {{Backups("other"), "*.txt"}}}, tree, "0 個", "1 個",
       "53.1KB", "5", false},
  };
  // The pictures as they look with something selected, taken from the first case.
  COLORREF filePixel = CLR_INVALID, folderPixel = CLR_INVALID;
  int narrow = -1, wide = -1;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    Process program;
    HWND dialog = StartCounted(program, c.settings, c.selection);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(c.files, ControlText(dialog, kFileCount));
    EXPECT_EQ(c.folders, ControlText(dialog, kFolderCount));
    EXPECT_EQ(c.totalFiles, ControlText(dialog, kTotalFiles));
    EXPECT_EQ(c.size, ControlText(dialog, kTotalSize)) << Readable(ControlText(dialog, kTotalSize));
    EXPECT_EQ(Short(main), ControlText(dialog, kBackupFolder));
    EXPECT_EQ(c.indicator, IsControlVisible(dialog, kFilterIndicator));
    const bool noFiles = std::string(c.files) == "0 個", noFolders = std::string(c.folders) == "0 個";
    EXPECT_EQ(!noFiles, IsControlEnabled(dialog, kFileCount));
    EXPECT_EQ(!noFolders, IsControlEnabled(dialog, kFolderCount));
    const RECT label = ControlRect(dialog, kBackupFolder);
    const int width = label.right - label.left;
    if (c.indicator) {
      // The label ends where the indicator begins.
      EXPECT_NEAR(ControlRect(dialog, kFilterIndicator).left, label.right, 1);
      if (narrow < 0) narrow = width;
      EXPECT_EQ(narrow, width);
    } else {
      if (wide < 0) wide = width;
      EXPECT_EQ(wide, width);
    }
    // The value fields are white once the totals are shown, as are the labels.
    const COLORREF totals = WaitForPixel(dialog, kTotalFiles, 1, 1, kWhite);
    const COLORREF label1010 = WaitForPixel(dialog, kFolderLabel, 1, 1, kWhite);
    EXPECT_TRUE(SameColor(kWhite, totals)) << ColorText(totals);
    EXPECT_TRUE(SameColor(kWhite, label1010)) << ColorText(label1010);
    // Inside the symbols: the sheet of paper (white) and the yellow folder.
    const COLORREF file = ScreenPixel(dialog, kFilePicture, 8, 4);
    const COLORREF folder = ScreenPixel(dialog, kFolderPicture, 10, 12);
    if (i == 0) {
      filePixel = file;
      folderPixel = folder;
      EXPECT_TRUE(SameColor(kWhite, file)) << ColorText(file);
      EXPECT_TRUE(SameColor(RGB(246, 200, 72), folder)) << ColorText(folder);
    } else {
      EXPECT_EQ(noFiles, !SameColor(filePixel, file)) << "file picture " << ColorText(file);
      EXPECT_EQ(noFolders, !SameColor(folderPixel, folder)) << "folder picture " << ColorText(folder);
    }
    EXPECT_TRUE(IsControlEnabled(dialog, kStart));
    EXPECT_TRUE(IsControlEnabled(dialog, kMenuButton));
    ASSERT_TRUE(ClickButton(dialog, kCancel));
    ExpectEnds(program);
  }
  // Without the indicator the label takes its place: 18 pixels wider.
  EXPECT_EQ(narrow + 18, wide);
}

TEST_F(MainWindow, TopFolderDspFlgMakesTheFirstFolderCurrent) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("backups\\first");
  tree_.Folder("backups\\second");
  struct Case {
    const char* what;
    Settings settings;
    std::string label;
    std::string saved;
    bool setUpMessage;
  } const cases[] = {
      {"the first entry replaces the current folder",
       {Backups("second"), {{Backups("first")}, {Backups("second")}}, 1, 1, 1},
       Short(Backups("first")), Backups("first"), false},
      {"an empty list empties the current folder", {Backups("second"), {}, 1, 1, 1}, kNotSet, "", true},
      {"flag 0 keeps the current folder",
       {Backups("second"), {{Backups("first")}, {Backups("second")}}, 1, 1, 0},
       Short(Backups("second")), Backups("second"), false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    WriteSettings(c.settings);
    Select({Data("a.txt")});
    Process program;
    HWND dialog = Start(program);
    ASSERT_TRUE(dialog);
    if (c.setUpMessage) {
      ExpectBox(program, IDOK, kSetUpFirst);
    }
    ASSERT_TRUE(WaitForTotals(dialog));
    EXPECT_EQ(c.label, ControlText(dialog, kBackupFolder)) << Readable(ControlText(dialog, kBackupFolder));
    PostClose(dialog);
    ExpectEnds(program);
    EXPECT_EQ(c.saved, IniValue("Backup", "BackupFolder"));
  }
}

TEST_F(MainWindow, SettingsThatCannotBeSavedAreReported) {
  tree_.File("data\\a.txt", "a");
  Select({Data("a.txt")});
  // A folder in the settings file's place: it reads as empty and cannot be written.
  MakeFolders(Ini());
  Process program;
  HWND dialog = Start(program);
  ASSERT_TRUE(dialog);
  // The count finds no folder and cannot save.
  ExpectBox(program, IDOK, kSaveFailed, "stop");
  // On the way out the same, and the program still ends.
  ASSERT_TRUE(ClickButton(dialog, kCancel));
  ExpectBox(program, IDOK, kSaveFailed, "stop");
  ExpectEnds(program);
}

}  // namespace
}  // namespace e2e
