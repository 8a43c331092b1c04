// The dialogs behind the main window's menus end to end: each dialog's
// controls against its template, the checks of the add/change dialog in their
// order, the list operations of the backup-folder settings dialog and what OK
// and Cancel leave in the settings file, the option flags, and the filter
// editor behind the filter indicator with the recount after it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "tests/e2e/dialogs.h"
#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

// Menu commands and the dialogs they open.
constexpr int kEnvSettings = 32772;
constexpr int kFolderSettings = 32773;
const std::string kSettingsTitle = "バックアップフォルダ設定";
const std::string kAddTitle = "バックアップフォルダ追加";
const std::string kChangeTitle = "バックアップフォルダ変更";
const std::string kEnvTitle = "環境設定";

// Controls of the settings dialog.
constexpr int kList = 1019, kAdd = 1020, kRemove = 1021, kUp = 1022, kDown = 1023, kChange = 1024;
// Controls of the add/change dialog.
constexpr int kFolderEdit = 1010, kBrowse = 1011, kFileFilter = 1022, kFileInclude = 1023, kFileExclude = 1024,
              kFilePatterns = 1025, kFolderFilter = 1030, kFolderInclude = 1031, kFolderExclude = 1032,
              kFolderPatterns = 1033;
// Controls of the environment dialog.
constexpr int kEndMsgBox = 1012, kMiniPathBox = 1013, kTopFolderBox = 1014;
// The folder picker's tree of folders.
constexpr int kPickerTree = 0x3741;

// Sends window the command of a menu item or button and waits for the dialog
// it opens (captioned title, holding control).
HWND Open(Process& program, HWND window, int command, const std::string& title, int control) {
  PostMenuCommand(window, command);
  HWND opened = WaitForDialog(program.pid(), title, control, kBoxAppearsMs);
  if (!opened) ADD_FAILURE() << "command " << command << " opened no " << Readable(title);
  return opened;
}

// Closes a dialog with one of its buttons and waits until it is gone.
void CloseWith(HWND dialog, int button) {
  ASSERT_TRUE(ClickButton(dialog, button)) << "button " << button;
  ASSERT_TRUE(WaitGone(dialog, kBoxAppearsMs)) << "the dialog stayed after button " << button;
}

// The list in short: each row as "*" when selected, the folder's last
// component and its image (1: the filter mark), separated by spaces.
std::string Summary(HWND list) {
  std::string text;
  for (const ListRow& row : ReadListView(list, 1)) {
    if (!text.empty()) text += " ";
    const size_t cut = sjis::FindLastChar(row.cells[0], '\\');
    text += (row.selected ? "*" : "") + row.cells[0].substr(cut == sjis::npos ? 0 : cut + 1) +
            std::to_string(row.image);
  }
  return text;
}

// The list's summary once it reads expected, or as it reads after 3 s (the
// dialog works through the posted clicks in its own time).
std::string WaitForSummary(HWND list, const std::string& expected) {
  std::string seen;
  Poll([&] { return (seen = Summary(list)) == expected; }, 3000);
  return seen;
}

// The five texts of a row: folder and the four filter lists.
std::vector<std::string> Cells(HWND list, size_t row) {
  const std::vector<ListRow> rows = ReadListView(list, 5);
  return row < rows.size() ? rows[row].cells : std::vector<std::string>{"<no row>"};
}

const std::string kFolderMissing = "フォルダが存在しません　";

using Dialogs = MainWindowTest;

// --- The add/change dialog --------------------------------------------------

TEST_F(Dialogs, TheChecksOfTheAddDialogInTheirOrder) {
  tree_.File("data\\a.txt", "a");
  for (const char* f : {"A", "B", "表"}) tree_.Folder(std::string("backups\\") + f);
  Process program;
  HWND main = StartCounted(program, {Backups("A"), {{Backups("A")}}}, {Data("a.txt")});
  ASSERT_TRUE(main);
  const std::vector<TemplateControl> settingsTemplate = {
      {1, "Button", "OK", 127, 145, 50, 14, true},
      {2, "Button", "ｷｬﾝｾﾙ", 186, 145, 50, 14, true},
      {kAdd, "Button", "追加...", 11, 27, 35, 14, true},
      {kChange, "Button", "変更...", 51, 27, 35, 14, true},
      {kRemove, "Button", "解除", 91, 27, 35, 14, true},
      {kUp, "Button", "▲", 194, 27, 16, 14, true},
      {kDown, "Button", "▼", 213, 27, 16, 14, true},
      {kList, "SysListView32", "", 7, 44, 229, 96, true},
      {-1, "Static", "バックアップを格納するフォルダを登録してください。", 7, 7, 229, 12, false},
      {-1, "Button", "", 7, 18, 229, 122, false},
  };
  // As the add dialog opens: the checked radio buttons have become tab stops,
  // as the system makes every checked radio button one.
  const std::vector<TemplateControl> editTemplate = {
      {kFolderEdit, "Edit", "", 7, 19, 188, 14, true},
      {kBrowse, "Button", "参照", 200, 19, 32, 14, true},
      {-1, "Button", "", 18, 77, 214, 59, false},
      {kFileFilter, "Button", "ファイルのフィルター設定", 15, 76, 88, 12, true},
      {kFileInclude, "Button", "下記を対象とする", 28, 91, 67, 10, true},
      {kFileExclude, "Button", "下記を対象外とする", 105, 91, 72, 10, false},
      {kFilePatterns, "Edit", "", 80, 107, 144, 12, true},
      {-1, "Button", "", 18, 146, 214, 59, false},
      {kFolderFilter, "Button", "フォルダのフィルター設定", 15, 145, 88, 12, true},
      {kFolderInclude, "Button", "下記を対象とする", 160, 154, 67, 10, false},
      {kFolderExclude, "Button", "下記を対象外とする", 160, 164, 72, 10, true},
      {kFolderPatterns, "Edit", "", 80, 176, 144, 12, true},
      {1, "Button", "OK", 124, 215, 50, 14, true},
      {2, "Button", "ｷｬﾝｾﾙ", 182, 215, 50, 14, true},
      {-1, "Static", "フィルター設定　：", 7, 47, 57, 10, false},
      {-1, "Static", "ファイル名　　 ：", 30, 109, 48, 10, false},
      {-1, "Static", "バックアップフォルダ　：", 7, 7, 75, 11, false},
      {-1, "Static", "フォルダ名　　 ：", 30, 178, 48, 10, false},
      {-1, "Static", "例） *.txt;*.ini            ※区切りは ; （セミコロン）", 83, 122, 144, 10, false},
      {-1, "Static", "例） Debug;Release    ※区切りは ; （セミコロン）", 83, 191, 144, 10, false},
      {-1, "Static", "フィルター設定でバックアップするファイルやフォルダを限定できます", 15, 61, 217, 10, false},
      {-1, "Static", "下記を対象外とする", 29, 161, 92, 10, false},
  };
  HWND settings = Open(program, main, kFolderSettings, kSettingsTitle, kList);
  ASSERT_TRUE(settings);
  EXPECT_EQ("", CompareWithTemplate(settings, 243, 166, settingsTemplate));
  HWND add = Open(program, settings, kAdd, kAddTitle, kFolderEdit);
  ASSERT_TRUE(add);
  EXPECT_EQ("", CompareWithTemplate(add, 239, 236, editTemplate));
  EXPECT_FALSE(::IsWindowEnabled(settings)) << "the settings dialog stays usable under its add dialog";

  // As it opens: both filters off, the file filter on include, the folder
  // filter's radio buttons never shown; a check box enables its group.
  EXPECT_FALSE(IsButtonChecked(add, kFileFilter));
  EXPECT_FALSE(IsButtonChecked(add, kFolderFilter));
  EXPECT_TRUE(IsButtonChecked(add, kFileInclude));
  EXPECT_TRUE(IsButtonChecked(add, kFolderExclude));
  for (int id : {kFileInclude, kFileExclude, kFilePatterns, kFolderPatterns}) EXPECT_FALSE(IsControlEnabled(add, id));
  EXPECT_FALSE(IsControlVisible(add, kFolderInclude));
  EXPECT_FALSE(IsControlVisible(add, kFolderExclude));
  EXPECT_TRUE(IsControlVisible(add, kBrowse));
  SetCheckBox(add, kFileFilter, true);
  SetCheckBox(add, kFolderFilter, true);
  for (int id : {kFileInclude, kFileExclude, kFilePatterns, kFolderPatterns}) EXPECT_TRUE(IsControlEnabled(add, id));
  EXPECT_FALSE(IsControlVisible(add, kFolderExclude));

  // OK with each input: the first check that fails speaks, and the focus
  // goes where the fault is.
  struct Case {
    std::string folder;
    bool fileOn;
    std::string files;
    bool folderOn;
    std::string folders;
    std::string message;
    int focus;
  } const cases[] = {
      {"", false, "", false, "", kFolderMissing, kFolderEdit},
      {"D:\\Work/Sub", false, "", false, "", "バックアップフォルダに ' / ' を使用しないでください　", kFolderEdit},
      {Backups("A") + "/", false, "", false, "", "バックアップフォルダに ' / ' を使用しないでください　", kFolderEdit},
      {Backups("none"), true, "", true, "obj\\bin", kFolderMissing, kFolderEdit},
      {Backups("A\\"), true, "", true, "obj\\bin", "ファイル名が未設定です　", kFilePatterns},
      {Backups("A"), true, "*.txt; *.ini", true, "", "ファイル名に空白が存在します　", kFilePatterns},
      {Backups("A"), true, "*.txt;　*.ini", true, "", "ファイル名に空白が存在します　", kFilePatterns},
      {Backups("A"), true, "*.txt", true, "", "フォルダ名が未設定です　", kFolderPatterns},
      {Backups("A"), false, "", true, "obj\\bin", "フォルダ名に ' \\ ' は使用できません　", kFolderPatterns},
      {Backups("A"), false, "", true, "De*", "フォルダ名に ' * ' と ' ? ' は使用できません　", kFolderPatterns},
      {Backups("A"), false, "", true, "a?b", "フォルダ名に ' * ' と ' ? ' は使用できません　", kFolderPatterns},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& k = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << Readable(k.folder));
    SetControlText(add, kFolderEdit, k.folder);
    SetCheckBox(add, kFileFilter, k.fileOn);
    SetControlText(add, kFilePatterns, k.files);
    SetCheckBox(add, kFolderFilter, k.folderOn);
    SetControlText(add, kFolderPatterns, k.folders);
    ASSERT_TRUE(ClickButton(add, IDOK));
    ASSERT_TRUE(ExpectBox(program, IDOK, k.message, "exclamation"));
    EXPECT_EQ(k.focus, WaitForFocus(add, k.focus, 2000));
    EXPECT_TRUE(::IsWindowVisible(add)) << "the dialog closed";
  }

  // Accepted: one trailing backslash goes; a second byte 0x5C (表, ソ) is no
  // backslash; the folder filter is an exclude list.
  SetControlText(add, kFolderEdit, Backups("表") + "\\");
  SetCheckBox(add, kFileFilter, true);
  SetControlText(add, kFilePatterns, "表*.txt");
  SetCheckBox(add, kFolderFilter, true);
  SetControlText(add, kFolderPatterns, "ソフト");
  CloseWith(add, IDOK);
  HWND list = ::GetDlgItem(settings, kList);
  EXPECT_EQ("A0 *表1", WaitForSummary(list, "A0 *表1"));
  EXPECT_EQ((std::vector<std::string>{Backups("表"), "表*.txt", "", "", "ソフト"}), Cells(list, 1));
  EXPECT_EQ(kList, WaitForFocus(settings, kList, 2000));

  // A file is accepted as the folder; a pattern typed into a filter that is
  // then switched off is dropped.
  add = Open(program, settings, kAdd, kAddTitle, kFolderEdit);
  ASSERT_TRUE(add);
  SetControlText(add, kFolderEdit, Data("a.txt"));
  SetCheckBox(add, kFileFilter, true);
  SetControlText(add, kFilePatterns, "*.tmp");
  SetCheckBox(add, kFileFilter, false);
  CloseWith(add, IDOK);
  EXPECT_EQ((std::vector<std::string>{Data("a.txt"), "", "", "", ""}), Cells(list, 2));

  // The picker starts at the folder edit's text (Wine 8 pre-selects a folder
  // only a few levels deep, so a system folder stands in); chosen, the edit
  // shows it with the caret at its end; cancelled, the text stays.
  const std::string start = "C:\\windows\\system32";
  add = Open(program, settings, kAdd, kAddTitle, kFolderEdit);
  ASSERT_TRUE(add);
  for (int choose : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(choose == IDOK ? "picker OK" : "picker cancelled");
    SetControlText(add, kFolderEdit, choose == IDOK ? start : "typed");
    ASSERT_TRUE(ClickButton(add, kBrowse));
    HWND picker = WaitForDialog(program.pid(), "", kPickerTree, kBoxAppearsMs);
    ASSERT_TRUE(picker) << "no folder picker";
    CloseWith(picker, choose);
    EXPECT_EQ(choose == IDOK ? start : "typed", ControlText(add, kFolderEdit));
    if (choose == IDOK) {
      EXPECT_EQ(kFolderEdit, WaitForFocus(add, kFolderEdit, 2000));
      const LRESULT selection = ::SendMessageA(::GetDlgItem(add, kFolderEdit), EM_GETSEL, 0, 0);
      EXPECT_EQ(start.size(), LOWORD(selection)) << "the caret is not at the end";
      EXPECT_EQ(LOWORD(selection), HIWORD(selection));
    }
  }
  CloseWith(add, IDCANCEL);
  EXPECT_EQ(3u, ReadListView(list, 1).size()) << "a cancelled add changes nothing";
  CloseWith(settings, IDCANCEL);
  PostClose(main);
  ExpectEnds(program);
}

// --- The backup-folder settings dialog -------------------------------------

TEST_F(Dialogs, ListOperationsAndTheSelectedRow) {
  tree_.File("data\\a.txt", "a");
  for (const char* f : {"A", "B", "C", "D"}) tree_.Folder(std::string("backups\\") + f);
  const std::string a = Backups("A"), b = Backups("B"), c = Backups("C"), d = Backups("D");
  // B as only a hand-edited file could hold it: an include and an exclude list.
  Process program;
  HWND main = StartCounted(program, {b, {{a, "*.txt"}, {b, "*.txt", "*.bak"}, {c}}}, {Data("a.txt")});
  ASSERT_TRUE(main);
  HWND dialog = Open(program, main, kFolderSettings, kSettingsTitle, kList);
  ASSERT_TRUE(dialog);
  HWND list = ::GetDlgItem(dialog, kList);
  EXPECT_EQ("A1 B1 C0", WaitForSummary(list, "A1 B1 C0"));
  EXPECT_EQ(-1, SelectionMark(list));
  EXPECT_EQ((std::vector<std::string>{b, "*.txt", "*.bak", "", ""}), Cells(list, 1));

  // Without a marked row: change and remove say so, up and down do nothing.
  struct Unmarked {
    int button;
    const char* message;
  } const unmarked[] = {{kChange, "変更する対象を選択してください　"},
                        {kRemove, "解除する対象を選択してください　"},
                        {kUp, nullptr},
                        {kDown, nullptr}};
  for (const Unmarked& u : unmarked) {
    SCOPED_TRACE(testing::Message() << "button " << u.button << " with no marked row");
    ASSERT_TRUE(ClickButton(dialog, u.button));
    if (u.message) {
      ExpectBox(program, IDOK, u.message, "information");
    } else {
      EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
    }
    EXPECT_EQ("A1 B1 C0", WaitForSummary(list, "A1 B1 C0"));
  }

  // Moves: the row goes with its mark and stays selected; at an end nothing
  // happens and nothing is said.
  struct MoveCase {
    int row;
    int button;
    const char* after;
  } const moves[] = {
      {0, kUp, "*A1 B1 C0"}, {0, kDown, "B1 *A1 C0"}, {2, kDown, "B1 A1 *C0"}, {2, kUp, "B1 *C0 A1"},
      {1, kUp, "*C0 B1 A1"}, {1, kDown, "C0 A1 *B1"},
  };
  for (size_t i = 0; i < std::size(moves); ++i) {
    const MoveCase& m = moves[i];
    SCOPED_TRACE(testing::Message() << "move " << i);
    ASSERT_TRUE(SelectRowByKeys(list, m.row, 3000));
    ASSERT_TRUE(ClickButton(dialog, m.button));
    EXPECT_EQ(m.after, WaitForSummary(list, m.after));
    EXPECT_TRUE(NoBoxWithin(program.pid(), 100));
  }

  // Change of the hand-edited B: shown as its exclude list, returned as that
  // list alone; the selection stays where it was.
  ASSERT_TRUE(SelectRowByKeys(list, 2, 3000));
  HWND edit = Open(program, dialog, kChange, kChangeTitle, kFolderEdit);
  ASSERT_TRUE(edit);
  EXPECT_EQ(b, ControlText(edit, kFolderEdit));
  EXPECT_TRUE(IsButtonChecked(edit, kFileFilter));
  EXPECT_TRUE(IsButtonChecked(edit, kFileExclude));
  EXPECT_EQ("*.bak", ControlText(edit, kFilePatterns));
  EXPECT_TRUE(IsControlVisible(edit, kBrowse));
  CloseWith(edit, IDOK);
  EXPECT_EQ((std::vector<std::string>{b, "", "*.bak", "", ""}), Cells(list, 2));
  EXPECT_EQ("C0 A1 *B1", WaitForSummary(list, "C0 A1 *B1"));
  EXPECT_EQ(kList, WaitForFocus(dialog, kList, 2000));

  // A change to a folder that another row holds is taken without a question.
  ASSERT_TRUE(SelectRowByKeys(list, 0, 3000));
  edit = Open(program, dialog, kChange, kChangeTitle, kFolderEdit);
  ASSERT_TRUE(edit);
  SetControlText(edit, kFolderEdit, b);
  CloseWith(edit, IDOK);
  EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
  EXPECT_EQ("*B0 A1 B1", WaitForSummary(list, "*B0 A1 B1"));

  // Adding a registered folder in other letters asks: No keeps the list, Yes
  // replaces that row (its text and filters) and selects it. A new folder is
  // appended and selected.
  std::string upperA = a;
  for (char& ch : upperA) ch = static_cast<char>(::toupper(static_cast<unsigned char>(ch)));
  struct AddCase {
    std::string folder;
    int answer;  // 0: no question expected
    const char* after;
  } const adds[] = {
      {upperA, IDNO, "*B0 A1 B1"},
      {upperA, IDYES, "B0 *A0 B1"},
      {d, 0, "B0 A0 B1 *D0"},
  };
  for (size_t i = 0; i < std::size(adds); ++i) {
    const AddCase& k = adds[i];
    SCOPED_TRACE(testing::Message() << "add " << i << " " << Readable(k.folder));
    edit = Open(program, dialog, kAdd, kAddTitle, kFolderEdit);
    ASSERT_TRUE(edit);
    SetControlText(edit, kFolderEdit, k.folder);
    CloseWith(edit, IDOK);
    if (k.answer != 0) {
      ExpectBox(program, k.answer, "このフォルダはすでに登録済みです。　\n置き換えますか？", "question");
    }
    EXPECT_EQ(k.after, WaitForSummary(list, k.after));
    if (k.answer != IDNO) {
      EXPECT_EQ(kList, WaitForFocus(dialog, kList, 2000));
    }
  }
  EXPECT_EQ(upperA, Cells(list, 1)[0]);

  // Remove: at once; the row that takes the removed one's place is selected,
  // the new last row when the last one went.
  struct RemoveCase {
    int row;
    const char* after;
  } const removals[] = {{3, "B0 A0 *B1"}, {0, "*A0 B1"}};
  for (const RemoveCase& r : removals) {
    SCOPED_TRACE(testing::Message() << "remove row " << r.row);
    ASSERT_TRUE(SelectRowByKeys(list, r.row, 3000));
    ASSERT_TRUE(ClickButton(dialog, kRemove));
    EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
    EXPECT_EQ(r.after, WaitForSummary(list, r.after));
    EXPECT_EQ(kList, WaitForFocus(dialog, kList, 2000));
  }

  // OK writes the list in its order and removes the entry that is gone; B is
  // still registered and stays the current folder.
  CloseWith(dialog, IDOK);
  ASSERT_TRUE(WaitForTotals(main));
  PostClose(main);
  ExpectEnds(program);
  const char* const keys[] = {"BkFolder%03d", "FilterFileIn%03d", "FilterFileOut%03d", "FilterFolderIn%03d",
                              "FilterFolderOut%03d"};
  const std::vector<std::vector<std::string>> stored = {
      {upperA, "", "", "", ""}, {b, "", "*.bak", "", ""}, {"<absent>", "<absent>", "<absent>", "<absent>", "<absent>"}};
  for (size_t i = 0; i < stored.size(); ++i) {
    for (size_t k = 0; k < 5; ++k) {
      char key[32];
      std::snprintf(key, sizeof(key), keys[k], static_cast<int>(i));
      EXPECT_EQ(stored[i][k], IniValue("BkFolderList", key)) << key;
    }
  }
  EXPECT_EQ(b, IniValue("Backup", "BackupFolder"));
}

TEST_F(Dialogs, TheLimitAndCancelLeaveTheFileAsItWas) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("backups\\A");
  std::vector<ListEntry> hundred;
  for (int i = 0; i < 100; ++i) hundred.push_back({"Z:\\nowhere\\f" + std::to_string(i), i % 3 ? "" : "*.txt"});
  Process program;
  HWND main = StartCounted(program, {Backups("A"), hundred}, {Data("a.txt")});
  ASSERT_TRUE(main);
  const std::string before = tree_.Read("prog\\Larkspan.ini");
  HWND dialog = Open(program, main, kFolderSettings, kSettingsTitle, kList);
  ASSERT_TRUE(dialog);
  HWND list = ::GetDlgItem(dialog, kList);
  ASSERT_EQ(100u, ReadListView(list, 1).size());

  // With 100 rows, add only says so; no add dialog opens.
  ASSERT_TRUE(ClickButton(dialog, kAdd));
  ExpectBox(program, IDOK, "バックアップフォルダの最大登録数100件を超えます。これ以上は追加できません。　",
            "exclamation");
  EXPECT_FALSE(WaitForDialog(program.pid(), kAddTitle, kFolderEdit, kQuietMs));

  // Any edits, then Cancel: the file keeps every byte, the record its folder.
  ASSERT_TRUE(SelectRowByKeys(list, 0, 3000));
  ASSERT_TRUE(ClickButton(dialog, kDown));
  ASSERT_TRUE(ClickButton(dialog, kRemove));
  ASSERT_TRUE(SelectRowByKeys(list, 5, 3000));
  ASSERT_TRUE(ClickButton(dialog, kRemove));
  EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs));
  EXPECT_EQ(98u, ReadListView(list, 1).size());
  CloseWith(dialog, IDCANCEL);
  EXPECT_EQ(before, tree_.Read("prog\\Larkspan.ini"));
  dialog = Open(program, main, kFolderSettings, kSettingsTitle, kList);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(100u, ReadListView(::GetDlgItem(dialog, kList), 1).size()) << "opened again after Cancel";
  CloseWith(dialog, IDCANCEL);
  EXPECT_TRUE(IsControlEnabled(main, kStart)) << "Cancel started no new count";
  PostClose(main);
  ExpectEnds(program);
  EXPECT_EQ(Backups("A"), IniValue("Backup", "BackupFolder"));
  EXPECT_EQ("Z:\\nowhere\\f99", IniValue("BkFolderList", "BkFolder099"));
}

// OK when the current folder is no longer registered: the first row becomes
// current (none when the list is empty) and is counted with its filters.
TEST_F(Dialogs, OkWithoutTheCurrentFolderTakesTheFirstRow) {
  tree_.File("data\\a.txt", "a");
  tree_.File("data\\b.dat", "bb");
  for (const char* f : {"A", "B", "C"}) tree_.Folder(std::string("backups\\") + f);
  struct Case {
    const char* what;
    Settings settings;
    int removals;  // rows removed from the top; one more finds the list empty
    const char* files;
    std::string current;
  } const cases[] = {
      {"every row removed", {Backups("A"), {{Backups("A"), "*.txt"}, {Backups("B")}}}, 3, "", ""},
      // Registered in other letters only: OK's comparison is exact.
      {"the current folder's row removed", {Backups("a"), {{Backups("A")}, {Backups("B"), "*.txt"}, {Backups("C")}}},
       1, "1", Backups("B")},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& k = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << k.what << ")");
    Process program;
    HWND main = StartCounted(program, k.settings, {Data("a.txt"), Data("b.dat")});
    ASSERT_TRUE(main);
    HWND dialog = Open(program, main, kFolderSettings, kSettingsTitle, kList);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SelectRowByKeys(::GetDlgItem(dialog, kList), 0, 3000));
    for (int r = 0; r < k.removals; ++r) ASSERT_TRUE(ClickButton(dialog, kRemove));
    EXPECT_TRUE(NoBoxWithin(program.pid(), kQuietMs)) << "removing from an empty list says nothing";
    CloseWith(dialog, IDOK);
    if (k.current.empty()) {
      ExpectBox(program, IDOK, kSetUpFirst);
    }
    ASSERT_TRUE(WaitForControlText(main, kTotalFiles, [&](const std::string& t) { return t == k.files; },
                                   kTotalsShownMs));
    EXPECT_EQ(!k.current.empty(), IsControlVisible(main, kFilterIndicator));
    PostClose(main);
    ExpectEnds(program);
    EXPECT_EQ(k.current, IniValue("Backup", "BackupFolder"));
    EXPECT_EQ(k.current.empty() ? "<absent>" : k.current, IniValue("BkFolderList", "BkFolder000"));
  }
}

// --- The environment settings dialog ---------------------------------------

TEST_F(Dialogs, TheOptionFlagsRoundTrip) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("backups\\A");
  const std::vector<TemplateControl> envTemplate = {
      {1, "Button", "OK", 89, 69, 50, 14, true},
      {2, "Button", "ｷｬﾝｾﾙ", 146, 69, 50, 14, true},
      {kEndMsgBox, "Button", "正常終了メッセージを表示する", 7, 7, 189, 12, true},
      {kMiniPathBox, "Button", "バックアップフォルダ切換メニューのパスを短縮形で表示", 7, 22, 189, 12, true},
      {kTopFolderBox, "Button", "起動時に先頭のバックアップフォルダへ自動切り換え", 7, 36, 189, 12, true},
  };

  const int boxes[] = {kEndMsgBox, kMiniPathBox, kTopFolderBox};
  // One opening of the dialog: the boxes as shown, the boxes to click, the closing button.
  struct Round {
    const char* shownAtOpen;
    std::vector<int> clicks;
    int button;
  };
  // Each start: the settings file (none: the defaults), its rounds, and the
  // flags saved at the end.
  struct Case {
    bool withFile;
    int endMsg;
    std::vector<Round> rounds;
    const char* saved;
  } const cases[] = {
      {false, 0, {{"110", {kEndMsgBox, kMiniPathBox, kTopFolderBox}, IDCANCEL},
        {"110", {kEndMsgBox, kTopFolderBox}, IDOK}}, "011"},
      {true, 2, {{"010", {kEndMsgBox, kMiniPathBox, kTopFolderBox}, IDCANCEL}}, "210"},
      {true, 2, {{"010", {}, IDOK}}, "010"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& k = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i);
    ::DeleteFileA(Ini().c_str());
    if (k.withFile) WriteSettings({Backups("A"), {{Backups("A")}}, k.endMsg, 1, 0});
    Select({Data("a.txt")});
    Process program;
    HWND main = Start(program);
    ASSERT_TRUE(main);
    if (!k.withFile) {
      ASSERT_TRUE(AnswerBox(program.pid(), IDOK, kBoxAppearsMs).shown) << "no folder: a hint";
    }
    ASSERT_TRUE(WaitForTotals(main));
    for (size_t r = 0; r < k.rounds.size(); ++r) {
      SCOPED_TRACE(testing::Message() << "round " << r);
      HWND env = Open(program, main, kEnvSettings, kEnvTitle, kEndMsgBox);
      ASSERT_TRUE(env);
      if (i == 0 && r == 0) {
        EXPECT_EQ("", CompareWithTemplate(env, 203, 90, envTemplate));
      }
      std::string shown;
      for (int id : boxes) shown += IsButtonChecked(env, id) ? "1" : "0";
      EXPECT_EQ(k.rounds[r].shownAtOpen, shown);
      for (int id : k.rounds[r].clicks) ASSERT_TRUE(ClickButton(env, id));
      CloseWith(env, k.rounds[r].button);
    }
    // OK changes the record only; the file follows when the program ends.
    PostClose(main);
    ExpectEnds(program);
    EXPECT_EQ(k.saved, IniValue("Option", "EndMsg") + IniValue("Option", "ChangeMiniPathFlg") +
                           IniValue("Option", "TopFolderDspFlg"));
  }
}

// --- The filter editor behind the filter indicator -------------------------

TEST_F(Dialogs, TheFilterEditorChangesTheTotals) {
  tree_.File("data\\tree\\a.txt", "a");
  tree_.File("data\\tree\\b.dat", std::string(2048, 'b'));
  tree_.File("data\\tree\\obj\\c.txt", "cc");
  tree_.Folder("backups\\A");
  const std::string a = Backups("A");
  Process program;
  HWND main = StartCounted(program, {a, {{Backups("B")}, {a, "*.txt"}}}, {Data("tree")});
  ASSERT_TRUE(main);
  EXPECT_EQ("2", ControlText(main, kTotalFiles));
  const std::string before = tree_.Read("prog\\Larkspan.ini");
  auto openEditor = [&] {
    EXPECT_TRUE(ClickPicture(main, kFilterIndicator));
    return WaitForDialog(program.pid(), kChangeTitle, kFolderEdit, kBoxAppearsMs);
  };

  // The indicator shows its pressed look (light blue) for about 120 ms, then
  // white again; then the editor opens.
  const COLORREF white = RGB(255, 255, 255), normal = WaitForPixel(main, kFilterIndicator, 0, 15, white);
  EXPECT_TRUE(SameColor(white, normal)) << ColorText(normal);
  ASSERT_TRUE(ClickPicture(main, kFilterIndicator));
  DWORD pressedAt = 0, releasedAt = 0;
  Poll(
      [&] {
        const COLORREF now = ScreenPixel(main, kFilterIndicator, 0, 15);
        if (!pressedAt && SameColor(RGB(190, 215, 255), now)) pressedAt = ::GetTickCount();
        if (pressedAt && SameColor(white, now)) releasedAt = ::GetTickCount();
        return releasedAt != 0;
      },
      3000);
  EXPECT_NE(0u, pressedAt) << "the pressed look never showed";
  EXPECT_NE(0u, releasedAt) << "the normal look did not come back";
  if (pressedAt && releasedAt) {
    EXPECT_GE(releasedAt - pressedAt, 60u);
  }
  HWND editor = WaitForDialog(program.pid(), kChangeTitle, kFolderEdit, kBoxAppearsMs);
  // The current folder's filters, the folder locked; Cancel changes nothing.
  ASSERT_TRUE(editor) << "the filter indicator opened no editor";
  EXPECT_FALSE(::IsWindowEnabled(main));
  EXPECT_EQ(a, ControlText(editor, kFolderEdit));
  EXPECT_FALSE(IsControlEnabled(editor, kFolderEdit));
  EXPECT_FALSE(IsControlVisible(editor, kBrowse));
  EXPECT_TRUE(IsButtonChecked(editor, kFileFilter));
  EXPECT_TRUE(IsButtonChecked(editor, kFileInclude));
  EXPECT_EQ("*.txt", ControlText(editor, kFilePatterns));
  EXPECT_FALSE(IsButtonChecked(editor, kFolderFilter));
  CloseWith(editor, IDCANCEL);
  EXPECT_EQ("2", ControlText(main, kTotalFiles));
  EXPECT_EQ(before, tree_.Read("prog\\Larkspan.ini"));

  // OK: stored into the folder's entry and counted anew.
  editor = openEditor();
  ASSERT_TRUE(editor);
  ASSERT_TRUE(ClickButton(editor, kFileExclude));
  SetControlText(editor, kFilePatterns, "*.dat");
  SetCheckBox(editor, kFolderFilter, true);
  SetControlText(editor, kFolderPatterns, "obj");
  CloseWith(editor, IDOK);
  ASSERT_TRUE(WaitForControlText(main, kTotalFiles, [](const std::string& t) { return t == "1"; }, kTotalsShownMs));
  EXPECT_EQ("1バイト", ControlText(main, kTotalSize).substr(ControlText(main, kTotalSize).find_first_not_of(' ')));
  EXPECT_EQ("", IniValue("BkFolderList", "FilterFileIn001"));
  EXPECT_EQ("*.dat", IniValue("BkFolderList", "FilterFileOut001"));
  EXPECT_EQ("obj", IniValue("BkFolderList", "FilterFolderOut001"));
  EXPECT_EQ(a, IniValue("BkFolderList", "BkFolder001"));
  EXPECT_TRUE(IsControlEnabled(main, kStart));

  // The locked folder has gone from the disk: OK is refused every time.
  RemoveTree(a);
  editor = openEditor();
  ASSERT_TRUE(editor);
  for (int attempt = 0; attempt < 2; ++attempt) {
    ASSERT_TRUE(ClickButton(editor, IDOK));
    SCOPED_TRACE(testing::Message() << "attempt " << attempt);
    ExpectBox(program, IDOK, kFolderMissing);
  }
  CloseWith(editor, IDCANCEL);

  // Both filters off: the indicator goes and everything is counted.
  MakeFolders(a);
  editor = openEditor();
  ASSERT_TRUE(editor);
  SetCheckBox(editor, kFileFilter, false);
  SetCheckBox(editor, kFolderFilter, false);
  CloseWith(editor, IDOK);
  ASSERT_TRUE(WaitForControlText(main, kTotalFiles, [](const std::string& t) { return t == "3"; }, kTotalsShownMs));
  EXPECT_FALSE(IsControlVisible(main, kFilterIndicator));
  EXPECT_EQ("", IniValue("BkFolderList", "FilterFileOut001"));
  EXPECT_EQ("", IniValue("BkFolderList", "FilterFolderOut001"));
  PostClose(main);
  ExpectEnds(program);
}

}  // namespace
}  // namespace e2e
