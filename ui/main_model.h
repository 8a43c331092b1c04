// The decisions of the main window, apart from its window: which backup folder
// is current at start-up, what the folder label shows and whose filters the
// count takes, the phases of the count and the run (what the totals show, when
// start may run, when the window closes) and what cancel does. The dialog
// moves values between this model, the engine and its controls.
#pragma once

#include <string>

#include "core/backup_folder.h"
#include "engine/backup.h"

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
CancelAction DecideCancel(bool copying, bool counting);

class MainModel {
 public:
  // The totals: being counted ("算出中", pending colour), shown, or blank after
  // a count that could not list a folder (start stays off).
  enum class Totals { kPending, kShown, kFailed };

  // Prepares a new count of folder (exists: asked of the disk; list: the
  // stored entries): the label, and whether the count will run.
  FolderView Prepare(const std::string& folder, bool exists, const BackupFolderList& list);
  // The count's turn: true if the engine is to scan now (the folder is usable).
  bool BeginCount();
  // The count ended with outcome (when it ran) and totals; true with the two
  // texts to show, false when the count was stopped (the window is closing).
  bool EndCount(ScanOutcome outcome, const ScanTotals& totals, std::string& size, std::string& files);
  // What start does now (folderExists: asked of the disk now).
  StartAction DecideStart(const std::string& folder, bool folderExists) const;
  // The run begins; it ended with outcome: true if the window then closes.
  void BeginRun() { running_ = true; }
  bool EndRun(RunOutcome outcome);

  Totals totals() const { return totals_; }
  // A count or a run is in progress: every other command waits.
  bool Busy() const { return counting_ || running_; }

 private:
  Totals totals_ = Totals::kPending;
  bool usable_ = false;
  bool counting_ = false;
  bool running_ = false;
};
