// The main job end to end, run by main_job_test.sh inside a fresh Wine prefix
// right after "LarkspanSetup.exe /S": the installed extension is found through
// its registration and called as Explorer calls it on a selection of files and
// folders; the installed Larkspan.exe it starts counts the selection through
// the current backup folder's filters, the start button is pressed, the
// verdict is read and answered, and the new sub-folder is checked on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/fileutil.h"
#include "tests/e2e/main_window.h"
#include "tests/shellext/explorer_call.h"
#include "tests/support/temp_tree.h"

namespace {

constexpr DWORD kWindowAppearsMs = 15000;
constexpr DWORD kTotalsShownMs = 20000;
constexpr DWORD kVerdictAppearsMs = 30000;
constexpr DWORD kProgramEndsMs = 10000;
constexpr int kFileCount = 1002;
constexpr int kFolderCount = 1006;
constexpr int kTotalSize = 1008;
constexpr int kBackupFolder = 1009;
constexpr int kFilterIndicator = 1012;
constexpr int kTotalFiles = 1014;

const std::string kCounting = "算出中";
const std::string kSucceeded = "バックアップが正常終了しました。　\n\nバックアップフォルダ：\n  ";
const std::string kSucceededSubFolder = "  \n\nバックアップフォルダの配下に作成したフォルダ：　　\n  ";

// The names beneath folder as relative paths, sorted; with recursive, folders
// end with a backslash and their contents follow.
std::vector<std::string> ListTree(const std::string& folder, bool recursive = true) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return out;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (!recursive || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      out.push_back(name);
      continue;
    }
    out.push_back(name + "\\");
    for (const std::string& below : ListTree(folder + "\\" + name)) out.push_back(name + "\\" + below);
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
  std::sort(out.begin(), out.end());
  return out;
}

std::string Readable(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += e2e::Readable(n) + " ";
  return out;
}

// One file of the sample: where it lies under data\, its bytes, and whether
// the backup folder's filters let it into the copy.
struct SampleFile {
  const char* path;
  std::string content;
  bool copied;
};

TEST(MainJob, TheInstalledExtensionStartsABackupThatIsCheckedOnDisk) {
  const std::string install = shelltest::InstallDir();
  ASSERT_TRUE(shelltest::Exists(install + "\\Larkspan.exe")) << "not installed in " << install;
  ASSERT_TRUE(shelltest::Exists(install + "\\LarkspanShell.dll")) << "not installed in " << install;

  // The selection: two folders and two files, Japanese names (表 and ソ end in
  // the byte 0x5C, one of them at the end of a name), a space in a name. The
  // backup folder leaves out *.tmp, Thumbs.db and every folder named Debug.
  const SampleFile files[] = {
      {"月次表\\ソース\\main.cpp", "int main() { return 0; }\n", true},
      {"月次表\\ソース\\main.tmp", "scratch", false},
      {"月次表\\Debug\\main.obj", std::string(700, 'o'), false},
      {"月次表\\売上表", "4,120\n", true},
      {"表計算.csv", "月,売上\n4,120\n", true},
      {"写真 2024\\IMG_0001.jpg", std::string(3000, 'j'), true},
      {"写真 2024\\Thumbs.db", std::string(512, 't'), false},
      {"写真 2024\\夏\\IMG_0002.jpg", std::string(4500, 'k'), true},
      {"memo.txt", "memo\n", true},
  };
  TempTree tree;
  int64_t expectedFiles = 0, expectedBytes = 0;
  for (const SampleFile& f : files) {
    tree.File(std::string("data\\") + f.path, f.content);
    if (f.copied) {
      ++expectedFiles;
      expectedBytes += static_cast<int64_t>(f.content.size());
    }
  }
  tree.Folder("data\\写真 2024\\空");
  tree.Folder("backups\\main");
  const std::string backup = tree.Path("backups\\main");
  const std::vector<std::string> selection = {tree.Path("data\\月次表"), tree.Path("data\\表計算.csv"),
                                              tree.Path("data\\写真 2024"), tree.Path("data\\memo.txt")};

  // The settings beside the installed program: one registered backup folder
  // with its filters, current.
  WriteBytes(install + "\\Larkspan.ini",
             "[Backup]\r\nBackupFolder=" + backup + "\r\n[BkFolderList]\r\nBkFolder000=" + backup +
                 "\r\nFilterFileIn000=\r\nFilterFileOut000=*.tmp;Thumbs.db\r\nFilterFolderIn000=\r\n"
                 "FilterFolderOut000=Debug\r\n");

  // Explorer: registration, library, class factory, object, Initialize,
  // QueryContextMenu, InvokeCommand.
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  shelltest::ExplorerCall call;
  const int called = shelltest::CallAsExplorer(selection, &call);
  ::CoUninitialize();
  const std::string steps = shelltest::DescribeCall(call);
  std::printf("%s", e2e::Readable(steps).c_str());
  ASSERT_EQ(0, called) << call.failure;
  struct Step {
    const char* what;
    std::string expected, actual;
  } const checks[] = {
      {"handler key", "HKCU\\Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Larkspan",
       call.reg.handlerKey},
      {"class", "{D536B8B1-51E1-4287-ABB7-BA665DF631A3}", call.reg.classId},
      {"server", install + "\\LarkspanShell.dll", call.reg.server},
      {"threading model", "Apartment", call.reg.threadingModel},
      {"library loaded from", install + "\\LarkspanShell.dll", call.loadedFrom},
      {"DllGetClassObject", "0x00000000", shelltest::HexResult(call.getClassObject)},
      {"CreateInstance", "0x00000000", shelltest::HexResult(call.createInstance)},
      {"Initialize", "0x00000000", shelltest::HexResult(call.initialize)},
      {"QueryContextMenu", "0x00000001", shelltest::HexResult(call.queryContextMenu)},
      {"item text", "Larkspan ...", call.itemText},
      {"InvokeCommand", "0x00000000", shelltest::HexResult(call.invokeCommand)},
      {"DllCanUnloadNow after release", "0x00000000", shelltest::HexResult(call.canUnloadNow)},
      {"program started", install + "\\Larkspan.exe", call.programImage},
  };
  // Windows shows the per-user classes inside HKEY_CLASSES_ROOT; Wine 8 does not.
  for (size_t i = 0; i < sizeof(checks) / sizeof(checks[0]); ++i) {
    const Step& s = checks[i];
    if (i == 0 && s.actual.compare(0, 5, "HKCR\\") == 0) continue;
    EXPECT_EQ(0, ::lstrcmpiA(s.expected.c_str(), s.actual.c_str()))
        << "case " << i << " " << s.what << ": expected " << e2e::Readable(s.expected) << ", actual "
        << e2e::Readable(s.actual);
  }

  // The installed program: counts and totals after the filters.
  shelltest::WatchedProcess program(call.programPid);
  ASSERT_TRUE(program.opened());
  HWND dialog = e2e::WaitForMainWindow(call.programPid, kWindowAppearsMs);
  ASSERT_TRUE(dialog) << "no main window within " << kWindowAppearsMs << " ms";
  std::string last;
  ASSERT_TRUE(e2e::WaitForControlText(dialog, kTotalFiles, [](const std::string& t) { return t != kCounting; },
                                      kTotalsShownMs, &last))
      << "totals not shown; 1014 reads " << e2e::Readable(last);
  struct Shown {
    int id;
    std::string expected;
  } const shown[] = {
      {kFileCount, "2 個"},
      {kFolderCount, "2 個"},
      {kTotalFiles, FormatGroupedNumber(expectedFiles)},
      {kTotalSize, FormatSizeText(expectedBytes)},
  };
  for (size_t i = 0; i < sizeof(shown) / sizeof(shown[0]); ++i) {
    const std::string actual = e2e::ControlText(dialog, shown[i].id);
    EXPECT_EQ(shown[i].expected, actual) << "case " << i << " control " << shown[i].id << ": expected "
                                         << e2e::Readable(shown[i].expected) << ", actual " << e2e::Readable(actual);
  }
  EXPECT_TRUE(e2e::IsControlVisible(dialog, kFilterIndicator)) << "the filter indicator is hidden";
  EXPECT_NE("", e2e::ControlText(dialog, kBackupFolder));

  // The start button; the verdict.
  ASSERT_TRUE(e2e::ClickButton(dialog, IDOK));
  HWND box = e2e::WaitForMessageBox("Larkspan", call.programPid, kVerdictAppearsMs);
  ASSERT_TRUE(box) << "no verdict within " << kVerdictAppearsMs << " ms";
  const std::string verdict = e2e::MessageBoxText(box);
  const std::vector<std::string> made = ListTree(backup, false);
  ASSERT_EQ(1u, made.size()) << Readable(made);
  const std::string stamp = made[0];
  EXPECT_EQ(kSucceeded + backup + kSucceededSubFolder + stamp, verdict) << e2e::Readable(verdict);
  ASSERT_TRUE(e2e::PressButton(box, IDOK, 5000));
  ASSERT_TRUE(program.WaitExit(kProgramEndsMs)) << "the program did not end after the verdict";
  EXPECT_EQ(0u, program.ExitCode());

  // On disk: exactly what the filters let through, byte for byte; the
  // parameter file read and deleted.
  const std::string copy = backup + "\\" + stamp;
  std::vector<std::string> expected = {"memo.txt",  "写真 2024\\", "写真 2024\\IMG_0001.jpg", "写真 2024\\夏\\",
                                       "写真 2024\\夏\\IMG_0002.jpg", "写真 2024\\空\\", "月次表\\",
                                       "月次表\\ソース\\", "月次表\\ソース\\main.cpp", "月次表\\売上表", "表計算.csv"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, ListTree(copy)) << Readable(ListTree(copy));
  for (size_t i = 0; i < sizeof(files) / sizeof(files[0]); ++i) {
    const SampleFile& f = files[i];
    const std::string rel = std::string("backups\\main\\") + stamp + "\\" + f.path;
    const std::string got = tree.Read(rel);
    EXPECT_EQ(f.copied ? f.content : "<missing>", got) << "case " << i << " " << e2e::Readable(f.path);
  }
  EXPECT_FALSE(shelltest::Exists(install + "\\lkpara.dat")) << "the parameter file was left behind";
}

}  // namespace
