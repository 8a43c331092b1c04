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

// path + "\" + name, without doubling a separator the path already ends with
// (a backup folder may be a drive root such as "E:\").
static std::string JoinPath(const std::string& path, const std::string& name) {
  return EndsWithBackslash(path) == 0 ? path + name : path + "\\" + name;
}

std::string BackupNameOf(const std::string& selected) {
  std::string name;
  GetLastComponent(selected, name);
  if (!name.empty()) return name;
  std::string trimmed = selected;
  while (EndsWithBackslash(trimmed) == 0) trimmed.pop_back();
  GetLastComponent(trimmed, name);
  if (!name.empty() && name.back() == ':') name.pop_back();
  return name;
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
  WalkStep EnterFolder(const CFileFindEx&, const std::string&) override { return WalkStep::kContinue; }
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
  for (const std::string& path : selection_) {
    int64_t itemBytes = 0, itemFiles = 0;
    if (ScanItem(path, itemBytes, itemFiles) != 0) return -1;
    bytes += itemBytes;
    files += itemFiles;
  }
  ScanIdle = 1;
  return 0;
}

int BackupEngine::ScanItem(const std::string& path, int64_t& bytes, int64_t& files) {
  uint64_t size = 0;
  if (FindPlainFile(path, size)) {
    if (CheckFileFilter(path, filters_) != 0) return 0;
    if (PollScanAbort() != 0) return -1;
    bytes += static_cast<int64_t>(size);
    files += 1;
    return 0;
  }
  // Anything else is a folder, also a path where nothing exists any more.
  if (CheckFolderFilter(path, filters_) != 0) return 0;
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
    DestinationPath = JoinPath(backupFolder, StampName);
    if (PathExists(DestinationPath) != 0) {
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
  for (const std::string& source : selection_) {
    if (CopyItem(source, DestinationPath + "\\" + BackupNameOf(source)) != 0) return -1;
  }
  return 0;
}

// Re-creates each folder the walk enters beneath the destination and copies
// every file the filters take into the folder of the moment.
class BackupEngine::CopyVisitor : public TreeVisitor {
 public:
  CopyVisitor(BackupEngine& engine, const std::string& destination) : engine_(engine), folders_{destination} {}
  WalkStep OnFile(const CFileFindEx& entry, bool taken) override {
    if (!taken) return WalkStep::kContinue;
    int copied = engine_.CopyOneFile(entry.GetFilePath(), folders_.back() + "\\" + entry.GetFileName());
    return copied == 0 ? WalkStep::kContinue : WalkStep::kStop;
  }
  WalkStep EnterFolder(const CFileFindEx& entry, const std::string& path) override {
    // The backup being written may lie inside the selection (a backup folder
    // within a selected folder): it is never copied into itself.
    if (entry.GetFileName() == engine_.StampName) {
      plat::FileId here, dest;
      if (plat::GetFolderId(path, here) && plat::GetFolderId(engine_.DestinationPath, dest) && here == dest) {
        return WalkStep::kSkip;
      }
    }
    std::string target = folders_.back() + "\\" + entry.GetFileName();
    if (uint32_t err = plat::CreateFolder(target)) {
      engine_.Fail(texts::kFolderCreateFailed, err, target);
      return WalkStep::kStop;
    }
    folders_.push_back(target);
    return WalkStep::kContinue;
  }
  void LeaveFolder() override { folders_.pop_back(); }

 private:
  BackupEngine& engine_;
  std::vector<std::string> folders_;
};

int BackupEngine::CopyItem(const std::string& source, const std::string& destination) {
  uint64_t size = 0;
  if (FindPlainFile(source, size)) {
    if (CheckFileFilter(source, filters_) != 0) return 0;
    return CopyOneFile(source, destination);
  }
  // A selected path that vanished since the count has nothing to copy; the
  // check reports what is missing. No empty stand-in folder is made for it.
  if (PathExists(source) != 0) return 0;
  if (CheckFolderFilter(source, filters_) != 0) return 0;
  if (uint32_t err = plat::CreateFolder(destination)) return Fail(texts::kFolderCreateFailed, err, destination);
  CopyVisitor copy(*this, destination);
  return WalkFolder(source, &filters_, copy);
}

int BackupEngine::CopyOneFile(const std::string& source, const std::string& destination) {
  if (uint32_t err = plat::CopyFileNoReplace(source, destination)) {
    return Fail(texts::kFileCopyFailed, err, destination);
  }
  return StepCopyProgress();
}

int BackupEngine::StepCopyProgress() {
  ++ProgressPos;
  // Repainting the bar costs far more than copying a small file: it is painted
  // at most every kProgressPaintMs, while messages are pumped after every file.
  if (host_.TickMs() - lastPaintTick_ >= kProgressPaintMs) PaintProgress();
  host_.PumpMessages();
  if (CopyIdle == 1) {
    PaintProgress();
    host_.ShowMessage(texts::kCancelled, host::kIconExclamation);
    return -1;
  }
  return 0;
}

void BackupEngine::PaintProgress() {
  lastPaintTick_ = host_.TickMs();
  if (paintedPos_ == ProgressPos) return;
  paintedPos_ = ProgressPos;
  host_.SetProgressPos(ProgressPos);
}

int BackupEngine::Fail(const char* what, uint32_t error, const std::string& path) {
  PaintProgress();
  host_.ShowMessage(std::string(what) + texts::kErrorDetail + GetSystemErrorText(error) + texts::kErrorPathOpen + path +
                        texts::kPathClose,
                    host::kIconStop);
  return -1;
}

// --- The check ---------------------------------------------------------------

void BackupEngine::VerifyBackup(const std::string& backupFolder, int endMsg) {
  ScanTotals dest;
  ScanIdle = 0;
  CountFilesAndSize(DestinationPath, dest.bytes, dest.files);
  ScanIdle = 1;
  if (dest.bytes == SourceTotals.bytes && dest.files == SourceTotals.files) {
    host_.RedrawNow();
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
