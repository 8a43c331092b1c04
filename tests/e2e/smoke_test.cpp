// Smoke tests of the real Larkspan.exe under Wine: launch refusals, a whole backup checked on disk,
// cancel in the count and the copy, a second instance, the dialogs, help, the switch menu.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/texts.h"
#include "engine/texts.h"
#include "tests/e2e/driver.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace e2e {
namespace {

constexpr DWORD kAppearsMs = 15000;

// True once the count has ended and the total of files shows.
bool Shown(const std::string& totalFiles) { return totalFiles != texts::kCounting; }

// A throwaway folder: a copy of the program in prog\ with settings (backups\A
// current and leaving out *.tmp, backups\B beside it), the data in data\.
class Smoke : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof(temp), temp);
    root_ = temp + std::string("lksmoke") + std::to_string(::GetCurrentProcessId());
    for (const char* dir : {"", "\\prog", "\\data", "\\data\\d", "\\backups", "\\backups\\A", "\\backups\\B"}) {
      ::CreateDirectoryA((root_ + dir).c_str(), nullptr);
    }
    ASSERT_TRUE(::CopyFileA(Built("Larkspan.exe").c_str(), Path("prog\\Larkspan.exe").c_str(), FALSE));
    Put("prog\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + Path("backups\\A") + "\r\n[BkFolderList]\r\nBkFolder000=" +
        Path("backups\\A") + "\r\nFilterFileOut000=*.tmp\r\nBkFolder001=" + Path("backups\\B") + "\r\n");
    Put("data\\a.txt", "alpha\r\n");
  }
  void TearDown() override {
    const std::string from = root_ + std::string(2, '\0');
    SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI,
                          FALSE, nullptr, nullptr};
    ::SHFileOperationA(&op);
  }
  // Wine takes the host's slashes on drive Z:.
  static std::string Built(const std::string& name) { return "Z:" LARKSPAN_DIST_HOST_PATH "/" + name; }
  std::string Path(const std::string& rel) const { return root_ + "\\" + rel; }
  void Put(const std::string& rel, const std::string& b) const { std::ofstream(Path(rel), std::ios::binary) << b; }
  std::string Read(const std::string& rel) const {  // "<missing>" if it cannot be opened
    std::ifstream file(Path(rel), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
  }
  void Select(const std::vector<std::string>& rels) const {
    std::string text;
    for (const std::string& rel : rels) text += "\"" + Path(rel) + "\" ";
    Put("prog\\lkpara.dat", text);
  }
  bool StartProgram(Process& program, const std::string& tail = " LarkspanCall") {
    std::string error;
    EXPECT_TRUE(program.Start("\"" + Path("prog\\Larkspan.exe") + "\"" + tail, root_, &error)) << error;
    return program.pid() != 0;
  }
  // Starts the program on the selection and waits for its main window, and
  // unless counting is enough, until its totals show.
  HWND StartCounted(Process& program, const std::vector<std::string>& rels, bool counting = false) {
    Select(rels);
    HWND main = StartProgram(program) ? FindWindowOf(program.pid(), "#32770", "Larkspan", IDC_TOTAL_FILES, kAppearsMs)
                                      : nullptr;
    EXPECT_TRUE(main && (counting || WaitText(main, IDC_TOTAL_FILES, Shown, kAppearsMs))) << "no totals";
    return main;
  }
  std::string root_;
};

TEST_F(Smoke, LaunchRefusals) {
  const std::string selection = "\"" + Path("data\\a.txt") + "\" ";
  // Command-line tail, parameter file ("": none), start of the box's text, parameter file gone afterwards.
  const struct { const char* tail; std::string parameters, text; bool deleted; } cases[] = {
      {"", selection, texts::kRefuseDirectStart, false},
      {" LarkspanCallX", selection, texts::kRefuseDirectStart, false},
      {" LarkspanCall", "", texts::kParameterReadFailed, true},
      {" LarkspanCall", "\"" + Path("data\\none") + "\" ", texts::kSelectionUnrecognised, true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    ::DeleteFileA(Path("prog\\lkpara.dat").c_str());
    if (!c.parameters.empty()) Put("prog\\lkpara.dat", c.parameters);
    Process program;
    ASSERT_TRUE(StartProgram(program, c.tail));
    const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
    EXPECT_EQ(0u, box.text.find(c.text)) << "case " << i << ", text " << box.text;
    EXPECT_EQ("stop", box.icon) << "case " << i;
    EXPECT_TRUE(program.WaitExit(kAppearsMs)) << "case " << i;
    EXPECT_EQ(c.deleted, Read("prog\\lkpara.dat") == "<missing>") << "case " << i;
  }
}

TEST_F(Smoke, WholeBackup) {
  ::CreateDirectoryA(Path("data\\d\\ソ").c_str(), nullptr);
  const std::string files[][2] = {
      {"a.txt", "alpha\r\n"}, {"表.csv", std::string("1,\0,2", 5)}, {"d\\ソ\\c.bin", std::string(3000, '\xA5')}};
  for (const auto& f : files) Put("data\\" + f[0], f[1]);
  Put("data\\d\\skip.tmp", "left out");
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt", "data\\表.csv", "data\\d"});
  ASSERT_TRUE(main);
  EXPECT_EQ("2 個, 1 個, 3", Text(main, IDC_FILE_COUNT) + ", " + Text(main, IDC_FOLDER_COUNT) + ", " +
                                 Text(main, IDC_TOTAL_FILES));
  ASSERT_TRUE(Click(main, IDOK));
  const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  const std::string head = texts::kVerifiedTitle + Path("backups\\A") + texts::kVerifiedSubFolder;
  ASSERT_EQ(head, box.text.substr(0, head.size()));
  EXPECT_EQ("information", box.icon);
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  const std::string made = "backups\\A\\" + box.text.substr(head.size()) + "\\";  // the new sub-folder
  for (size_t i = 0; i < std::size(files); ++i) EXPECT_EQ(files[i][1], Read(made + files[i][0])) << "case " << i;
  EXPECT_EQ("<missing>", Read(made + "d\\skip.tmp"));
}

// Installed under a folder whose name has no Shift_JIS form (a profile such as
// Łukasz): the program reads its parameter file and settings beside itself.
TEST_F(Smoke, ProgramFolderWithoutShiftJisForm) {
  auto wide = [](const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); };  // temp paths
  const std::wstring dir = wide(root_) + L"\\\u0141ukasz\\";
  ASSERT_TRUE(::CreateDirectoryW(dir.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileW(wide(Built("Larkspan.exe")).c_str(), (dir + L"Larkspan.exe").c_str(), FALSE));
  Select({"data\\a.txt"});
  for (const char* name : {"Larkspan.ini", "lkpara.dat"})
    ASSERT_TRUE(::MoveFileW(wide(Path("prog\\") + name).c_str(), (dir + wide(name)).c_str())) << name;
  std::wstring command = L"\"" + dir + L"Larkspan.exe\" LarkspanCall";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  HWND main = FindWindowOf(started.dwProcessId, "#32770", "Larkspan", IDC_TOTAL_FILES, kAppearsMs);
  const bool counted = main && WaitText(main, IDC_TOTAL_FILES, Shown, kAppearsMs) && Click(main, IDOK);
  const Box box = AnswerBox(started.dwProcessId, IDOK, kAppearsMs);
  if (::WaitForSingleObject(started.hProcess, kAppearsMs) != WAIT_OBJECT_0) ::TerminateProcess(started.hProcess, 1);
  ::CloseHandle(started.hThread), ::CloseHandle(started.hProcess);
  ASSERT_TRUE(counted) << "no totals";
  const std::string head = texts::kVerifiedTitle + Path("backups\\A") + texts::kVerifiedSubFolder;  // from the settings
  ASSERT_EQ(head, box.text.substr(0, head.size()));
  EXPECT_EQ("alpha\r\n", Read("backups\\A\\" + box.text.substr(head.size()) + "\\a.txt"));
}

TEST_F(Smoke, CancelDuringTheCount) {
  for (int i = 0; i < 200; ++i) Put("data\\d\\f" + std::to_string(i), "x");
  // The same folder 10,000 times: 2,000,000 files to count, seconds under Wine.
  Process program;
  HWND main = StartCounted(program, std::vector<std::string>(10000, "data\\d"), true);
  ASSERT_TRUE(main);
  ASSERT_EQ(texts::kCounting, Text(main, IDC_TOTAL_FILES)) << "the count ended before it could be cancelled";
  ASSERT_TRUE(Click(main, IDCANCEL));
  EXPECT_TRUE(program.WaitExit(5000));
  EXPECT_TRUE(::RemoveDirectoryA(Path("backups\\A").c_str())) << "not empty";
}

// An 8 GiB file (sparse here, real bytes in the copy): the window answers while
// it is copied, cancel ends it inside the file and removes the partial copy,
// and the check's verdict follows. The delays are printed, not judged.
TEST_F(Smoke, CancelDuringTheCopyOfALargeFile) {
  const LONGLONG kSize = 8LL << 30;
  HANDLE big = ::CreateFileA(Path("data\\d\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = kSize;
  ASSERT_TRUE(::SetFilePointerEx(big, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(big));
  ::CloseHandle(big);
  Process program;
  HWND main = StartCounted(program, {"data\\d"});
  ASSERT_TRUE(main);
  ASSERT_TRUE(Click(main, IDOK));
  // Under way once the copy in the new sub-folder has bytes.
  std::string copy;
  LONGLONG copied = 0;
  auto copiedNow = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &data)) return copied = -1;
    return copied = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  };
  ASSERT_TRUE(Poll([&] {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(Path("backups\\A\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    while (found.cFileName[0] == '.' && ::FindNextFileA(search, &found)) {
    }
    ::FindClose(search);
    copy = Path("backups\\A\\") + found.cFileName + "\\d\\big.bin";
    return copiedNow() > 0;
  }, kAppearsMs)) << "the copy did not start";
  DWORD start = ::GetTickCount();
  DWORD_PTR result = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kAppearsMs, &result)) << "no answer";
  const DWORD answered = ::GetTickCount() - start;
  ASSERT_TRUE(copiedNow() > 0 && copied < kSize) << "the copy ended before the window was asked: " << copied;
  start = ::GetTickCount();
  ASSERT_TRUE(Click(main, IDCANCEL));
  EXPECT_EQ(texts::kCancelled, AnswerBox(program.pid(), IDOK, kAppearsMs).text);
  const DWORD cancelled = ::GetTickCount() - start;
  EXPECT_EQ(-1, copiedNow()) << "partial copy left";
  const Box verdict = AnswerBox(program.pid(), IDOK, kAppearsMs);
  EXPECT_EQ(0u, verdict.text.find(texts::kMismatchHead));
  EXPECT_EQ("stop", verdict.icon);
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  std::printf("during the copy: the window answered in %lu ms; the cancel message came %lu ms after the click\n",
              answered, cancelled);
}

TEST_F(Smoke, SecondInstanceRefused) {
  Process first;
  ASSERT_TRUE(StartCounted(first, {"data\\a.txt"}));
  Select({"data\\a.txt", "data\\a.txt"});
  const std::string waiting = Read("prog\\lkpara.dat");
  Process second;
  ASSERT_TRUE(StartProgram(second));
  const Box box = AnswerBox(second.pid(), IDOK, kAppearsMs);
  EXPECT_EQ(std::string("Larkspan") + texts::kAlreadyRunning, box.text);
  EXPECT_EQ("exclamation", box.icon);
  EXPECT_TRUE(second.WaitExit(kAppearsMs));
  EXPECT_EQ(waiting, Read("prog\\lkpara.dat")) << "read by the refused instance";
  EXPECT_FALSE(first.WaitExit(0));
}

TEST_F(Smoke, DialogsWithOkAndCancel) {
  std::string list;  // a 5,000-byte filter list, which both dialogs' OK must store whole
  while (list.size() < 4993) list += "*.表ソ;";
  list = list.substr(0, 4993) + ";*.xlsx";
  const std::string entry = "FilterFileOut000=" + list + "\r\n";
  Put("prog\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + Path("backups\\A") + "\r\n[BkFolderList]\r\nBkFolder000=" +
      Path("backups\\A") + "\r\n" + entry);
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt"});
  ASSERT_TRUE(main);
  // Command (0: a click on the filter picture), caption, a control of the dialog;
  // the about box shares its caption and identifiers with the main window.
  const struct { int command; const char* caption; int control; } cases[] = {
      {ID_BACKUP_FOLDER_SETTINGS, "バックアップフォルダ設定", IDC_FOLDER_LIST},
      {ID_ENV_SETTINGS, "環境設定", IDC_END_MESSAGE},
      {ID_APP_ABOUT_BOX, "Larkspan", IDC_WEB_ADDRESS},
      {0, texts::kTitleChangeFolder, IDC_EDIT_FOLDER},
  };
  for (size_t i = 0; i < 2 * std::size(cases); ++i) {
    const auto& c = cases[i / 2];
    const int button = i % 2 ? IDCANCEL : IDOK;
    if (c.command) Command(main, c.command);
    if (!c.command && !Click(main, IDC_FILTER_INDICATOR, true)) ADD_FAILURE() << "case " << i << ": no filter picture";
    HWND dialog = FindWindowOf(program.pid(), "#32770", c.caption, c.control, kAppearsMs, main);
    ASSERT_TRUE(dialog) << "case " << i;
    EXPECT_FALSE(::IsWindowEnabled(main)) << "case " << i << ": not modal";
    if (!Click(dialog, button)) Command(dialog, button);  // the about box has no cancel button: Esc
    EXPECT_TRUE(WaitGone(dialog, kAppearsMs)) << "case " << i;
    // An OK may start a new count, which ignores commands: once the main window has answered (its
    // handler has returned), the totals show again when the count is over.
    ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kAppearsMs, nullptr);
    EXPECT_TRUE(WaitText(main, IDC_TOTAL_FILES, Shown, kAppearsMs)) << "case " << i;
    EXPECT_NE(std::string::npos, Read("prog\\Larkspan.ini").find(entry)) << "case " << i << ": the filter list cut";
  }
}

TEST_F(Smoke, HelpWithAndWithoutItsFile) {
  const std::string help = Path("prog\\") + texts::kHelpFileName;
  ASSERT_TRUE(::CopyFileA(Built(texts::kHelpFileName).c_str(), help.c_str(), FALSE));
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt"});
  ASSERT_TRUE(main);
  Command(main, ID_HELP_COMMAND);
  DWORD viewer = 0;
  ::GetWindowThreadProcessId(FindWindowOf(0, "HH Parent", "Larkspan ヘルプ", 0, kAppearsMs), &viewer);
  HANDLE viewerProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewer);
  ASSERT_TRUE(viewerProcess) << "no help viewer";
  ::TerminateProcess(viewerProcess, 0);
  ::CloseHandle(viewerProcess);
  ASSERT_TRUE(::DeleteFileA(help.c_str()));
  Command(main, ID_HELP_COMMAND);
  const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  EXPECT_EQ(texts::kHelpMissing, box.text);
  EXPECT_EQ("exclamation", box.icon);
}

TEST_F(Smoke, SwitchMenuChangesTheFolder) {
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt"});
  ASSERT_TRUE(main);
  EXPECT_EQ("\\A", Text(main, IDC_BACKUP_FOLDER).substr(Text(main, IDC_BACKUP_FOLDER).size() - 2));
  ASSERT_TRUE(Click(main, IDC_FOLDER_SWITCH, true));
  HWND menu = FindWindowOf(program.pid(), "#32768", "", 0, kAppearsMs);
  ASSERT_TRUE(menu) << "the switch menu did not open";
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageA(menu, WM_KEYDOWN, key, 0);  // the second item, B
  EXPECT_TRUE(WaitText(main, IDC_BACKUP_FOLDER, [](const std::string& t) { return t.substr(t.size() - 2) == "\\B"; },
                       kAppearsMs)) << Text(main, IDC_BACKUP_FOLDER);
}

}  // namespace
}  // namespace e2e
