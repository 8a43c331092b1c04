// AppSettings: the settings file's place, defaults, the first save, flag parsing,
// save failures, and the backup-folder list with its stale-entry removal. Each
// test works on Larkspan.ini in a temporary folder; one round trip uses the
// program's own folder and removes the file again.
#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <vector>

#include "engine/fileutil.h"
#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

// One "key=value" line of a file: section, key, value.
using IniLine = std::array<std::string, 3>;

// The key lines of an INI text in file order, read independently of the profile
// layer: lines end at CR LF, LF or CR; nothing is trimmed.
std::vector<IniLine> ParseIni(const std::string& text) {
  std::vector<IniLine> lines;
  std::string section;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    std::string line = text.substr(pos, end - pos);
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    size_t eq = line.find('=');
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (eq != std::string::npos) {
      lines.push_back({section, line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return lines;
}

// The five key lines of list entry index.
std::vector<IniLine> EntryLines(int index, const std::string& folder, const std::string& fileIn = "",
                                const std::string& fileOut = "", const std::string& folderIn = "",
                                const std::string& folderOut = "") {
  char n[16];
  std::snprintf(n, sizeof(n), "%03d", index);
  return {{"BkFolderList", std::string("BkFolder") + n, folder},
          {"BkFolderList", std::string("FilterFileIn") + n, fileIn},
          {"BkFolderList", std::string("FilterFileOut") + n, fileOut},
          {"BkFolderList", std::string("FilterFolderIn") + n, folderIn},
          {"BkFolderList", std::string("FilterFolderOut") + n, folderOut}};
}

// The same entry as file text, with CR LF line ends and one text for all four filters.
std::string EntryText(int index, const std::string& folder, const std::string& filters = "") {
  std::string text;
  for (const IniLine& l : EntryLines(index, folder, filters, filters, filters, filters)) {
    text += l[1] + "=" + l[2] + "\r\n";
  }
  return text;
}

void Append(std::vector<IniLine>& to, const std::vector<IniLine>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// The loaded values in one line, so that a failure shows them all.
std::string Fields(const AppSettings& s) {
  return s.VL + "|" + s.BackupFolder + "|" + std::to_string(s.EndMsg) + "|" + std::to_string(s.ChangeMiniPathFlg) +
         "|" + std::to_string(s.TopFolderDspFlg) + "|" + std::to_string(s.BkFolderCount) + "|" +
         std::to_string(s.DeleteEmptyFlg);
}

struct Lists {
  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  std::vector<BkFolderArray*> All() { return {&folders, &fileIn, &fileOut, &folderIn, &folderOut}; }
  void Fill(const std::string& text) {
    for (BkFolderArray* a : All()) a->fill(text);
  }
  // Entry i as "folder|fileIn|fileOut|folderIn|folderOut".
  std::string Row(size_t i) {
    return folders[i] + "|" + fileIn[i] + "|" + fileOut[i] + "|" + folderIn[i] + "|" + folderOut[i];
  }
};

const std::string kKept = "keep|keep|keep|keep|keep";

// Fails the profile writes whose position (0-based, in call order) is in the mask.
struct WriteFaults {
  unsigned failMask = 0;
  int calls = 0;
  std::vector<std::string> paths;
};

uint32_t FailSomeWrites(plat::FsOp op, const std::string& path, void* ctx) {
  if (op != plat::FsOp::ProfileWrite) return 0;
  auto* f = static_cast<WriteFaults*>(ctx);
  int position = f->calls++;
  f->paths.push_back(path);
  return (position < 32 && (f->failMask & (1u << position))) ? static_cast<uint32_t>(plat::kErrAccessDenied) : 0u;
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { settings.UseFolderForTests(tree.root()); }

  void WriteIni(const std::string& content) { tree.File("Larkspan.ini", content); }
  std::string IniText() const { return tree.Read("Larkspan.ini"); }
  std::vector<IniLine> IniLines() const { return ParseIni(IniText()); }
  // The values of every line of section/key, "|" between them.
  std::string Values(const std::string& section, const std::string& key) const {
    std::string values;
    for (const IniLine& l : IniLines()) {
      if (l[0] == section && l[1] == key) values += (values.empty() ? "" : "|") + l[2];
    }
    return values;
  }
  bool Has(const IniLine& line) const {
    std::vector<IniLine> lines = IniLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  int Load(Lists& l, int loadFilters = 1) {
    return settings.LoadBkFolderList(loadFilters, l.folders, l.fileIn, l.fileOut, l.folderIn, l.folderOut);
  }
  int Save(const Lists& l) {
    return settings.SaveBkFolderList(l.folders, l.fileIn, l.fileOut, l.folderIn, l.folderOut);
  }
  // Saves with the writes in failMask failing; the writes seen are left in faults.
  int SaveFailing(unsigned failMask, WriteFaults& faults, const Lists* l = nullptr) {
    faults.failMask = failMask;
    plat::SetFaultHook(FailSomeWrites, &faults);
    int result = l ? Save(*l) : settings.SaveSettings();
    plat::SetFaultHook(nullptr, nullptr);
    return result;
  }

  TempTree tree;
  AppSettings settings;
};

// --- Settings file ---------------------------------------------------------

TEST(SettingsFile, IsLarkspanIniBesideTheProgram) {
  AppSettings settings;
  EXPECT_EQ(GetModuleDir() + "\\Larkspan.ini", settings.SettingsFilePath());
  settings.UseFolderForTests("X:\\elsewhere");
  EXPECT_EQ("X:\\elsewhere\\Larkspan.ini", settings.SettingsFilePath());
  settings.UseFolderForTests("");
  EXPECT_EQ(GetModuleDir() + "\\Larkspan.ini", settings.SettingsFilePath());
}

TEST(SettingsFile, RoundTripBesideTheProgram) {
  // The one test that uses the program's own folder: it puts back whatever was there.
  const std::string path = GetModuleDir() + "\\Larkspan.ini";
  std::string before;
  bool existed = plat::ReadAll(path, before) == plat::kErrSuccess;
  {
    AppSettings writer;
    writer.LoadSettings();
    writer.BackupFolder = "D:\\バックアップ先";
    writer.EndMsg = 0;
    EXPECT_NE(0, writer.SaveSettings());
  }
  AppSettings reader;
  reader.LoadSettings();
  EXPECT_EQ("D:\\バックアップ先", reader.BackupFolder);
  EXPECT_EQ(0, reader.EndMsg);
  if (existed) {
    WriteBytes(path, before);
  } else {
    EXPECT_EQ(plat::kErrSuccess, plat::RemoveFile(path));
  }
}

TEST_F(SettingsTest, EveryLoadReadsTheFileAgain) {
  WriteIni("[Backup]\r\nBackupFolder=D:\\first\r\n");
  settings.LoadSettings();
  EXPECT_EQ("D:\\first", settings.BackupFolder);
  WriteIni("[Backup]\r\nBackupFolder=D:\\second\r\n");
  settings.LoadSettings();
  EXPECT_EQ("D:\\second", settings.BackupFolder);
  TempTree other;
  settings.UseFolderForTests(other.root());
  settings.LoadSettings();
  EXPECT_EQ("", settings.BackupFolder);
}

TEST(SettingsDefaults, WithoutAUsableFile) {
  TempTree tree;
  tree.File("empty\\Larkspan.ini", "");
  tree.File("other\\Larkspan.ini", "[Elsewhere]\r\nEndMsg=0\r\n");
  tree.Folder("folder\\Larkspan.ini");
  tree.Folder("none");
  const char* cases[] = {"none", "empty", "other", "folder", "missing folder"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    AppSettings settings;
    settings.UseFolderForTests(tree.Path(cases[i]));
    EXPECT_EQ(0, settings.LoadSettings()) << "case " << i;
    EXPECT_EQ("1.00||1|1|0|0|0", Fields(settings)) << "case " << i << " (" << cases[i] << ")";
  }
}

TEST_F(SettingsTest, FirstSaveWritesExactlyTheFiveKeys) {
  settings.LoadSettings();
  EXPECT_NE(0, settings.SaveSettings());
  std::vector<IniLine> expected = {{"Base", "VL", "1.00"},         {"Backup", "BackupFolder", ""},
                                   {"Option", "EndMsg", "1"},      {"Option", "ChangeMiniPathFlg", "1"},
                                   {"Option", "TopFolderDspFlg", "0"}};
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, FlagsLoadAsLeadingIntegersAndSaveAsLoaded) {
  struct Case { const char* stored; int32_t loaded; const char* saved; } cases[] = {  // stored nullptr: no key
      {nullptr, 1, "1"},   {"", 0, "0"},      {"abc", 0, "0"},       {"2", 2, "2"},
      {"1", 1, "1"},       {"0", 0, "0"},     {"7x", 7, "7"},        {"-3", -3, "-3"},
      {"+4", 4, "4"},      {"0x10", 0, "0"},  {"\"5\"", 5, "5"},     {"1.9", 1, "1"},
      {"99999999999", INT32_MAX, "2147483647"}, {"-99999999999", INT32_MIN, "-2147483648"},
      {"2147483647", INT32_MAX, "2147483647"},  {"-2147483648", INT32_MIN, "-2147483648"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    WriteIni(cases[i].stored ? std::string("[Option]\r\nEndMsg=") + cases[i].stored + "\r\n" : "[Option]\r\n");
    settings.LoadSettings();
    EXPECT_EQ(cases[i].loaded, settings.EndMsg) << "case " << i;
    EXPECT_NE(0, settings.SaveSettings()) << "case " << i;
    EXPECT_EQ(cases[i].saved, Values("Option", "EndMsg")) << "case " << i;
  }
}

TEST_F(SettingsTest, LongValuesAreReadAsAtMost1999Bytes) {
  std::string dbcs;
  for (int i = 0; i < 1250; ++i) dbcs += "表";
  struct Case { std::string stored, loaded; } cases[] = {
      {std::string(2500, 'x'), std::string(1999, 'x')},
      {std::string(1999, 'y'), std::string(1999, 'y')},
      {"a" + dbcs, "a" + dbcs.substr(0, 1998)},
      {dbcs, dbcs.substr(0, 1998)},  // the cut would fall inside a character: the whole ones that fit
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    WriteIni("[Backup]\r\nBackupFolder=" + cases[i].stored + "\r\n");
    settings.LoadSettings();
    EXPECT_EQ(cases[i].loaded, settings.BackupFolder) << "case " << i;
  }
}

TEST_F(SettingsTest, DeleteEmptyFlgMakesAnEmptyValueRemoveTheKey) {
  struct Case { int32_t flag; std::string value; bool present; } cases[] = {
      {0, "", true}, {1, "", false}, {1, "x", true}, {2, "", true}, {0, "y", true}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    WriteIni("[S]\r\nK=old\r\nOther=1\r\n");
    settings.DeleteEmptyFlg = cases[i].flag;
    EXPECT_NE(0, settings.WriteIniString("S", "K", cases[i].value, settings.SettingsFilePath())) << "case " << i;
    std::vector<IniLine> expected;
    if (cases[i].present) expected.push_back({"S", "K", cases[i].value});
    expected.push_back({"S", "Other", "1"});
    EXPECT_EQ(expected, IniLines()) << "case " << i;
  }
}

TEST_F(SettingsTest, FailedSaveReportsZeroAndStillAttemptsEveryWrite) {
  std::vector<IniLine> all = {{"Base", "VL", "1.00"},         {"Backup", "BackupFolder", "D:\\b"},
                              {"Option", "EndMsg", "0"},      {"Option", "ChangeMiniPathFlg", "1"},
                              {"Option", "TopFolderDspFlg", "1"}};
  const unsigned masks[] = {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x11};
  for (size_t i = 0; i < std::size(masks); ++i) {
    plat::RemoveFile(settings.SettingsFilePath());
    settings.LoadSettings();
    settings.BackupFolder = "D:\\b";
    settings.EndMsg = 0;
    settings.TopFolderDspFlg = 1;
    WriteFaults faults;
    EXPECT_EQ(0, SaveFailing(masks[i], faults)) << "case " << i;
    EXPECT_EQ(5, faults.calls) << "case " << i;
    for (const std::string& p : faults.paths) EXPECT_EQ(settings.SettingsFilePath(), p) << "case " << i;
    std::vector<IniLine> expected;
    for (size_t w = 0; w < all.size(); ++w) {
      if (!(masks[i] & (1u << w))) expected.push_back(all[w]);
    }
    EXPECT_EQ(expected, masks[i] == 0x1F ? std::vector<IniLine>() : IniLines()) << "case " << i;
  }
}

TEST_F(SettingsTest, SaveOverAFolderFailsAndLeavesIt) {
  tree.Folder("Larkspan.ini");
  settings.LoadSettings();
  settings.BackupFolder = "D:\\b";
  EXPECT_EQ(0, settings.SaveSettings());
  uint32_t attributes = plat::GetAttributes(settings.SettingsFilePath());
  EXPECT_NE(plat::kInvalidAttributes, attributes);
  EXPECT_NE(0u, attributes & plat::kAttrDirectory) << "the folder is still there";
}

TEST_F(SettingsTest, HandEditedFileLosesNothingOnSave) {
  WriteIni("; my settings\n[Base]\r\nVL=0.90\n[Backup]\rBackupFolder = D:\\表\\ソ \r\nComment=keep me\r\n"
           "[Option]\r\nEndMsg=2\nChangeMiniPathFlg=\r\nTopFolderDspFlg=yes\r\n[Custom]\r\nAnything=1\r\n");
  settings.LoadSettings();
  EXPECT_EQ("0.90|D:\\表\\ソ|2|0|0|0|0", Fields(settings));
  EXPECT_NE(0, settings.SaveSettings());
  EXPECT_EQ("0.90", settings.VL) << "the version is saved as the program's own; the record stays";
  EXPECT_EQ((IniLine{"Base", "VL", "1.00"}), IniLines().at(0));
  EXPECT_NE(std::string::npos, IniText().find("; my settings")) << IniText();
  const IniLine kept[] = {{"Backup", "Comment", "keep me"}, {"Custom", "Anything", "1"}, {"Option", "EndMsg", "2"},
                          {"Option", "ChangeMiniPathFlg", "0"}};
  for (const IniLine& line : kept) EXPECT_TRUE(Has(line)) << testing::PrintToString(line) << "\n" << IniText();
}

// --- Backup-folder list ----------------------------------------------------

TEST_F(SettingsTest, ListEndsAtAGapNonFolderOrAnEmptyFolderAndLeavesTheRest) {
  const std::string kList = "[BkFolderList]\r\n";
  std::string hundred = kList;  // and BkFolder100, which is never read
  for (int i = 0; i <= 100; ++i) hundred += EntryText(i, "D:\\f" + std::to_string(i), "p" + std::to_string(i));
  struct Case { std::string text; int count; std::string last; } cases[] = {  // last: the last entry loaded
      {"[Backup]\r\nBackupFolder=D:\\b\r\n", 0, ""},  // no list section
      {kList + EntryText(0, "D:\\a") + EntryText(1, "D:\\b") + EntryText(3, "D:\\d"), 2, "D:\\b||||"},
      {kList + "BkFolder000=NonFolder\r\n" + EntryText(1, "D:\\b"), 0, ""},
      {kList + "BkFolder000=\r\n" + EntryText(1, "D:\\b"), 0, ""},
      {kList + EntryText(0, "D:\\a") + "BkFolder001=NonFolder\r\n" + EntryText(2, "D:\\c"), 1, "D:\\a||||"},
      {kList + EntryText(0, "D:\\a", "x") + "BkFolder001=nonfolder\r\n", 2, "nonfolder||||"},  // only the exact text
      {kList + EntryText(1, "D:\\b"), 0, ""},
      {hundred, 100, "D:\\f99|p99|p99|p99|p99"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    WriteIni(cases[i].text);
    Lists l;
    l.Fill("keep");
    settings.BkFolderCount = 7;
    EXPECT_EQ(0, Load(l)) << "case " << i;
    EXPECT_EQ(cases[i].count, settings.BkFolderCount) << "case " << i;
    if (cases[i].count > 0) {
      EXPECT_EQ(cases[i].last, l.Row(static_cast<size_t>(cases[i].count - 1))) << "case " << i;
    }
    for (size_t e = static_cast<size_t>(cases[i].count); e < l.folders.size(); ++e) {
      ASSERT_EQ(kKept, l.Row(e)) << "case " << i << " entry " << e;
    }
  }
}

TEST_F(SettingsTest, GapAt002KeepsTheEntryBehindItUntilItsIndexIsSaved) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "0") + EntryText(1, "D:\\b", "1") +
           EntryText(3, "D:\\hidden", "3"));
  Lists l;
  Load(l);
  ASSERT_EQ(2, settings.BkFolderCount);
  Save(l);
  for (const IniLine& hidden : EntryLines(3, "D:\\hidden", "3", "3", "3", "3")) {
    EXPECT_TRUE(Has(hidden)) << testing::PrintToString(hidden);
  }
  // Four entries now: index 003 is the user's new fourth entry.
  l.folders[2] = "D:\\c";
  l.folders[3] = "D:\\d";
  Save(l);
  Lists read;
  Load(read);
  EXPECT_EQ(4, settings.BkFolderCount);
  EXPECT_EQ("D:\\d||||", read.Row(3));
}

TEST_F(SettingsTest, LoadWithoutFiltersGivesEmptyLists) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "*.txt") + EntryText(1, "D:\\b", "obj"));
  Lists l;
  l.Fill("keep");
  Load(l, 0);
  EXPECT_EQ(2, settings.BkFolderCount);
  EXPECT_EQ("D:\\a||||", l.Row(0));
  EXPECT_EQ("D:\\b||||", l.Row(1));
  EXPECT_EQ(kKept, l.Row(2));
  Load(l, 1);
  EXPECT_EQ("D:\\a|*.txt|*.txt|*.txt|*.txt", l.Row(0));
  EXPECT_EQ("D:\\b|obj|obj|obj|obj", l.Row(1));
}

TEST_F(SettingsTest, Load5Save3RemovesExactlyTheKeysOf003And004) {
  std::string section = "[BkFolderList]\r\nNote=kept\r\n";
  for (int i = 0; i < 5; ++i) section += EntryText(i, "D:\\f" + std::to_string(i), "x" + std::to_string(i));
  section += EntryText(6, "D:\\behind a gap", "g");
  WriteIni("[Base]\r\nVL=1.00\n" + section + "[Option]\r\nEndMsg=0\r\n");
  std::vector<IniLine> before = IniLines();
  Lists l;
  Load(l);
  ASSERT_EQ(5, settings.BkFolderCount);
  for (size_t i = 3; i < 5; ++i) {
    for (BkFolderArray* a : l.All()) (*a)[i].clear();
  }
  l.fileIn[1] = "*.changed";
  EXPECT_EQ(0, Save(l));
  EXPECT_EQ(5, settings.BkFolderCount) << "saving does not change the count";
  EXPECT_EQ(0, settings.DeleteEmptyFlg);
  std::vector<IniLine> expected;
  for (IniLine line : before) {
    const std::string tail = line[1].size() > 3 ? line[1].substr(line[1].size() - 3) : "";
    if (line[0] == "BkFolderList" && (tail == "003" || tail == "004")) continue;
    if (line[1] == "FilterFileIn001") line[2] = "*.changed";
    expected.push_back(line);
  }
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, Load3Save5WritesAllFiveKeysOfEveryEntryAndRemovesNothing) {
  std::string section = "[BkFolderList]\r\n";
  for (int i = 0; i < 3; ++i) section += EntryText(i, "D:\\f" + std::to_string(i));
  WriteIni(section);
  Lists l;
  Load(l);
  l.folders[3] = "D:\\f3";
  l.folders[4] = "D:\\f4";
  l.fileOut[4] = "*.bak";
  l.folderOut[4] = "obj";
  Save(l);
  std::vector<IniLine> expected;
  for (int i = 0; i < 4; ++i) Append(expected, EntryLines(i, "D:\\f" + std::to_string(i)));
  Append(expected, EntryLines(4, "D:\\f4", "", "*.bak", "", "obj"));
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, HandEditedListValuesComeBackAsStored) {
  // Both lists of one kind set, a value longer than a read takes, Shift_JIS text.
  WriteIni("[BkFolderList]\r\nBkFolder000=D:\\表\\ソ\r\nFilterFileIn000=*.txt\r\nFilterFileOut000=*.bak\r\n"
           "FilterFolderIn000=" + std::string(2500, 'f') + "\nFilterFolderOut000=obj\r");
  Lists l;
  Load(l);
  ASSERT_EQ(1, settings.BkFolderCount);
  const std::string expected = "D:\\表\\ソ|*.txt|*.bak|" + std::string(1999, 'f') + "|obj";
  EXPECT_EQ(expected, l.Row(0));
  Save(l);
  Lists again;
  Load(again);
  EXPECT_EQ(expected, again.Row(0)) << "both lists of one kind stay stored";
}

TEST_F(SettingsTest, ReadBkFolderReadsOneEntryWithEmptyDefaults) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "p") + "BkFolder001=NonFolder\r\n" +
           EntryText(2, "D:\\c", "q"));
  struct Case { int index; std::string folder, filter; } cases[] = {
      {0, "D:\\a", "p"}, {1, "NonFolder", ""}, {2, "D:\\c", "q"}, {3, "", ""},
      {99, "", ""},      {100, "", ""},          {-1, "", ""}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    Lists l;
    l.Fill("x");
    EXPECT_EQ(0, settings.ReadBkFolder(cases[i].index, l.folders[0], l.fileIn[0], l.fileOut[0], l.folderIn[0],
                                       l.folderOut[0])) << "case " << i;
    const std::string& f = cases[i].filter;
    EXPECT_EQ(cases[i].folder + "|" + f + "|" + f + "|" + f + "|" + f, l.Row(0)) << "case " << i;
  }
}

TEST_F(SettingsTest, WriteBkFolderWritesTheGivenIndexOnly) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "p"));
  settings.BkFolderCount = 1;
  EXPECT_EQ(0, settings.WriteBkFolder(5, "D:\\five", "*.txt", "", "Debug", ""));
  EXPECT_EQ(0, settings.WriteBkFolder(100, "D:\\never", "", "", "", ""));
  EXPECT_EQ(0, settings.WriteBkFolder(-1, "D:\\never", "", "", "", ""));
  EXPECT_EQ(1, settings.BkFolderCount);
  std::vector<IniLine> expected = EntryLines(0, "D:\\a", "p", "p", "p", "p");
  Append(expected, EntryLines(5, "D:\\five", "*.txt", "", "Debug", ""));
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, ListSaveWithFailingWritesReportsNothingAndRestoresTheFlag) {
  std::string section = "[BkFolderList]\r\n";
  for (int i = 0; i < 3; ++i) section += EntryText(i, "D:\\f" + std::to_string(i));
  WriteIni(section);
  std::string before = IniText();
  Lists l;
  Load(l);
  l.folders[1].clear();
  l.folders[2].clear();
  WriteFaults faults;
  EXPECT_EQ(0, SaveFailing(~0u, faults, &l));
  EXPECT_EQ(15, faults.calls) << "one entry written, two removed, five keys each";
  EXPECT_EQ(0, settings.DeleteEmptyFlg);
  EXPECT_EQ(before, IniText());
}

}  // namespace
