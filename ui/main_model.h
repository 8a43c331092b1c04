// The decisions of the main window, apart from its window: which backup folder
// is current at start-up, what the folder label shows and whose filters the
// count takes, what the totals show, and what start and cancel do in each
// phase of the engine. The dialog moves values between this model, the engine
// and its controls; the engine alone keeps the phase and the totals.
#pragma once

#include <string>

#include "core/backup_folder.h"
#include "engine/backup.h"

namespace ui {

// The folder current at start-up: the stored one, or with the option on the
// list's first entry (firstEntry: its folder text, empty when there is none).
std::string StartupFolder(const std::string& stored, bool topFolderFirst, const std::string& firstEntry);

// What the label shows for a folder and what the count takes from it.
struct FolderView {
  std::string label;     // the backup-folder label
  bool usable = false;   // set and existing: counted with its filters
  int filterEntry = -1;  // the list entry whose filters apply (the first naming it exactly), -1: none
};

// What start does.
enum class StartAction {
  kIgnore,      // a count or a run is in progress, or no totals are shown yet
  kRun,         // the run, which itself refuses an unset or missing folder
  kCountFirst,  // count again with the folder's filters, then decide anew
};

// What cancel (button, Esc, close box) does.
enum class CancelAction {
  kStopCopy,           // the copy stops at once and reports; the run then closes the window
  kStopCountAndClose,  // the count stops; the window closes
  kClose,              // the window closes
};
CancelAction DecideCancel(engine::Phase phase);


class MainModel {
 public:
  // The totals: being counted ("算出中", pending colour), shown, or blank after
  // a count that could not list a folder (start stays off).
  enum class Totals { kPending, kShown, kFailed };

  // Prepares a new count of folder (exists: asked of the disk; list: the
  // stored entries): the label, and whether the count will run.
  FolderView Prepare(const std::string& folder, bool exists, const core::BackupFolderList& list);
  // True if the engine is to count now (the folder is usable).
  bool Counts() const { return usable_; }
  // The count ended with outcome (when it ran) and the engine's totals; true
  // with the two texts to show, false when the count was stopped (the window
  // is closing).
  bool EndCount(engine::ScanOutcome outcome, const engine::ScanTotals& totals, std::string& size, std::string& files);
  // What start does now, in the engine's phase (folderExists: asked of the
  // disk now).
  StartAction DecideStart(engine::Phase phase, const std::string& folder, bool folderExists) const;

  Totals totals() const { return totals_; }

 private:
  Totals totals_ = Totals::kPending;
  bool usable_ = false;
};

}  // namespace ui
