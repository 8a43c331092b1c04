// The backup-folder switch menu end to end: its items as the program builds
// them (read through the program's test hook), the real popup opened from the
// triangle picture and driven by keys, and the recount after a choice.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

const std::string kMissingLabel = " << エラー：存在しない >>";

std::string Short(const std::string& path) {
  return " " + path.substr(0, 2) + "\\...\\" + path.substr(path.rfind('\\') + 1);
}

// One described item: id, state ("C" checked, "G" greyed, "-"), the bitmaps
// for the unchecked and the checked state (resource numbers, 0 none), text.
std::string Item(int id, const char* state, int unchecked, int checked, const std::string& text) {
  return std::to_string(id) + "\t" + state + "\t" + std::to_string(unchecked) + "\t" + std::to_string(checked) + "\t" +
         text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

using FolderMenu = MainWindowTest;

TEST_F(FolderMenu, ItemsAsTheMenuShowsThem) {
  tree_.File("data\\a.txt", "a");
  for (const char* f : {"A", "B", "x\\same", "y\\same", "Tom&Jerry"}) tree_.Folder(std::string("backups\\") + f);
  const std::string a = Backups("A"), b = Backups("B"), c = Backups("C (missing)");
  const std::string x = Backups("x\\same"), y = Backups("y\\same"), amp = Backups("Tom&Jerry");
  std::vector<ListEntry> hundred;
  std::vector<std::string> hundredItems;
  for (int i = 0; i < 100; ++i) {
    const std::string folder = "Z:\\nowhere\\f" + std::to_string(i);
    hundred.push_back({folder, i % 2 ? "*.txt" : ""});
    hundredItems.push_back(Item(61204 + i, i == 50 ? "C" : "-", i % 2 ? 151 : 0, i % 2 ? 152 : 153, Short(folder)));
  }
  struct Case {
    const char* what;
    Settings settings;
    std::vector<std::string> items;
  } const cases[] = {
      {"short paths; current folder with filters; other with and without",
       {a, {{a, "*.txt"}, {b}, {c, "", "", "", "tmp"}}},
       {Item(61204, "C", 151, 152, Short(a)), Item(61205, "-", 0, 153, Short(b)),
        Item(61206, "-", 151, 152, Short(c))}},
      {"full paths; current folder without filters",
       {b, {{a, "", "*.bak"}, {b}}, 1, 0},
       {Item(61204, "-", 151, 152, a), Item(61205, "C", 0, 153, b)}},
      {"the current folder is not in the list", {Backups("other"), {{a}, {b}}},
       {Item(61204, "-", 0, 153, Short(a)), Item(61205, "-", 0, 153, Short(b))}},
      {"an empty list", {a, {}}, {Item(61304, "G", 0, 0, "未設定")}},
      {"the same last component: the check follows the full path",
       {y, {{x}, {y}}},
       {Item(61204, "-", 0, 153, " " + x.substr(0, 2) + "\\...\\same"),
        Item(61205, "C", 0, 153, " " + y.substr(0, 2) + "\\...\\same")}},
      {"an ampersand is shown as it is", {amp, {{amp}}, 1, 0}, {Item(61204, "C", 0, 153, Backups("Tom&&Jerry"))}},
      {"one hundred folders", {"Z:\\nowhere\\f50", hundred}, hundredItems},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& k = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << k.what << ")");
    WriteSettings(k.settings);
    Select({Data("a.txt")});
    Process program;
    HWND dialog = Start(program);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitForTotals(dialog));
    // Built twice: the item bitmaps of each showing are released with its menu.
    for (int showing = 0; showing < 2; ++showing) {
      const std::vector<std::string> lines = Lines(DescribeFolderMenu(dialog, 5000));
      ASSERT_EQ(k.items.size() + 1, lines.size()) << "showing " << showing;
      for (size_t n = 0; n < k.items.size(); ++n) {
        EXPECT_EQ(k.items[n], lines[n]) << "item " << n << ": expected " << Readable(k.items[n]) << "\n  actual "
                                        << Readable(lines[n]);
      }
      EXPECT_EQ("released 3", lines.back());
    }
    PostClose(dialog);
    ExpectEnds(program);
  }
}

TEST_F(FolderMenu, ChoosingAFolderRecountsWithItsFilters) {
  tree_.File("data\\tree\\a.txt", "a");
  tree_.File("data\\tree\\b.dat", std::string(2048, 'b'));
  tree_.Folder("backups\\A");
  tree_.Folder("backups\\B");
  const std::string a = Backups("A"), b = Backups("B"), c = Backups("C");
  WriteSettings({a, {{a, "*.txt"}, {b}, {c}}});
  Select({Data("tree")});
  Process program;
  HWND dialog = Start(program);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(WaitForTotals(dialog));
  EXPECT_EQ("1", ControlText(dialog, kTotalFiles));
  EXPECT_TRUE(IsControlVisible(dialog, kFilterIndicator));
  const RECT before = ControlRect(dialog, kBackupFolder);

  // The real popup, at the triangle's top-right corner; the second item is B.
  ASSERT_TRUE(ClickPicture(dialog, kFolderSwitch));
  HWND popup = WaitForPopupMenu(program.pid(), 3000);
  ASSERT_TRUE(popup) << "the switch menu did not open";
  RECT menu = {}, picture = {};
  ::GetWindowRect(popup, &menu);
  ::GetWindowRect(::GetDlgItem(dialog, kFolderSwitch), &picture);
  EXPECT_EQ(picture.right, menu.left);
  EXPECT_EQ(picture.top, menu.top);
  ChooseFromPopup(popup, 2);
  std::string label;
  ASSERT_TRUE(WaitForControlText(dialog, kBackupFolder, [&](const std::string& t) { return t == Short(b); }, 5000,
                                 &label))
      << Readable(label);
  ASSERT_TRUE(WaitForTotals(dialog));
  EXPECT_EQ("2", ControlText(dialog, kTotalFiles));
  EXPECT_EQ("2.00KB", ControlText(dialog, kTotalSize)) << Readable(ControlText(dialog, kTotalSize));
  EXPECT_FALSE(IsControlVisible(dialog, kFilterIndicator));
  const RECT after = ControlRect(dialog, kBackupFolder);
  EXPECT_EQ((before.right - before.left) + 18, after.right - after.left);
  EXPECT_TRUE(IsControlEnabled(dialog, kStart));

  // A registered folder that does not exist: no count, no message.
  PostMenuCommand(dialog, kFolderCommand0 + 2);
  ASSERT_TRUE(WaitForControlText(dialog, kBackupFolder, [](const std::string& t) { return t == kMissingLabel; },
                                 5000, &label))
      << Readable(label);
  ASSERT_TRUE(WaitForTotals(dialog));
  EXPECT_EQ("", ControlText(dialog, kTotalFiles));
  EXPECT_EQ("", ControlText(dialog, kTotalSize));
  EXPECT_TRUE(NoBoxWithin(program.pid(), 300));

  // Back to A; the choice is saved when the window closes.
  PostMenuCommand(dialog, kFolderCommand0);
  ASSERT_TRUE(WaitForControlText(dialog, kBackupFolder, [&](const std::string& t) { return t == Short(a); }, 5000,
                                 &label))
      << Readable(label);
  ASSERT_TRUE(WaitForTotals(dialog));
  EXPECT_EQ("1", ControlText(dialog, kTotalFiles));
  EXPECT_TRUE(IsControlVisible(dialog, kFilterIndicator));
  PostMenuCommand(dialog, kFolderCommand0 + 1);
  ASSERT_TRUE(WaitForControlText(dialog, kBackupFolder, [&](const std::string& t) { return t == Short(b); }, 5000,
                                 &label));
  ASSERT_TRUE(WaitForTotals(dialog));
  EXPECT_EQ(a, IniValue("Backup", "BackupFolder")) << "not written before the window closes";
  PostClose(dialog);
  ExpectEnds(program);
  EXPECT_EQ(b, IniValue("Backup", "BackupFolder"));
}

}  // namespace
}  // namespace e2e
