// The settings record and the backup-folder list on a real Larkspan.ini in a
// temporary folder: defaults and flags, the save that attempts every write,
// the list's end, its round trip with stale-key removal, single entries, and
// the store of the current folder's filters.
#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/native_path.h"
#include "tests/support/temp_tree.h"

namespace {

// The key lines of section in file order as "key=value;", read without the
// profile layer.
std::string Section(const std::string& text, const std::string& section) {
  std::string keys, current;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line[0] == '[') {
      current = line.substr(1, line.find(']') - 1);
    } else if (current == section && line.find('=') != std::string::npos) {
      keys += line + ";";
    }
  }
  return keys;
}

// Entry i's five key lines as Section() shows them.
std::string EntryOf(int i, const BackupFolder& e) {
  char n[8];
  std::snprintf(n, sizeof(n), "%03d", i);
  return std::string("BkFolder") + n + "=" + e.Folder + ";FilterFileIn" + n + "=" + e.FilterFileIn +
         ";FilterFileOut" + n + "=" + e.FilterFileOut + ";FilterFolderIn" + n + "=" + e.FilterFolderIn +
         ";FilterFolderOut" + n + "=" + e.FilterFolderOut + ";";
}

// The same with one text for all four filters.
std::string Entry(int i, const std::string& folder, const std::string& f = "") {
  return EntryOf(i, BackupFolder{folder, f, f, f, f});
}

// The same entry as file text.
std::string EntryFile(int i, const std::string& folder, const std::string& filters = "") {
  std::string text = Entry(i, folder, filters);
  for (size_t at; (at = text.find(';')) != std::string::npos;) text.replace(at, 1, "\r\n");
  return text;
}

std::string Row(const BackupFolder& e) {
  return e.Folder + "|" + e.FilterFileIn + "|" + e.FilterFileOut + "|" + e.FilterFolderIn + "|" + e.FilterFolderOut;
}

std::string Rows(const BackupFolderList& list) {
  std::string rows;
  for (const BackupFolder& e : list) rows += Row(e) + ";";
  return rows;
}

struct SettingsFile : ::testing::Test {
  void Write(const std::string& text) { tree.File("Larkspan.ini", text); }
  std::string Keys(const std::string& section) const { return Section(tree.Read("Larkspan.ini"), section); }
  TempTree tree;
  const plat::NativePath path = plat::ToNative(tree.Path("Larkspan.ini"));
  AppSettings settings;
};

TEST_F(SettingsFile, RecordLoadsDefaultsAndFlagsAndSavesTheSixKeys) {
  struct Case { const char* file; const char* loaded; const char* base; const char* backup; const char* option; } cases[] = {
      {nullptr, "|1|1|0|0", "VL=1.00;", "BackupFolder=;", "EndMsg=1;ChangeMiniPathFlg=1;TopFolderDspFlg=0;Verify=0;"},
      {"[Base]\r\nVL=0.50\r\n[Option]\r\nEndMsg=2\r\nChangeMiniPathFlg=\r\nTopFolderDspFlg=abc\r\nVerify=2\r\n",
       "|2|0|0|2", "VL=1.00;", "BackupFolder=;", "EndMsg=2;ChangeMiniPathFlg=0;TopFolderDspFlg=0;Verify=2;"},
      {"[Backup]\r\nBackupFolder=D:\\表\\ソ\r\n[Option]\r\nEndMsg=0\r\nTopFolderDspFlg=1x\r\nVerify=1\r\n",
       "D:\\表\\ソ|0|1|1|1", "VL=1.00;", "BackupFolder=D:\\表\\ソ;", "EndMsg=0;TopFolderDspFlg=1;Verify=1;ChangeMiniPathFlg=1;"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    RemoveTree(tree.Path("Larkspan.ini"));
    if (cases[i].file) Write(cases[i].file);
    AppSettings s;
    s.LoadSettings(path);
    const std::string loaded = s.BackupFolder + "|" + std::to_string(s.EndMsg) + "|" +
                               std::to_string(s.ChangeMiniPathFlg) + "|" + std::to_string(s.TopFolderDspFlg) + "|" +
                               std::to_string(s.Verify);
    EXPECT_EQ(cases[i].loaded, loaded) << "case " << i;
    EXPECT_TRUE(s.SaveSettings(path)) << "case " << i;
    EXPECT_EQ(cases[i].base, Keys("Base")) << "case " << i;
    EXPECT_EQ(cases[i].backup, Keys("Backup")) << "case " << i;
    EXPECT_EQ(cases[i].option, Keys("Option")) << "case " << i;
  }
}

#ifndef _WIN32
// Fails the profile writes whose position (in call order) is in the mask.
struct WriteFaults {
  unsigned mask = 0;
  int calls = 0;
};

uint32_t FailWrites(plat::FsOp op, const std::string&, void* ctx) {
  auto* f = static_cast<WriteFaults*>(ctx);
  if (op != plat::FsOp::ProfileWrite) return 0;
  return (f->mask >> f->calls++) & 1u ? static_cast<uint32_t>(plat::kErrAccessDenied) : 0u;
}

TEST_F(SettingsFile, SaveAttemptsEveryWriteWhateverFails) {
  struct Case { unsigned mask; int result; const char* option; } cases[] = {
      {0x00, 1, "EndMsg=0;ChangeMiniPathFlg=1;TopFolderDspFlg=1;Verify=0;"},
      {0x01, 0, "EndMsg=0;ChangeMiniPathFlg=1;TopFolderDspFlg=1;Verify=0;"},
      {0x04, 0, "ChangeMiniPathFlg=1;TopFolderDspFlg=1;Verify=0;"}, {0x20, 0, "EndMsg=0;ChangeMiniPathFlg=1;TopFolderDspFlg=1;"},
      {0x3F, 0, ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    RemoveTree(tree.Path("Larkspan.ini"));
    settings.EndMsg = 0;
    settings.TopFolderDspFlg = 1;
    WriteFaults faults{cases[i].mask, 0};
    plat::SetFaultHook(FailWrites, &faults);
    const bool result = settings.SaveSettings(path);
    plat::SetFaultHook(nullptr, nullptr);
    EXPECT_EQ(cases[i].result, result) << "case " << i;
    EXPECT_EQ(6, faults.calls) << "case " << i;
    EXPECT_EQ(cases[i].option, Keys("Option")) << "case " << i;
  }
}
#endif

TEST_F(SettingsFile, ListLoadStopsAtTheFirstAbsentEmptyOrNonFolderKey) {
  const std::string head = "[BkFolderList]\r\n";
  std::string hundred = head;  // and BkFolder100, which is never read
  for (int i = 0; i <= 100; ++i) hundred += EntryFile(i, "D:\\f" + std::to_string(i), "p" + std::to_string(i));
  struct Case { std::string file; bool filters; int count; std::string last; } cases[] = {
      {"[Backup]\r\nBackupFolder=D:\\b\r\n", 1, 0, ""},
      {head + EntryFile(0, "D:\\a", "x") + EntryFile(1, "D:\\b", "y") + EntryFile(3, "D:\\d"), 1, 2, "D:\\b|y|y|y|y"},
      {head + EntryFile(0, "D:\\a", "x") + EntryFile(1, "D:\\b", "y"), 0, 2, "D:\\b||||"},
      {head + "BkFolder000=NonFolder\r\n" + EntryFile(1, "D:\\b"), 1, 0, ""},
      {head + EntryFile(0, "D:\\a") + "BkFolder001=\r\n" + EntryFile(2, "D:\\c"), 1, 1, "D:\\a||||"},
      {head + EntryFile(0, "D:\\a") + "BkFolder001=nonfolder\r\n", 1, 2, "nonfolder||||"},
      {hundred, 1, 100, "D:\\f99|p99|p99|p99|p99"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(cases[i].file);
    BackupFolderList list(3);
    settings.BkFolderCount = 7;
    settings.LoadBkFolderList(cases[i].filters, list, path);
    EXPECT_EQ(cases[i].count, settings.BkFolderCount) << "case " << i;
    ASSERT_EQ(static_cast<size_t>(cases[i].count), list.size()) << "case " << i;
    if (!list.empty()) {
      EXPECT_EQ(cases[i].last, Row(list.back())) << "case " << i;
    }
  }
}

TEST_F(SettingsFile, ListSaveWritesEveryEntryWholeAndRemovesTheStaleOnes) {
  std::string five = "[BkFolderList]\r\nNote=kept\r\n";
  for (int i = 0; i < 5; ++i) five += EntryFile(i, "D:\\f" + std::to_string(i), "x" + std::to_string(i));
  five += EntryFile(6, "D:\\behind") + "BkFolder004=D:\\again\r\n";  // a second line of a key goes too
  const std::string gap = "[BkFolderList]\r\n" + EntryFile(0, "D:\\a") + EntryFile(1, "D:\\b") + EntryFile(3, "D:\\h");
  const BackupFolder filtered{"D:\\new ", "'*'", "", "", " tmp"};  // stored in quotes, read back as they were
  const std::string quoted = "BkFolder002=\"D:\\new \";FilterFileIn002=\"'*'\";FilterFileOut002=;FilterFolderIn002=;"
                             "FilterFolderOut002=\" tmp\";";
  struct Case { std::string file; size_t keep; bool add; std::string section; } cases[] = {
      {five, 3, false, "Note=kept;" + Entry(0, "D:\\f0", "x0") + Entry(1, "D:\\f1", "x1") + Entry(2, "D:\\f2", "x2") +
                           Entry(6, "D:\\behind")},
      {five, 0, false, "Note=kept;" + Entry(6, "D:\\behind")},
      {gap, 2, false, Entry(0, "D:\\a") + Entry(1, "D:\\b") + Entry(3, "D:\\h")},
      {gap, 2, true, Entry(0, "D:\\a") + Entry(1, "D:\\b") + Entry(3, "D:\\h") + quoted},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(cases[i].file);
    BackupFolderList list;
    settings.LoadBkFolderList(true, list, path);
    list.resize(cases[i].keep);
    if (cases[i].add) list.push_back(filtered);
    settings.SaveBkFolderList(list, path);
    EXPECT_FALSE(settings.DeleteEmptyFlg) << "case " << i;
    EXPECT_EQ(cases[i].section, Keys("BkFolderList")) << "case " << i;
    BackupFolderList again;
    settings.LoadBkFolderList(true, again, path);
    again.resize(std::min(again.size(), list.size()));  // a filled gap shows the entries behind it
    EXPECT_EQ(Rows(list), Rows(again)) << "case " << i;
  }
}

TEST_F(SettingsFile, OneEntryIsReadAndWrittenAtItsIndexOnly) {
  Write("[BkFolderList]\r\n" + EntryFile(0, "D:\\a", "p") + "BkFolder001=NonFolder\r\n");
  struct Case { int index; const char* row; } cases[] = {
      {0, "D:\\a|p|p|p|p"}, {1, "NonFolder||||"}, {2, "||||"}, {100, "||||"}, {-1, "||||"}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    BackupFolder entry{"x", "x", "x", "x", "x"};
    settings.ReadBkFolder(cases[i].index, entry, path);
    EXPECT_EQ(cases[i].row, Row(entry)) << "case " << i;
  }
  const BackupFolder five{"D:\\five", "*.txt", "", "Debug", ""};
  for (int index : {5, 100, -1}) settings.WriteBkFolder(index, five, path);
  EXPECT_EQ(Entry(0, "D:\\a", "p") + "BkFolder001=NonFolder;" + EntryOf(5, five), Keys("BkFolderList"));
}

TEST_F(SettingsFile, LongValuesComeBackWhole) {
  std::string list;  // a 5,000-byte filter list whose last pattern lies far past the first 2,000 bytes
  while (list.size() < 4993) list += "*.表ソ;";
  list = list.substr(0, 4993) + ";*.xlsx";
  // A double-byte character across the end of the first buffer, and of the second.
  const std::string w1 = std::string(1998, 'w') + "表", w2 = std::string(3998, 'w') + "ソ";
  for (const std::string& value : {list, w1, w2, std::string(1999, 'x'), std::string("z")}) {
    settings.WriteBkFolder(0, BackupFolder{value, value, value, value, value}, path);
    BackupFolder entry;
    settings.ReadBkFolder(0, entry, path);
    EXPECT_EQ(Row(BackupFolder{value, value, value, value, value}), Row(entry)) << "length " << value.size();
  }
}

TEST_F(SettingsFile, CurrentFiltersGoToEveryEntryOfTheCurrentFolderExactly) {
  const std::string list = "[BkFolderList]\r\n" + EntryFile(0, "D:\\a", "o") + EntryFile(1, "d:\\A", "o") +
                           EntryFile(2, "D:\\a", "o") + "BkFolder003=\r\n" + EntryFile(4, "D:\\a", "o");
  const BackupFolder stored{"D:\\a", "*.c", "", "", "obj"};
  const std::string tail = Entry(1, "d:\\A", "o");
  struct Case { const char* current; std::string section; } cases[] = {
      {"D:\\a", EntryOf(0, stored) + tail + EntryOf(2, stored) + "BkFolder003=;" + Entry(4, "D:\\a", "o")},
      {"D:\\x", Entry(0, "D:\\a", "o") + tail + Entry(2, "D:\\a", "o") + "BkFolder003=;" + Entry(4, "D:\\a", "o")},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Write(list);
    settings.BackupFolder = cases[i].current;
    StoreCurrentFilters(settings, FilterSet("*.c", "", "", "obj"), path);
    EXPECT_EQ(cases[i].section, Keys("BkFolderList")) << "case " << i;
  }
}

}  // namespace
