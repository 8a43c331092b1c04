// The backup engine: the filtered scan of the selection, the backup run that
// copies it into a new time-stamped sub-folder of the current backup folder,
// and the check that counts the copy again.
//
// The engine runs on the window's thread and keeps the window alive by
// pumping messages after every file. A cancel arrives from inside those pumps
// as RequestStop, which only marks the phase under way as to stop; the running
// loop notices it at its next poll. Nothing is ever overwritten: files are copied with fail-if-exists,
// folders are created fresh, and nothing already copied is removed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/filter.h"
#include "engine/content_hash.h"
#include "engine/host.h"
#include "platform/fs.h"

namespace engine {

// How a scan ended: totals complete, stopped by a cancel, or a folder could
// not be listed (its message shown; the totals are unusable).
enum class ScanOutcome { kCounted, kStopped, kFailed };

// How a run ended: no backup made (no folder, folder missing, or zero files
// declined), the sub-folder could not be created, or the copy phase ran
// (complete, failed or cancelled) and the check has reported.
enum class RunOutcome { kNoBackup, kFolderNotCreated, kDone };

// The totals of a scan or a count: files and their bytes (folders never count).
struct ScanTotals {
  int64_t bytes = 0;
  int64_t files = 0;
};

// The sub-folder name for a local time: "%Y/%m/%d_%H:%M:%S" with every digit,
// "/", ":" and "_" in full width; 19 double-byte characters, 38 bytes.
std::string MakeStampFolderName(const plat::LocalTime& time);

// True if name has the form of a sub-folder name MakeStampFolderName makes.
bool IsStampFolderName(const std::string& name);

// The previous backup of a run whose sub-folder is newName, among the names of
// the backup folder's sub-folders: the newest (last in byte order, which is
// the order of the stamps) that has the form of a stamp and sorts before
// newName; empty when there is none.
std::string PickPreviousBackup(const std::vector<std::string>& names, const std::string& newName);

// True if previous, a file of the previous backup, may stand for the source
// in the new backup as a hard link: both plain files (no reparse point, no
// folder), the same size, last-write time, read-only, hidden, system and
// not-indexed attributes, and the same named streams by name and size.
bool SameForLink(const plat::FileFacts& source, const plat::FileFacts& previous);

// The name a selected item gets in the backup: the last component of its long
// form (a short 8.3 path still gives the item's real name), or for a drive or
// share root (which has none) the drive letter or the share's name.
plat::NativePath BackupNameOf(const plat::NativePath& selected);

// True if error, met opening or reading a file of the selection, means that
// this file cannot be read now, so that a run told to go on past such files
// may leave it out: in use (sharing or lock violation), access denied, not
// accessible to the system (an app alias), a cloud file whose content is not
// available (every ERROR_CLOUD_FILE_* code), or gone since the count (not
// found, or being deleted). Any other error is a failure of the run.
bool IsUnreadableSourceError(uint32_t error);

// The message shown in the success message's place after a run that left
// files out: their number (count, digits grouped), the Shift_JIS source paths
// of the first texts::kFilesNamed of them (named, as many as given, at most
// that many) and how many more, then the backup folder and the sub-folder's name.
std::string MakeLeftOutMessage(int64_t count, const std::vector<std::string>& named,
                               const std::string& backupFolder, const std::string& stampName);

// Where the engine's session stands. A count runs in kCounting and returns to
// kIdle; a run goes through kCopying (which begins with the run's own
// questions), kChecking (the count of the copy) and kCheckingContent (the
// read-back, when asked) to kDone, or back to kIdle when it made no backup.
enum class Phase { kIdle, kCounting, kCopying, kChecking, kCheckingContent, kDone };

// What a run does besides copying (see BackupEngine::RunBackup).
struct RunOptions {
  bool endMessage = true;
  bool checkContent = false;
  bool skipUnreadable = false;
  bool linkUnchanged = false;
};

class BackupEngine : private plat::CopyProgress {
 public:
  // The engine reads the selection (Shift_JIS paths, converted to native paths
  // once per scan and per run) and the filters it is given; they belong to the
  // caller and must outlive the engine.
  BackupEngine(BackupHost& host, const std::vector<std::string>& selection, const core::FilterSet& filters);
  BackupEngine(const BackupEngine&) = delete;
  BackupEngine& operator=(const BackupEngine&) = delete;

  // --- The session ---
  Phase phase() const { return phase_; }
  // A count or a run is under way: every other command of the window waits.
  bool Busy() const { return phase_ != Phase::kIdle && phase_ != Phase::kDone; }
  // The user's cancel: a running count stops at its next file, a running copy
  // or content check at once (within the file it is at); in any other phase
  // it changes nothing.
  void RequestStop();
  // The totals of the latest count; the run and its check rely on them. Zero
  // after ForgetCount, and a count that stopped or failed leaves what it had
  // added up before the item it stopped in.
  const ScanTotals& Counted() const { return counted_; }
  // The totals counted before no longer apply (the backup folder, and with it
  // the filters, changed).
  void ForgetCount() { counted_ = {}; }
  // Files copied (or left out, or linked) so far in this run; in the content
  // check, the bytes read back.
  int64_t Progress() const { return progressPos_; }
  // The files this run made links to the previous backup's files.
  int64_t Linked() const { return linked_; }

  // Counts the filtered files and bytes of every selected item into Counted().
  ScanOutcome ScanSelection();

  // Backs the selection up into a new sub-folder of backupFolder, then checks
  // the copy. options.endMessage shows the success message of the check, which
  // never follows a failure or a cancel reported in the same run.
  // checkContent adds the content check: every file the copy made is read
  // back and compared with what the copy read (otherwise no file of the copy
  // is ever read); it runs whatever endMessage says. skipUnreadable: a source
  // file that cannot be read (IsUnreadableSourceError) is left out and the
  // copy goes on (otherwise it ends the copy as any failure does); the check
  // then expects the counted totals less what was left out, and the files
  // left out are named instead of the success message. linkUnchanged: a file
  // that SameForLink finds unchanged since the previous backup
  // (PickPreviousBackup) becomes a hard link to that backup's file; a link that
  // cannot be made is a copy (a volume that refuses links as such is not asked
  // again in this run), and the success message names the linked files and
  // the backup they share.
  RunOutcome RunBackup(const std::string& backupFolder, const RunOptions& options);

  // Intervals at which the progress bar is repainted and messages are
  // dispatched while files are copied (also within one large file). A repaint
  // costs far more than a dispatch (under Wine 1 to 2.5 ms): ten a second keep
  // the bar moving for a small part of a copy of small files, while the more
  // frequent dispatch keeps a moved window and the cancel button quick.
  static constexpr int64_t kProgressPaintMs = 100;
  static constexpr int64_t kCopyPumpMs = 30;
  // Interval at which the scan dispatches messages.
  static constexpr int64_t kScanPumpMs = 10;

 private:
  // Adds the filtered totals of one path (a file, or a folder walked
  // recursively; a folder that cannot be listed, a missing path included,
  // shows its message). False if stopped or failed.
  bool ScanItem(const plat::NativePath& path, int64_t& bytes, int64_t& files);
  // Keeps the window alive and tells whether the count is to stop. Messages
  // are dispatched on the first poll and then at most every kScanPumpMs:
  // dispatching costs more than looking at a file (under Wine about 6 us a
  // call), while the stop is looked at on every poll.
  bool PollScanAbort();
  // Copies every selected item into destination_. False on the first failure
  // or a cancel (its message already shown).
  bool CopySelection();
  // Copies one file, or one folder with everything beneath it that the filters
  // take. False when the copy stopped.
  bool CopyItem(const plat::NativePath& source, const plat::NativePath& destination);
  // Counts one copied file, keeps the window alive; false if a cancel was
  // asked (reported).
  bool StepCopyProgress();
  // Counts destination_, every file whatever the filters, and compares with
  // the counted totals less those left out; reports success (unless
  // endMessage is false, or a failure or cancel was reported in this run), the
  // difference with all four numbers, or a folder of the backup that could not
  // be listed. With the content check, equal totals are followed by it before
  // success is reported. A copy that went to its end but left files out ends
  // with their message (stop icon, whatever endMessage says), after any the
  // check reported, never with success.
  void VerifyBackup(const std::string& backupFolder, bool endMessage);
  // Reads back every file this run copied (the bar runs again over their
  // bytes, cancel stops it within a file) and compares its digest with that of
  // the content the copy read. True when all are equal; otherwise the
  // differences (a file that cannot be read back counts as one) or the cancel
  // are reported.
  bool CheckContent();
  // The scan's and the copy's visitors of the shared tree walk (engine/walk.h).
  class ScanVisitor;
  class CopyVisitor;
  // The run inside RunBackup's phases: the questions, the copy and the check.
  RunOutcome CopyAndCheck(const std::string& backupFolder, const RunOptions& options);
  // Copies one file of the given size (the walk's figure), or leaves it out
  // when it cannot be read and the run allows that. False when the copy stopped.
  bool CopyOneFile(const plat::NativePath& source, const plat::NativePath& destination, uint64_t size);
  // Makes destination a link to the previous backup's file at its place when
  // that is unchanged; false when the file is to be copied.
  bool LinkUnchanged(const plat::NativePath& source, const plat::NativePath& destination);
  // The count and the content check; true when both found the copy complete
  // and nothing was reported before them.
  bool CheckCopy();
  // Gives the copied folder target its source's marks; false (reported) on failure.
  bool MarkFolder(const plat::NativePath& source, const plat::NativePath& target);
  // The copy's progress routine: dispatches at most every kCopyPumpMs;
  // false once a cancel was asked. Copied takes the content into the digest
  // (and, in the content check, moves the bar by its bytes).
  bool Continue() override;
  void Copied(const char* data, size_t size) override;
  void CopiedUnseen() override { seen_ = false; }
  void PumpPaced();
  // Shows the cancel message (the bar first shows the last file).
  void ReportCancel();
  void PaintProgress();
  // Shows a stop message: what, the system's reason, the path.
  void Fail(const char* what, uint32_t error, const plat::NativePath& path);

  BackupHost& host_;
  Phase phase_ = Phase::kIdle;
  bool stopAsked_ = false;  // a cancel arrived in the phase under way
  ScanTotals counted_;
  const std::vector<std::string>& selection_;
  const core::FilterSet& filters_;
  int64_t lastPaintTick_ = 0;
  int64_t lastPumpTick_ = 0;
  bool pumpedOnce_ = false;
  int64_t progressPos_ = 0;
  int64_t paintedPos_ = -1;
  // A failure or a cancel was reported (since the run or scan began).
  bool failureReported_ = false;

  // One file this run copied, for the content check: its path below the new
  // sub-folder, and the digest of the content the copy read; for a file the
  // system copied unseen or linked to the previous backup, its source, read
  // again at the check.
  struct CopiedFile {
    plat::NativePath relative;
    plat::NativePath unseenSource;
    ContentDigest digest;
  };
  // The sub-folder this run created (full native path) and its name alone.
  plat::NativePath destination_;
  std::string stampName_;
  // The files this run left out because they could not be read, with their
  // sizes from the walk.
  ScanTotals leftOut_;
  // The previous backup's sub-folder name (empty: none, or links not asked),
  // and the files this run made links to its files.
  std::string previousName_;
  int64_t linked_ = 0;
  bool checkContent_ = false;
  bool skipUnreadable_ = false;
  plat::NativePath previousPath_;  // the previous backup's sub-folder; empty: nothing is linked
  std::vector<std::string> leftOutNamed_;  // the first left-out source paths (Shift_JIS)
  bool readingBack_ = false;  // the content check is reading the copy: the bar follows its bytes
  bool seen_ = true;          // the file being copied was shown to Copied
  ContentHasher hasher_;
  std::vector<CopiedFile> copied_;
};

}  // namespace engine
