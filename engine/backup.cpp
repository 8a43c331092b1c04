// The scan, the backup run and its check (see backup.h).
#include "engine/backup.h"

#include <cstdio>
#include <cstring>

#include "core/path_text.h"
#include "core/texts.h"
#include "engine/texts.h"
#include "engine/walk.h"

namespace engine {

std::string MakeStampFolderName(const plat::LocalTime& t) {
  char half[32];
  std::snprintf(half, sizeof(half), "%04d/%02d/%02d_%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string name;
  for (const char* c = half; *c; ++c) {
    const char* at = std::strchr(texts::kStampHalfWidth, *c);
    if (at) {
      // Every full-width character of the table takes two bytes.
      name.append(texts::kStampFullWidth + 2 * (at - texts::kStampHalfWidth), 2);
    } else {
      name += *c;
    }
  }
  return name;
}

bool IsStampFolderName(const std::string& name) {
  // The form of MakeStampFolderName's text, a digit wherever '0' stands.
  const std::string form = MakeStampFolderName(plat::LocalTime{0, 0, 0, 0, 0, 0});
  const char* zero = texts::kStampFullWidth + 2 * (std::strchr(texts::kStampHalfWidth, '0') - texts::kStampHalfWidth);
  if (name.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); i += 2) {
    if (form.compare(i, 2, zero, 2) != 0) {
      if (name.compare(i, 2, form, i, 2) != 0) return false;
    } else if (name[i] != zero[0] || name[i + 1] < zero[1] || name[i + 1] > zero[1] + 9) {
      return false;  // the full-width digits run from "０" in one block
    }
  }
  return true;
}

std::string PickPreviousBackup(const std::vector<std::string>& names, const std::string& newName) {
  std::string previous;
  for (const std::string& name : names) {
    if (IsStampFolderName(name) && name < newName && name > previous) previous = name;
  }
  return previous;
}

bool SameForLink(const plat::FileFacts& source, const plat::FileFacts& previous) {
  constexpr uint32_t kKept = plat::kAttrReadOnly | plat::kAttrHidden | plat::kAttrSystem | plat::kAttrNotContentIndexed;
  constexpr uint32_t kNotPlain = plat::kAttrDirectory | plat::kAttrReparsePoint;
  return !((source.attributes | previous.attributes) & kNotPlain) && source.size == previous.size &&
         source.lastWrite == previous.lastWrite && (source.attributes & kKept) == (previous.attributes & kKept) &&
         source.streams == previous.streams;
}

// Everything after the last separator (the whole path without one).
static plat::NativePath LastComponentOf(const plat::NativePath& path) {
  size_t sep = plat::LastSeparator(path);
  return sep == plat::NativePath::npos ? path : path.substr(sep + 1);
}

plat::NativePath BackupNameOf(const plat::NativePath& selected) {
  const plat::NativePath full = plat::LongPathName(selected);
  plat::NativePath name = LastComponentOf(full);
  if (!name.empty()) return name;
  plat::NativePath trimmed = full;
  while (!trimmed.empty() && LastComponentOf(trimmed).empty()) trimmed.pop_back();
  name = LastComponentOf(trimmed);
  if (!name.empty() && name.back() == ':') name.pop_back();
  return name;
}

bool IsUnreadableSourceError(uint32_t error) {
  switch (error) {
    case plat::kErrFileNotFound:
    case plat::kErrPathNotFound:
    case plat::kErrAccessDenied:
    case plat::kErrSharingViolation:
    case plat::kErrLockViolation:
    case plat::kErrDeletePending:
    case plat::kErrCantAccessFile:
      return true;
  }
  // The ERROR_CLOUD_FILE_* codes (winerror.h), scattered between 358 and 475.
  static constexpr uint32_t kCloudFileErrors[] = {358, 362, 363, 364, 365, 366, 374, 375, 377, 378, 379, 380, 381,
                                                  382, 383, 386, 387, 388, 389, 390, 391, 392, 393, 394, 395, 396,
                                                  397, 398, 404, 426, 434, 475};
  for (uint32_t cloud : kCloudFileErrors) {
    if (error == cloud) return true;
  }
  return false;
}

namespace {

// The lines of a message that name files: the first of named one by one, then
// how many of count are not named.
std::string FileLines(int64_t count, const std::vector<std::string>& named) {
  std::string text;
  for (size_t i = 0; i < named.size() && i < texts::kFilesNamed; ++i)
    text += texts::kFileItem + named[i] + texts::kFileItemEnd;
  const auto shown = static_cast<int64_t>(texts::kFilesNamed);
  if (count > shown) text += texts::kFilesOthers + core::FormatGroupedNumber(count - shown) + texts::kFilesOthersEnd;
  return text;
}

}  // namespace

std::string MakeLeftOutMessage(int64_t count, const std::vector<std::string>& named,
                               const std::string& backupFolder, const std::string& stampName) {
  return texts::kLeftOutHead + core::FormatGroupedNumber(count) + texts::kLeftOutCountEnd + FileLines(count, named) +
         texts::kLeftOutFolder + backupFolder + texts::kVerifiedSubFolder + stampName;
}

// The selection's native paths, converted once from its Shift_JIS text.
static std::vector<plat::NativePath> NativeSelection(const std::vector<std::string>& selection) {
  std::vector<plat::NativePath> paths;
  paths.reserve(selection.size());
  for (const std::string& path : selection) paths.push_back(plat::ToNative(path));
  return paths;
}

// The Shift_JIS form of a selected item's long path, on which the filters
// decide ("?" for a character code page 932 lacks).
static std::string FilterPathOf(const plat::NativePath& selected) {
  return plat::FromNative(plat::LongPathName(selected));
}

BackupEngine::BackupEngine(BackupHost& host, const std::vector<std::string>& selection, const core::FilterSet& filters)
    : host_(host), selection_(selection), filters_(filters) {}

// --- The scan ----------------------------------------------------------------

// Adds up the files the filters take and polls for a cancel after every file,
// taken or not, so that a long walk keeps the window alive.
class BackupEngine::ScanVisitor : public TreeVisitor {
 public:
  explicit ScanVisitor(BackupEngine& engine) : engine_(engine) {}
  WalkStep OnFile(const plat::FileFinder& entry, bool taken) override {
    if (taken) {
      bytes += static_cast<int64_t>(entry.GetLength());
      files += 1;
    }
    return engine_.PollScanAbort() ? WalkStep::kStop : WalkStep::kContinue;
  }
  WalkStep EnterFolder(const plat::FileFinder&, const plat::NativePath&) override { return WalkStep::kContinue; }
  void OnUnlistedFolder(const plat::NativePath& folder, uint32_t error) override {
    engine_.Fail(texts::kSourceReadFailed, error, folder);
  }
  int64_t bytes = 0;
  int64_t files = 0;

 private:
  BackupEngine& engine_;
};

bool BackupEngine::PollScanAbort() {
  int64_t now = host_.TickMs();
  if (!pumpedOnce_ || now - lastPumpTick_ >= kScanPumpMs) {
    pumpedOnce_ = true;
    lastPumpTick_ = now;
    host_.PumpMessages();
  }
  return stopAsked_;
}

void BackupEngine::RequestStop() {
  if (phase_ == Phase::kCounting || phase_ == Phase::kCopying || phase_ == Phase::kCheckingContent) stopAsked_ = true;
}

ScanOutcome BackupEngine::ScanSelection() {
  phase_ = Phase::kCounting;
  stopAsked_ = false;
  counted_ = {};
  pumpedOnce_ = false;
  failureReported_ = false;
  ScanOutcome outcome = ScanOutcome::kCounted;
  for (const plat::NativePath& path : NativeSelection(selection_)) {
    int64_t itemBytes = 0, itemFiles = 0;
    if (!ScanItem(path, itemBytes, itemFiles)) {
      outcome = failureReported_ ? ScanOutcome::kFailed : ScanOutcome::kStopped;
      break;
    }
    counted_.bytes += itemBytes;
    counted_.files += itemFiles;
  }
  phase_ = Phase::kIdle;
  return outcome;
}

bool BackupEngine::ScanItem(const plat::NativePath& path, int64_t& bytes, int64_t& files) {
  uint64_t size = 0;
  bool appAlias = false;
  if (FindPlainFile(path, size, &appAlias)) {
    if (appAlias || !core::CheckFileFilter(FilterPathOf(path), filters_)) return true;
    if (PollScanAbort()) return false;
    bytes += static_cast<int64_t>(size);
    files += 1;
    return true;
  }
  // Anything else is a folder; a path where nothing exists any more fails to list.
  if (!core::CheckFolderFilter(FilterPathOf(path), filters_)) return true;
  ScanVisitor scan(*this);
  if (!WalkFolder(path, &filters_, scan)) return false;
  bytes += scan.bytes;
  files += scan.files;
  return true;
}

// --- The run -----------------------------------------------------------------

RunOutcome BackupEngine::RunBackup(const std::string& backupFolder, const RunOptions& options) {
  phase_ = Phase::kCopying;
  stopAsked_ = false;
  const RunOutcome outcome = CopyAndCheck(backupFolder, options);
  phase_ = outcome == RunOutcome::kNoBackup ? Phase::kIdle : Phase::kDone;
  return outcome;
}

RunOutcome BackupEngine::CopyAndCheck(const std::string& backupFolder, const RunOptions& options) {
  checkContent_ = options.checkContent;
  skipUnreadable_ = options.skipUnreadable;
  previousName_.clear();
  previousPath_.clear();
  linked_ = 0;
  copied_.clear();
  leftOut_ = {};
  leftOutNamed_.clear();
  if (backupFolder.empty()) {
    host_.ShowMessage(texts::kNoBackupFolder, host::kIconInformation);
    return RunOutcome::kNoBackup;
  }
  if (!plat::PathExists(plat::ToNative(backupFolder))) {
    host_.ShowMessage(std::string(texts::kBackupFolderMissing) + backupFolder + core::texts::kPathClose,
                      host::kIconExclamation);
    return RunOutcome::kNoBackup;
  }
  if (counted_.files == 0 &&
      host_.ShowMessage(texts::kZeroFilesQuestion, host::kYesNo | host::kIconQuestion) != host::kIdYes) {
    return RunOutcome::kNoBackup;
  }
  host_.ShowProgress();
  host_.EnableRunButtons(false);

  // A name of this second may be taken (two runs within one second): wait for
  // the next second, at most 19 names.
  constexpr int kNameAttempts = 19;
  bool found = false;
  for (int attempt = 0; attempt < kNameAttempts && !found; ++attempt) {
    stampName_ = MakeStampFolderName(host_.Now());
    destination_ = plat::JoinNative(plat::ToNative(backupFolder), plat::ToNative(stampName_));
    if (!plat::PathExists(destination_)) {
      found = true;
    } else {
      host_.Sleep(1000);
    }
  }
  if (!found) {
    host_.ShowMessage(texts::kFolderCreateFailed, host::kIconStop);
    return RunOutcome::kFolderNotCreated;
  }
  if (uint32_t err = plat::CreateFolder(destination_)) {
    Fail(texts::kFolderCreateFailed, err, destination_);
    return RunOutcome::kFolderNotCreated;
  }
  if (options.linkUnchanged) {
    std::vector<std::string> names;
    plat::FileFinder finder;
    const plat::NativePath folder = plat::ToNative(backupFolder);
    for (bool more = finder.Start(plat::JoinNative(folder, plat::ToNative("*"))); more;) {
      more = finder.Next();
      if (finder.MatchesMask(plat::kAttrDirectory)) names.push_back(finder.GetFileName());
    }
    previousName_ = PickPreviousBackup(names, stampName_);
    if (!previousName_.empty()) previousPath_ = plat::JoinNative(folder, plat::ToNative(previousName_));
  }

  failureReported_ = false;
  pumpedOnce_ = false;
  host_.SetProgressRange(counted_.files);
  progressPos_ = 0;
  paintedPos_ = -1;
  PaintProgress();
  CopySelection();
  PaintProgress();  // the bar always shows the last file

  VerifyBackup(backupFolder, options.endMessage);
  return RunOutcome::kDone;
}

bool BackupEngine::CopySelection() {
  for (const plat::NativePath& source : NativeSelection(selection_)) {
    if (!CopyItem(source, plat::JoinNative(destination_, BackupNameOf(source)))) return false;
  }
  return true;
}

// Re-creates each folder the walk enters beneath the destination and copies
// every file the filters take into the folder of the moment. A folder gets its
// source's marks once its content is in (a read-only one would refuse it on
// some systems); a walk that stops leaves the folders it stands in unmarked.
class BackupEngine::CopyVisitor : public TreeVisitor {
 public:
  CopyVisitor(BackupEngine& engine, const plat::NativePath& destination) : engine_(engine), folders_{destination} {}
  // Source and destination are made from the listed native name: a name that
  // code page 932 lacks is copied as itself, never through its Shift_JIS form.
  WalkStep OnFile(const plat::FileFinder& entry, bool taken) override {
    if (!taken) return WalkStep::kContinue;
    const plat::NativePath target = plat::JoinNative(folders_.back(), entry.GetNativeName());
    const bool copied = engine_.CopyOneFile(entry.FullPath(), target, entry.GetLength());
    return copied ? WalkStep::kContinue : WalkStep::kStop;
  }
  WalkStep EnterFolder(const plat::FileFinder& entry, const plat::NativePath& path) override {
    // The backup being written may lie inside the selection (a backup folder
    // within a selected folder): it is never copied into itself.
    if (entry.GetFileName() == engine_.stampName_) {
      plat::FileId here, dest;
      if (plat::GetFileId(path, here) && plat::GetFileId(engine_.destination_, dest) && here == dest) {
        return WalkStep::kSkip;
      }
    }
    plat::NativePath target = plat::JoinNative(folders_.back(), entry.GetNativeName());
    if (uint32_t err = plat::CreateFolder(target)) {
      engine_.Fail(texts::kFolderCreateFailed, err, target);
      return WalkStep::kStop;
    }
    folders_.push_back(target);
    sources_.push_back(path);
    return WalkStep::kContinue;
  }
  WalkStep LeaveFolder() override {
    const bool marked = engine_.MarkFolder(sources_.back(), folders_.back());
    folders_.pop_back();
    sources_.pop_back();
    return marked ? WalkStep::kContinue : WalkStep::kStop;
  }
  void OnUnlistedFolder(const plat::NativePath& folder, uint32_t error) override {
    engine_.Fail(texts::kSourceReadFailed, error, folder);
  }

 private:
  BackupEngine& engine_;
  std::vector<plat::NativePath> folders_;  // the destination's folders, the walk's folders above them
  std::vector<plat::NativePath> sources_;
};

bool BackupEngine::MarkFolder(const plat::NativePath& source, const plat::NativePath& target) {
  if (uint32_t err = plat::CopyFolderMarks(source, target)) {
    Fail(texts::kFolderCreateFailed, err, target);
    return false;
  }
  return true;
}

bool BackupEngine::CopyItem(const plat::NativePath& source, const plat::NativePath& destination) {
  uint64_t size = 0;
  bool appAlias = false;
  if (FindPlainFile(source, size, &appAlias)) {
    if (appAlias || !core::CheckFileFilter(FilterPathOf(source), filters_)) return true;
    return CopyOneFile(source, destination, size);
  }
  // The folder filter decides first, as in the count: a folder it leaves out
  // is never looked at, whether it is still there or not.
  if (!core::CheckFolderFilter(FilterPathOf(source), filters_)) return true;
  // A selected path that vanished since the count is a failure of the copy;
  // no empty stand-in folder is made for it.
  uint32_t gone = 0;
  if (plat::GetAttributes(source, &gone) == plat::kInvalidAttributes) {
    Fail(texts::kSourceReadFailed, gone, source);
    return false;
  }
  if (uint32_t err = plat::CreateFolder(destination)) {
    Fail(texts::kFolderCreateFailed, err, destination);
    return false;
  }
  CopyVisitor copy(*this, destination);
  if (!WalkFolder(source, &filters_, copy)) return false;
  // A selected drive root keeps no marks: roots say hidden and system.
  const bool root = LastComponentOf(plat::LongPathName(source)).empty();
  return root || MarkFolder(source, destination);
}

bool BackupEngine::CopyOneFile(const plat::NativePath& source, const plat::NativePath& destination,
                               uint64_t size) {
  if (!previousPath_.empty() && LinkUnchanged(source, destination)) {
    ++linked_;
    // The content check reads the source again and the link back.
    if (checkContent_) copied_.push_back(CopiedFile{destination.substr(destination_.size() + 1), source, {}});
    return StepCopyProgress();
  }
  hasher_.Reset();
  seen_ = true;
  bool sourceFailed = false;
  if (uint32_t err = plat::CopyFileNoReplace(source, destination, this, &sourceFailed)) {
    // A cancel inside the file stopped it at once (nothing of it is left); so
    // did a failed read (the file is left out, or the copy ends).
    if (err == plat::kErrRequestAborted && stopAsked_) {
      ReportCancel();
    } else if (skipUnreadable_ && sourceFailed && IsUnreadableSourceError(err)) {
      leftOut_.bytes += static_cast<int64_t>(size);
      leftOut_.files += 1;
      if (leftOutNamed_.size() < texts::kFilesNamed) leftOutNamed_.push_back(plat::FromNative(source));
      return StepCopyProgress();
    } else {
      Fail(texts::kFileCopyFailed, err, destination);
    }
    return false;
  }
  if (checkContent_) {
    copied_.push_back(CopiedFile{destination.substr(destination_.size() + 1), seen_ ? plat::NativePath() : source,
                                 hasher_.Digest()});
  }
  return StepCopyProgress();
}

bool BackupEngine::LinkUnchanged(const plat::NativePath& source, const plat::NativePath& destination) {
  // The previous backup's file first: an added file has none, and is copied
  // after a single question.
  const plat::NativePath previous = previousPath_ + destination.substr(destination_.size());
  plat::FileFacts was, now;
  if (plat::GetFileFacts(previous, was) || plat::GetFileFacts(source, now) || !SameForLink(now, was)) return false;
  const uint32_t err = plat::MakeHardLink(destination, previous);
  // A volume without hard links (FAT32, exFAT, many shares) says so for every
  // file: the rest of the run copies without asking. Any other refusal (the
  // file's most links, access denied) concerns this file alone.
  if (err == plat::kErrNotSupported || err == plat::kErrInvalidFunction) previousPath_.clear();
  return err == 0;
}

bool BackupEngine::Continue() {
  PumpPaced();
  return !stopAsked_;
}

void BackupEngine::Copied(const char* data, size_t size) {
  if (!checkContent_) return;  // without the check, no digest is taken
  hasher_.Add(data, size);
  if (!readingBack_) return;
  progressPos_ += static_cast<int64_t>(size);
  if (host_.TickMs() - lastPaintTick_ >= kProgressPaintMs) PaintProgress();
}

void BackupEngine::PumpPaced() {
  // Dispatching costs more than copying a small file, while the cancel flag is
  // read after every file and every chunk: messages are dispatched at the
  // first call of the run and then at most every kCopyPumpMs.
  const int64_t now = host_.TickMs();
  if (pumpedOnce_ && now - lastPumpTick_ < kCopyPumpMs) return;
  pumpedOnce_ = true;
  lastPumpTick_ = now;
  host_.PumpMessages();
}

bool BackupEngine::StepCopyProgress() {
  ++progressPos_;
  // Repainting the bar costs far more than copying a small file: it is painted
  // at most every kProgressPaintMs.
  if (host_.TickMs() - lastPaintTick_ >= kProgressPaintMs) PaintProgress();
  PumpPaced();
  if (!stopAsked_) return true;
  ReportCancel();
  return false;
}

void BackupEngine::ReportCancel() {
  failureReported_ = true;
  PaintProgress();
  host_.ShowMessage(texts::kCancelled, host::kIconExclamation);
}

void BackupEngine::PaintProgress() {
  lastPaintTick_ = host_.TickMs();
  if (paintedPos_ == progressPos_) return;
  paintedPos_ = progressPos_;
  host_.SetProgressPos(progressPos_);
}

void BackupEngine::Fail(const char* what, uint32_t error, const plat::NativePath& path) {
  failureReported_ = true;
  if (phase_ != Phase::kCounting) PaintProgress();  // a run (never the count) shows the bar
  host_.ShowMessage(std::string(what) + texts::kErrorDetail + plat::SystemErrorText(error) + texts::kErrorPathOpen +
                        plat::FromNative(path) + core::texts::kPathClose,
                    host::kIconStop);
}

// --- The check ---------------------------------------------------------------

void BackupEngine::VerifyBackup(const std::string& backupFolder, bool endMessage) {
  // Files left out by a copy that went to its end are named last, whatever the
  // check found, and take the success message's place.
  const bool leftOut = !failureReported_ && leftOut_.files > 0;
  if (!CheckCopy() && !leftOut) return;
  if (leftOut) {
    host_.Sleep(100);
    host_.ShowMessage(MakeLeftOutMessage(leftOut_.files, leftOutNamed_, backupFolder, stampName_), host::kIconStop);
  } else if (endMessage) {
    host_.Sleep(100);
    const std::string checked = checkContent_ ? texts::kContentChecked +
                                                    core::FormatGroupedNumber(static_cast<int64_t>(copied_.size())) +
                                                    texts::kContentCheckedFiles
                                              : "";
    const std::string linked = linked_ > 0 ? texts::kLinkedHead + core::FormatGroupedNumber(linked_) +
                                                texts::kLinkedToBackup + previousName_ + texts::kLinkedEnd
                                          : "";
    host_.ShowMessage(std::string(texts::kVerifiedTitle) + backupFolder + texts::kVerifiedSubFolder + stampName_ +
                          checked + linked,
                      host::kIconInformation);
  } else {
    host_.Sleep(500);
  }
}

bool BackupEngine::CheckCopy() {
  ScanTotals dest;
  plat::NativePath unlisted;
  uint32_t error = 0;
  phase_ = Phase::kChecking;
  const bool counted = CountFilesAndSize(destination_, dest.bytes, dest.files, &unlisted, &error);
  if (!counted) {
    Fail(texts::kBackupReadFailed, error, unlisted);
    return false;
  }
  const ScanTotals expected{counted_.bytes - leftOut_.bytes, counted_.files - leftOut_.files};
  if (dest.bytes != expected.bytes || dest.files != expected.files) {
    host_.ShowMessage(std::string(texts::kMismatchHead) + texts::kMismatchSourceFiles +
                          core::FormatGroupedNumber(expected.files) + texts::kMismatchSourceBytes +
                          core::FormatGroupedNumber(expected.bytes) + texts::kMismatchDestFiles +
                          core::FormatGroupedNumber(dest.files) + texts::kMismatchDestBytes +
                          core::FormatGroupedNumber(dest.bytes) + texts::kMismatchTail,
                      host::kIconStop);
    return false;
  }
  host_.RedrawNow();
  // Equal totals never cover a failure or a cancel already reported: the run
  // did not copy what was asked, whatever the figures say.
  if (failureReported_) return false;
  return !checkContent_ || CheckContent();
}

bool BackupEngine::CheckContent() {
  // The bar starts again, over the bytes to read back; cancel stops a read
  // within its file, as it stops a copy.
  host_.SetProgressRange(counted_.bytes - leftOut_.bytes);
  progressPos_ = 0;
  paintedPos_ = -1;
  PaintProgress();
  phase_ = Phase::kCheckingContent;
  std::vector<const CopiedFile*> differing;
  bool cancelled = false;
  for (const CopiedFile& file : copied_) {
    uint32_t err = 0;
    ContentDigest expected = file.digest;
    if (!file.unseenSource.empty()) {  // copied unseen or linked: its source is read again now
      hasher_.Reset();
      err = plat::ReadBack(file.unseenSource, *this);
      expected = hasher_.Digest();
    }
    readingBack_ = true;
    hasher_.Reset();
    if (!err) err = plat::ReadBack(plat::JoinNative(destination_, file.relative), *this);
    readingBack_ = false;
    if (err == plat::kErrRequestAborted && stopAsked_) {
      cancelled = true;
      break;
    }
    // A file that cannot be read back is no copy of its source either.
    if (err || hasher_.Digest() != expected) differing.push_back(&file);
  }
  PaintProgress();
  if (cancelled) {
    host_.ShowMessage(texts::kContentCheckCancelled, host::kIconExclamation);
    return false;
  }
  if (differing.empty()) return true;
  std::vector<std::string> named;
  for (size_t i = 0; i < differing.size() && i < texts::kFilesNamed; ++i)
    named.push_back(plat::FromNative(differing[i]->relative));
  const auto count = static_cast<int64_t>(differing.size());
  host_.ShowMessage(texts::kContentDiffersHead + core::FormatGroupedNumber(count) + texts::kContentDiffersCountEnd +
                        FileLines(count, named),
                    host::kIconStop);
  return false;
}

}  // namespace engine
