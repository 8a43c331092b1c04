// The platform layer against real trees: native paths, the finder, existence and the copy.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

#include <cstring>
#include <set>

#include "platform/filefind.h"
#include "platform/fs.h"
#include "platform/posix_path.h"
#include "platform/win32_layout.h"
#ifdef _WIN32
#include "tests/support/import_patch.h"
#endif
#include "tests/support/temp_tree.h"
#include "tests/support/win32_layouts.h"

namespace {

const std::string kHyo = "表", kSo = "ソ";  // 0x95 0x5C, 0x83 0x5C: second byte "\"

// Native paths on Windows: code page 932 without best fit, and the long form the wide functions get.
TEST(NativePath, ShiftJisFormAndLongForm) {
#ifndef _WIN32
  GTEST_SKIP() << "the native path is the Shift_JIS path itself";
#else
  struct Case { std::wstring native; std::string sjis; bool exact; } names[] = {
      {L"C:\\表\\ソ", "C:\\" + kHyo + "\\" + kSo, true}, {L"Caf\u00E9", "Caf?", false}, {L"a\u00A5b", "a?b", false},
      {L"\u301C\uD55C", "??", false}, {L"trail. ", "trail. ", true}};
  for (size_t i = 0; i < std::size(names); ++i) {
    bool exact = !names[i].exact;
    EXPECT_EQ(names[i].sjis, plat::FromNative(names[i].native, &exact)) << i;
    EXPECT_EQ(names[i].exact, exact) << i;
    EXPECT_TRUE(!exact || names[i].native == plat::ToNative(names[i].sjis)) << i;
  }
  struct Form { std::wstring path, longForm; } forms[] = {
      {L"C:\\a. \\b", L"\\\\?\\C:\\a. \\b"}, {L"c:/a/b", L"\\\\?\\c:\\a\\b"}, {L"\\\\srv\\sh\\x", L"\\\\?\\UNC\\srv\\sh\\x"},
      {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"}, {L"rel\\x", L"rel\\x"}, {L"C:x", L"C:x"}, {L"", L""},
      {L"C:\\a\\..\\b", L"C:\\a\\..\\b"}, {L"C:\\a\\\\b", L"C:\\a\\\\b"}, {L"C:\\a\\", L"\\\\?\\C:\\a\\"}};
  for (size_t i = 0; i < std::size(forms); ++i)
    EXPECT_EQ(plat::FromNative(forms[i].longForm), plat::FromNative(plat::LongPathForm(forms[i].path))) << i;
#endif
}

// What a pattern finds (a folder with "/", a file with its size; "#": the error left), each path made of its folder.
TEST(FileFinder, MasksPathsAndSizes) {
  TempTree t;
  const char* const files[][2] = {{"d\\a.txt", "1"}, {"d\\B.TXT", "22"}, {"d\\c.dat", "333"}, {"d\\表\\x", "4444"}};
  for (const auto& file : files) t.File(file[0], file[1]);
  const std::string noFile = "#" + std::to_string(plat::kErrFileNotFound),
                    noPath = "#" + std::to_string(plat::kErrPathNotFound);
  struct Case { std::string pattern, expected; } cases[] = {
      {"d\\*.*", ".|..|B.TXT=2|a.txt=1|c.dat=3|表/"}, {"d\\*", ".|..|B.TXT=2|a.txt=1|c.dat=3|表/"},
      {"d\\*.txt", "B.TXT=2|a.txt=1"}, {"d\\?.TxT", "B.TXT=2|a.txt=1"}, {"d\\b.txt", "B.TXT=2"}, {"d", "d/"},
      {"d\\" + kHyo + "\\*.*", ".|..|x=4"}, {"d\\*.doc", noFile}, {"missing\\*.*", noPath}, {"missing\\x", noPath},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    plat::FileFinder finder;
    std::set<std::string> seen;
    const std::string pattern = t.Path(cases[i].pattern);
    for (bool more = finder.Start(plat::ToNative(pattern)); more;) {
      more = finder.Next();
      const std::string name = finder.GetFileName(), size = "=" + std::to_string(finder.GetLength());
      seen.insert(finder.IsDots() ? name : name + (finder.IsDirectory() ? "/" : size));
      // The separator goes in after a root ending in 表, whose second byte is 0x5C.
      EXPECT_EQ(pattern.substr(0, pattern.rfind('\\') + 1) + name, plat::FromNative(finder.FullPath())) << i;
    }
    std::string got;
    for (const std::string& s : seen) got += (got.empty() ? "" : "|") + s;
    if (finder.GetLastError()) got += "#" + std::to_string(finder.GetLastError());
    EXPECT_EQ(cases[i].expected, got) << "case " << i;
  }
}

// A file's last-write time and read-only bit as one text; old first sets them to a day in 2000 and read-only.
std::string Stamp(const std::string& path, bool old = false) {
#ifdef _WIN32
  const std::wstring wide = plat::ToNative(path);
  HANDLE file = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES | (old ? FILE_WRITE_ATTRIBUTES : 0), 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  FILETIME day{0x12345670, 0x01BF5000}, at{};
  if (old) ::SetFileTime(file, nullptr, nullptr, &day);
  ::GetFileTime(file, nullptr, nullptr, &at);
  ::CloseHandle(file);
  if (old) ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY);
  const int64_t time = (static_cast<int64_t>(at.dwHighDateTime) << 32) | at.dwLowDateTime;
#else
  const std::string posix = plat::ToPosixPath(path);
  const timespec day[2] = {{946684800, 123456700}, {946684800, 123456700}};
  if (old) utimensat(AT_FDCWD, posix.c_str(), day, 0), chmod(posix.c_str(), 0444);
  struct stat st {};
  stat(posix.c_str(), &st);
  const int64_t time = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  return std::to_string(time) + ((plat::GetAttributes(plat::ToNative(path)) & plat::kAttrReadOnly) ? " ro" : "");
}

// A copy's caller: says stop at call stopAt (0: never) and keeps what it is shown.
struct Seen : plat::CopyProgress {
  explicit Seen(int stop) : stopAt(stop) {}
  int calls = 0, stopAt;
  std::string data;
  bool Continue() override { return ++calls != stopAt; }
  void Copied(const char* d, size_t n) override { data.append(d, n); }
  void CopiedUnseen() override { data += "unseen"; }
};

// The copy: every byte across chunk edges, shown to the caller, the time and the read-only bit; never onto an
// existing file; nothing left when it fails or is stopped.
TEST(Copy, ExactNeverReplacingNothingLeftOnAStop) {
  const std::string big = std::string((2 << 20) + 7, 'b') + "end";  // 256 KiB chunks, the last one short
  struct Case { std::string content; bool old, exists; int stopAt; uint32_t result; std::string left; } cases[] = {
      {"", false, false, 0, 0, ""}, {"ro", true, false, 0, 0, "ro"}, {big, true, false, 0, 0, big},
      {big, false, false, 1, plat::kErrRequestAborted, "<missing>"},  // before the first chunk
      {big, false, false, 3, plat::kErrRequestAborted, "<missing>"},  // after the second
      {"new", false, true, 0, plat::kErrFileExists, "kept"},
      {"<none>", false, false, 0, plat::kErrFileNotFound, "<missing>"},  // no source
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    TempTree t;
    if (c.content != "<none>") t.File("src", c.content);
    if (c.old) Stamp(t.Path("src"), true);
    if (c.exists) t.File("dst", "kept");
    Seen seen(c.stopAt);
    EXPECT_EQ(c.result, plat::CopyFileNoReplace(plat::ToNative(t.Path("src")), plat::ToNative(t.Path("dst")), &seen)) << i;
    EXPECT_TRUE(c.left == t.Read("dst")) << i;
    if (c.result != 0) continue;
    EXPECT_TRUE(Stamp(t.Path("src")) == Stamp(t.Path("dst")) && seen.data == c.content) << i;
    // Asked before the first chunk and after every one: the caller lives within a file.
    EXPECT_EQ((c.content.size() + (256 << 10) - 1) / (256 << 10) + 1, size_t(seen.calls)) << i;
  }
}

// Named streams travel with their file (the stand-in's "f:s" is a file beside f), in chunks, or none where the
// destination holds none (FAT32); nothing left of a stopped copy; an encrypted file goes by the system's copy.
TEST(Copy, NamedStreamsTravelAndEncryptedFilesAreNeverReadOut) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine keeps no named streams and no encryption";
#else
  const std::string zone = "[ZoneTransfer]\r\nZoneId=3\r\n", big(300 << 10, 'z'), none = "<missing>|<missing>|<missing>";
  struct Case { const char* attributes; bool holds; int stopAt; uint32_t result; std::string left, shown; } cases[] = {
      {"", true, 0, 0, "data|" + zone + "|big", "data"},
      {"", false, 0, 0, "data|<missing>|<missing>", "data"},  // a destination without streams
      {"", true, 6, plat::kErrRequestAborted, none, "data"},    // inside the second stream
      {"0x4000", true, 0, plat::kErrEncryptionFailed, none, "unseen"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    TempTree t;
    t.File("f", "data"), t.File("f:Zone.Identifier", zone), t.File("f:big", big);
    if (*c.attributes) setxattr(plat::ToPosixPath(t.Path("f")).c_str(), "user.DOSATTRIB", c.attributes, 6, 0);
    plat::SetFaultHook([](plat::FsOp op, const std::string&, void* holds) -> uint32_t {
      return op == plat::FsOp::NamedStreams && !*static_cast<bool*>(holds) ? 50 : 0;
    }, const_cast<bool*>(&c.holds));
    Seen seen(c.stopAt);
    EXPECT_EQ(c.result, plat::CopyFileNoReplace(plat::ToNative(t.Path("f")), plat::ToNative(t.Path("g")), &seen)) << i;
    plat::SetFaultHook(nullptr, nullptr);
    const std::string b = t.Read("g:big");  // by name, so that a failure prints little
    EXPECT_EQ(c.left, t.Read("g") + "|" + t.Read("g:Zone.Identifier") + "|" + (b == big ? "big" : b.substr(0, 9))) << i;
    EXPECT_EQ(c.shown, seen.data) << i;
  }
#endif
}

// The named data streams of a stream list ("#": refused): never the main stream "::$DATA", which NTFS and SMB list
// for every file; an entry cut off by the end of the buffer (size bytes of the list; 0: all) refuses the list.
TEST(Win32Layout, NamedDataStreamsOfAStreamList) {
  const std::u16string main = u"::$DATA", zone = u":Zone.Identifier:$DATA";
  struct Case { std::vector<std::u16string> names; size_t gap, size; std::u16string expected; } cases[] = {
      {{main}, 0, 0, u""}, {{main, zone}, 0, 0, u"Zone.Identifier|"}, {{zone, main}, 0, 0, u"Zone.Identifier|"},
      {{main, u": a b :$DATA", u":資料 é\U0001F600:$DATA"}, 0, 0, u" a b |資料 é\U0001F600|"},
      {{main, u":x:$DATA", u":$DATA", u":y:$DATA"}, 16, 0, u"x|y|"},  // a chain with room between its entries
      {{main, zone}, 0, 80, u"#"}, {{main, zone}, 0, 60, u"#"}, {{}, 0, 0, u"#"},  // a name, a header cut; nothing
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::vector<unsigned char> list = StreamList(cases[i].names, cases[i].gap);
    std::vector<std::u16string> names = {u"stale"};
    const size_t size = cases[i].size ? cases[i].size : list.size();
    std::u16string got = plat::layout::NamedDataStreams(list.data(), size, names) ? u"" : u"#";
    for (const std::u16string& name : names) got += name + u"|";
    EXPECT_EQ(cases[i].expected, got) << "case " << i;
  }
}

#ifdef _WIN32
// The answers given in place of the system's, which they pass on to where they keep its answer.
template <typename F> F* System(const char* name) {
  return reinterpret_cast<F*>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}
BOOL WINAPI HalfThenDiskFull(HANDLE file, LPCVOID data, DWORD size, LPDWORD put, LPOVERLAPPED at) {
  return System<decltype(::WriteFile)>("WriteFile")(file, data, size / 2, put, at), ::SetLastError(ERROR_DISK_FULL), FALSE;
}
BOOL WINAPI DiskFull(HANDLE) { return ::SetLastError(ERROR_DISK_FULL), FALSE; }
// FileIdInfo (18) as Wine answers it (0), refused (1), or as ReFS answers (2): one 64-bit index (7) for every item,
// the real one in the upper half of the 128-bit id.
int g_ids;
BOOL WINAPI WindowsIndex(HANDLE item, LPBY_HANDLE_FILE_INFORMATION info) {
  if (!System<decltype(::GetFileInformationByHandle)>("GetFileInformationByHandle")(item, info)) return FALSE;
  if (g_ids == 2) info->nFileIndexHigh = 0, info->nFileIndexLow = 7;
  return TRUE;
}
BOOL WINAPI WindowsFileIdInfo(HANDLE item, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID out, DWORD size) {
  BY_HANDLE_FILE_INFORMATION real;
  if (kind != 18 || g_ids == 0 || !System<decltype(::GetFileInformationByHandle)>("GetFileInformationByHandle")(item, &real))
    return System<decltype(::GetFileInformationByHandleEx)>("GetFileInformationByHandleEx")(item, kind, out, size);
  if (g_ids == 1) return ::SetLastError(ERROR_INVALID_PARAMETER), FALSE;
  const ULONGLONG id[3] = {real.dwVolumeSerialNumber, 7, (ULONGLONG{real.nFileIndexHigh} << 32) | real.nFileIndexLow};
  return std::memcpy(out, id, sizeof(id)), TRUE;
}
#endif

// A replace whose write fails half-way (the disk full) or whose flush fails leaves the old file whole and no temporary
// file: the new content goes aside and is moved in only once all of it is on the drive (natively the fault hook fails
// the write, on Windows the system's answer).
TEST(ReplaceAll, AFailureHalfWayLeavesTheOldFileWhole) {
#ifdef _WIN32
  for (auto [call, to] : {std::pair<const char*, void*>{"WriteFile", reinterpret_cast<void*>(HalfThenDiskFull)},
                          {"FlushFileBuffers", reinterpret_cast<void*>(DiskFull)}}) {
    ImportPatch patch("kernel32.dll", call, to);
#else
  for (const char* call : {"write"}) {
    plat::SetFaultHook([](plat::FsOp op, const std::string&, void*) -> uint32_t {
      return op == plat::FsOp::Replace ? uint32_t{plat::kErrDiskFull} : 0u;
    }, nullptr);
#endif
    TempTree t;
    t.File("Larkspan.ini", "old");
    EXPECT_EQ(plat::kErrDiskFull, plat::ReplaceAll(plat::ToNative(t.Path("Larkspan.ini")), std::string(9000, 'n')));
    EXPECT_EQ("old|0", t.Read("Larkspan.ini").substr(0, 9) + "|" + std::to_string(t.Exists("*.~*"))) << call;
  }  // (natively the hook goes with this test's process)
}

// One item has one identity by any path, two items two: by the 128-bit id with its volume serial where the system
// gives one (whatever Wine answers; ReFS, whose 64-bit indexes collide), by the 64-bit index where it refuses it.
TEST(FileId, OneItemOneIdTwoItemsTwo) {
  TempTree t;
  t.Folder("a"), t.Folder("b");
#ifdef _WIN32
  ImportPatch ex("kernel32.dll", "GetFileInformationByHandleEx", reinterpret_cast<void*>(WindowsFileIdInfo)),
      index("kernel32.dll", "GetFileInformationByHandle", reinterpret_cast<void*>(WindowsIndex));
  for (g_ids = 0; g_ids < 3; ++g_ids) {
#else
  for (int g_ids : {0}) {
#endif
    plat::FileId a, again, b;
    EXPECT_TRUE(plat::GetFileId(plat::ToNative(t.Path("a")), a) && plat::GetFileId(plat::ToNative(t.Path("b")), b) &&
                plat::GetFileId(plat::ToNative(t.Path("b\\..\\a")), again) && a == again && !(a == b)) << g_ids;
  }
}

}  // namespace
