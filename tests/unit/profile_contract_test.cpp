// Contract of the profile layer (platform/profile.h): the same cases run natively
// against our own INI store and under Wine against GetPrivateProfileStringA and
// WritePrivateProfileStringA.
//
// Known differences between Wine 8.0 and the contract. A case that meets one
// checks what Wine does instead (so that a change in Wine shows), and says so:
//   kWineCutLeavesByte  A read whose cut falls inside a double-byte character
//                       writes the whole characters that fit, leaves the byte
//                       before the terminator as it was and counts it in the
//                       result. The caller's zero-filled buffer (ReadIniString)
//                       still gives the clean cut.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/fs.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum KnownDifference { kNoDifference, kWineCutLeavesByte };

bool UnderWine() {
#ifdef _WIN32
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

constexpr char kFill = '\xCC';   // pre-fill: shows bytes the call did not write
constexpr uint32_t kGuard = 16;  // bytes past the buffer that must stay untouched
constexpr uint32_t kUnset = 0xDEADBEEF;

struct ReadResult {
  uint32_t count = 0, size = 0;
  std::vector<char> buf;  // size + kGuard bytes
  std::string Text() const { return std::string(buf.begin(), std::find(buf.begin(), buf.begin() + size, '\0')); }
  bool GuardIntact() const { return std::all_of(buf.begin() + size, buf.end(), [](char c) { return c == kFill; }); }
  // "text|count", "|unterminated" when no NUL stands in the buffer.
  std::string Outcome() const {
    bool terminated = std::find(buf.begin(), buf.begin() + size, '\0') != buf.begin() + size;
    return Text() + "|" + std::to_string(count) + (terminated ? "" : "|unterminated");
  }
};

ReadResult Read(const std::string& section, const std::string& key, const std::string& def, uint32_t size,
                const std::string& path) {
  ReadResult r;
  r.size = size;
  r.buf.assign(size + kGuard, kFill);
  r.count = plat::ReadProfileText(section, key, def, r.buf.data(), size, path);
  return r;
}

std::string ReadValue(const std::string& section, const std::string& key, const std::string& path,
                      const std::string& def = "<default>") {
  return Read(section, key, def, 4000, path).Text();
}

// Counts lines of the file that start with text (after the line break).
int CountLinesStartingWith(const std::string& file, const std::string& text) {
  int n = 0;
  for (size_t pos = 0; pos <= file.size(); pos = std::min(file.find_first_of("\r\n", pos), file.size()) + 1) {
    if (file.compare(pos, text.size(), text) == 0) ++n;
  }
  return n;
}

TEST(ProfileContract, MissingKeySectionOrFileGivesDefault) {
  TempTree tree;
  tree.File("only_other.ini", "[Other]\r\nK=1\r\n");
  tree.File("no_key.ini", "[S]\r\nOther=1\r\n");
  tree.File("empty.ini", "");
  tree.Folder("folder.ini");
  const char* cases[] = {"missing.ini", "missing\\x.ini", "empty.ini", "only_other.ini", "no_key.ini", "folder.ini"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    ReadResult r = Read("S", "K", "dflt", 100, tree.Path(cases[i]));
    EXPECT_EQ("dflt|4", r.Outcome()) << "case " << i << " (" << cases[i] << ")";
    EXPECT_TRUE(r.GuardIntact()) << "case " << i;
    EXPECT_EQ("|0", Read("S", "K", "", 100, tree.Path(cases[i])).Outcome()) << "case " << i << ", empty default";
  }
  EXPECT_FALSE(tree.Exists("missing.ini")) << "a read never creates the file";
}

TEST(ProfileContract, ReadCopiesAtMostSizeMinusOneBytes) {
  TempTree tree;
  std::string dbcs;
  for (int i = 0; i < 1500; ++i) dbcs += "表";  // 0x95 0x5C; 3000 bytes
  struct Case {
    std::string value, def;  // value stored as S/K; empty: the key is absent and def is read
    uint32_t size;
    std::string expected;
    KnownDifference wine;
  } cases[] = {
      {"abc", "", 4, "abc", kNoDifference},
      {"abcd", "", 4, "abc", kNoDifference},
      {"abc", "", 1, "", kNoDifference},
      {"abc", "", 2, "a", kNoDifference},
      {std::string(2500, 'x'), "", 2000, std::string(1999, 'x'), kNoDifference},
      {"", std::string(2500, 'd'), 2000, std::string(1999, 'd'), kNoDifference},
      {"a" + dbcs, "", 2000, "a" + dbcs.substr(0, 1998), kNoDifference},
      // The cut falls inside a character: at most 1999 bytes means 1998 here.
      {dbcs, "", 2000, dbcs.substr(0, 1998), kWineCutLeavesByte},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    std::string path = tree.Path("cut" + std::to_string(i) + ".ini");
    WriteBytes(path, c.value.empty() ? "[S]\r\n" : "[S]\r\nK=" + c.value + "\r\n");
    ReadResult r = Read("S", "K", c.def, c.size, path);
    EXPECT_TRUE(r.GuardIntact()) << "case " << i << ": wrote past the buffer";
    if (c.wine == kWineCutLeavesByte && UnderWine()) {
      // Known difference kWineCutLeavesByte.
      EXPECT_EQ(c.size - 1, r.count) << "case " << i;
      EXPECT_EQ(0, std::string(r.buf.data(), c.expected.size()).compare(c.expected)) << "case " << i;
      EXPECT_EQ(kFill, r.buf[c.expected.size()]) << "case " << i;
      EXPECT_EQ('\0', r.buf[c.size - 1]) << "case " << i;
      continue;
    }
    EXPECT_EQ(c.expected + "|" + std::to_string(c.expected.size()), r.Outcome()) << "case " << i;
  }
}

TEST(ProfileContract, WriteCreatesFileSectionAndKey) {
  TempTree tree;
  tree.File("other_section.ini", "[Other]\r\nX=1\r\n");
  tree.File("other_key.ini", "[S]\r\nX=1\r\n");
  tree.File("no_line_end.ini", "[S]\r\nX=1");
  const char* cases[] = {"new.ini", "other_section.ini", "other_key.ini", "no_line_end.ini"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string path = tree.Path(cases[i]);
    uint32_t err = kUnset;
    EXPECT_TRUE(plat::WriteProfileText("S", "K", "v", path, &err)) << "case " << i << " error " << err;
    EXPECT_EQ("v", ReadValue("S", "K", path)) << "case " << i;
    EXPECT_EQ(1, CountLinesStartingWith(tree.Read(cases[i]), "[S]")) << "case " << i;
    if (i > 0) {
      EXPECT_EQ("1", ReadValue(i == 1 ? "Other" : "S", "X", path)) << "case " << i << ": lost a key";
    }
  }
}

TEST(ProfileContract, WriteReplacesValueAndStoresShiftJisByteForByte) {
  TempTree tree;
  std::string path = tree.Path("s.ini");
  // Second bytes 0x5C ("表", "ソ") and the bytes of "ゼ]=" must not be taken for separators, brackets or equals.
  const char* cases[] = {"1", "2", "", "C:\\表\\ソ", "longer value with spaces inside", "D:\\表\\ソ\\ゼ]=x", "3"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_TRUE(plat::WriteProfileText("S", "K", cases[i], path)) << "case " << i;
    EXPECT_EQ(cases[i], ReadValue("S", "K", path)) << "case " << i;
    EXPECT_EQ(cases[i], ReadValue("s", "k", path)) << "case " << i;
    EXPECT_EQ(1, CountLinesStartingWith(tree.Read("s.ini"), "K=")) << "case " << i;
  }
}

TEST(ProfileContract, NullValueRemovesKey) {
  TempTree tree;
  std::string path = tree.Path("s.ini");
  ASSERT_TRUE(plat::WriteProfileText("S", "A", "1", path));
  ASSERT_TRUE(plat::WriteProfileText("S", "B", "2", path));
  ASSERT_TRUE(plat::WriteProfileText("T", "A", "3", path));
  EXPECT_TRUE(plat::WriteProfileText("S", "A", nullptr, path));
  EXPECT_EQ("<default>", ReadValue("S", "A", path));
  EXPECT_EQ("2", ReadValue("S", "B", path));
  EXPECT_EQ("3", ReadValue("T", "A", path)) << "a key of the same name in another section stays";
  EXPECT_EQ(0, CountLinesStartingWith(tree.Read("s.ini"), "A=1"));
  // Removing what is not there succeeds and creates nothing.
  EXPECT_TRUE(plat::WriteProfileText("S", "A", nullptr, path));
  EXPECT_TRUE(plat::WriteProfileText("Nowhere", "A", nullptr, path));
  EXPECT_TRUE(plat::WriteProfileText("S", "A", nullptr, tree.Path("missing.ini")));
  EXPECT_FALSE(tree.Exists("missing.ini"));
}

struct FaultLog {
  int calls = 0;
  std::string lastPath;
};

uint32_t FailProfileWrites(plat::FsOp op, const std::string& path, void* ctx) {
  if (op != plat::FsOp::ProfileWrite) return 0;
  auto* log = static_cast<FaultLog*>(ctx);
  ++log->calls;
  log->lastPath = path;
  return plat::kErrWriteProtect;
}

TEST(ProfileContract, FailuresAreReportedAndChangeNothing) {
  TempTree tree;
  tree.Folder("folder.ini");
  const std::string content = "[S]\r\nK=old\r\n";
  tree.File("s.ini", content);
  struct Case {
    std::string path;
    const char* value;
    uint32_t error;
    bool injected;  // the write fails through the fault hook
  } cases[] = {
      {tree.Path("missing\\s.ini"), "v", plat::kErrPathNotFound, false},  // folder on the way missing
      {tree.Path("folder.ini"), "v", plat::kErrAccessDenied, false},      // path is a folder
      {tree.Path("missing\\s.ini"), nullptr, plat::kErrPathNotFound, false},
      {tree.Path("s.ini"), "new", plat::kErrWriteProtect, true},
      {tree.Path("s.ini"), nullptr, plat::kErrWriteProtect, true},
  };
  FaultLog log;
  for (size_t i = 0; i < std::size(cases); ++i) {
    uint32_t err = kUnset;
    if (cases[i].injected) plat::SetFaultHook(FailProfileWrites, &log);
    bool ok = plat::WriteProfileText("S", "K", cases[i].value, cases[i].path, &err);
    plat::SetFaultHook(nullptr, nullptr);
    EXPECT_FALSE(ok) << "case " << i;
    EXPECT_EQ(cases[i].error, err) << "case " << i;
  }
  EXPECT_EQ(2, log.calls);
  EXPECT_EQ(tree.Path("s.ini"), log.lastPath);
  EXPECT_EQ(content, tree.Read("s.ini"));
  EXPECT_FALSE(tree.Exists("missing"));
}

TEST(ProfileContract, EntriesThatCannotBeOneLineAreRefused) {
  // A line break would let the rest of a value stand in the file as a key or
  // section of its own; such writes fail and leave the file alone.
  TempTree tree;
  const std::string content = "[S]\r\nK=old\r\n";
  tree.File("s.ini", content);
  struct Case {
    std::string section, key;
    const char* value;
  } cases[] = {
      {"S", "K", "a\r\nX=injected"}, {"S", "K", "a\nb"}, {"S", "K", "a\rb"},  {"S", "K=1", "v"},
      {"S", "[T]", "v"},             {"S", ";K", "v"},   {"S", "", "v"},      {"", "K", "v"},
      {"S\r\n[T", "K", "v"},         {"S", " K", "v"},   {" S", "K", "v"},    {"S", "K\n", nullptr},
      {"S\x81", "K", "v"},  // a lone lead byte would pair with the closing "]"
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    uint32_t err = kUnset;
    EXPECT_FALSE(plat::WriteProfileText(cases[i].section, cases[i].key, cases[i].value, tree.Path("s.ini"), &err))
        << "case " << i;
    EXPECT_EQ(plat::kErrInvalidParameter, err) << "case " << i;
  }
  EXPECT_EQ(content, tree.Read("s.ini"));
}

TEST(ProfileContract, HandEditedFileIsReadAsTheSystemReadsIt) {
  TempTree tree;
  tree.File("s.ini", "  [base] \r\n  vl  =  0.50  \r\nQuoted=\"  q  \"\nSingle='x'\rLone=\"\r\nInner=a\"b\"\r\n"
                     "NoEquals\r\n\r\n[Base]\r\nSecond=2\r\n[Option]\nCr=3\rLast=4");
  struct Case {
    const char *section, *key, *def;
    std::string expected;
  } cases[] = {
      {"Base", "VL", "<default>", "0.50"},          // names without regard to case, spaces trimmed
      {"BASE", "quoted", "<default>", "  q  "},     // one pair of quotes dropped, the inside kept
      {"Base", "Single", "<default>", "x"},         // lone CR ends a line; single quotes too
      {"Base", "Lone", "<default>", "\""},          // one quote alone stays
      {"Base", "Inner", "<default>", "a\"b\""},     // quotes only count around the whole value
      {"Base", "NoEquals", "<default>", "<default>"},
      {"Base", "Second", "<default>", "<default>"},  // only the first section of a name counts
      {"Option", "Cr", "<default>", "3"},
      {"Option", "Last", "<default>", "4"},          // no line end at the end of the file
      {" Base ", " VL ", "<default>", "0.50"},       // the names asked for are trimmed too
      {"Base", "Missing", "dd  ", "dd"},             // trailing spaces of the default are dropped
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].expected, ReadValue(cases[i].section, cases[i].key, tree.Path("s.ini"), cases[i].def))
        << "case " << i;
  }
}

TEST(ProfileContract, WriteKeepsEveryOtherLine) {
  TempTree tree;
  std::string path = tree.Path("s.ini");
  tree.File("s.ini", "; written by hand\r\n[S]\r\nA=1\nsomething odd\r\n[T]\rB=2\r\n");
  ASSERT_TRUE(plat::WriteProfileText("S", "A", "10", path));
  ASSERT_TRUE(plat::WriteProfileText("S", "New", "n", path));
  ASSERT_TRUE(plat::WriteProfileText("U", "C", "3", path));
  std::string file = tree.Read("s.ini");
  EXPECT_EQ(1, CountLinesStartingWith(file, "; written by hand")) << file;
  EXPECT_EQ(1, CountLinesStartingWith(file, "something odd")) << file;
  EXPECT_EQ("10|n|2|3", ReadValue("S", "A", path) + "|" + ReadValue("S", "New", path) + "|" +
                            ReadValue("T", "B", path) + "|" + ReadValue("U", "C", path));
}

}  // namespace
