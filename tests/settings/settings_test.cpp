// The settings record and the backup-folder list on a real Larkspan.ini in a temporary folder.
#include "settings/app_settings.h"
#include "settings/bkfolder_list.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

// Entry i's five key lines, each ended by ";" (a line end in SettingsFile).
std::string EntryOf(int i, const core::BackupFolder& e) {
  char n[8];
  std::snprintf(n, sizeof(n), "%03d", i);
  return std::string("BkFolder") + n + "=" + e.Folder + ";FilterFileIn" + n + "=" + e.FilterFileIn +
         ";FilterFileOut" + n + "=" + e.FilterFileOut + ";FilterFolderIn" + n + "=" + e.FilterFolderIn +
         ";FilterFolderOut" + n + "=" + e.FilterFolderOut + ";";
}

// The same with one text for all four filters.
std::string Entry(int i, const std::string& folder, const std::string& f = "") {
  return EntryOf(i, core::BackupFolder{folder, f, f, f, f});
}

std::string Row(const core::BackupFolder& e) {
  return e.Folder + "|" + e.FilterFileIn + "|" + e.FilterFileOut + "|" + e.FilterFolderIn + "|" + e.FilterFolderOut;
}

// Larkspan.ini written and read with ";" for each line end "\r\n".
struct SettingsFile : ::testing::Test {
  void Write(std::string text) {
    for (size_t at = 0; (at = text.find(';', at)) != std::string::npos; at += 2) text.replace(at, 1, "\r\n");
    tree.File("Larkspan.ini", text);
  }
  std::string Text() const {
    std::string text = tree.Read("Larkspan.ini");
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.replace(at, 2, ";");
    return text;
  }
  const std::string head = "[BkFolderList];";
  TempTree tree;
  const plat::NativePath path = plat::ToNative(tree.Path("Larkspan.ini"));
};

// A flag is on only at 1; a hand-set number is saved back while the flag keeps its state (turned: every flag changed).
TEST_F(SettingsFile, RecordLoadsDefaultsAndFlagsAndSavesEveryKey) {
  struct Case { const char* file; bool turned; const char* loaded; const char* saved; } cases[] = {
      {nullptr, 0, "|1|1|0|0|0|0", "[Base];VL=1.00;[Backup];BackupFolder=;[Option];EndMsg=1;ChangeMiniPathFlg=1;"
       "TopFolderDspFlg=0;Verify=0;SkipUnreadable=0;Link=0;"},
      {"[Base];VL=0.50;[Option];EndMsg=2;ChangeMiniPathFlg=;TopFolderDspFlg=abc;Verify=2;SkipUnreadable=x;Link=-1;",
       0, "|0|0|0|0|0|0", "[Base];VL=1.00;[Option];EndMsg=2;ChangeMiniPathFlg=0;TopFolderDspFlg=0;Verify=2;"
       "SkipUnreadable=0;Link=-1;[Backup];BackupFolder=;"},
      {"[Backup];BackupFolder=D:\\表\\ソ;[Option];EndMsg=0;TopFolderDspFlg=1x;Verify=1;SkipUnreadable=1;",
       0, "D:\\表\\ソ|0|1|1|1|1|0", "[Backup];BackupFolder=D:\\表\\ソ;[Option];EndMsg=0;TopFolderDspFlg=1;Verify=1;"
       "SkipUnreadable=1;ChangeMiniPathFlg=1;Link=0;[Base];VL=1.00;"},
      {"[Option];EndMsg=2;TopFolderDspFlg=1;Verify=01;Link=3;", 1, "|0|1|1|1|0|0", "[Option];EndMsg=1;"
       "TopFolderDspFlg=0;Verify=0;Link=1;ChangeMiniPathFlg=0;SkipUnreadable=1;[Base];VL=1.00;[Backup];BackupFolder=;"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    RemoveTree(tree.Path("Larkspan.ini"));
    if (cases[i].file) Write(cases[i].file);
    settings::AppSettings s;
    s.LoadSettings(path);
    std::string loaded = s.BackupFolder;
    for (bool* flag : {&s.EndMsg, &s.ChangeMiniPathFlg, &s.TopFolderDspFlg, &s.Verify, &s.SkipUnreadable, &s.Link}) {
      loaded += *flag ? "|1" : "|0";
      *flag ^= cases[i].turned;
    }
    EXPECT_EQ(cases[i].loaded, loaded) << "case " << i;
    EXPECT_TRUE(s.SaveSettings(path)) << "case " << i;
    EXPECT_EQ(cases[i].saved, Text()) << "case " << i;
  }
}

TEST_F(SettingsFile, ListLoadStopsAtTheFirstAbsentEmptyOrNonFolderKey) {
  std::string hundred = head;  // and BkFolder100, which is never read
  for (int i = 0; i <= 100; ++i) hundred += Entry(i, "D:\\f" + std::to_string(i), "p" + std::to_string(i));
  struct Case { std::string file; bool filters; int count; std::string last; } cases[] = {
      {"[Backup];BackupFolder=D:\\b;", 1, 0, ""},
      {head + Entry(0, "D:\\a", "x") + Entry(1, "D:\\b", "y") + Entry(3, "D:\\d"), 1, 2, "D:\\b|y|y|y|y"},
      {head + Entry(0, "D:\\a", "x") + Entry(1, "D:\\b", "y"), 0, 2, "D:\\b||||"},
      {head + "BkFolder000=NonFolder;" + Entry(1, "D:\\b"), 1, 0, ""},
      {head + Entry(0, "D:\\a") + "BkFolder001=;" + Entry(2, "D:\\c"), 1, 1, "D:\\a||||"},
      {head + Entry(0, "D:\\a") + "BkFolder001=nonfolder;", 1, 2, "nonfolder||||"},
      {hundred, 1, 100, "D:\\f99|p99|p99|p99|p99"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(cases[i].file);
    core::BackupFolderList list(3);
    settings::LoadBkFolderList(cases[i].filters, list, path);
    ASSERT_EQ(static_cast<size_t>(cases[i].count), list.size()) << "case " << i;
    EXPECT_EQ(cases[i].last, list.empty() ? "" : Row(list.back())) << "case " << i;
  }
}

// The list goes in with one write of the file (natively counted), all of it or nothing: a failed write leaves the
// file as it was and says so.
TEST_F(SettingsFile, ListSaveWritesEveryEntryWholeAndRemovesTheStaleOnes) {
  auto f = [](int i) { return Entry(i, "D:\\f" + std::to_string(i), "x" + std::to_string(i)); };
  const std::string five = head + "Note=kept;" + f(0) + f(1) + f(2) + f(3) + f(4) + Entry(6, "D:\\behind") +
                           "BkFolder004=D:\\again;";  // a second line of a key goes too
  const std::string gap = head + Entry(0, "D:\\a") + Entry(1, "D:\\b") + Entry(3, "D:\\h");
  const core::BackupFolder added{"D:\\new", "*.c", "", "", "obj"};
  struct Case { std::string file; size_t keep; bool add, fails; std::string saved; } cases[] = {
      {five, 3, false, false, head + "Note=kept;" + f(0) + f(1) + f(2) + Entry(6, "D:\\behind")},
      {five, 0, false, false, head + "Note=kept;" + Entry(6, "D:\\behind")},
      {gap, 2, false, false, gap}, {gap, 2, true, false, gap + EntryOf(2, added)}, {five, 0, true, true, five},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(cases[i].file);
    core::BackupFolderList list;
    settings::LoadBkFolderList(true, list, path);
    list.resize(cases[i].keep);
    if (cases[i].add) list.push_back(added);
#ifdef _WIN32
    if (cases[i].fails) continue;
#else
    std::pair<bool, int> faults{cases[i].fails, 0};  // fails, writes
    plat::SetFaultHook([](plat::FsOp op, const std::string&, void* ctx) -> uint32_t {
      auto* f = static_cast<std::pair<bool, int>*>(ctx);
      return op == plat::FsOp::Replace && ++f->second && f->first ? uint32_t{plat::kErrDiskFull} : 0u;
    }, &faults);
#endif
    EXPECT_EQ(!cases[i].fails, settings::SaveBkFolderList(list, path)) << "case " << i;
#ifndef _WIN32
    plat::SetFaultHook(nullptr, nullptr);
    EXPECT_EQ(cases[i].saved != cases[i].file || cases[i].fails, faults.second) << "case " << i;
#endif
    EXPECT_EQ(cases[i].saved, Text()) << "case " << i;
  }
}

// Only 0..99 are entries. A value with a blank or a quote at either end comes back as written.
TEST_F(SettingsFile, OneEntryIsReadAndWrittenAtItsIndexOnly) {
  Write(head + Entry(0, "D:\\a", "p") + "BkFolder001=NonFolder;");
  struct Case { int index; const char* row; } cases[] = {
      {0, "D:\\a|p|p|p|p"}, {1, "NonFolder||||"}, {2, "||||"}, {100, "||||"}, {-1, "||||"}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    core::BackupFolder entry{"x", "x", "x", "x", "x"};
    settings::ReadBkFolder(cases[i].index, entry, path);
    EXPECT_EQ(cases[i].row, Row(entry)) << "case " << i;
  }
  const core::BackupFolder five{"D:\\five", "*.txt", "", "Debug", ""};
  for (int index : {5, 100, -1}) settings::WriteBkFolder(index, five, path);
  EXPECT_EQ(head + Entry(0, "D:\\a", "p") + "BkFolder001=NonFolder;" + EntryOf(5, five), Text());

  for (const std::string& value : {std::string(" tmp"), std::string("'*'")}) {
    settings::WriteBkFolder(0, core::BackupFolder{value, value, value, value, value}, path);
    core::BackupFolder entry;
    settings::ReadBkFolder(0, entry, path);
    EXPECT_EQ(Row(core::BackupFolder{value, value, value, value, value}), Row(entry)) << value;
  }
}

TEST_F(SettingsFile, CurrentFiltersGoToEveryEntryOfTheCurrentFolderExactly) {
  const core::BackupFolder stored{"D:\\a", "*.c", "", "", "obj"};
  const std::string a0 = Entry(0, "D:\\a", "o"), A1 = Entry(1, "d:\\A", "o"), a2 = Entry(2, "D:\\a", "o");
  const std::string tail = "BkFolder003=;" + Entry(4, "D:\\a", "o");  // past the list's end
  struct Case { const char* current; std::string saved; } cases[] = {
      {"D:\\a", head + EntryOf(0, stored) + A1 + EntryOf(2, stored) + tail}, {"D:\\x", head + a0 + A1 + a2 + tail}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(head + a0 + A1 + a2 + tail);
    settings::StoreCurrentFilters(cases[i].current, core::FilterSet("*.c", "", "", "obj"), path);
    EXPECT_EQ(cases[i].saved, Text()) << "case " << i;
  }
}

}  // namespace
