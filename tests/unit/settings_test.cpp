// AppSettings: the settings file's place, defaults, the first save, flag parsing,
// save failures, and the backup-folder list with its stale-entry removal. Each
// test works on Larkspan.ini in a temporary folder; one round trip uses the
// program's own folder and removes the file again.
#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <tuple>
#include <vector>

#include "engine/fileutil.h"
#include "platform/fs.h"
#include "settings/texts.h"
#include "tests/support/temp_tree.h"

namespace {

// One "key=value" line of a file, with the section it stands in.
struct IniLine {
  std::string section, key, value;
  bool operator==(const IniLine& o) const {
    return std::tie(section, key, value) == std::tie(o.section, o.key, o.value);
  }
};

std::ostream& operator<<(std::ostream& os, const IniLine& l) {
  return os << "[" << l.section << "] " << l.key << "=" << l.value;
}

// The key lines of an INI text in file order, read independently of the
// profile layer: lines end at CR LF, LF or CR; nothing is trimmed, so a test
// sees exactly what was written.
std::vector<IniLine> ParseIni(const std::string& text) {
  std::vector<IniLine> lines;
  std::string section;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (line.find('=') != std::string::npos) {
      size_t eq = line.find('=');
      lines.push_back({section, line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return lines;
}

std::string Key(const char* format, int index) {
  char key[32];
  std::snprintf(key, sizeof(key), format, index);
  return key;
}

// The five key lines of list entry index.
std::vector<IniLine> EntryLines(int index, const std::string& folder, const std::string& fileIn = "",
                                const std::string& fileOut = "", const std::string& folderIn = "",
                                const std::string& folderOut = "") {
  return {{"BkFolderList", Key("BkFolder%03d", index), folder},
          {"BkFolderList", Key("FilterFileIn%03d", index), fileIn},
          {"BkFolderList", Key("FilterFileOut%03d", index), fileOut},
          {"BkFolderList", Key("FilterFolderIn%03d", index), folderIn},
          {"BkFolderList", Key("FilterFolderOut%03d", index), folderOut}};
}

// The same entry as file text, with CR LF line ends.
std::string EntryText(int index, const std::string& folder, const std::string& filters = "") {
  std::string text;
  for (const IniLine& l : EntryLines(index, folder, filters, filters, filters, filters)) {
    text += l.key + "=" + l.value + "\r\n";
  }
  return text;
}

struct Lists {
  BkFolderArray folders, fileIn, fileOut, folderIn, folderOut;
  void Fill(const std::string& text) {
    for (BkFolderArray* a : {&folders, &fileIn, &fileOut, &folderIn, &folderOut}) a->fill(text);
  }
};

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { settings.UseFolderForTests(tree.root()); }

  void WriteIni(const std::string& content) { tree.File("Larkspan.ini", content); }
  std::string IniText() const { return tree.Read("Larkspan.ini"); }
  std::vector<IniLine> IniLines() const { return ParseIni(IniText()); }
  int Load(Lists& l, int loadFilters = 1) {
    return settings.LoadBkFolderList(loadFilters, l.folders, l.fileIn, l.fileOut, l.folderIn, l.folderOut);
  }
  int Save(const Lists& l) {
    return settings.SaveBkFolderList(l.folders, l.fileIn, l.fileOut, l.folderIn, l.folderOut);
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
  // The one test that uses the program's own folder: it keeps whatever file
  // was there and puts it back.
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
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    AppSettings settings;
    settings.UseFolderForTests(tree.Path(cases[i]));
    EXPECT_EQ(0, settings.LoadSettings()) << "case " << i;
    EXPECT_EQ("1.00", settings.VL) << "case " << i << " (" << cases[i] << ")";
    EXPECT_EQ("", settings.BackupFolder) << "case " << i;
    EXPECT_EQ(1, settings.EndMsg) << "case " << i;
    EXPECT_EQ(1, settings.ChangeMiniPathFlg) << "case " << i;
    EXPECT_EQ(0, settings.TopFolderDspFlg) << "case " << i;
    EXPECT_EQ(0, settings.BkFolderCount) << "case " << i;
    EXPECT_EQ(0, settings.DeleteEmptyFlg) << "case " << i;
  }
}

TEST_F(SettingsTest, FirstSaveWritesExactlyTheFiveKeys) {
  settings.LoadSettings();
  EXPECT_NE(0, settings.SaveSettings());
  std::vector<IniLine> expected = {
      {"Base", "VL", "1.00"},
      {"Backup", "BackupFolder", ""},
      {"Option", "EndMsg", "1"},
      {"Option", "ChangeMiniPathFlg", "1"},
      {"Option", "TopFolderDspFlg", "0"},
  };
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, FlagsLoadAsLeadingIntegersAndSaveAsLoaded) {
  struct Case {
    const char* stored;  // nullptr: no key
    int32_t loaded;
    const char* saved;
  } cases[] = {
      {nullptr, 1, "1"},   {"", 0, "0"},      {"abc", 0, "0"},       {"2", 2, "2"},
      {"1", 1, "1"},       {"0", 0, "0"},     {"7x", 7, "7"},        {"-3", -3, "-3"},
      {"+4", 4, "4"},      {"0x10", 0, "0"},  {"\"5\"", 5, "5"},     {"1.9", 1, "1"},
      {"99999999999", INT32_MAX, "2147483647"}, {"-99999999999", INT32_MIN, "-2147483648"},
      {"2147483647", INT32_MAX, "2147483647"},  {"-2147483648", INT32_MIN, "-2147483648"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    WriteIni(cases[i].stored ? std::string("[Option]\r\nEndMsg=") + cases[i].stored + "\r\n" : "[Option]\r\n");
    settings.LoadSettings();
    EXPECT_EQ(cases[i].loaded, settings.EndMsg) << "case " << i << " stored " << (cases[i].stored ? cases[i].stored : "-");
    EXPECT_NE(0, settings.SaveSettings()) << "case " << i;
    std::vector<IniLine> lines = IniLines();
    bool found = false;
    for (const IniLine& l : lines) {
      if (l.section == "Option" && l.key == "EndMsg") {
        EXPECT_EQ(cases[i].saved, l.value) << "case " << i;
        found = true;
      }
    }
    EXPECT_TRUE(found) << "case " << i;
  }
}

TEST_F(SettingsTest, VersionIsLoadedAsStoredAndSavedAsTheProgramsOwn) {
  WriteIni("[Base]\r\nVL=0.50\r\n");
  settings.LoadSettings();
  EXPECT_EQ("0.50", settings.VL);
  EXPECT_NE(0, settings.SaveSettings());
  EXPECT_EQ((IniLine{"Base", "VL", "1.00"}), IniLines().at(0));
  EXPECT_EQ("0.50", settings.VL) << "saving does not change the record";
}

TEST_F(SettingsTest, LongValuesAreReadAsAtMost1999Bytes) {
  std::string dbcs;
  for (int i = 0; i < 1250; ++i) dbcs += "表";
  struct Case {
    std::string stored, loaded;
  } cases[] = {
      {std::string(2500, 'x'), std::string(1999, 'x')},
      {std::string(1999, 'y'), std::string(1999, 'y')},
      {"a" + dbcs, "a" + dbcs.substr(0, 1998)},
      // The cut would fall inside a character: the whole characters that fit.
      {dbcs, dbcs.substr(0, 1998)},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    WriteIni("[Backup]\r\nBackupFolder=" + cases[i].stored + "\r\n");
    settings.LoadSettings();
    EXPECT_EQ(cases[i].loaded.size(), settings.BackupFolder.size()) << "case " << i;
    EXPECT_EQ(cases[i].loaded, settings.BackupFolder) << "case " << i;
  }
}

TEST_F(SettingsTest, DeleteEmptyFlgMakesAnEmptyValueRemoveTheKey) {
  struct Case {
    int32_t flag;
    std::string value;
    bool present;
  } cases[] = {{0, "", true}, {1, "", false}, {1, "x", true}, {2, "", true}, {0, "y", true}};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    WriteIni("[S]\r\nK=old\r\nOther=1\r\n");
    settings.DeleteEmptyFlg = cases[i].flag;
    EXPECT_NE(0, settings.WriteIniString("S", "K", cases[i].value, settings.SettingsFilePath())) << "case " << i;
    std::vector<IniLine> expected;
    if (cases[i].present) expected.push_back({"S", "K", cases[i].value});
    expected.push_back({"S", "Other", "1"});
    EXPECT_EQ(expected, IniLines()) << "case " << i;
  }
  settings.DeleteEmptyFlg = 0;
}

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

TEST_F(SettingsTest, FailedSaveReportsZeroAndStillAttemptsEveryWrite) {
  std::vector<IniLine> all = {
      {"Base", "VL", "1.00"},
      {"Backup", "BackupFolder", "D:\\b"},
      {"Option", "EndMsg", "0"},
      {"Option", "ChangeMiniPathFlg", "1"},
      {"Option", "TopFolderDspFlg", "1"},
  };
  struct Case {
    unsigned failMask;
  } cases[] = {{0x1F}, {0x01}, {0x02}, {0x04}, {0x08}, {0x10}, {0x11}};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    plat::RemoveFile(settings.SettingsFilePath());
    settings.LoadSettings();
    settings.BackupFolder = "D:\\b";
    settings.EndMsg = 0;
    settings.TopFolderDspFlg = 1;
    WriteFaults faults;
    faults.failMask = cases[i].failMask;
    plat::SetFaultHook(FailSomeWrites, &faults);
    int result = settings.SaveSettings();
    plat::SetFaultHook(nullptr, nullptr);
    EXPECT_EQ(0, result) << "case " << i;
    EXPECT_EQ(5, faults.calls) << "case " << i;
    for (const std::string& p : faults.paths) EXPECT_EQ(settings.SettingsFilePath(), p) << "case " << i;
    std::vector<IniLine> expected;
    for (size_t w = 0; w < all.size(); ++w) {
      if (!(cases[i].failMask & (1u << w))) expected.push_back(all[w]);
    }
    std::vector<IniLine> actual = cases[i].failMask == 0x1F ? std::vector<IniLine>() : IniLines();
    EXPECT_EQ(expected, actual) << "case " << i;
  }
}

TEST_F(SettingsTest, SettingsPathTakenByAFolder) {
  tree.Folder("Larkspan.ini");
  settings.LoadSettings();
  EXPECT_EQ("1.00", settings.VL);
  EXPECT_EQ(1, settings.EndMsg);
  settings.BackupFolder = "D:\\b";
  EXPECT_EQ(0, settings.SaveSettings());
  uint32_t attributes = plat::GetAttributes(settings.SettingsFilePath());
  EXPECT_NE(plat::kInvalidAttributes, attributes);
  EXPECT_NE(0u, attributes & plat::kAttrDirectory) << "the folder is still there";
}

TEST_F(SettingsTest, HandEditedFileLosesNothingOnSave) {
  WriteIni(
      "; my settings\n"
      "[Base]\r\n"
      "VL=0.90\n"
      "[Backup]\r"
      "BackupFolder = D:\\表\\ソ \r\n"
      "Comment=keep me\r\n"
      "[Option]\r\n"
      "EndMsg=2\n"
      "ChangeMiniPathFlg=\r\n"
      "TopFolderDspFlg=yes\r\n"
      "[Custom]\r\n"
      "Anything=1\r\n");
  settings.LoadSettings();
  EXPECT_EQ("0.90", settings.VL);
  EXPECT_EQ("D:\\表\\ソ", settings.BackupFolder);
  EXPECT_EQ(2, settings.EndMsg);
  EXPECT_EQ(0, settings.ChangeMiniPathFlg);
  EXPECT_EQ(0, settings.TopFolderDspFlg);
  EXPECT_NE(0, settings.SaveSettings());
  std::string text = IniText();
  EXPECT_NE(std::string::npos, text.find("; my settings")) << text;
  std::vector<IniLine> lines = IniLines();
  auto has = [&](const IniLine& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
  EXPECT_TRUE(has({"Backup", "Comment", "keep me"})) << text;
  EXPECT_TRUE(has({"Custom", "Anything", "1"})) << text;
  EXPECT_TRUE(has({"Base", "VL", "1.00"})) << text;
  EXPECT_TRUE(has({"Option", "EndMsg", "2"})) << text;
  EXPECT_TRUE(has({"Option", "ChangeMiniPathFlg", "0"})) << text;
}

// --- Backup-folder list ----------------------------------------------------

TEST_F(SettingsTest, NoListSectionLoadsNothingAndLeavesTheArrays) {
  WriteIni("[Backup]\r\nBackupFolder=D:\\b\r\n");
  Lists l;
  l.Fill("keep");
  settings.BkFolderCount = 7;
  EXPECT_EQ(0, Load(l));
  EXPECT_EQ(0, settings.BkFolderCount);
  for (size_t i = 0; i < l.folders.size(); ++i) {
    EXPECT_EQ("keep", l.folders[i]) << i;
    EXPECT_EQ("keep", l.folderOut[i]) << i;
  }
}

TEST_F(SettingsTest, ListEndsAtAGapNonFolderOrAnEmptyFolder) {
  struct Case {
    std::string section;
    int count;
  } cases[] = {
      {EntryText(0, "D:\\a") + EntryText(1, "D:\\b") + EntryText(3, "D:\\d"), 2},
      {"BkFolder000=NonFolder\r\n" + EntryText(1, "D:\\b"), 0},
      {"BkFolder000=\r\n" + EntryText(1, "D:\\b"), 0},
      {EntryText(0, "D:\\a") + "BkFolder001=NonFolder\r\n" + EntryText(2, "D:\\c"), 1},
      {EntryText(0, "D:\\a") + "BkFolder001=nonfolder\r\n", 2},  // only the exact text ends it
      {EntryText(1, "D:\\b"), 0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    WriteIni("[BkFolderList]\r\n" + cases[i].section);
    Lists l;
    l.Fill("keep");
    Load(l);
    EXPECT_EQ(cases[i].count, settings.BkFolderCount) << "case " << i;
    EXPECT_EQ("keep", l.folders[static_cast<size_t>(cases[i].count)]) << "case " << i;
  }
}

TEST_F(SettingsTest, GapAt002KeepsTheEntryBehindItUntilItsIndexIsSaved) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "0") + EntryText(1, "D:\\b", "1") +
           EntryText(3, "D:\\hidden", "3"));
  Lists l;
  Load(l);
  ASSERT_EQ(2, settings.BkFolderCount);
  Save(l);
  std::vector<IniLine> lines = IniLines();
  for (const IniLine& hidden : EntryLines(3, "D:\\hidden", "3", "3", "3", "3")) {
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), hidden)) << hidden;
  }
  // Four entries now: index 003 is the user's new fourth entry.
  l.folders[2] = "D:\\c";
  l.folders[3] = "D:\\d";
  Save(l);
  std::string folder, fileIn, fileOut, folderIn, folderOut;
  settings.ReadBkFolder(3, folder, fileIn, fileOut, folderIn, folderOut);
  EXPECT_EQ("D:\\d", folder);
  EXPECT_EQ("", fileIn);
  Load(l);
  EXPECT_EQ(4, settings.BkFolderCount);
}

TEST_F(SettingsTest, HundredEntriesLoadAndBkFolder100IsNeverRead) {
  std::string section = "[BkFolderList]\r\n";
  for (int i = 0; i <= 100; ++i) section += EntryText(i, "D:\\f" + std::to_string(i), "p" + std::to_string(i));
  WriteIni(section);
  Lists l;
  l.Fill("keep");
  Load(l);
  EXPECT_EQ(100, settings.BkFolderCount);
  EXPECT_EQ("D:\\f0", l.folders[0]);
  EXPECT_EQ("D:\\f99", l.folders[99]);
  EXPECT_EQ("p99", l.folderOut[99]);
  EXPECT_EQ("keep", l.folders[100]);
  EXPECT_EQ("keep", l.fileIn[100]);
}

TEST_F(SettingsTest, LoadWithoutFiltersGivesEmptyLists) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "*.txt") + EntryText(1, "D:\\b", "obj"));
  Lists l;
  l.Fill("keep");
  Load(l, 0);
  EXPECT_EQ(2, settings.BkFolderCount);
  for (size_t i = 0; i < 2; ++i) {
    for (const BkFolderArray* a : {&l.fileIn, &l.fileOut, &l.folderIn, &l.folderOut}) {
      EXPECT_EQ("", (*a)[i]) << "entry " << i;
    }
  }
  EXPECT_EQ("keep", l.fileIn[2]);
  Load(l, 1);
  EXPECT_EQ("*.txt", l.fileIn[0]);
  EXPECT_EQ("obj", l.folderOut[1]);
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
    for (BkFolderArray* a : {&l.folders, &l.fileIn, &l.fileOut, &l.folderIn, &l.folderOut}) (*a)[i].clear();
  }
  l.fileIn[1] = "*.changed";
  EXPECT_EQ(0, Save(l));
  EXPECT_EQ(5, settings.BkFolderCount) << "saving does not change the count";
  EXPECT_EQ(0, settings.DeleteEmptyFlg);

  std::vector<IniLine> expected;
  for (IniLine line : before) {
    bool stale = line.section == "BkFolderList" && line.key.size() > 3 &&
                 (line.key.compare(line.key.size() - 3, 3, "003") == 0 ||
                  line.key.compare(line.key.size() - 3, 3, "004") == 0);
    if (stale) continue;
    if (line.section == "BkFolderList" && line.key == "FilterFileIn001") line.value = "*.changed";
    expected.push_back(line);
  }
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, Load3Save5WritesFiveAndRemovesNothing) {
  std::string section = "[BkFolderList]\r\n";
  for (int i = 0; i < 3; ++i) section += EntryText(i, "D:\\f" + std::to_string(i));
  WriteIni(section);
  Lists l;
  Load(l);
  l.folders[3] = "D:\\f3";
  l.folders[4] = "D:\\f4";
  l.folderOut[4] = "obj";
  Save(l);
  std::vector<IniLine> expected;
  for (int i = 0; i < 5; ++i) {
    std::vector<IniLine> e = EntryLines(i, "D:\\f" + std::to_string(i), "", "", "", i == 4 ? "obj" : "");
    expected.insert(expected.end(), e.begin(), e.end());
  }
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, EntriesAreStoredWithAllFiveKeysEvenWhenFiltersAreEmpty) {
  Lists l;
  Load(l);
  l.folders[0] = "D:\\a";
  l.folders[1] = "D:\\b";
  l.fileOut[1] = "*.bak";
  Save(l);
  std::vector<IniLine> expected = EntryLines(0, "D:\\a");
  std::vector<IniLine> second = EntryLines(1, "D:\\b", "", "*.bak");
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(expected, IniLines()) << IniText();
}

TEST_F(SettingsTest, HandEditedListValuesComeBackAsStored) {
  // Both lists of one kind set, a value longer than a read takes, Shift_JIS text.
  WriteIni("[BkFolderList]\r\n"
           "BkFolder000=D:\\表\\ソ\r\n"
           "FilterFileIn000=*.txt\r\n"
           "FilterFileOut000=*.bak\r\n"
           "FilterFolderIn000=" + std::string(2500, 'f') + "\n"
           "FilterFolderOut000=obj\r");
  Lists l;
  Load(l);
  ASSERT_EQ(1, settings.BkFolderCount);
  EXPECT_EQ("D:\\表\\ソ", l.folders[0]);
  EXPECT_EQ("*.txt", l.fileIn[0]);
  EXPECT_EQ("*.bak", l.fileOut[0]);
  EXPECT_EQ(std::string(1999, 'f'), l.folderIn[0]);
  EXPECT_EQ("obj", l.folderOut[0]);
  Save(l);
  Lists again;
  Load(again);
  EXPECT_EQ("*.txt", again.fileIn[0]);
  EXPECT_EQ("*.bak", again.fileOut[0]) << "both lists of one kind stay stored";
}

TEST_F(SettingsTest, ReadBkFolderReadsOneEntryWithEmptyDefaults) {
  WriteIni("[BkFolderList]\r\n" + EntryText(0, "D:\\a", "p") + "BkFolder001=NonFolder\r\n" +
           EntryText(2, "D:\\c", "q"));
  struct Case {
    int index;
    std::string folder, filter;
  } cases[] = {
      {0, "D:\\a", "p"}, {1, "NonFolder", ""}, {2, "D:\\c", "q"}, {3, "", ""}, {99, "", ""}, {100, "", ""}, {-1, "", ""},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    std::string folder = "x", fileIn = "x", fileOut = "x", folderIn = "x", folderOut = "x";
    EXPECT_EQ(0, settings.ReadBkFolder(cases[i].index, folder, fileIn, fileOut, folderIn, folderOut));
    EXPECT_EQ(cases[i].folder, folder) << "case " << i;
    EXPECT_EQ(cases[i].filter, fileIn) << "case " << i;
    EXPECT_EQ(cases[i].filter, fileOut) << "case " << i;
    EXPECT_EQ(cases[i].filter, folderIn) << "case " << i;
    EXPECT_EQ(cases[i].filter, folderOut) << "case " << i;
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
  std::vector<IniLine> five = EntryLines(5, "D:\\five", "*.txt", "", "Debug", "");
  expected.insert(expected.end(), five.begin(), five.end());
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
  faults.failMask = ~0u;
  plat::SetFaultHook(FailSomeWrites, &faults);
  int result = Save(l);
  plat::SetFaultHook(nullptr, nullptr);
  EXPECT_EQ(0, result);
  EXPECT_EQ(15, faults.calls) << "one entry written, two removed, five keys each";
  EXPECT_EQ(0, settings.DeleteEmptyFlg);
  EXPECT_EQ(before, IniText());
}

}  // namespace
