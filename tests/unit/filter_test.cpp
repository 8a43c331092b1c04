// Filters: the file and folder decisions over their pattern lists, the fold of
// A-Z and full-width Ａ-Ｚ that never touches a second byte, the pattern limit,
// and the storing of the current filters into the backup-folder list.
#include "engine/filter.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "settings/app_settings.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr int kTakes = 0;
constexpr int kLeaves = -1;

struct DecisionCase {
  std::string include, exclude, path;
  int expected;
};

int Decision(const DecisionCase& c, bool folder) {
  PatternList::Kind kind = folder ? PatternList::Kind::Folder : PatternList::Kind::File;
  PatternList include(c.include, kind), exclude(c.exclude, kind);
  return folder ? CheckFolderFilter(c.path, include, exclude) : CheckFileFilter(c.path, include, exclude);
}

template <size_t N>
void ExpectDecisions(const DecisionCase (&cases)[N], bool folder) {
  for (size_t i = 0; i < N; ++i) {
    EXPECT_EQ(cases[i].expected, Decision(cases[i], folder))
        << "case " << i << ": in \"" << cases[i].include << "\" out \"" << cases[i].exclude << "\" path "
        << cases[i].path;
  }
}

TEST(Filter, FoldLatinLowerFoldsWholeCharactersOnly) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"ABC.TXT", "abc.txt"},
      {"ＡＢＣ．ＴＸＴ", "ａｂｃ．ｔｘｔ"},  // full-width capitals fold; the full-width dot stays
      {"ＺＡ", "ｚａ"},
      {"\x83\x41Z", "\x83\x41z"},          // "ア" has second byte "A": untouched
      {"\x82\x60", "\x82\x81"},            // Ａ
      {"\x82\x5F\x82\x7A", "\x82\x5F\x82\x7A"},  // the codes just outside Ａ-Ｚ
      {"\x82", "\x82"},                    // a lone lead byte stays
      {"Ｃ:\\表ソA", "ｃ:\\表ソa"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string s = cases[i].in;
    sjis::FoldLatinLower(s);
    EXPECT_EQ(cases[i].out, s) << "case " << i;
  }
}

TEST(Filter, FileDecisionsWithSingleAndDoubleByteNames) {
  const std::string kFolder = "C:\\Work\\";
  DecisionCase cases[] = {
      {"*.txt;*.ini", "", kFolder + "a.txt", kTakes},
      {"*.txt;*.ini", "", kFolder + "B.TXT", kTakes},
      {"*.txt;*.ini", "", kFolder + "setup.Ini", kTakes},
      {"*.txt;*.ini", "", kFolder + "a.doc", kLeaves},
      {"*.txt;*.ini", "", kFolder + "txt", kLeaves},
      {"*.txt;*.ini", "", kFolder + "a.txt.bak", kLeaves},
      {"*.*", "", kFolder + "README", kTakes},  // "*.*" is read as "*"
      {"*", "", kFolder + "README", kTakes},
      {"*.*;x", "", kFolder + "README", kTakes},
      {" *.*", "", kFolder + "README", kLeaves},  // not exactly "*.*": needs the space and a dot
      {"**.*", "", kFolder + "README", kLeaves},
      {"**.*", "", kFolder + "a.b", kTakes},
      {"", "*.bak", kFolder + "x.BAK", kLeaves},
      {"", "*.bak", kFolder + "x.bak.txt", kTakes},
      {";", "", kFolder + "a.txt", kLeaves},  // not empty, yet no pattern takes anything
      {";;;", "", kFolder + "a.txt", kLeaves},
      {"", ";", kFolder + "a.txt", kTakes},
      {";*.txt;;", "", kFolder + "a.txt", kTakes},  // empty patterns skipped
      {"*.txt ;*.ini", "", kFolder + "a.txt", kLeaves},  // the space belongs to the pattern
      {"*.txt ;*.ini", "", kFolder + "a.txt ", kTakes},
      {"*.txt", "*.txt", kFolder + "a.txt", kTakes},  // include decides alone
      {"*.txt", "*.doc", kFolder + "a.doc", kLeaves},
      {"", "", kFolder + "anything", kTakes},
      {"*.txt", "", "C:\\dir.txt\\file", kLeaves},  // only the last component counts
      {"dir*", "", "C:\\dir.txt\\file", kLeaves},
      {"file", "", "file", kTakes},                 // a bare name is its own last component
      {"A?C", "", kFolder + "abc", kTakes},
      {"a*c", "", kFolder + "AxyzC", kTakes},
      {"a*c", "", kFolder + "AxyzCd", kLeaves},
      {"*a*b*c*", "", kFolder + "xaxbxcx", kTakes},
      {"*a*b*c*", "", kFolder + "xcxbxax", kLeaves},
      // Double-byte names. 表 95 5C, ソ 83 5C, ダ 83 5F ("_"), ヂ 83 61 ("a"), ア 83 41 ("A").
      {"?.txt", "", kFolder + "a.txt", kTakes},
      {"?.txt", "", kFolder + "表.txt", kLeaves},  // "?" is one byte
      {"??.txt", "", kFolder + "表.txt", kTakes},
      {"*.txt", "", kFolder + "表ソ.txt", kTakes},
      {"表*", "", kFolder + "表x", kTakes},
      {"*ソ", "", kFolder + "表ソ", kTakes},
      {"??", "", "C:\\dir\\表", kTakes},   // the name ends in 0x5C, yet it is "表"
      {"?", "", "C:\\dir\\表", kLeaves},
      // A pattern letter never matches the second byte of a character.
      {"*_old", "", kFolder + "x_old", kTakes},
      {"*_old", "", kFolder + "ダold", kLeaves},
      {"*_o?d", "", kFolder + "ダold", kLeaves},
      {"*_o?d", "", kFolder + "x_old", kTakes},
      {"*a.txt", "", kFolder + "ヂ.txt", kLeaves},
      {"*a*", "", kFolder + "ヂ", kLeaves},
      {"*ヂ", "", kFolder + "\x88\x83" "a", kLeaves},  // 88 83 is one character; "a" follows
      {"*ヂ", "", kFolder + "xヂ", kTakes},
      // Folding: A-Z and Ａ-Ｚ, list and name alike; second bytes never.
      {"ＡＢＣ.txt", "", kFolder + "ａｂｃ.TXT", kTakes},
      {"*.ＴＸＴ", "", kFolder + "a.ｔｘｔ", kTakes},
      {"*.ｔｘｔ", "", kFolder + "a.txt", kLeaves},  // full-width is not half-width
      {"ア", "", kFolder + "ヂ", kLeaves},             // 83 41 must not fold to 83 61
      {"ヂ", "", kFolder + "ア", kLeaves},
      {"", "ア*", kFolder + "アイ.txt", kLeaves},
  };
  ExpectDecisions(cases, false);
}

TEST(Filter, FolderDecisions) {
  DecisionCase cases[] = {
      {"Debug;Release", "", "C:\\p\\Project", kLeaves},
      {"Debug;Release", "", "C:\\p\\Debug", kTakes},
      {"Debug;Release", "", "C:\\p\\Debug\\release", kTakes},
      {"Debug;Release", "", "C:\\p\\Debug\\DEBUG", kTakes},
      {"Debug;Release", "", "C:\\p\\Debugger", kLeaves},
      {"", "obj", "C:\\p\\obj", kLeaves},
      {"", "obj", "C:\\p\\a\\b\\OBJ", kLeaves},
      {"", "obj", "C:\\p\\src", kTakes},
      {"De*", "", "C:\\p\\Debug", kLeaves},  // no wildcards in folder lists
      {"De*", "", "C:\\p\\de*", kTakes},
      {"*.*", "", "C:\\p\\a.b", kLeaves},    // nor the "*.*" reading
      {"?", "", "C:\\p\\x", kLeaves},
      {"Debug", "", "D:\\", kLeaves},        // a drive root has an empty name
      {"", "obj", "D:\\", kTakes},
      {"Debug", "Debug", "C:\\p\\Debug", kTakes},  // include decides alone
      {"Debug ;Release", "", "C:\\p\\Debug", kLeaves},
      {"Debug ;Release", "", "C:\\p\\Debug ", kTakes},
      {"表", "", "C:\\p\\表", kTakes},
      {"ＯＢＪ", "", "C:\\p\\ｏｂｊ", kTakes},
      {";", "", "C:\\p\\x", kLeaves},
      {"", "", "C:\\p\\x", kTakes},
  };
  ExpectDecisions(cases, true);
}

TEST(Filter, AtMostOneMillionPatternsAreTaken) {
  const std::string k999999(999999, ';');
  const std::string k1000000(1000000, ';');
  struct Case {
    const char* what;
    std::string include, exclude, name;
    int expected;
  } cases[] = {
      {"999,999 empty patterns, none takes", k999999, "", "a.doc", kLeaves},
      {"1,000,000 empty patterns: the limit decides", k1000000, "", "a.doc", kTakes},
      {"the 1,000,000th pattern is taken", k999999 + "a.txt", "", "a.txt", kTakes},
      {"exclude: the 1,000,000th pattern is taken", "", k999999 + "a.txt", "a.txt", kLeaves},
      {"exclude: a pattern beyond the limit is not", "", k1000000 + "a.txt", "a.txt", kTakes},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    DecisionCase c{cases[i].include, cases[i].exclude, "C:\\" + cases[i].name, cases[i].expected};
    EXPECT_EQ(cases[i].expected, Decision(c, false)) << "case " << i << " (" << cases[i].what << ")";
    EXPECT_EQ(cases[i].expected, Decision(c, true)) << "case " << i << " (" << cases[i].what << "), folder";
  }
}

TEST(Filter, FilterSetKeepsTextsAndKindsApart) {
  FilterSet set;
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_EQ(kTakes, CheckFileFilter("C:\\a.doc", set));
  set.Set("*.txt", "", "", "");
  EXPECT_FALSE(set.IsEmpty());
  EXPECT_EQ(kLeaves, CheckFileFilter("C:\\a.doc", set));
  EXPECT_EQ(kTakes, CheckFolderFilter("C:\\a.doc", set)) << "folders are never tested against file lists";
  set.Set("", "", "", "obj");
  EXPECT_EQ(kTakes, CheckFileFilter("C:\\obj", set)) << "files are never tested against folder lists";
  EXPECT_EQ(kLeaves, CheckFolderFilter("C:\\obj", set));
  set.Set("A", "B", "C", "D");
  EXPECT_EQ("A|B|C|D", set.FilterFileIn() + "|" + set.FilterFileOut() + "|" + set.FilterFolderIn() + "|" +
                         set.FilterFolderOut());
  set.Clear();
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_EQ(kTakes, CheckFileFilter("C:\\a.doc", set));
}

TEST(Filter, StoreCurrentFiltersWritesEveryEntryOfTheCurrentFolder) {
  // Entry 3 is a gap, so entry 4 is not in the list; "d:\\A" shows the comparison is exact.
  const std::string folders[] = {"D:\\a", "D:\\b", "D:\\a", "", "D:\\a"};
  struct Case { std::string current, stored; } cases[] = {  // stored: "1" for each entry 0..4 given the filters
      {"D:\\a", "10100"}, {"D:\\b", "01000"}, {"d:\\A", "00000"}, {"D:\\gone", "00000"}, {"", "00000"}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    TempTree tree;
    AppSettings settings;
    settings.UseFolderForTests(tree.root());
    for (int e = 0; e < 5; ++e) {
      if (!folders[e].empty()) settings.WriteBkFolder(e, folders[e], "old", "old", "old", "old");
    }
    settings.BackupFolder = cases[i].current;
    FilterSet filters("*.txt", "", "Debug;Release", "");
    EXPECT_EQ(0, StoreCurrentFilters(settings, filters));
    for (int e = 0; e < 5; ++e) {
      std::string v[5];
      settings.ReadBkFolder(e, v[0], v[1], v[2], v[3], v[4]);
      std::string expected = folders[e] + (folders[e].empty()                            ? "||||"
                                           : cases[i].stored[static_cast<size_t>(e)] == '1' ? "|*.txt||Debug;Release|"
                                                                                           : "|old|old|old|old");
      EXPECT_EQ(expected, v[0] + "|" + v[1] + "|" + v[2] + "|" + v[3] + "|" + v[4]) << "case " << i << " entry " << e;
    }
  }
}

}  // namespace
