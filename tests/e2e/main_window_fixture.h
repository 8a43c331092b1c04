// The fixture of the main-window end-to-end tests: a fresh installation of
// the real Larkspan.exe in a temporary tree, with a data folder for the
// selection and backup folders, its settings file written as the test needs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/main_window.h"
#include "tests/support/temp_tree.h"

namespace e2e {

// Bounds of every wait: generous for a loaded machine, short enough to fail fast.
constexpr DWORD kWindowAppearsMs = 10000;
constexpr DWORD kTotalsShownMs = 20000;
constexpr DWORD kBoxAppearsMs = 10000;
constexpr DWORD kProgramEndsMs = 10000;

constexpr int kStart = IDOK;
constexpr int kCancel = IDCANCEL;
constexpr int kProgress = 1001;
constexpr int kFileCount = 1002;
constexpr int kMenuButton = 1003;
constexpr int kFilePicture = 1004;
constexpr int kFolderPicture = 1005;
constexpr int kFolderCount = 1006;
constexpr int kSizeLabel = 1007;
constexpr int kTotalSize = 1008;
constexpr int kBackupFolder = 1009;
constexpr int kFolderLabel = 1010;
constexpr int kFolderSwitch = 1011;
constexpr int kFilterIndicator = 1012;
constexpr int kTotalFiles = 1014;
constexpr int kOpenBackupFolder = 32774;
constexpr int kFolderCommand0 = 61204;

extern const std::string kCounting;
// What the count says when no backup folder is set.
extern const std::string kSetUpFirst;

// One registered backup folder with its four filter lists.
struct ListEntry {
  ListEntry(std::string f, std::string fi = "", std::string fo = "", std::string di = "", std::string dout = "")
      : folder(std::move(f)), fileIn(std::move(fi)), fileOut(std::move(fo)), folderIn(std::move(di)),
        folderOut(std::move(dout)) {}
  std::string folder;
  std::string fileIn, fileOut, folderIn, folderOut;
};

// The settings file's content.
struct Settings {
  Settings(std::string c, std::vector<ListEntry> l = {}, int end = 1, int mini = 1, int top = 0)
      : current(std::move(c)), list(std::move(l)), endMsg(end), miniPath(mini), topFolder(top) {}
  std::string current;
  std::vector<ListEntry> list;
  int endMsg;
  int miniPath;
  int topFolder;
};

// The program under test: the build's dist\Larkspan.exe, reached through drive Z:.
std::string BuiltProgram();

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Install("prog"); }
  // Copies the program into the folder rel of the tree, which becomes the installation.
  void Install(const std::string& rel);

  std::string Program() const { return installDir_ + "\\Larkspan.exe"; }
  std::string Ini() const { return installDir_ + "\\Larkspan.ini"; }
  std::string ParameterFile() const { return installDir_ + "\\lkpara.dat"; }
  // A path under the data folder, and under the folder for backups.
  std::string Data(const std::string& rel) const { return tree_.Path("data\\" + rel); }
  std::string Backups(const std::string& rel) const { return tree_.Path("backups\\" + rel); }

  // Writes lkpara.dat as the extension does.
  void Select(const std::vector<std::string>& paths);
  // Writes Larkspan.ini.
  void WriteSettings(const Settings& settings);
  // A value of the settings file, or "<absent>".
  std::string IniValue(const char* section, const char* key) const;

  // Starts the program as the extension does (full path, token) and waits for
  // its main window; nullptr (and a test failure) if none appeared.
  HWND Start(Process& process);
  // Writes the settings and the selection, starts the program and waits for
  // its totals; nullptr (and a failure) if it did not get there.
  HWND StartCounted(Process& process, const Settings& settings, const std::vector<std::string>& selection);
  // Waits until the totals are shown (1014 no longer reads "算出中").
  bool WaitForTotals(HWND dialog);
  // Answers the next message box of process with button; a failure unless it
  // shows text (and icon, a BoxIconName, when given). True if a box showed.
  bool ExpectBox(Process& process, int button, const std::string& text, const char* icon = nullptr);
  // Waits for the program's end; a failure if it does not end.
  void ExpectEnds(Process& process, DWORD timeoutMs = kProgramEndsMs);

  // The names in folder (files and folders, no dot entries), sorted.
  std::vector<std::string> List(const std::string& folder) const;
  // Files and bytes beneath folder.
  void CountTree(const std::string& folder, int64_t& files, int64_t& bytes) const;

  TempTree tree_;
  std::string installDir_;
};

}  // namespace e2e
