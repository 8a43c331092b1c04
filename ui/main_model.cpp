// The decisions of the main window (see main_model.h).
#include "ui/main_model.h"

#include "core/path_text.h"
#include "ui/texts.h"

namespace ui {

std::string StartupFolder(const std::string& stored, bool topFolderFirst, const std::string& firstEntry) {
  return topFolderFirst ? firstEntry : stored;
}

CancelAction DecideCancel(engine::Phase phase) {
  switch (phase) {
    case engine::Phase::kCounting:
      return CancelAction::kStopCountAndClose;
    case engine::Phase::kIdle:
    case engine::Phase::kDone:
      return CancelAction::kClose;
    default:  // the run closes the window itself once it has reported
      return CancelAction::kStopCopy;
  }
}

FolderView MainModel::Prepare(const std::string& folder, bool exists, const core::BackupFolderList& list) {
  totals_ = Totals::kPending;
  FolderView view;
  if (folder.empty()) {
    view.label = texts::kFolderNotSet;
  } else if (!exists) {
    view.label = texts::kFolderMissing;
  } else {
    view.label = folder;
    core::ShortenPath(view.label);
    view.usable = true;
    // A folder that is not registered keeps empty filters.
    view.filterEntry = core::FindBackupFolder(list, folder);
  }
  usable_ = view.usable;
  return view;
}

bool MainModel::EndCount(engine::ScanOutcome outcome, const engine::ScanTotals& totals, std::string& size,
                         std::string& files) {
  size.clear();
  files.clear();
  // An unusable folder has no count: blank totals that stand, so that start
  // can tell the user why there is no backup.
  if (!usable_) {
    totals_ = Totals::kShown;
    return true;
  }
  if (outcome == engine::ScanOutcome::kStopped) return false;
  if (outcome == engine::ScanOutcome::kFailed) {
    totals_ = Totals::kFailed;
    return true;
  }
  totals_ = Totals::kShown;
  size = core::FormatSizeText(totals.bytes);
  files = core::FormatGroupedNumber(totals.files);
  return true;
}

StartAction MainModel::DecideStart(engine::Phase phase, const std::string& folder, bool folderExists) const {
  if (phase != engine::Phase::kIdle || totals_ != Totals::kShown) return StartAction::kIgnore;
  // The totals shown were taken without a count and without filters when the
  // folder was unusable; a folder usable now (a drive plugged in since) is
  // counted with its filters first, never run on those totals.
  if (!usable_ && !folder.empty() && folderExists) return StartAction::kCountFirst;
  return StartAction::kRun;
}

}  // namespace ui
