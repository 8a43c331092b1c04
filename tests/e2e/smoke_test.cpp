// Smoke tests of the real Larkspan.exe under Wine: launch refusals, a whole backup checked on disk,
// cancel in the count and the copy, a second instance, the dialogs, help, the switch menu. Run under the
// ANSI code pages 932 and 1252 (tests/e2e/CMakeLists.txt): every text reads the same; files are named wide.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/texts.h"
#include "engine/texts.h"
#include "platform/native_path.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_tree.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace e2e {
namespace {

constexpr DWORD kAppearsMs = 15000;

// True once the count has ended and the total of files shows.
bool Shown(const std::string& totalFiles) { return totalFiles != texts::kCounting; }

// The backup folder A, named in Japanese (two second bytes 0x5C).
const std::string kAName = "表ソ先", kA = "backups\\" + kAName;

// A throwaway folder: a copy of the program in prog\ with settings (kA current
// and leaving out *.tmp, backups\B beside it), the data in data\.
class Smoke : public ::testing::Test {
 protected:
  void SetUp() override {
    // The code page the run asked for, so that no run passes on 932 unnoticed.
    ASSERT_EQ(std::getenv("LARKSPAN_ACP") ? std::atoi(std::getenv("LARKSPAN_ACP")) : 932, int(::GetACP()));
    for (const char* dir : {"prog", "data\\d", kA.c_str(), "backups\\B"}) tree_.Folder(dir);
    ASSERT_TRUE(::CopyFileA(Built("Larkspan.exe").c_str(), Path("prog\\Larkspan.exe").c_str(), FALSE));
    Put("prog\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + Path(kA) + "\r\n[BkFolderList]\r\nBkFolder000=" +
        Path(kA) + "\r\nFilterFileOut000=*.tmp\r\nBkFolder001=" + Path("backups\\B") + "\r\n");
    Put("data\\a.txt", "alpha\r\n");
  }
  // Wine takes the host's slashes on drive Z:.
  static std::string Built(const std::string& name) { return "Z:" LARKSPAN_DIST_HOST_PATH "/" + name; }
  std::string Path(const std::string& rel) const { return tree_.Path(rel); }
  static std::wstring Wide(const std::string& path) { return plat::ToNative(path); }
  void Put(const std::string& rel, const std::string& bytes) { tree_.File(rel, bytes); }
  std::string Read(const std::string& rel) const { return tree_.Read(rel); }  // "<missing>" if it cannot be read
  void Select(const std::vector<std::string>& rels) {
    std::string text;
    for (const std::string& rel : rels) text += "\"" + Path(rel) + "\" ";
    Put("prog\\lkpara.dat", text);
  }
  // Starts exe (the copy in prog\ when empty) with the command-line tail.
  bool StartProgram(Process& program, const std::string& tail = " LarkspanCall", std::wstring exe = L"") {
    std::string error;
    exe = exe.empty() ? Wide(Path("prog\\Larkspan.exe")) : exe;
    EXPECT_TRUE(program.Start(L"\"" + exe + L"\"" + Wide(tail), Wide(Path("")), &error)) << error;
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
  TempTree tree_;  // files in Shift_JIS names, made and read wide
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
  const std::string files[][2] = {
      {"a.txt", "alpha\r\n"}, {"表.csv", std::string("1,\0,2", 5)}, {"d\\ソ\\c.bin", std::string(3000, '\xA5')}};
  for (const auto& f : files) Put("data\\" + f[0], f[1]);
  Put("data\\d\\skip.tmp", "left out");
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt", "data\\表.csv", "data\\d"});
  ASSERT_TRUE(main);
  std::string shown;  // every text of the main window, set at run time or by its template
  for (int id : {IDC_FILE_COUNT, IDC_FOLDER_COUNT, IDC_SIZE_LABEL, IDC_TOTAL_SIZE, IDC_TOTAL_FILES_LABEL,
                 IDC_TOTAL_FILES, IDC_BACKUP_FOLDER_LABEL, IDOK, IDCANCEL, IDC_MENU_BUTTON}) shown += Text(main, id) + "|";
  EXPECT_EQ("2 個|1 個|サイズ|2.94KB|総ファイル数|3|バックアップフォルダ|バックアップ開始|ｷｬﾝｾﾙ|≫|", shown);
  ASSERT_TRUE(Click(main, IDOK));
  const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  const std::string head = texts::kVerifiedTitle + Path(kA) + texts::kVerifiedSubFolder;
  ASSERT_EQ(head, box.text.substr(0, head.size()));
  EXPECT_EQ("information", box.icon);
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  const std::string made = kA + "\\" + box.text.substr(head.size()) + "\\";  // the new sub-folder
  for (size_t i = 0; i < std::size(files); ++i) EXPECT_EQ(files[i][1], Read(made + files[i][0])) << "case " << i;
  EXPECT_EQ("<missing>", Read(made + "d\\skip.tmp"));
  const std::string ini = Read("prog\\Larkspan.ini");  // saved at the end (the version key is new)
  EXPECT_NE(std::string::npos, ini.find("VL=1.00")) << ini;
  EXPECT_NE(std::string::npos, ini.find("BackupFolder=" + Path(kA) + "\r\n")) << "not in Shift_JIS: " << ini;
}

// Installed under a folder whose name has no Shift_JIS form (a profile such as
// Łukasz): the program reads its parameter file and settings beside itself.
TEST_F(Smoke, ProgramFolderWithoutShiftJisForm) {
  const std::wstring dir = Wide(Path("")) + L"\\\u0141ukasz\\";
  ASSERT_TRUE(::CreateDirectoryW(dir.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileW(Wide(Built("Larkspan.exe")).c_str(), (dir + L"Larkspan.exe").c_str(), FALSE));
  Select({"data\\a.txt"});
  for (const char* name : {"Larkspan.ini", "lkpara.dat"})
    ASSERT_TRUE(::MoveFileW(Wide(Path("prog\\") + name).c_str(), (dir + Wide(name)).c_str())) << name;
  Process program;
  HWND main = StartProgram(program, " LarkspanCall", dir + L"Larkspan.exe")
                  ? FindWindowOf(program.pid(), "#32770", "Larkspan", IDC_TOTAL_FILES, kAppearsMs) : nullptr;
  ASSERT_TRUE(main && WaitText(main, IDC_TOTAL_FILES, Shown, kAppearsMs) && Click(main, IDOK)) << "no totals";
  const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  const std::string head = texts::kVerifiedTitle + Path(kA) + texts::kVerifiedSubFolder;  // from the settings
  ASSERT_EQ(head, box.text.substr(0, head.size()));
  EXPECT_EQ("alpha\r\n", Read(kA + "\\" + box.text.substr(head.size()) + "\\a.txt"));
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
  EXPECT_TRUE(::RemoveDirectoryW(Wide(Path(kA)).c_str())) << "not empty";
}

// A count that fails (a file handed over as a folder, "a.txt\": its listing fails) shows its message and
// leaves the totals empty, on white rather than in the blue of totals still to come.
TEST_F(Smoke, FailedCountLeavesEmptyTotalsOnWhite) {
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt\\"}, true);
  ASSERT_TRUE(main);
  EXPECT_EQ(0u, AnswerBox(program.pid(), IDOK, kAppearsMs).text.find(texts::kSourceReadFailed));
  RECT total{};
  ::GetWindowRect(::GetDlgItem(main, IDC_TOTAL_FILES), &total);
  HDC screen = ::GetDC(nullptr);
  EXPECT_TRUE(Poll([&] { return ::GetPixel(screen, total.left + 1, total.top + 1) == RGB(255, 255, 255); }, 3000));
  ::ReleaseDC(nullptr, screen);
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
    if (!::GetFileAttributesExW(Wide(copy).c_str(), GetFileExInfoStandard, &data)) return copied = -1;
    return copied = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  };
  ASSERT_TRUE(Poll([&] {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(Wide(Path(kA + "\\*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    while (found.cFileName[0] == L'.' && ::FindNextFileW(search, &found)) {
    }
    ::FindClose(search);
    copy = Path(kA + "\\" + plat::FromNative(found.cFileName) + "\\d\\big.bin");
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
  Put("prog\\Larkspan.ini", "[Backup]\r\nBackupFolder=" + Path(kA) + "\r\n[BkFolderList]\r\nBkFolder000=" +
      Path(kA) + "\r\n" + entry);
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt"});
  ASSERT_TRUE(main);
  // Command (0: a click on the filter picture; IDM_ABOUTBOX: the system menu's item), caption, a control of the
  // dialog and its text (of a list: its first row); the about box shares its caption and identifiers with the
  // main window.
  const struct { int command; std::string caption; int control; std::string text; } cases[] = {
      {ID_BACKUP_FOLDER_SETTINGS, "バックアップフォルダ設定", IDC_FOLDER_LIST, Path(kA)},
      {ID_ENV_SETTINGS, "環境設定", IDC_VERIFY_CONTENT, "バックアップ後にファイルの内容を照合する"},
      {ID_APP_ABOUT_BOX, "Larkspan", IDC_WEB_ADDRESS, "https://larkspan.example.jp/"},
      {IDM_ABOUTBOX, "Larkspanのﾊﾞｰｼﾞｮﾝ情報", IDOK, "OK"},
      {0, texts::kTitleChangeFolder, IDC_EDIT_FOLDER, Path(kA)},
  };
  for (size_t i = 0; i < 2 * std::size(cases); ++i) {
    const auto& c = cases[i / 2];
    const int button = i % 2 ? IDCANCEL : IDOK;
    if (c.command) ::PostMessageW(main, c.command == IDM_ABOUTBOX ? WM_SYSCOMMAND : WM_COMMAND, c.command, 0);
    if (!c.command && !Click(main, IDC_FILTER_INDICATOR, true)) ADD_FAILURE() << "case " << i << ": no filter picture";
    HWND dialog = FindWindowOf(program.pid(), "#32770", c.caption, c.control, kAppearsMs, main);
    ASSERT_TRUE(dialog) << "case " << i;
    EXPECT_FALSE(::IsWindowEnabled(main)) << "case " << i << ": not modal";
    EXPECT_EQ(c.text, c.control == IDC_FOLDER_LIST ? ListText(::GetDlgItem(dialog, c.control), 0)
                                                   : Text(dialog, c.control)) << "case " << i;
    if (c.control == IDC_VERIFY_CONTENT) Click(dialog, IDC_VERIFY_CONTENT);  // on; kept by OK only
    if (!Click(dialog, button)) Command(dialog, button);  // the about and version boxes have no cancel button: Esc
    EXPECT_TRUE(WaitGone(dialog, kAppearsMs)) << "case " << i;
    // An OK may start a new count, which ignores commands: once the main window has answered (its
    // handler has returned), the totals show again when the count is over.
    ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kAppearsMs, nullptr);
    EXPECT_TRUE(WaitText(main, IDC_TOTAL_FILES, Shown, kAppearsMs)) << "case " << i;
    EXPECT_NE(std::string::npos, Read("prog\\Larkspan.ini").find(entry)) << "case " << i << ": the filter list cut";
  }
  ASSERT_TRUE(Click(main, IDCANCEL));  // the settings are saved as the window closes
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  EXPECT_NE(std::string::npos, Read("prog\\Larkspan.ini").find("\r\nVerify=1\r\n")) << Read("prog\\Larkspan.ini");
}

TEST_F(Smoke, HelpWithAndWithoutItsFile) {
  const std::string help = Path("prog\\") + texts::kHelpFileName;
  ASSERT_TRUE(::CopyFileA(Built(texts::kHelpFileName).c_str(), help.c_str(), FALSE));
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt"});
  ASSERT_TRUE(main);
  Command(main, ID_HELP_COMMAND);
  DWORD viewer = 0;
  // Wine's viewer shows the help's Shift_JIS title through the ANSI code page ("Larkspan ƒwƒ‹ƒv" under
  // 1252): there it is known by its class alone.
  const char* title = ::GetACP() == 932 ? "Larkspan ヘルプ" : "";
  ::GetWindowThreadProcessId(FindWindowOf(0, "HH Parent", title, 0, kAppearsMs), &viewer);
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
  const std::string label = Text(main, IDC_BACKUP_FOLDER), name = "\\" + kAName;
  EXPECT_EQ(name, label.substr(label.size() - std::min(label.size(), name.size()))) << label;
  ASSERT_TRUE(Click(main, IDC_FOLDER_SWITCH, true));
  HWND menu = FindWindowOf(program.pid(), "#32768", "", 0, kAppearsMs);
  ASSERT_TRUE(menu) << "the switch menu did not open";
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageA(menu, WM_KEYDOWN, key, 0);  // the second item, B
  EXPECT_TRUE(WaitText(main, IDC_BACKUP_FOLDER, [](const std::string& t) { return t.substr(t.size() - 2) == "\\B"; },
                       kAppearsMs)) << Text(main, IDC_BACKUP_FOLDER);
}

}  // namespace
}  // namespace e2e
