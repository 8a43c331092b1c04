// The main window (see main_dlg.h): counts, totals, the backup-folder label,
// start and cancel, the extended menu and the pictures.
#include "ui/main_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <climits>
#include <cstdio>

#include "core/texts.h"
#include "platform/fs.h"
#include "platform/native_path.h"
#include "settings/bkfolder_list.h"
#include "ui/about_dlg.h"
#include "ui/backup_folder_edit_dlg.h"
#include "ui/backup_folder_settings_dlg.h"
#include "ui/dialog_util.h"
#include "ui/dpi_scale.h"
#include "ui/env_settings_dlg.h"
#include "ui/resource.h"
#include "ui/texts.h"

namespace ui {

namespace {

constexpr UINT_PTR kRecountTimer = 1;
constexpr UINT kRecountDelayMs = 10;
constexpr DWORD kPressFeedbackMs = 120;
// The backup-folder label takes the filter indicator's place when it is hidden
// (pixels at 96 DPI, as every size here).
constexpr int kLabelWidening = 18;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPendingBlue = RGB(130, 179, 253);
// The sides of the window's big and small icons.
constexpr int kIconSize = 32;
constexpr int kSmallIconSize = 16;

// The bitmaps of MainDialog::Picture, in its order, and the picture controls.
constexpr int kPictureIds[] = {IDB_FILE,   IDB_FILE_NONE,      IDB_FOLDER, IDB_FOLDER_NONE,
                               IDB_SWITCH, IDB_SWITCH_PRESSED, IDB_FILTER, IDB_FILTER_PRESSED};
constexpr int kPictureControls[] = {IDC_FILE_PICTURE, IDC_FOLDER_PICTURE, IDC_FOLDER_SWITCH, IDC_FILTER_INDICATOR};

// The program's icon at side pixels, drawn at that size (larkspan.ico holds
// the sides of every scale the bitmaps are drawn at).
HICON LoadProgramIcon(int side) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                         side, side, 0));
}

void Redraw(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

}  // namespace

MainDialog::MainDialog()
    : ui::DialogBase(IDD_MAIN),
      engine_(*this, selection_.paths, currentFilters_),
      extendedMenu_(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_EXTENDED_MENU))),
      whiteBrush_(::CreateSolidBrush(kWhite)),
      pendingBrush_(::CreateSolidBrush(kPendingBlue)) {}

MainDialog::~MainDialog() = default;

// --- Start-up ----------------------------------------------------------------

BOOL MainDialog::OnInitDialog() {
  // The resource's text is UTF-16 already: it goes to the menu as it is.
  wchar_t aboutText[256] = {};
  if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, aboutText, 256) > 0) {
    if (HMENU systemMenu = ::GetSystemMenu(hwnd(), FALSE)) {
      ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
    }
  }
  selectedFiles_ = 0;
  selectedFolders_ = 0;
  ::GetWindowRect(Item(IDC_BACKUP_FOLDER), &folderLabelRect_);
  ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&folderLabelRect_), 2);
  // Every picture shows the dialog's own bitmap, drawn for the window's DPI;
  // the template's images (drawn for 96) have no other owner.
  HBITMAP templateImages[std::size(kPictureControls)];
  for (size_t i = 0; i < std::size(kPictureControls); ++i) {
    templateImages[i] = reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageW(hwnd(), kPictureControls[i], STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  templateDpi_ = ui::WindowDpi(hwnd());
  ApplyDpi(templateDpi_);
  for (HBITMAP image : templateImages) plat::BitmapHandle deleted(image);

  settings_.LoadSettings();
  core::BackupFolder first;
  if (settings_.TopFolderDspFlg) settings::ReadBkFolder(0, first);
  settings_.BackupFolder = StartupFolder(settings_.BackupFolder, settings_.TopFolderDspFlg, first.Folder);

  std::string refusal;
  if (!engine::LoadSelection(core::CommandLineTail(plat::FromNative(::GetCommandLineW())), selection_, refusal)) {
    ShowMessage(refusal, MB_ICONSTOP);
    // Closed through the ordinary way out, so the settings are still saved.
    ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    return TRUE;
  }
  ShowSelectionCounts();

  RECT work = {}, window = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(hwnd(), &window);
  const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
  const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
  ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ArmRecountTimer();
  return TRUE;
}

void MainDialog::ShowSelectionCounts() {
  ::ShowWindow(Item(IDC_PROGRESS), SW_HIDE);
  for (int kind : selection_.kinds) {
    if (kind == core::SelectionList::kFile) {
      ++selectedFiles_;
    } else {
      ++selectedFolders_;
    }
  }
  char text[32];
  std::snprintf(text, sizeof(text), texts::kCountFormat, selectedFiles_);
  ui::SetItemText(hwnd(), IDC_FILE_COUNT, text);
  std::snprintf(text, sizeof(text), texts::kCountFormat, selectedFolders_);
  ui::SetItemText(hwnd(), IDC_FOLDER_COUNT, text);
  ShowPictures();
  if (selectedFiles_ == 0) ::EnableWindow(Item(IDC_FILE_COUNT), FALSE);
  if (selectedFolders_ == 0) ::EnableWindow(Item(IDC_FOLDER_COUNT), FALSE);
  BeginRecount();
}

// --- The count ---------------------------------------------------------------

void MainDialog::BeginRecount() {
  ui::SetItemText(hwnd(), IDC_TOTAL_SIZE, texts::kCounting);
  ui::SetItemText(hwnd(), IDC_TOTAL_FILES, texts::kCounting);
  ::EnableWindow(Item(IDOK), FALSE);
  ::EnableWindow(Item(IDC_MENU_BUTTON), FALSE);
  RefreshBackupFolderDisplay();
}

void MainDialog::RefreshBackupFolderDisplay() {
  currentFilters_.Clear();
  const std::string& folder = settings_.BackupFolder;
  const bool exists = !folder.empty() && plat::PathExists(plat::ToNative(folder));
  core::BackupFolderList list;
  if (exists) settings::LoadBkFolderList(false, list);
  const FolderView view = model_.Prepare(folder, exists, list);
  engine_.ForgetCount();  // counted with another folder's filters
  ui::SetItemText(hwnd(), IDC_BACKUP_FOLDER, view.label);
  if (view.filterEntry >= 0) {
    core::BackupFolder entry;
    settings::ReadBkFolder(view.filterEntry, entry);
    currentFilters_.Set(entry.FilterFileIn, entry.FilterFileOut, entry.FilterFolderIn, entry.FilterFolderOut);
  }
  ::ShowWindow(Item(IDC_FILTER_INDICATOR), currentFilters_.IsEmpty() ? SW_HIDE : SW_SHOW);
  LayOutFolderLabel();
}

void MainDialog::LayOutFolderLabel() {
  // The template's rectangle as laid out at the start, at the window's DPI.
  auto scaled = [&](LONG v) { return ::MulDiv(v, dpi_, templateDpi_); };
  RECT label = {scaled(folderLabelRect_.left), scaled(folderLabelRect_.top), scaled(folderLabelRect_.right),
                scaled(folderLabelRect_.bottom)};
  if (currentFilters_.IsEmpty()) label.right += dpi::Scale(kLabelWidening, dpi_);
  ::MoveWindow(Item(IDC_BACKUP_FOLDER), label.left, label.top, label.right - label.left, label.bottom - label.top,
               TRUE);
}

void MainDialog::ArmRecountTimer() { ::SetTimer(hwnd(), kRecountTimer, kRecountDelayMs, nullptr); }

void MainDialog::OnTimer(UINT_PTR id) {
  if (id != kRecountTimer) return;
  // The count waits until the window is on screen. A modal dialog is shown
  // when its queue first runs empty, which a busy start can delay past the
  // first tick; the timer then simply ticks again.
  if (!::IsWindowVisible(hwnd())) return;
  RecountTick();
}

void MainDialog::RecountTick() {
  ::KillTimer(hwnd(), kRecountTimer);
  const engine::ScanOutcome outcome = model_.Counts() ? engine_.ScanSelection() : engine::ScanOutcome::kCounted;
  std::string sizeText, countText;
  // Stopped by the cancel: the dialog is closing, the display stays as it is.
  if (!model_.EndCount(outcome, engine_.Counted(), sizeText, countText)) return;
  ui::SetItemText(hwnd(), IDC_TOTAL_SIZE, sizeText);
  ui::SetItemText(hwnd(), IDC_TOTAL_FILES, countText);
  RedrawNow();
  ::EnableWindow(Item(IDCANCEL), TRUE);
  ::EnableWindow(Item(IDC_MENU_BUTTON), TRUE);
  // A folder that could not be listed (its message shown) leaves no totals:
  // the start button stays off; the user may switch the folder or cancel.
  if (model_.totals() != MainModel::Totals::kShown) return;
  ::EnableWindow(Item(IDOK), TRUE);
  if (settings_.BackupFolder.empty()) {
    if (!settings_.SaveSettings()) {
      ShowMessage(texts::kSettingsSaveFailed, MB_ICONSTOP);
    } else {
      ShowMessage(texts::kSetUpBackupFolder, MB_ICONINFORMATION);
    }
  }
}

// --- Start and cancel --------------------------------------------------------

void MainDialog::OnOK() {
  // The start button is disabled until totals are shown and while a run goes
  // on; a start that arrives anyway (the Enter key, a posted command) waits
  // for the same.
  const std::string& folder = settings_.BackupFolder;
  StartAction action = model_.DecideStart(engine_.phase(), folder, plat::PathExists(plat::ToNative(folder)));
  if (action == StartAction::kCountFirst) {
    // The folder had no count and no filters when the totals were taken (a
    // drive plugged in since): counted now, with its filters, before anything
    // is copied. A cancel of that count closes the dialog as during any count;
    // a folder gone again at it is refused by the run; one that was gone at it
    // and is back once more waits for the next press (never a run on stale totals).
    BeginRecount();
    RecountTick();
    action = model_.DecideStart(engine_.phase(), folder, plat::PathExists(plat::ToNative(folder)));
  }
  if (action != StartAction::kRun) return;
  // Each option by its name: four flags in a row would take any order.
  engine::RunOptions options;
  options.endMessage = settings_.EndMsg;
  options.checkContent = settings_.Verify;
  options.skipUnreadable = settings_.SkipUnreadable;
  options.linkUnchanged = settings_.Link;
  engine_.RunBackup(folder, options);
  // A run that made a backup (or tried to) ends the dialog; one refused before
  // the copy leaves it open.
  if (engine_.phase() == engine::Phase::kDone) EndDialog(IDOK);
}

void MainDialog::OnCancel() {
  const CancelAction action = DecideCancel(engine_.phase());
  engine_.RequestStop();
  // A stopped copy reports; the run then closes the dialog.
  if (action == CancelAction::kStopCopy) return;
  // A stopped count returns from its pump first.
  if (action == CancelAction::kStopCountAndClose) PumpMessages();
  EndDialog(IDCANCEL);
}

// --- Commands ----------------------------------------------------------------

bool MainDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == 0 && id >= ID_FOLDER_MENU_FIRST && id <= ID_FOLDER_MENU_LAST) {
    // No second count while one runs, and no change of folder under a run.
    if (!engine_.Busy()) SelectBackupFolderByIndex(id - ID_FOLDER_MENU_FIRST);
    return true;
  }
  switch (id) {
    case IDC_MENU_BUTTON:
      if (code == BN_CLICKED && !engine_.Busy()) ShowExtendedMenu();
      return true;
    case ID_OPEN_BACKUP_FOLDER:
      if (!engine_.Busy()) OpenBackupFolder();
      return true;
    // The menu behind "≫" is disabled while a count or a backup runs; a
    // command that arrives then anyway is ignored.
    case ID_BACKUP_FOLDER_SETTINGS:
      if (!engine_.Busy()) EditBackupFolderSettings();
      return true;
    case ID_ENV_SETTINGS:
      if (!engine_.Busy()) {
        OptionsDialog env(settings_);
        env.DoModal(hwnd());
      }
      return true;
    case ID_HELP_COMMAND:
      if (!engine_.Busy()) ShowHelp(hwnd());
      return true;
    case ID_APP_ABOUT_BOX:
      if (!engine_.Busy()) ShowAboutBox();
      return true;
    case IDC_FOLDER_SWITCH:
      if (code == STN_CLICKED && !engine_.Busy()) {
        PressFeedback(IDC_FOLDER_SWITCH, pictures_[kSwitchPressed].get(), pictures_[kSwitch].get());
        ShowFolderSwitchMenu();
      }
      return true;
    case IDC_FILTER_INDICATOR:
      if (code == STN_CLICKED && !engine_.Busy()) {
        PressFeedback(IDC_FILTER_INDICATOR, pictures_[kFilterPressed].get(), pictures_[kFilter].get());
        EditCurrentFilters();
      }
      return true;
  }
  return ui::DialogBase::OnCommand(wParam, lParam);
}

void MainDialog::PressFeedback(int id, HBITMAP pressed, HBITMAP normal) {
  SetPicture(id, pressed);
  Redraw(Item(id));
  // A blocking wait that dispatches nothing, like Sleep; unlike Sleep it lets
  // Wine (8.0) put the window's drawing on screen first, as Windows does at once.
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPressFeedbackMs, 0);
  SetPicture(id, normal);
  Redraw(Item(id));
}

void MainDialog::ShowExtendedMenu() {
  RECT button = {};
  ::GetWindowRect(Item(IDC_MENU_BUTTON), &button);
  ::TrackPopupMenu(::GetSubMenu(extendedMenu_.get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.right, button.top,
                   0, hwnd(), nullptr);
}

void MainDialog::OpenBackupFolder() {
  const std::string folder = settings_.BackupFolder;
  if (!plat::PathExists(plat::ToNative(folder))) {
    ShowMessage(texts::kOpenFolderUnusable + folder + core::texts::kPathClose, MB_ICONEXCLAMATION);
    return;
  }
  const INT_PTR opened = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(hwnd(), L"open", plat::ToNative(folder).c_str(), nullptr, nullptr, SW_SHOW));
  if (opened > 32) {
    OnCancel();
  } else {
    ShowMessage(texts::kOpenFolderFailed + folder + core::texts::kPathClose, MB_ICONSTOP);
  }
}

void MainDialog::EditBackupFolderSettings() {
  FolderListDialog dialog(settings_);
  if (dialog.DoModal(hwnd()) != IDOK) return;
  // A current folder that the list no longer holds gives way to the first entry.
  if (settings_.BackupFolder.empty()) settings_.BackupFolder = dialog.First.Folder;
  StartNewCount();
}

void MainDialog::EditCurrentFilters() {
  FolderEditDialog dialog;
  dialog.Mode = FolderEditDialog::EditMode::kCurrentFolder;
  dialog.Entry = core::BackupFolder{settings_.BackupFolder, currentFilters_.FilterFileIn(),
                                    currentFilters_.FilterFileOut(), currentFilters_.FilterFolderIn(),
                                    currentFilters_.FilterFolderOut()};
  if (dialog.DoModal(hwnd()) != IDOK) return;
  // Only the filters are taken over; the folder was locked.
  const core::BackupFolder& edited = dialog.Entry;
  currentFilters_.Set(edited.FilterFileIn, edited.FilterFileOut, edited.FilterFolderIn, edited.FilterFolderOut);
  settings::StoreCurrentFilters(settings_.BackupFolder, currentFilters_);
  StartNewCount();
}

void MainDialog::StartNewCount() {
  BeginRecount();
  ArmRecountTimer();
}

void MainDialog::ShowAboutBox() {
  AboutDialog about;
  about.DoModal(hwnd());
  // The web site was opened: the program ends as with its cancel button.
  if (about.WebOpened) OnCancel();
}

bool MainDialog::OnSysCommand(WPARAM wParam, LPARAM) {
  // The version box's item (16, whatever the low four bits say); every other
  // command is the system's.
  if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return false;
  VersionDialog version;
  version.DoModal(hwnd());
  return true;
}

// --- Painting ----------------------------------------------------------------

bool MainDialog::OnPaint() {
  if (!::IsIconic(hwnd())) return false;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = {};
  ::GetClientRect(hwnd(), &client);
  const int side = dpi::Scale(kIconSize, dpi_);
  const int x = (client.right - client.left - side + 1) / 2;
  const int y = (client.bottom - client.top - side + 1) / 2;
  ::DrawIconEx(dc, x, y, icon_.get(), side, side, 0, nullptr, DI_NORMAL);
  ::EndPaint(hwnd(), &paint);
  return true;
}

HICON MainDialog::OnQueryDragIcon() { return icon_.get(); }

HBRUSH MainDialog::OnCtlColorStatic(HDC dc, HWND control) {
  ::SetBkMode(dc, TRANSPARENT);
  switch (::GetDlgCtrlID(control)) {
    case IDC_SIZE_LABEL:
    case IDC_TOTAL_FILES_LABEL:
    case IDC_BACKUP_FOLDER_LABEL:
    case IDC_BACKUP_FOLDER:
      return whiteBrush_.get();
    case IDC_TOTAL_SIZE:
    case IDC_TOTAL_FILES:
      // Blue marks totals still to come ("算出中"); shown totals, and the empty
      // ones a failed count leaves, are white.
      return model_.totals() == MainModel::Totals::kPending ? pendingBrush_.get() : whiteBrush_.get();
  }
  return nullptr;
}

void MainDialog::SetPicture(int id, HBITMAP bitmap) {
  // A static with SS_BITMAP takes the size of its image.
  ::SendDlgItemMessageW(hwnd(), id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void MainDialog::ShowPictures() {
  SetPicture(IDC_FILE_PICTURE, pictures_[selectedFiles_ ? kFile : kFileNone].get());
  SetPicture(IDC_FOLDER_PICTURE, pictures_[selectedFolders_ ? kFolder : kFolderNone].get());
  SetPicture(IDC_FOLDER_SWITCH, pictures_[kSwitch].get());
  SetPicture(IDC_FILTER_INDICATOR, pictures_[kFilter].get());
}

void MainDialog::ApplyDpi(int dpi) {
  dpi_ = dpi;
  plat::IconHandle icon(LoadProgramIcon(dpi::Scale(kIconSize, dpi)));
  plat::IconHandle smallIcon(LoadProgramIcon(dpi::Scale(kSmallIconSize, dpi)));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  icon_ = std::move(icon);
  smallIcon_ = std::move(smallIcon);
  // The new bitmaps are shown before the old ones go.
  const int scale = dpi::ImageScaleIndex(dpi);
  plat::BitmapHandle previous[kPictures];
  for (int i = 0; i < kPictures; ++i) {
    previous[i] = std::move(pictures_[i]);
    pictures_[i] = ui::LoadBitmapResource(dpi::ScaledImageId(kPictureIds[i], scale));
  }
  ShowPictures();
  LayOutFolderLabel();
}

void MainDialog::OnDpiChanged(int dpi) { ApplyDpi(dpi); }

// --- The end -----------------------------------------------------------------

void MainDialog::OnDestroy() {
  if (!settings_.SaveSettings()) ShowMessage(texts::kSettingsSaveFailed, MB_ICONSTOP);
  // The pictures give back the dialog's bitmaps before these are deleted.
  for (int id : {IDC_FILE_PICTURE, IDC_FOLDER_PICTURE, IDC_FOLDER_SWITCH, IDC_FILTER_INDICATOR}) {
    SetPicture(id, nullptr);
  }
  selection_ = core::SelectionList();
}

// --- BackupHost --------------------------------------------------------------

int MainDialog::ShowMessage(const std::string& text, unsigned style) {
  return ui::ShowMessageBox(hwnd(), text, style);
}

void MainDialog::PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the modal loop, which ends on it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    // The dialog's keys (Esc, Enter, Tab) work during a count or a copy too.
    if (hwnd() && ::IsDialogMessageW(hwnd(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void MainDialog::ShowProgress() { ::ShowWindow(Item(IDC_PROGRESS), SW_SHOW); }

void MainDialog::SetProgressRange(int64_t upper) {
  progressShift_ = 0;
  while ((upper >> progressShift_) > INT_MAX) ++progressShift_;
  ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper >> progressShift_));
  Redraw(Item(IDC_PROGRESS));
}

void MainDialog::SetProgressPos(int64_t pos) {
  ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(pos >> progressShift_), 0);
  // The bar invalidates the part that moved; that part is painted now, as a
  // run dispatches messages only every few dozen milliseconds. (Invalidating
  // and erasing the whole bar cost half as much again under Wine.)
  ::UpdateWindow(Item(IDC_PROGRESS));
}

void MainDialog::EnableRunButtons(bool enable) {
  ::EnableWindow(Item(IDOK), enable ? TRUE : FALSE);
  ::EnableWindow(Item(IDC_MENU_BUTTON), enable ? TRUE : FALSE);
}

void MainDialog::RedrawNow() {
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace ui
