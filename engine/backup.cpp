// The scan, the backup run and its check (see backup.h).
#include "engine/backup.h"

#include <cstdio>
#include <cstring>

#include "engine/fileutil.h"
#include "engine/texts.h"
#include "engine/walk.h"
#include "platform/sjis.h"

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

// True if a file or folder exists at the native path.
static bool Exists(const plat::NativePath& path) { return plat::GetAttributes(path) != plat::kInvalidAttributes; }

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

BackupEngine::BackupEngine(BackupHost& host, const std::vector<std::string>& selection, const FilterSet& filters)
    : host_(host), selection_(selection), filters_(filters) {}

// --- The scan ----------------------------------------------------------------

// Adds up the files the filters take and polls for a cancel after every file,
// taken or not, so that a long walk keeps the window alive.
class BackupEngine::ScanVisitor : public TreeVisitor {
 public:
  explicit ScanVisitor(BackupEngine& engine) : engine_(engine) {}
  WalkStep OnFile(const CFileFindEx& entry, bool taken) override {
    if (taken) {
      bytes += static_cast<int64_t>(entry.GetLength());
      files += 1;
    }
    return engine_.PollScanAbort() != 0 ? WalkStep::kStop : WalkStep::kContinue;
  }
  WalkStep EnterFolder(const CFileFindEx&, const plat::NativePath&) override { return WalkStep::kContinue; }
  void OnUnlistedFolder(const plat::NativePath& folder, uint32_t error) override {
    engine_.Fail(texts::kSourceReadFailed, error, folder);
  }
  int64_t bytes = 0;
  int64_t files = 0;

 private:
  BackupEngine& engine_;
};

int BackupEngine::PollScanAbort() {
  int64_t now = host_.TickMs();
  if (!pumpedOnce_ || now - lastPumpTick_ >= kScanPumpMs) {
    pumpedOnce_ = true;
    lastPumpTick_ = now;
    host_.PumpMessages();
  }
  return ScanIdle == 1 ? -1 : 0;
}

int BackupEngine::ScanSelection(int64_t& bytes, int64_t& files) {
  ScanIdle = 0;
  pumpedOnce_ = false;
  failureReported_ = false;
  for (const plat::NativePath& path : NativeSelection(selection_)) {
    int64_t itemBytes = 0, itemFiles = 0;
    if (ScanItem(path, itemBytes, itemFiles) != 0) {
      if (!failureReported_) return -1;
      ScanIdle = 1;
      return -2;
    }
    bytes += itemBytes;
    files += itemFiles;
  }
  ScanIdle = 1;
  return 0;
}

int BackupEngine::ScanItem(const plat::NativePath& path, int64_t& bytes, int64_t& files) {
  uint64_t size = 0;
  if (FindPlainFile(path, size)) {
    if (CheckFileFilter(FilterPathOf(path), filters_) != 0) return 0;
    if (PollScanAbort() != 0) return -1;
    bytes += static_cast<int64_t>(size);
    files += 1;
    return 0;
  }
  // Anything else is a folder; a path where nothing exists any more fails to list.
  if (CheckFolderFilter(FilterPathOf(path), filters_) != 0) return 0;
  ScanVisitor scan(*this);
  if (WalkFolder(path, &filters_, scan) != 0) return -1;
  bytes += scan.bytes;
  files += scan.files;
  return 0;
}

// --- The run -----------------------------------------------------------------

int BackupEngine::RunBackup(const std::string& backupFolder, int endMsg) {
  if (backupFolder.empty()) {
    host_.ShowMessage(texts::kNoBackupFolder, host::kIconInformation);
    return 2;
  }
  if (PathExists(backupFolder) != 0) {
    host_.ShowMessage(std::string(texts::kBackupFolderMissing) + backupFolder + texts::kPathClose,
                      host::kIconExclamation);
    return 2;
  }
  if (SourceTotals.files == 0 &&
      host_.ShowMessage(texts::kZeroFilesQuestion, host::kYesNo | host::kIconQuestion) != host::kIdYes) {
    return 2;
  }
  host_.ShowProgress();
  host_.EnableRunButtons(false);

  // A name of this second may be taken (two runs within one second): wait for
  // the next second, at most 19 names.
  constexpr int kNameAttempts = 19;
  bool found = false;
  for (int attempt = 0; attempt < kNameAttempts && !found; ++attempt) {
    StampName = MakeStampFolderName(host_.Now());
    DestinationPath = plat::JoinNative(plat::ToNative(backupFolder), plat::ToNative(StampName));
    if (!Exists(DestinationPath)) {
      found = true;
    } else {
      host_.Sleep(1000);
    }
  }
  if (!found) {
    host_.ShowMessage(texts::kFolderCreateFailed, host::kIconStop);
    return -1;
  }
  if (uint32_t err = plat::CreateFolder(DestinationPath)) {
    Fail(texts::kFolderCreateFailed, err, DestinationPath);
    return -1;
  }

  CopyIdle = 0;
  failureReported_ = false;
  pumpedOnce_ = false;
  host_.SetProgressRange(SourceTotals.files);
  ProgressPos = 0;
  paintedPos_ = -1;
  PaintProgress();
  CopySelection();
  PaintProgress();  // the bar always shows the last file
  CopyIdle = 1;

  VerifyBackup(backupFolder, endMsg);
  return 0;
}

int BackupEngine::CopySelection() {
  for (const plat::NativePath& source : NativeSelection(selection_)) {
    if (CopyItem(source, plat::JoinNative(DestinationPath, BackupNameOf(source))) != 0) return -1;
  }
  return 0;
}

// Re-creates each folder the walk enters beneath the destination and copies
// every file the filters take into the folder of the moment.
class BackupEngine::CopyVisitor : public TreeVisitor {
 public:
  CopyVisitor(BackupEngine& engine, const plat::NativePath& destination) : engine_(engine), folders_{destination} {}
  // Source and destination are made from the listed native name: a name that
  // code page 932 lacks is copied as itself, never through its Shift_JIS form.
  WalkStep OnFile(const CFileFindEx& entry, bool taken) override {
    if (!taken) return WalkStep::kContinue;
    int copied =
        engine_.CopyOneFile(entry.GetNativeFilePath(), plat::JoinNative(folders_.back(), entry.GetNativeName()));
    return copied == 0 ? WalkStep::kContinue : WalkStep::kStop;
  }
  WalkStep EnterFolder(const CFileFindEx& entry, const plat::NativePath& path) override {
    // The backup being written may lie inside the selection (a backup folder
    // within a selected folder): it is never copied into itself.
    if (entry.GetFileName() == engine_.StampName) {
      plat::FileId here, dest;
      if (plat::GetFileId(path, here) && plat::GetFileId(engine_.DestinationPath, dest) && here == dest) {
        return WalkStep::kSkip;
      }
    }
    plat::NativePath target = plat::JoinNative(folders_.back(), entry.GetNativeName());
    if (uint32_t err = plat::CreateFolder(target)) {
      engine_.Fail(texts::kFolderCreateFailed, err, target);
      return WalkStep::kStop;
    }
    folders_.push_back(target);
    return WalkStep::kContinue;
  }
  void LeaveFolder() override { folders_.pop_back(); }
  void OnUnlistedFolder(const plat::NativePath& folder, uint32_t error) override {
    engine_.Fail(texts::kSourceReadFailed, error, folder);
  }

 private:
  BackupEngine& engine_;
  std::vector<plat::NativePath> folders_;
};

int BackupEngine::CopyItem(const plat::NativePath& source, const plat::NativePath& destination) {
  uint64_t size = 0;
  if (FindPlainFile(source, size)) {
    if (CheckFileFilter(FilterPathOf(source), filters_) != 0) return 0;
    return CopyOneFile(source, destination);
  }
  // The folder filter decides first, as in the count: a folder it leaves out
  // is never looked at, whether it is still there or not.
  if (CheckFolderFilter(FilterPathOf(source), filters_) != 0) return 0;
  // A selected path that vanished since the count is a failure of the copy;
  // no empty stand-in folder is made for it.
  uint32_t gone = 0;
  if (plat::GetAttributes(source, &gone) == plat::kInvalidAttributes) {
    return Fail(texts::kSourceReadFailed, gone, source);
  }
  if (uint32_t err = plat::CreateFolder(destination)) return Fail(texts::kFolderCreateFailed, err, destination);
  CopyVisitor copy(*this, destination);
  return WalkFolder(source, &filters_, copy);
}

int BackupEngine::CopyOneFile(const plat::NativePath& source, const plat::NativePath& destination) {
  if (uint32_t err = plat::CopyFileNoReplace(source, destination, this)) {
    // A cancel inside the file stopped it at once (nothing of it is left).
    if (err == plat::kErrRequestAborted && CopyIdle == 1) return ReportCancel();
    return Fail(texts::kFileCopyFailed, err, destination);
  }
  return StepCopyProgress();
}

bool BackupEngine::Continue() {
  PumpPaced();
  return CopyIdle == 0;
}

void BackupEngine::PumpPaced() {
  // Dispatching costs more than copying a small file, while the cancel flag is
  // read after every file and every chunk: messages are dispatched at the
  // first call of the run and then at most every kProgressPaintMs.
  const int64_t now = host_.TickMs();
  if (pumpedOnce_ && now - lastPumpTick_ < kProgressPaintMs) return;
  pumpedOnce_ = true;
  lastPumpTick_ = now;
  host_.PumpMessages();
}

int BackupEngine::StepCopyProgress() {
  ++ProgressPos;
  // Repainting the bar costs far more than copying a small file: it is painted
  // at most every kProgressPaintMs.
  if (host_.TickMs() - lastPaintTick_ >= kProgressPaintMs) PaintProgress();
  PumpPaced();
  if (CopyIdle == 1) return ReportCancel();
  return 0;
}

int BackupEngine::ReportCancel() {
  failureReported_ = true;
  PaintProgress();
  host_.ShowMessage(texts::kCancelled, host::kIconExclamation);
  return -1;
}

void BackupEngine::PaintProgress() {
  lastPaintTick_ = host_.TickMs();
  if (paintedPos_ == ProgressPos) return;
  paintedPos_ = ProgressPos;
  host_.SetProgressPos(ProgressPos);
}

int BackupEngine::Fail(const char* what, uint32_t error, const plat::NativePath& path) {
  failureReported_ = true;
  if (ScanIdle == 1) PaintProgress();  // a run (never the count) shows the bar
  host_.ShowMessage(std::string(what) + texts::kErrorDetail + GetSystemErrorText(error) + texts::kErrorPathOpen +
                        plat::FromNative(path) + texts::kPathClose,
                    host::kIconStop);
  return -1;
}

// --- The check ---------------------------------------------------------------

void BackupEngine::VerifyBackup(const std::string& backupFolder, int endMsg) {
  ScanTotals dest;
  plat::NativePath unlisted;
  uint32_t error = 0;
  ScanIdle = 0;
  const int counted = CountFilesAndSize(DestinationPath, dest.bytes, dest.files, &unlisted, &error);
  ScanIdle = 1;
  if (counted != 0) {
    Fail(texts::kBackupReadFailed, error, unlisted);
    return;
  }
  if (dest.bytes == SourceTotals.bytes && dest.files == SourceTotals.files) {
    host_.RedrawNow();
    // Equal totals never cover a failure or a cancel already reported: the
    // run did not copy what was asked, whatever the figures say.
    if (failureReported_) return;
    if (endMsg == 1) {
      host_.Sleep(100);
      host_.ShowMessage(std::string(texts::kVerifiedTitle) + backupFolder + texts::kVerifiedSubFolder +
                            StampName,
                        host::kIconInformation);
    } else {
      host_.Sleep(500);
    }
    return;
  }
  host_.ShowMessage(std::string(texts::kMismatchHead) + texts::kMismatchSourceFiles +
                        FormatGroupedNumber(SourceTotals.files) + texts::kMismatchSourceBytes +
                        FormatGroupedNumber(SourceTotals.bytes) + texts::kMismatchDestFiles +
                        FormatGroupedNumber(dest.files) + texts::kMismatchDestBytes + FormatGroupedNumber(dest.bytes) +
                        texts::kMismatchTail,
                    host::kIconStop);
}
