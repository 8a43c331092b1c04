// The launch contract end to end: the real Larkspan.exe, copied into a fresh
// folder beside a prepared lkpara.dat (or none), started with a command line
// and watched: a refusal through its message box (text, icon, OK, exit), an
// accepted selection through the main window's counts of selected files and
// folders (then closed); and what became of the parameter file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/handle.h"
#include "tests/e2e/main_window.h"
#include "tests/e2e/message_box.h"
#include "tests/support/temp_tree.h"

namespace {

// Bounds of every wait; generous for a loaded machine, short enough to fail fast.
constexpr DWORD kBoxAppearsMs = 10000;
// 50,000 entries: the program looks at each on the disk before its box shows.
constexpr DWORD kLongLoadBoxAppearsMs = 30000;
constexpr DWORD kIconPaintedMs = 3000;
constexpr DWORD kBoxClosesMs = 3000;
constexpr DWORD kProgramEndsMs = 5000;

constexpr char kCaption[] = "Larkspan";
const std::string kToken = "LarkspanCall";
const std::string kRefusedDirectStart = "直接起動はできません　";
const std::string kReadFailed = "パラメータファイルの読み込みに失敗しました。　\n";
const std::string kUnrecognised = "選択したファイル、またはフォルダが正しく認識できません ";
const std::string kNoEntries = "指定されたファイル・フォルダが0件です ";
const std::string kHyo = "表";  // second byte 0x5C
const std::string kSo = "ソ";   // second byte 0x5C

constexpr char kMainWindow[] = "main window: ";
constexpr int kFileCountId = 1002;
constexpr int kFolderCountId = 1006;

// What the program shows for an accepted selection: its main window, with the
// numbers of selected files (control 1002) and folders (control 1006).
std::string Summary(int files, int folders) {
  return kMainWindow + std::to_string(files) + " 個 / " + std::to_string(folders) + " 個";
}

// The read-failure refusal for the parameter file at path with this cause.
std::string ReadFailure(const std::string& cause, const std::string& path) {
  return kReadFailed + "エラー詳細：" + cause + "\n( " + path + " )";
}

// One entry of the parameter file as the extension writes it.
std::string Entry(const std::string& path) { return "\"" + path + "\" "; }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

using e2e::Readable;

// The program under test: the build's dist\Larkspan.exe, reached through drive Z:.
std::string BuiltProgram() {
  std::string path = std::string("Z:") + LARKSPAN_EXE_HOST_PATH;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What one start of the program did.
struct Outcome {
  bool started = false;
  bool boxShown = false;
  bool windowShown = false;
  std::string text;  // the box's text, or Summary() of the main window
  e2e::BoxIcon icon = e2e::BoxIcon::kUnknown;
  bool boxClosed = false;
  bool ended = false;
  DWORD exitCode = 0;
};

// Starts the program (application name may be empty: then the command line
// names it) and waits for its message box or its main window. A box is read
// and answered with OK; the window's counts are read and the window closed.
// Then waits for the program to end; a program that outlives the wait is killed.
Outcome RunProgram(const std::string& application, const std::string& commandLine, const std::string& currentDir,
                   DWORD boxAppearsMs) {
  Outcome out;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!::CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, currentDir.c_str(), &startup, &info)) {
    ADD_FAILURE() << "CreateProcessA failed, error " << ::GetLastError() << ": " << commandLine;
    return out;
  }
  plat::FileHandle process(info.hProcess), thread(info.hThread);
  out.started = true;
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND box = e2e::WaitForMessageBox(kCaption, info.dwProcessId, 0)) {
      out.boxShown = true;
      out.text = e2e::MessageBoxText(box);
      out.icon = e2e::IdentifyMessageBoxIcon(box, kIconPaintedMs);
      out.boxClosed = e2e::PressOk(box, kBoxClosesMs);
      break;
    }
    if (HWND window = e2e::WaitForMainWindow(info.dwProcessId, 0)) {
      out.windowShown = true;
      out.text = kMainWindow + e2e::ControlText(window, kFileCountId) + " / " + e2e::ControlText(window, kFolderCountId);
      e2e::PostClose(window);
      break;
    }
    if (::GetTickCount() - start >= boxAppearsMs) break;
    ::Sleep(20);
  }
  out.ended = ::WaitForSingleObject(process.get(), kProgramEndsMs) == WAIT_OBJECT_0;
  if (!out.ended) {
    ::TerminateProcess(process.get(), 99);
    ::WaitForSingleObject(process.get(), kProgramEndsMs);
  }
  ::GetExitCodeProcess(process.get(), &out.exitCode);
  return out;
}

// Checks that the program showed exactly expected: a message box with icon
// that closed on OK, or (for a Summary) the main window that closed; and that
// the program then ended.
void ExpectShown(const Outcome& out, const std::string& expected, e2e::BoxIcon icon) {
  ASSERT_TRUE(out.started);
  const bool window = expected.compare(0, sizeof(kMainWindow) - 1, kMainWindow) == 0;
  // Under Wine a window needs an X display: DISPLAY must name a running X server,
  // and so must have the one the prefix's desktop (explorer.exe) started with.
  ASSERT_TRUE(out.boxShown || out.windowShown)
      << "no message box and no main window; the program " << (out.ended ? "ended" : "was killed")
      << " with exit code " << out.exitCode << " (no X display for Wine?)";
  EXPECT_EQ(expected, out.text) << "expected " << Readable(expected) << "\n  actual " << Readable(out.text);
  if (window) {
    EXPECT_TRUE(out.windowShown) << "a message box instead of the main window";
    EXPECT_TRUE(out.ended) << "the program did not end when its window was closed";
    return;
  }
  EXPECT_TRUE(out.boxShown) << "the main window instead of a message box";
  EXPECT_STREQ(e2e::BoxIconName(icon), e2e::BoxIconName(out.icon));
  EXPECT_TRUE(out.boxClosed) << "the box did not close on OK";
  EXPECT_TRUE(out.ended) << "the program did not end after OK";
}

// Checks that the program accepted the selection: its main window with these counts.
void ExpectWindow(const Outcome& out, int files, int folders) {
  ExpectShown(out, Summary(files, folders), e2e::BoxIcon::kUnknown);
}

// A fresh installation for each test: a folder holding a copy of Larkspan.exe
// (the program finds lkpara.dat beside itself), and a data folder beside it
// for the selected files and folders.
class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override { Install("prog"); }

  // Copies the program into the folder rel of the tree, which becomes the
  // installation, with a settings file naming an existing backup folder (so
  // that an accepted start shows nothing but the main window).
  void Install(const std::string& rel) {
    installDir_ = tree_.Path(rel);
    MakeFolders(installDir_);
    const std::string source = BuiltProgram();
    ASSERT_TRUE(::CopyFileA(source.c_str(), Program().c_str(), FALSE))
        << "cannot copy " << source << " (error " << ::GetLastError() << ")";
    tree_.Folder("backups");
    WriteSettings();
  }

  // The settings file without a version: the program writes one when it saves.
  void WriteSettings() {
    WriteBytes(installDir_ + "\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + tree_.Path("backups") + "\r\n");
  }
  std::string SettingsVersion() const {
    char value[64] = {};
    ::GetPrivateProfileStringA("Base", "VL", "<absent>", value, sizeof(value), (installDir_ + "\\Larkspan.ini").c_str());
    return value;
  }

  std::string Program() const { return installDir_ + "\\Larkspan.exe"; }
  std::string ParameterFile() const { return installDir_ + "\\lkpara.dat"; }
  std::string Data(const std::string& rel) const { return tree_.Path("data\\" + rel); }

  // Runs the program by the given command line, from the tree's root as the
  // current folder (not the installation).
  Outcome Run(const std::string& commandLine, const std::string& application = std::string(),
              DWORD boxAppearsMs = kBoxAppearsMs) {
    return RunProgram(application, commandLine, tree_.root(), boxAppearsMs);
  }
  // Runs the program as the extension starts it: its full path, quoted, and the token.
  Outcome RunWithToken(DWORD boxAppearsMs = kBoxAppearsMs) {
    return Run(Quoted(Program()) + " " + kToken, std::string(), boxAppearsMs);
  }

  // Content of the parameter file, or "<missing>".
  std::string ParameterFileContent() const { return tree_.Read(ParameterFile().substr(tree_.root().size() + 1)); }

  TempTree tree_;
  std::string installDir_;
};

TEST_F(LaunchTest, AnyCommandLineButTheTokenIsRefused) {
  tree_.File("data\\a.txt", "a");
  const std::string content = Entry(Data("a.txt"));
  struct Case {
    const char* what;
    std::string application;
    std::string commandLine;
  } const cases[] = {
      {"no token", "", Program()},
      {"quoted program, no token", "", Quoted(Program())},
      {"a blank after the program", "", Program() + " "},
      {"lower case", "", Program() + " larkspancall"},
      {"upper case", "", Program() + " LARKSPANCALL"},
      {"trailing space", "", Program() + " " + kToken + " "},
      {"extra argument", "", Program() + " " + kToken + " extra"},
      {"quoted token", "", Program() + " " + Quoted(kToken)},
      {"shortened token", "", Program() + " LarkspanCal"},
      {"empty command line", Program(), ""},
      {"the token alone is taken for the program name", Program(), kToken},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << "): [" << c.commandLine << "]");
    WriteBytes(ParameterFile(), content);
    WriteSettings();
    Outcome out = Run(c.commandLine, c.application);
    ExpectShown(out, kRefusedDirectStart, e2e::BoxIcon::kStop);
    EXPECT_EQ(content, ParameterFileContent()) << "the parameter file must stay untouched";
    EXPECT_EQ("1.00", SettingsVersion()) << "a refused start still saves the settings";
  }
}

TEST_F(LaunchTest, TheTokenAfterTheProgramNameIsAccepted) {
  tree_.File("data\\a.txt", "a");
  struct Case {
    const char* what;
    std::string commandLine;
  } const cases[] = {
      {"unquoted program path", Program() + " " + kToken},
      {"quoted full path", Quoted(Program()) + " " + kToken},
      {"quoted full path directly followed by the token", Quoted(Program()) + kToken},
      {"two blanks before the token", Quoted(Program()) + "  " + kToken},
      {"tab before the token", Program() + "\t" + kToken},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << "): [" << c.commandLine << "]");
    WriteBytes(ParameterFile(), Entry(Data("a.txt")));
    Outcome out = Run(c.commandLine);
    ExpectWindow(out, 1, 0);
    EXPECT_FALSE(Exists(ParameterFile())) << "the parameter file must be gone after a successful read";
  }
}

TEST_F(LaunchTest, MissingParameterFileIsAReadFailure) {
  // A parameter file in the current folder is not the program's.
  tree_.File("lkpara.dat", Entry(tree_.root()));
  Outcome out = RunWithToken();
  ExpectShown(out, ReadFailure("ファイル未定義", ParameterFile()), e2e::BoxIcon::kStop);
  EXPECT_FALSE(Exists(ParameterFile()));
  EXPECT_EQ(Entry(tree_.root()), tree_.Read("lkpara.dat"));
}

TEST_F(LaunchTest, LockedParameterFileIsAReadFailureAndStays) {
  tree_.File("data\\a.txt", "a");
  const std::string content = Entry(Data("a.txt"));
  WriteBytes(ParameterFile(), content);
  {
    // Held open without sharing, as another program might.
    plat::FileHandle lock(
        ::CreateFileA(ParameterFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock) << "cannot lock the parameter file, error " << ::GetLastError();
    Outcome out = RunWithToken();
    ExpectShown(out, ReadFailure("SHARE.EXE 未ロードまたは共有領域ロック済み", ParameterFile()),
                e2e::BoxIcon::kStop);
  }
  EXPECT_EQ(content, ParameterFileContent()) << "a file that could not be read must stay";
}

TEST_F(LaunchTest, ParameterFileContents) {
  tree_.File("data\\a.txt", "a");
  tree_.File("data\\a b.txt", "ab");
  tree_.Folder("data\\My Photos");
  tree_.File("data\\" + kHyo, "hyo");
  tree_.File("data\\" + kSo + "\\" + kHyo + kSo + ".txt", "so");
  const std::string a = Data("a.txt"), ab = Data("a b.txt"), photos = Data("My Photos"), hyo = Data(kHyo),
                    so = Data(kSo), hyoSo = Data(kSo + "\\" + kHyo + kSo + ".txt"), gone = Data("deleted.txt");
  struct Case {
    const char* what;
    std::string content;
    std::string expected;
  } const cases[] = {
      {"empty file", "", kNoEntries},
      {"no quote", a + " " + photos + " ", kNoEntries},
      {"one quote", "\"" + a, kNoEntries},
      {"three quotes: the third is ignored", Entry(a) + "\"" + photos, Summary(1, 0)},
      {"files and folders as the extension writes them", Entry(a) + Entry(photos) + Entry(ab), Summary(2, 1)},
      {"paths with spaces", Entry(ab) + Entry(photos), Summary(1, 1)},
      {"names with 0x5C second bytes", Entry(hyo) + Entry(so) + Entry(so + "\\") + Entry(hyoSo), Summary(2, 2)},
      {"a drive root", Entry("C:\\"), Summary(0, 1)},
      {"the same path twice", Entry(a) + Entry(a), Summary(2, 0)},
      {"text between and after the pairs", "junk\"" + a + "\"\"" + photos + "\"tail", Summary(1, 1)},
      {"a path that does not exist", Entry(a) + Entry(gone), kUnrecognised},
      {"an empty path", Entry(a) + Entry(""), kUnrecognised},
      {"NUL byte, then quotes", Entry(a) + std::string(1, '\0') + Entry(gone) + Entry(photos), Summary(1, 0)},
      {"NUL byte first", std::string(1, '\0') + Entry(a), kNoEntries},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    WriteBytes(ParameterFile(), c.content);
    Outcome out = RunWithToken();
    ExpectShown(out, c.expected, e2e::BoxIcon::kStop);
    EXPECT_FALSE(Exists(ParameterFile())) << "the parameter file must be gone after a successful read";
  }
}

TEST_F(LaunchTest, TenMegabyteParameterFile) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("data\\My Photos");
  // The last entry lies beyond ten megabytes of filler: the whole file is read.
  std::string content = Entry(Data("a.txt"));
  content.append(10 * 1024 * 1024, 'x');
  content += Entry(Data("My Photos"));
  WriteBytes(ParameterFile(), content);
  ExpectWindow(RunWithToken(), 1, 1);
  EXPECT_FALSE(Exists(ParameterFile()));
}

TEST_F(LaunchTest, MoreThanHundredThousandQuotesGiveFiftyThousandEntries) {
  tree_.File("data\\a.txt", "a");
  tree_.Folder("data\\My Photos");
  const std::string pair = Entry(Data("a.txt")) + Entry(Data("My Photos"));
  std::string content;
  content.reserve(pair.size() * 25000 + 64);
  for (int i = 0; i < 25000; ++i) content += pair;
  // Quotes 100,001 and 100,002 are not counted: this entry is never looked at.
  content += Entry(Data("deleted.txt"));
  WriteBytes(ParameterFile(), content);
  ExpectWindow(RunWithToken(kLongLoadBoxAppearsMs), 25000, 25000);
  EXPECT_FALSE(Exists(ParameterFile()));
}

TEST_F(LaunchTest, InstalledInAJapaneseFolderWithASpace) {
  // The installation's own path holds a space and characters whose second byte is 0x5C.
  Install(kHyo + " " + kSo);
  tree_.Folder("data\\" + kSo);
  WriteBytes(ParameterFile(), Entry(Data(kSo)));
  ExpectWindow(RunWithToken(), 0, 1);
  EXPECT_FALSE(Exists(ParameterFile()));
  // Started again, the file is gone: the message names it beside the program.
  ExpectShown(RunWithToken(), ReadFailure("ファイル未定義", ParameterFile()), e2e::BoxIcon::kStop);
}

}  // namespace
