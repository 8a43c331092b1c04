// The settings file's store against the system's profile contract: the same tables run against our INI store on
// both builds and, in the Windows build, against the system's functions, so that the store keeps to what Windows does.
#include "settings/ini_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "settings/ini_text.h"
#include "tests/support/temp_tree.h"

namespace {

// One change through the store's one-write batch: a value, or none to remove the key.
bool StoreWrite(const std::string& section, const std::string& key, const char* value, const plat::NativePath& path,
                uint32_t* err) {
  const std::optional<std::string> text = value ? std::optional<std::string>(value) : std::nullopt;
  return settings::ini::WriteProfileChanges({{section, key, text}}, path, err);
}
struct Profile { const char* name; decltype(&settings::ini::ReadProfileText) read; decltype(&StoreWrite) write; };
#ifdef _WIN32
// Get/WritePrivateProfileStringW with the store's contract: code page 932, a missing key as none (the default "\n" can
// never be a stored value), the same refusals.
std::optional<std::string> SystemRead(const std::string& section, const std::string& key,
                                      const plat::NativePath& path) {
  std::wstring wide(1 << 16, L'\0');
  const std::string text = plat::FromNative(plat::NativePath(wide.data(), ::GetPrivateProfileStringW(
      plat::ToNative(section).c_str(), plat::ToNative(key).c_str(), L"\n", wide.data(), 1 << 16, path.c_str())));
  return text == "\n" ? std::nullopt : std::optional<std::string>(text);
}
bool SystemWrite(const std::string& section, const std::string& key, const char* value, const plat::NativePath& path,
                 uint32_t* err) {
  if (!settings::ini::IsStorableEntry(section, key, value)) return (*err = 87), false;
  if (::WritePrivateProfileStringW(plat::ToNative(section).c_str(), plat::ToNative(key).c_str(),
                                   value ? plat::ToNative(value).c_str() : nullptr, path.c_str())) return true;
  return (*err = ::GetLastError()), false;
}
const Profile kProfiles[] = {{"Store", settings::ini::ReadProfileText, StoreWrite}, {"System", SystemRead, SystemWrite}};
#else
const Profile kProfiles[] = {{"Store", settings::ini::ReadProfileText, StoreWrite}};
#endif
void PrintTo(const Profile& profile, std::ostream* out) { *out << profile.name; }  // names the CTest case

struct ProfileContract : ::testing::TestWithParam<Profile> {
  // The value of section/key, or "<none>".
  std::string Read(const std::string& key, const std::string& path, const std::string& section = "S") const {
    return GetParam().read(section, key, plat::ToNative(path)).value_or("<none>");
  }
  ProfileContract() { t.Folder("folder.ini"); }
  TempTree t;
};
INSTANTIATE_TEST_SUITE_P(, ProfileContract, ::testing::ValuesIn(kProfiles));

TEST_P(ProfileContract, Reads) {
  t.File("s.ini", "  [s] \r\n  k  =  0.50  \r\nQ=\"  q  \"\nSgl='x'\rIn=a\"b\"\r\nE=\r\nNoEq\r\nLong=" +
                      std::string(2500, 'x') + "表\r\n[S]\r\nSecond=2\r\n");
  struct Case { std::string file, key, expected; } cases[] = {
      {"missing.ini", "K", "<none>"}, {"folder.ini", "K", "<none>"}, {"s.ini", "K", "0.50"}, {"s.ini", " k ", "0.50"},
      {"s.ini", "Q", "  q  "}, {"s.ini", "Sgl", "x"}, {"s.ini", "In", "a\"b\""}, {"s.ini", "E", ""},
      {"s.ini", "NoEq", "<none>"}, {"s.ini", "Second", "<none>"}, {"s.ini", "Long", std::string(2500, 'x') + "表"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].expected, Read(cases[i].key, t.Path(cases[i].file))) << i;
  EXPECT_FALSE(t.Exists("missing.ini")) << "a read never creates the file";
}

TEST_P(ProfileContract, WritesKeepEveryOtherLine) {
  const std::string path = t.Path("s.ini");
  t.File("s.ini", "; by hand\r\n[S]\r\nA=1\nodd line\r\n[T]\rB=2");
  struct Case { const char* key; const char* value; std::string expected; } cases[] = {
      {"A", "10", "10"}, {"a", "C:\\表\\ソ\\ゼ]=x", "C:\\表\\ソ\\ゼ]=x"}, {"New", "", ""},
      {"New", "n", "n"}, {"A", nullptr, "<none>"}, {"A", nullptr, "<none>"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    uint32_t err = 0xDEADBEEF;
    EXPECT_TRUE(GetParam().write("s", cases[i].key, cases[i].value, plat::ToNative(path), &err)) << i << " " << err;
    EXPECT_EQ(cases[i].expected + " 2", Read(cases[i].key, path) + " " + Read("b", path, "T")) << i;
  }
  const std::string file = t.Read("s.ini");
  EXPECT_TRUE(file.find("; by hand") == 0 && file.find("odd line") != std::string::npos) << file;
  EXPECT_FALSE(t.Exists("*.~*")) << "a file of the replace left behind";
  uint32_t err = 0;
  EXPECT_TRUE(GetParam().write("S", "K", nullptr, plat::ToNative(t.Path("new.ini")), &err));
  EXPECT_FALSE(t.Exists("new.ini")) << "removing a missing key creates nothing";
}

TEST_P(ProfileContract, RefusedWritesChangeNothing) {
  const std::string content = "[S]\r\nK=old\r\n";
  t.File("s.ini", content);
  t.File("ro.ini", content);
  MakeReadOnly(t.Path("ro.ini"));
  struct Case { std::string file, section, key; const char* value; uint32_t error; } cases[] = {
      {"s.ini", "S", "K", "a\nX=injected", 87}, {"s.ini", "S", "K", "a\rb", 87}, {"s.ini", "S", "K=1", "v", 87},
      {"s.ini", "S", "[T]", "v", 87}, {"s.ini", "S", ";K", "v", 87}, {"s.ini", "S", "", "v", 87},
      {"s.ini", "", "K", "v", 87}, {"s.ini", "S\r\n[T", "K", "v", 87}, {"s.ini", " S", "K", "v", 87},
      {"s.ini", "S\x81", "K", "v", 87}, {"s.ini", "S", "K\n", nullptr, 87}, {"missing\\s.ini", "S", "K", "v", 3},
      {"folder.ini", "S", "K", "v", 5}, {"ro.ini", "S", "K", "v", 5},
  };
  bool skipReadOnly = false;
#ifdef _WIN32  // Known Wine difference: Wine 8 run by root opens a read-only file for writing (Windows refuses, 5).
  HANDLE ro = ::CreateFileW(plat::ToNative(t.Path("ro.ini")).c_str(), GENERIC_WRITE, 0, 0, OPEN_EXISTING, 0, 0);
  skipReadOnly = ro != INVALID_HANDLE_VALUE && ::CloseHandle(ro) && GetParam().write == SystemWrite;
#endif
  for (size_t i = 0; i < std::size(cases); ++i) {
    if (skipReadOnly && cases[i].file == "ro.ini") continue;  // the system's function; the store asks for the mark
    uint32_t err = 0xDEADBEEF;
    const auto& c = cases[i];
    const bool ok = GetParam().write(c.section, c.key, c.value, plat::ToNative(t.Path(c.file)), &err);
    EXPECT_EQ("0|" + std::to_string(c.error), std::to_string(ok) + "|" + std::to_string(err)) << i;
  }
  EXPECT_EQ(content + content, t.Read("s.ini") + t.Read("ro.ini"));
  EXPECT_FALSE(t.Exists("missing"));
}

}  // namespace
