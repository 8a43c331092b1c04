// Smoke tests of the real Larkspan.exe under Wine: what the user sees of its windows and how they are wired (the
// decisions have native tables), under the ANSI code pages 932 and 1252: every text reads the same, files are wide.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/texts.h"
#include "engine/texts.h"
#include "platform/fs.h"
#include "platform/native_path.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_tree.h"
#include "ui/dpi_scale.h"
#include "ui/resource.h"
#include "ui/texts.h"

// The dialog manager's base units of the font in dc (gdi32 exports it; mingw-w64 declares it nowhere).
extern "C" LONG WINAPI GdiGetCharDimensions(HDC dc, TEXTMETRICW* metrics, LONG* height);

namespace e2e {
namespace {

constexpr DWORD kAppearsMs = 15000;

// True once the count has ended and main's total of files shows, waiting at most kAppearsMs.
bool TotalsShown(HWND main) {
  return Poll([&] { return Text(main, IDC_TOTAL_FILES) != ui::texts::kCounting; }, kAppearsMs);
}

// The backup folders A and B, named in Japanese (second bytes 0x5C), and A's filter: a list of nearly 5,000
// bytes, which every dialog's OK must store whole, whose last pattern leaves out *.tmp (as B's filter does).
const std::string kA = "backups\\表ソ先", kBName = "ソ予備", kB = "backups\\" + kBName;
const std::string kFilterEntry = [] {
  std::string list = "FilterFileOut000=";
  while (list.size() < 4990) list += "*.表ソ;";
  return list + "*.tmp\r\n";
}();

// A throwaway folder: the program copied into a folder whose name has no Shift_JIS form (a profile such as
// Łukasz), where it finds its parameter file and settings (A current, B beside it); the data in data\.
class Smoke : public ::testing::Test {
 protected:
  void SetUp() override {
    // The code page the run asked for, so that no run passes on 932 unnoticed.
    ASSERT_EQ(std::getenv("LARKSPAN_ACP") ? std::atoi(std::getenv("LARKSPAN_ACP")) : 932, int(::GetACP()));
    for (const std::string& dir : {std::string("data\\d"), kA, kB}) tree_.Folder(dir);
    ASSERT_TRUE(::CreateDirectoryW(prog_.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(exe_.c_str(), (prog_ + L"Larkspan.exe").c_str(), FALSE));
    WriteNative(prog_ + L"Larkspan.ini", "[Backup]\r\nBackupFolder=" + Path(kA) + "\r\n[BkFolderList]\r\nBkFolder000=" +
                                             Path(kA) + "\r\n" + kFilterEntry + "BkFolder001=" + Path(kB) +
                                             "\r\nFilterFileOut001=*.tmp\r\n");
    tree_.File("data\\a.txt", "alpha\r\n");
  }
  static std::wstring Wide(const std::string& path) { return plat::ToNative(path); }
  std::string Path(const std::string& rel) const { return tree_.Path(rel); }
  // A file beside the program ("<missing>" if it cannot be read).
  std::string Read(const std::wstring& name) const {
    std::string bytes;
    return plat::ReadAll(prog_ + name, bytes) == 0 ? bytes : "<missing>";
  }
  void Select(const std::vector<std::string>& rels) {
    std::string text;
    for (const std::string& rel : rels) text += "\"" + Path(rel) + "\" ";
    WriteNative(prog_ + L"lkpara.dat", text);
  }
  bool StartProgram(Process& program, const std::string& tail = " LarkspanCall") {
    std::string error;
    EXPECT_TRUE(program.Start(L"\"" + prog_ + L"Larkspan.exe\"" + Wide(tail), Wide(Path("")), &error)) << error;
    return program.pid() != 0;
  }
  // Starts the program on the selection and waits for its main window (unless counting is enough, its totals).
  HWND StartCounted(Process& program, const std::vector<std::string>& rels, bool counting = false) {
    Select(rels);
    HWND main = StartProgram(program) ? FindWindowOf(program.pid(), "#32770", "Larkspan", IDC_TOTAL_FILES, kAppearsMs)
                                      : nullptr;
    EXPECT_TRUE(main && (counting || TotalsShown(main))) << "no totals";
    return main;
  }
  TempTree tree_;  // files in Shift_JIS names, made and read wide
  std::wstring prog_ = Wide(tree_.root()) + L"\\\u0141ukasz\\";
  const std::wstring exe_ = Wide("Z:" LARKSPAN_PROGRAM_HOST_DIR "/Larkspan.exe");  // Wine takes the host's slashes
};

// A session: a start refused without the extension's token (LoadSelection's table has every other refusal); the
// main window's texts; a second instance refused; each dialog modal, closed with OK and with cancel, the filter
// list whole after each; help's message while its file is missing; the switch menu, which makes B
// current; the backup into B, checked for content as the environment dialog's OK asked; the settings saved.
TEST_F(Smoke, ASessionFromTheTotalsToTheBackup) {
  tree_.File("data\\表.csv", std::string("1,\0,2", 5));
  tree_.File("data\\d\\ソ\\c.bin", std::string(3000, '\xA5'));
  tree_.File("data\\d\\skip.tmp", "left out");
  auto refused = [&](const char* tail, const std::string& textAndIcon) {  // with a box, the selection left unread
    Process program;
    Select({"data\\a.txt"});
    ASSERT_TRUE(StartProgram(program, tail));
    const Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
    EXPECT_EQ(textAndIcon, box.text + "|" + box.icon);
    EXPECT_TRUE(program.WaitExit(kAppearsMs) && Read(L"lkpara.dat") == "\"" + Path("data\\a.txt") + "\" ");
  };
  refused("", std::string(engine::texts::kRefuseDirectStart) + "|stop");
  Process program;
  HWND main = StartCounted(program, {"data\\a.txt", "data\\表.csv", "data\\d"});
  ASSERT_TRUE(main);
  std::string shown;  // the main window's texts set at run time, and two of its template's
  for (int id : {IDC_FILE_COUNT, IDC_FOLDER_COUNT, IDC_TOTAL_SIZE, IDC_TOTAL_FILES, IDCANCEL, IDC_MENU_BUTTON})
    shown += Text(main, id) + "|";
  EXPECT_EQ("2 個|1 個|2.94KB|3|ｷｬﾝｾﾙ|≫|", shown);
  refused(" LarkspanCall", std::string("Larkspan") + app::texts::kAlreadyRunning + "|exclamation");
  // Command (0: a click on the filter picture; IDM_ABOUTBOX: the system menu's item), caption, a control of the
  // dialog and its text (of a list: its first row); the about box shares caption and identifiers with the window.
  const struct { int command; std::string caption; int control; std::string text; } cases[] = {
      {ID_BACKUP_FOLDER_SETTINGS, "バックアップフォルダ設定", IDC_FOLDER_LIST, Path(kA)},
      {ID_ENV_SETTINGS, "環境設定", IDC_LINK_UNCHANGED, "変更のないファイルは前回分へのリンクにする"},
      {ID_APP_ABOUT_BOX, "Larkspan", IDC_WEB_ADDRESS, "https://larkspan.example.jp/"},
      {IDM_ABOUTBOX, "Larkspanのﾊﾞｰｼﾞｮﾝ情報", IDOK, "OK"},
      {0, ui::texts::kTitleChangeFolder, IDC_EDIT_FOLDER, Path(kA)},
  };
  for (size_t i = 0; i < 2 * std::size(cases); ++i) {
    const auto& c = cases[i / 2];
    const int button = i % 2 ? IDCANCEL : IDOK;
    if (c.command) ::PostMessageW(main, c.command == IDM_ABOUTBOX ? WM_SYSCOMMAND : WM_COMMAND, c.command, 0);
    if (!c.command && !Click(main, IDC_FILTER_INDICATOR, true)) ADD_FAILURE() << "case " << i << ": no picture";
    HWND dialog = FindWindowOf(program.pid(), "#32770", c.caption, c.control, kAppearsMs, main);
    ASSERT_TRUE(dialog) << "case " << i;
    EXPECT_FALSE(::IsWindowEnabled(main)) << "case " << i << ": not modal";
    EXPECT_EQ(c.text, Text(dialog, c.control)) << "case " << i;
    if (c.control == IDC_LINK_UNCHANGED) Click(dialog, IDC_VERIFY_CONTENT), Click(dialog, c.control);  // by OK
    if (!Click(dialog, button)) ::PostMessageW(dialog, WM_COMMAND, button, 0);  // Esc: the boxes have no cancel
    EXPECT_TRUE(Poll([&] { return !::IsWindow(dialog); }, kAppearsMs)) << "case " << i;
    // An OK may start a new count, which ignores commands: once the window has answered, its totals show again.
    ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kAppearsMs, nullptr);
    EXPECT_TRUE(TotalsShown(main)) << "case " << i;
    EXPECT_NE(std::string::npos, Read(L"Larkspan.ini").find(kFilterEntry)) << "case " << i << ": the filter list cut";
  }
  ::PostMessageW(main, WM_COMMAND, ID_HELP_COMMAND, 0);  // without its file
  Box box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  EXPECT_EQ(std::string(ui::texts::kHelpMissing) + "|exclamation", box.text + "|" + box.icon);
  ASSERT_TRUE(Click(main, IDC_FOLDER_SWITCH, true));
  HWND menu = FindWindowOf(program.pid(), "#32768", "", 0, kAppearsMs);
  ASSERT_TRUE(menu) << "the switch menu did not open";
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageA(menu, WM_KEYDOWN, key, 0);  // the second item, B
  auto isB = [&] {
    const std::string t = Text(main, IDC_BACKUP_FOLDER);
    return t.size() > kBName.size() && t.substr(t.size() - kBName.size() - 1) == "\\" + kBName;
  };
  EXPECT_TRUE(Poll(isB, kAppearsMs)) << Text(main, IDC_BACKUP_FOLDER);
  ASSERT_TRUE(TotalsShown(main) && Click(main, IDOK));
  // The verdict: success into B, every file's content checked (its tail) since the environment dialog's OK.
  box = AnswerBox(program.pid(), IDOK, kAppearsMs);
  const std::string tail = engine::texts::kContentChecked + std::string("3") + engine::texts::kContentCheckedFiles + "|information";
  std::string got = box.text + '|' + box.icon, head = engine::texts::kVerifiedTitle + Path(kB) + engine::texts::kVerifiedSubFolder;
  EXPECT_TRUE(got.find(head) == 0 && got.size() > tail.size() && got.substr(got.size() - tail.size()) == tail) << got;
  EXPECT_TRUE(program.WaitExit(kAppearsMs));
  const std::string ini = Read(L"Larkspan.ini");  // saved as the window closed
  EXPECT_NE(std::string::npos, ini.find("\r\nVerify=1\r\nSkipUnreadable=0\r\nLink=1\r\n")) << ini;
  EXPECT_NE(std::string::npos, ini.find("BackupFolder=" + Path(kB) + "\r\n")) << "not in Shift_JIS: " << ini;
}

// The rectangles of the controls of dialog template id of module (a DLGTEMPLATEEX), in dialog units, in order.
std::vector<RECT> TemplateRects(HMODULE module, int id) {
  const WORD* p = static_cast<const WORD*>(
      ::LockResource(::LoadResource(module, ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)))));
  auto skipText = [&] { p += *p == 0xFFFF ? 2 : std::wcslen(reinterpret_cast<const wchar_t*>(p)) + 1; };
  const int count = p[8], font = p[6] & DS_SETFONT;
  p += 13, skipText(), skipText(), skipText();  // the header, menu, class, title, then the font
  if (font) p += 3, skipText();
  std::vector<RECT> rects;
  for (int i = 0; i < count; ++i, p += 12, skipText(), skipText(), p += 1 + (*p + 1) / 2) {  // class, title, data
    p = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t(3));
    const short* r = reinterpret_cast<const short*>(p + 6);  // after the help id and the styles
    rects.push_back({r[0], r[1], r[0] + r[2], r[1] + r[3]});
  }
  return rects;
}

// At 96, 144 and 192 DPI (Wine's LogPixels) the windows whose pixels the program sets (the main window's pictures,
// the folder list's column) and the one with the longest texts: each control where its template puts it within a
// pixel, each picture at its image's side, no text cut that 96 does not cut (in IPAPGothic, for the missing MS PGothic).
TEST_F(Smoke, TheWindowsAtTheDisplaysScale) {
  const wchar_t kFont[] = L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", kStandIn[] = L"IPAPGothic";
  const wchar_t *fonts = L"Software\\Wine\\Fonts\\Replacements", *desktop = L"Control Panel\\Desktop";
  auto setUp = [&](DWORD dpi) {  // 0: Wine's own settings again
    const DWORD pixels = dpi ? dpi : 96;
    return !::RegSetKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels", REG_DWORD, &pixels, 4) &&
           !(dpi ? ::RegSetKeyValueW(HKEY_CURRENT_USER, fonts, kFont, REG_SZ, kStandIn, sizeof(kStandIn))
                 : ::RegDeleteKeyValueW(HKEY_CURRENT_USER, fonts, kFont));
  };
  struct Restore { std::function<bool(DWORD)> set; ~Restore() { set(0); } } restore{setUp};
  const int windows[][2] = {  // the command that opens the window (0: the main window), its template
      {0, IDD_MAIN}, {ID_BACKUP_FOLDER_SETTINGS, IDD_BACKUP_FOLDER_SETTINGS}, {ID_ENV_SETTINGS, IDD_ENV_SETTINGS}};
  std::set<std::string> cutAt96;
  HMODULE exe = ::LoadLibraryExW(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  for (int dpi : {96, 144, 192}) {
    Process program;
    HWND main = setUp(dpi) && exe ? StartCounted(program, {"data\\a.txt"}) : nullptr;
    ASSERT_TRUE(main);
    HDC dc = ::CreateCompatibleDC(nullptr);  // the templates' font at the DPI, and its base units
    auto old = ::SelectObject(dc, ::CreateFontW(-::MulDiv(9, dpi, 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kStandIn));
    LONG unitY = 0, unitX = ::GdiGetCharDimensions(dc, nullptr, &unitY);
    for (const auto& [command, dialog] : windows) {
      if (command) ::PostMessageW(main, WM_COMMAND, command, 0);
      HWND window = command ? FindWindowOf(program.pid(), "#32770", "", 0, kAppearsMs, main) : main;
      ASSERT_TRUE(window) << dialog;
      const std::vector<RECT> units = TemplateRects(exe, dialog);
      size_t i = 0;
      for (HWND h = ::GetWindow(window, GW_CHILD); h && i < units.size(); h = ::GetWindow(h, GW_HWNDNEXT), ++i) {
        char name[32] = {};  // the class
        const std::string cls(name, ::GetClassNameA(h, name, sizeof(name))), key = std::to_string(dialog) + "/" +
            std::to_string(i) + " " + cls, where = key + " at " + std::to_string(dpi);
        const int id = ::GetDlgCtrlID(h), style = ::GetWindowLongW(h, GWL_STYLE);
        RECT r{}, want{::MulDiv(units[i].left, unitX, 4), ::MulDiv(units[i].top, unitY, 8),
                       ::MulDiv(units[i].right, unitX, 4), ::MulDiv(units[i].bottom, unitY, 8)};
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        // A picture takes its bitmap's side: 21 pixels at 100 % (the selection's), else 16.
        const bool picture = cls == "Static" && (style & SS_TYPEMASK) == SS_BITMAP;
        const int side = ui::dpi::ImageSize(id == IDC_FILE_PICTURE || id == IDC_FOLDER_PICTURE ? 21 : 16,
                                        ui::dpi::ImageScaleIndex(dpi));
        if (picture) want.right = r.left + side, want.bottom = r.top + side;
        for (LONG e : {want.left - r.left, want.top - r.top, want.right - r.right, want.bottom - r.bottom})
          EXPECT_LE(std::abs(e), picture ? 0 : 1) << where << ": " << r.left << "," << r.top << " off by " << e;
        if (cls == "SysListView32") { EXPECT_EQ(ui::dpi::Scale(650, dpi), ::SendMessageW(h, LVM_GETCOLUMNWIDTH, 0, 0)); }
        std::wstring text(256, L'\0');
        text.resize(::SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
        if (text.empty() || picture || !(style & WS_VISIBLE) || (cls != "Static" && cls != "Button")) continue;
        // Room for the text: all of a label's, less a push button's frame or a check box's box and gap.
        const int button = cls == "Static" ? BS_GROUPBOX : style & BS_TYPEMASK;
        const int frame = button == BS_GROUPBOX ? 0 : ui::dpi::Scale(button <= BS_DEFPUSHBUTTON ? 6 : 16, dpi);
        RECT fit{};
        ::DrawTextW(dc, text.c_str(), -1, &fit, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (fit.right <= r.right - r.left - frame && fit.bottom <= r.bottom - r.top) continue;
        if (dpi == 96) std::printf("cut at 96 already (the template's 100 %% layout): %s\n", key.c_str());
        EXPECT_TRUE(dpi == 96 ? cutAt96.insert(key).second : cutAt96.count(key)) << where << ": " << fit.right;
      }
      EXPECT_EQ(units.size(), i) << dialog;
      if (command) ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
      EXPECT_TRUE(Poll([&] { return window == main || !::IsWindow(window); }, kAppearsMs)) << dialog;
    }
    ::DeleteObject(::SelectObject(dc, old)), ::DeleteDC(dc);
    ASSERT_TRUE(Click(main, IDCANCEL) && program.WaitExit(kAppearsMs));
  }
  ::FreeLibrary(exe);
}

}  // namespace
}  // namespace e2e
