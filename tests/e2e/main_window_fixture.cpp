// The fixture of the main-window end-to-end tests (see main_window_fixture.h).
#include "tests/e2e/main_window_fixture.h"

#include <algorithm>

namespace e2e {

const std::string kCounting = "算出中";
const std::string kSetUpFirst =
    "Larkspanは、事前にバックアップ用のフォルダを設定する必要があります。\n「バックアップフォルダ設定」で設定してください。　";

std::string BuiltProgram() {
  std::string path = std::string("Z:") + LARKSPAN_EXE_HOST_PATH;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void MainWindowTest::Install(const std::string& rel) {
  installDir_ = tree_.Path(rel);
  MakeFolders(installDir_);
  tree_.Folder("data");
  tree_.Folder("backups");
  const std::string source = BuiltProgram();
  ASSERT_TRUE(::CopyFileA(source.c_str(), Program().c_str(), FALSE))
      << "cannot copy " << source << " (error " << ::GetLastError() << ")";
}

void MainWindowTest::Select(const std::vector<std::string>& paths) {
  std::string content;
  for (const std::string& p : paths) content += "\"" + p + "\" ";
  WriteBytes(ParameterFile(), content);
}

void MainWindowTest::WriteSettings(const Settings& s) {
  // No version key: the program writes it when it saves.
  std::string ini = "[Backup]\r\nBackupFolder=" + s.current + "\r\n[Option]\r\nEndMsg=" +
                    std::to_string(s.endMsg) + "\r\nChangeMiniPathFlg=" + std::to_string(s.miniPath) +
                    "\r\nTopFolderDspFlg=" + std::to_string(s.topFolder) + "\r\n[BkFolderList]\r\n";
  for (size_t i = 0; i < s.list.size(); ++i) {
    char n[8];
    std::snprintf(n, sizeof(n), "%03u", static_cast<unsigned>(i));
    const ListEntry& e = s.list[i];
    ini += std::string("BkFolder") + n + "=" + e.folder + "\r\nFilterFileIn" + n + "=" + e.fileIn +
           "\r\nFilterFileOut" + n + "=" + e.fileOut + "\r\nFilterFolderIn" + n + "=" + e.folderIn +
           "\r\nFilterFolderOut" + n + "=" + e.folderOut + "\r\n";
  }
  WriteBytes(Ini(), ini);
}

std::string MainWindowTest::IniValue(const char* section, const char* key) const {
  char value[2048] = {};
  ::GetPrivateProfileStringA(section, key, "<absent>", value, sizeof(value), Ini().c_str());
  return value;
}

HWND MainWindowTest::Start(Process& process) {
  std::string error;
  if (!process.Start("\"" + Program() + "\" LarkspanCall", tree_.root(), &error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  HWND dialog = WaitForMainWindow(process.pid(), kWindowAppearsMs);
  // Under Wine a window needs an X display: DISPLAY must name a running X server.
  if (!dialog) ADD_FAILURE() << "no main window appeared within " << kWindowAppearsMs << " ms (no X display?)";
  return dialog;
}

HWND MainWindowTest::StartCounted(Process& process, const Settings& settings,
                                  const std::vector<std::string>& selection) {
  WriteSettings(settings);
  Select(selection);
  HWND dialog = Start(process);
  return dialog && WaitForTotals(dialog) ? dialog : nullptr;
}

bool MainWindowTest::WaitForTotals(HWND dialog) {
  std::string last;
  if (WaitForControlText(dialog, kTotalFiles, [](const std::string& t) { return t != kCounting; }, kTotalsShownMs,
                         &last)) {
    return true;
  }
  ADD_FAILURE() << "the totals were not shown within " << kTotalsShownMs << " ms; 1014 reads " << Readable(last);
  return false;
}

bool MainWindowTest::ExpectBox(Process& process, int button, const std::string& text, const char* icon) {
  const Box box = AnswerBox(process.pid(), button, kBoxAppearsMs);
  EXPECT_TRUE(box.shown) << "no message box";
  EXPECT_EQ(text, box.text) << "expected " << Readable(text) << "\n  actual " << Readable(box.text);
  if (icon) {
    EXPECT_STREQ(icon, BoxIconName(box.icon)) << "the icon of " << Readable(text);
  }
  return box.shown;
}

void MainWindowTest::ExpectEnds(Process& process, DWORD timeoutMs) {
  EXPECT_TRUE(process.WaitExit(timeoutMs)) << "the program did not end within " << timeoutMs << " ms";
}

std::vector<std::string> MainWindowTest::List(const std::string& folder) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

void MainWindowTest::CountTree(const std::string& folder, int64_t& files, int64_t& bytes) const {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CountTree(folder + "\\" + name, files, bytes);
    } else {
      ++files;
      bytes += (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
}

}  // namespace e2e
