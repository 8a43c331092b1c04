// The decisions of the main window (see main_model.h).
#include "ui/main_model.h"

#include "core/path_text.h"
#include "ui/texts.h"

std::string StartupFolder(const std::string& stored, bool topFolderFirst, const std::string& firstEntry) {
  return topFolderFirst ? firstEntry : stored;
}

CancelAction DecideCancel(bool copying, bool counting) {
  if (copying) return CancelAction::kStopCopy;
  return counting ? CancelAction::kStopCountAndClose : CancelAction::kClose;
}

FolderView MainModel::Prepare(const std::string& folder, bool exists, const BackupFolderList& list) {
  totals_ = Totals::kPending;
  FolderView view;
  if (folder.empty()) {
    view.label = ui::texts::kFolderNotSet;
  } else if (!exists) {
    view.label = ui::texts::kFolderMissing;
  } else {
    view.label = folder;
    ShortenPath(view.label);
    view.usable = true;
    // A folder that is not registered keeps empty filters.
    view.filterEntry = FindBackupFolder(list, folder);
  }
  usable_ = view.usable;
  return view;
}

bool MainModel::BeginCount() {
  counting_ = usable_;
  return usable_;
}

bool MainModel::EndCount(ScanOutcome outcome, const ScanTotals& totals, std::string& size, std::string& files) {
  counting_ = false;
  size.clear();
  files.clear();
  // An unusable folder has no count: blank totals that stand, so that start
  // can tell the user why there is no backup.
  if (!usable_) {
    totals_ = Totals::kShown;
    return true;
  }
  if (outcome == ScanOutcome::kStopped) return false;
  if (outcome == ScanOutcome::kFailed) {
    totals_ = Totals::kFailed;
    return true;
  }
  totals_ = Totals::kShown;
  size = FormatSizeText(totals.bytes);
  files = FormatGroupedNumber(totals.files);
  return true;
}

StartAction MainModel::DecideStart(const std::string& folder, bool folderExists) const {
  if (Busy() || totals_ != Totals::kShown) return StartAction::kIgnore;
  // The totals shown were taken without a count and without filters when the
  // folder was unusable; a folder usable now (a drive plugged in since) is
  // counted with its filters first, never run on those totals.
  if (!usable_ && !folder.empty() && folderExists) return StartAction::kCountFirst;
  return StartAction::kRun;
}

bool MainModel::EndRun(RunOutcome outcome) {
  running_ = false;
  return outcome != RunOutcome::kNoBackup;
}
