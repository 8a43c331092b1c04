// The decisions of the backup-folder dialogs and the switch menu (ui/folder_rules.h).
#include "ui/folder_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/resource.h"
#include "ui/texts.h"

namespace {

core::BackupFolder E(const std::string& folder, const char* fileIn = "", const char* fileOut = "", const char* folderIn = "",
               const char* folderOut = "") {
  return core::BackupFolder{folder, fileIn, fileOut, folderIn, folderOut};
}
std::string Row(const core::BackupFolder& e) {
  return e.Folder + "|" + e.FilterFileIn + "|" + e.FilterFileOut + "|" + e.FilterFolderIn + "|" + e.FilterFolderOut;
}
std::string Folders(const core::BackupFolderList& rows) {  // each followed by ";"
  std::string text;
  for (const core::BackupFolder& e : rows) text += e.Folder + ";";
  return text;
}
core::BackupFolderList Named(int count) {
  core::BackupFolderList rows;
  for (int i = 0; i < count; ++i) rows.push_back(E(std::string(1, static_cast<char>('a' + i % 26))));
  return rows;
}

TEST(FolderForm, ShowsTheExcludeListWhenSetElseTheIncludeList) {
  struct Case { core::BackupFolder entry; const char* form; } cases[] = {  // form: on, include, text for file, then folder
      {E("D:\\a"), "D:\\a|0 1 |0 0 "}, {E("D:\\a", "*.txt", "", "", "obj"), "D:\\a|1 1 *.txt|1 0 obj"},
      {E("D:\\a", "*.txt", "*.bak", "Debug", ""), "D:\\a|1 0 *.bak|1 1 Debug"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ui::FolderForm f = ui::FormForEntry(cases[i].entry);
    const std::string form = f.folder + "|" + std::to_string(f.fileFilter) + " " + std::to_string(f.fileInclude) +
                             " " + f.filePatterns + "|" + std::to_string(f.folderFilter) + " " +
                             std::to_string(f.folderInclude) + " " + f.folderPatterns;
    EXPECT_EQ(cases[i].form, form) << i;
  }
}

TEST(FolderForm, ChecksInOrderAndNamesTheControlAtFault) {
  const std::string ok = "D:\\ok", gone = "D:\\gone";
  const auto exists = [&](const std::string& folder) { return folder == ok; };
  struct Case { std::string folder; int file; std::string filePatterns; int folder_; std::string folderPatterns;
                std::string expected; int focus; } cases[] = {  // file/folder_: 0 off, 1 include, 2 exclude
      {"", 0, "", 0, "", ui::texts::kFolderMissingMessage, IDC_EDIT_FOLDER},
      {gone + "/x", 1, "", 0, "", ui::texts::kFolderHasSlash, IDC_EDIT_FOLDER},
      {gone, 1, "", 2, "", ui::texts::kFolderMissingMessage, IDC_EDIT_FOLDER},
      {ok, 1, "", 2, "a\\b", ui::texts::kFileNamesEmpty, IDC_FILE_PATTERNS},
      {ok, 1, "*.txt; *.ini", 0, "", ui::texts::kFileNamesHaveSpace, IDC_FILE_PATTERNS},
      {ok, 2, "*.txt　*.ini", 0, "", ui::texts::kFileNamesHaveSpace, IDC_FILE_PATTERNS},
      {ok, 0, "a b", 2, "", ui::texts::kFolderNamesEmpty, IDC_FOLDER_PATTERNS},
      {ok, 0, "", 2, "obj\\bin", ui::texts::kFolderNamesHaveBackslash, IDC_FOLDER_PATTERNS},
      {ok, 0, "", 2, "De*", ui::texts::kFolderNamesHaveWildcard, IDC_FOLDER_PATTERNS},
      {ok, 0, "", 1, "a?", ui::texts::kFolderNamesHaveWildcard, IDC_FOLDER_PATTERNS},
      {ok + "\\", 1, "表.txt;a\\b/c", 2, "ソ;a b", ok + "|表.txt;a\\b/c|||ソ;a b", 0},
      {ok, 2, "*.bak", 1, "Debug", ok + "||*.bak|Debug|", 0}, {ok, 0, "*.txt", 0, "obj", ok + "||||", 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const ui::FolderForm form{c.folder, c.file != 0, c.file == 1, c.filePatterns, c.folder_ != 0, c.folder_ == 1,
                          c.folderPatterns};
    core::BackupFolder entry = E("untouched");
    std::string refusal;
    int focus = 0;
    const bool result = ui::ValidateFolderForm(form, exists, entry, refusal, focus);
    EXPECT_EQ(c.expected + " " + std::to_string(c.focus), result ? Row(entry) + " 0"
              : refusal + " " + std::to_string(focus) + (entry == E("untouched") ? "" : " and the entry changed")) << i;
  }
}

TEST(FolderRows, AddStopsAtTheLimitAndFindsDuplicatesCaseFolded) {
  char full[256];
  std::snprintf(full, sizeof(full), ui::texts::kListFull, 100);
  core::BackupFolderList registered = {E("D:\\Data"), E("Ｅ:\\ａｂ"), E("d:\\data")};
  struct Case { core::BackupFolderList rows; std::string folder; const char* refusal; int row; bool duplicate; } cases[] = {
      {Named(99), "new", "", 99, false},          {Named(100), "new", full, 100, false},
      {registered, "d:\\DATA", "", 0, true},      {registered, "ｅ:\\ＡＢ", "", 1, true},
      {registered, "D:\\Data\\x", "", 3, false}, {registered, "D:\\Dａta", "", 3, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    ui::FolderRows rows(c.rows);
    std::string refusal;
    bool duplicate = !c.duplicate;
    const bool added = rows.CheckAdd(refusal);
    const int row = rows.AddPosition(c.folder, duplicate);
    EXPECT_EQ(std::to_string(!*c.refusal) + c.refusal + " " + std::to_string(c.row) + std::to_string(c.duplicate),
              std::to_string(added) + refusal + " " + std::to_string(row) + std::to_string(duplicate)) << i;
  }
}

TEST(FolderRows, ChangeRemoveAndMoveWorkOnTheMarkedRow) {
  struct Case { int count, marked, direction, target; const char* refusal; int moved; const char* after; } cases[] = {
      {0, -1, 1, -1, "", -1, ""},          {3, -1, 1, -1, ui::texts::kSelectToRemove, -1, "a;b;c;"},
      {3, 0, -1, 0, "", 0, "a;b;c;"},      {3, 2, 1, 2, "", 2, "a;b;c;"},
      {3, 0, 1, 0, "", 1, "b;a;c;"}, {3, 2, -1, 2, "", 1, "a;c;b;"}, {1, 0, 1, 0, "", 0, "a;"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    ui::FolderRows rows(Named(c.count));
    std::string refusal = "x";
    const int target = rows.TargetRow(c.marked, ui::texts::kSelectToRemove, refusal);
    const int moved = rows.Move(c.marked, c.direction);
    EXPECT_EQ(std::to_string(c.target) + c.refusal + " " + std::to_string(c.moved) + " " + c.after,
              std::to_string(target) + refusal + " " + std::to_string(moved) + " " + Folders(rows.rows())) << i;
  }
  ui::FolderRows rows(Named(3));
  rows.Put(1, E("B"));
  rows.Put(3, E("d"));
  rows.Remove(0);
  EXPECT_EQ("B;c;d;", Folders(rows.rows()));
}

TEST(FolderRows, OkKeepsTheCurrentFolderOnlyIfARowNamesItExactly) {
  struct Case { core::BackupFolderList rows; const char* current; const char* after; const char* first; } cases[] = {
      {{E("D:\\a", "*.c"), E("D:\\b")}, "D:\\b", "D:\\b", "D:\\a|*.c|||"},
      {{E("d:\\data")}, "D:\\Data", "", "d:\\data||||"}, {{}, "D:\\a", "", "||||"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string current = cases[i].current;
    const std::string first = Row(ui::ConfirmRows(cases[i].rows, current));
    EXPECT_EQ(std::string(cases[i].first) + " " + cases[i].after, first + " " + current) << i;
  }
}

TEST(FolderMenu, ItemsShowEveryFolderWithItsCheckAndBitmaps) {
  const core::BackupFolderList list = {E("D:\\R&D\\a&b", "*.c"), E("E:\\x\\a&b"), E("D:\\plain", "", "", "", "obj")};
  struct Case { core::BackupFolderList list; const char* current; bool mini; std::string items; } cases[] = {
      {list, "E:\\x\\a&b", 0, "61204 D:\\R&&D\\a&&b - 151/152;61205 E:\\x\\a&&b C 0/153;61206 D:\\plain - 151/152;"},
      {list, "D:\\plain", 1, "61204  D:\\...\\a&&b - 151/152;61205  E:\\...\\a&&b - 0/153;61206  D:\\plain C 151/152;"},
      {list, "e:\\x\\a&b", 0, "61204 D:\\R&&D\\a&&b - 151/152;61205 E:\\x\\a&&b - 0/153;61206 D:\\plain - 151/152;"},
      {{}, "", 1, "61304 未設定 G 0/0;"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string items;
    for (const ui::FolderMenuItem& item : ui::FolderMenuItems(cases[i].list, cases[i].current, cases[i].mini)) {
      items += std::to_string(item.id) + " " + item.text + " " + (item.checked ? "C" : "") + (item.grayed ? "G" : "") +
               (item.checked || item.grayed ? "" : "-") + " " + std::to_string(item.uncheckedBitmap) + "/" +
               std::to_string(item.checkedBitmap) + ";";
    }
    EXPECT_EQ(cases[i].items, items) << i;
  }
  EXPECT_EQ(ID_FOLDER_MENU_LAST, ui::FolderMenuItems(Named(100), "", 1).back().id);
}

}  // namespace
