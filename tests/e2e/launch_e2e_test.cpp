// The launch contract end to end: the real Larkspan.exe, copied into a fresh
// folder beside a prepared lkpara.dat (or none), started with a command line
// and watched: a refusal through its message box (text, icon, OK, exit), an
// accepted selection through the main window's counts of selected files and
// folders (then closed); and what became of the parameter file.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "tests/e2e/main_window_fixture.h"

namespace e2e {
namespace {

// 50,000 entries: the program looks at each on the disk before its box shows.
constexpr DWORD kLongLoadBoxAppearsMs = 30000;

const std::string kToken = "LarkspanCall";
const std::string kRefusedDirectStart = "直接起動はできません　";
const std::string kUnrecognised = "選択したファイル、またはフォルダが正しく認識できません ";
const std::string kNoEntries = "指定されたファイル・フォルダが0件です ";
const std::string kHyo = "表";  // second byte 0x5C
const std::string kSo = "ソ";   // second byte 0x5C
constexpr char kMainWindow[] = "main window: ";

// What the program shows for an accepted selection: its main window, with the
// numbers of selected files (control 1002) and folders (control 1006).
std::string Summary(int files, int folders) {
  return kMainWindow + std::to_string(files) + " 個 / " + std::to_string(folders) + " 個";
}

// The read-failure refusal for the parameter file at path with this cause.
std::string ReadFailure(const std::string& cause, const std::string& path) {
  return "パラメータファイルの読み込みに失敗しました。　\nエラー詳細：" + cause + "\n( " + path + " )";
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
// One entry of the parameter file as the extension writes it.
std::string Entry(const std::string& path) { return Quoted(path) + " "; }

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh installation for each test (the program finds lkpara.dat beside
// itself), with a settings file naming an existing backup folder, so that an
// accepted start shows nothing but the main window.
class LaunchTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    WriteSettings({tree_.Path("backups")});
  }

  // Runs the program by commandLine (application may be empty: then the
  // command line names it) from the tree's root, and checks that it showed
  // exactly expected: a message box with icon that closed on OK, or (for a
  // Summary) the main window, read and closed; and that the program then ended.
  void ExpectShown(const std::string& commandLine, const std::string& expected, BoxIcon icon = BoxIcon::kStop,
                   const std::string& application = "", DWORD boxAppearsMs = kBoxAppearsMs) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    ASSERT_TRUE(::CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                                 FALSE, 0, nullptr, tree_.root().c_str(), &startup, &info))
        << "CreateProcessA failed, error " << ::GetLastError() << ": " << commandLine;
    plat::FileHandle process(info.hProcess), thread(info.hThread);
    std::string text = "<nothing: no X display for Wine?>";
    BoxIcon shownIcon = BoxIcon::kUnknown;
    bool closed = false;
    Poll(
        [&] {
          if (HWND box = WaitForMessageBox("Larkspan", info.dwProcessId, 0)) {
            text = MessageBoxText(box);
            shownIcon = IdentifyMessageBoxIcon(box, 3000);
            closed = PressButton(box, IDOK, 3000);
          } else if (HWND window = WaitForMainWindow(info.dwProcessId, 0)) {
            text = kMainWindow + ControlText(window, kFileCount) + " / " + ControlText(window, kFolderCount);
            PostClose(window);
            closed = true;
          } else {
            return false;
          }
          return true;
        },
        boxAppearsMs);
    const bool ended = ::WaitForSingleObject(process.get(), kProgramEndsMs) == WAIT_OBJECT_0;
    if (!ended) ::TerminateProcess(process.get(), 99);
    EXPECT_EQ(expected, text) << "expected " << Readable(expected) << "\n  actual " << Readable(text);
    if (expected.rfind(kMainWindow, 0) != 0) {
      EXPECT_STREQ(BoxIconName(icon), BoxIconName(shownIcon));
    }
    EXPECT_TRUE(closed) << "the box did not close on OK";
    EXPECT_TRUE(ended) << "the program did not end after OK or its window's closing";
  }
  // As the extension starts it: its full path, quoted, and the token.
  void ExpectShownWithToken(const std::string& expected, DWORD boxAppearsMs = kBoxAppearsMs) {
    ExpectShown(Quoted(Program()) + " " + kToken, expected, BoxIcon::kStop, "", boxAppearsMs);
  }
  // Content of the parameter file, or "<missing>".
  std::string ParameterFileContent() const { return tree_.Read(ParameterFile().substr(tree_.root().size() + 1)); }
};

TEST_F(LaunchTest, AnyCommandLineButTheTokenIsRefused) {
  tree_.File("data\\a.txt", "a");
  const std::string content = Entry(Data("a.txt"));
  struct Case {
    const char* what;
    std::string application, commandLine;
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
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << "): [" << c.commandLine << "]");
    WriteBytes(ParameterFile(), content);
    WriteSettings({tree_.Path("backups")});
    ExpectShown(c.commandLine, kRefusedDirectStart, BoxIcon::kStop, c.application);
    EXPECT_EQ(content, ParameterFileContent()) << "the parameter file must stay untouched";
    EXPECT_EQ("1.00", IniValue("Base", "VL")) << "a refused start still saves the settings";
  }
}

TEST_F(LaunchTest, TheTokenAfterTheProgramNameIsAccepted) {
  tree_.File("data\\a.txt", "a");
  const std::string cases[] = {
      Program() + " " + kToken,          Quoted(Program()) + " " + kToken, Quoted(Program()) + kToken,
      Quoted(Program()) + "  " + kToken, Program() + "\t" + kToken,
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i << ": [" << cases[i] << "]");
    WriteBytes(ParameterFile(), Entry(Data("a.txt")));
    ExpectShown(cases[i], Summary(1, 0));
    EXPECT_FALSE(Exists(ParameterFile())) << "the parameter file must be gone after a successful read";
  }
}

TEST_F(LaunchTest, LockedParameterFileIsAReadFailureAndStays) {
  const std::string content = Entry(tree_.root());
  WriteBytes(ParameterFile(), content);
  {
    // Held open without sharing, as another program might.
    plat::FileHandle lock(
        ::CreateFileA(ParameterFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock) << "cannot lock the parameter file, error " << ::GetLastError();
    ExpectShownWithToken(ReadFailure("SHARE.EXE 未ロードまたは共有領域ロック済み", ParameterFile()));
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
  // The last entry lies beyond ten megabytes of filler: the whole file is read.
  const std::string tenMegabytes = Entry(a) + std::string(10 * 1024 * 1024, 'x') + Entry(photos);
  // Quotes 100,001 and 100,002 are not counted: the last entry is never looked at.
  std::string manyQuotes;
  for (int i = 0; i < 25000; ++i) manyQuotes += Entry(a) + Entry(photos);
  manyQuotes += Entry(gone);
  struct Case {
    const char* what;
    std::string content, expected;
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
      {"ten megabytes", tenMegabytes, Summary(1, 1)},
      {"more than 100,000 quotes give 50,000 entries", manyQuotes, Summary(25000, 25000)},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " (" << c.what << ")");
    WriteBytes(ParameterFile(), c.content);
    ExpectShownWithToken(c.expected, kLongLoadBoxAppearsMs);
    EXPECT_FALSE(Exists(ParameterFile())) << "the parameter file must be gone after a successful read";
  }
}

TEST_F(LaunchTest, InstalledInAJapaneseFolderWithASpace) {
  // The installation's own path holds a space and characters whose second byte is 0x5C.
  Install(kHyo + " " + kSo);
  WriteSettings({tree_.Path("backups")});
  tree_.Folder("data\\" + kSo);
  WriteBytes(ParameterFile(), Entry(Data(kSo)));
  ExpectShownWithToken(Summary(0, 1));
  EXPECT_FALSE(Exists(ParameterFile()));
  // Started again, the file is gone: the message names it beside the program;
  // the one in the current folder is not the program's and stays.
  tree_.File("lkpara.dat", Entry(tree_.root()));
  ExpectShownWithToken(ReadFailure("ファイル未定義", ParameterFile()));
  EXPECT_FALSE(Exists(ParameterFile()));
  EXPECT_EQ(Entry(tree_.root()), tree_.Read("lkpara.dat"));
}

}  // namespace
}  // namespace e2e
