// The scan, the backup run and its check (see backup.h).
#include "engine/backup.h"

#include <cstdio>
#include <cstring>

#include "engine/fileutil.h"
#include "engine/texts.h"
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

int BackupEngine::PollScanAbort() {
  int64_t now = host_.TickMs();
  if (!pumpedOnce_ || now - lastPumpTick_ >= ScanPumpMs) {
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
  if (IsPlainFile(path) == 0) {
    if (CheckFileFilter(path, filters_) != 0) return 0;
    uint64_t size = 0;
    CFileFindEx finder;
    if (finder.FindFile(path.c_str())) {
      finder.FindNextFile();
      size = finder.GetLength();
    }
    if (PollScanAbort() != 0) return -1;
    bytes += static_cast<int64_t>(size);
    files += 1;
    return 0;
  }
  // Anything else is a folder, also a path where nothing exists any more.
  if (CheckFolderFilter(path, filters_) != 0) return 0;
  walk_.assign(1, Ancestor{path, {}, false});
  int result = ScanFolder(path, bytes, files);
  walk_.clear();
  return result;
}

int BackupEngine::ScanFolder(const std::string& path, int64_t& bytes, int64_t& files) {
  int64_t localBytes = 0, localFiles = 0;
  CFileFindEx finder;
  std::string pattern = path + "\\*.*";
  int more = finder.FindFile(pattern.c_str());
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) continue;
    if (finder.MatchesMask(plat::kAttrDirectory)) {
      std::string entry = finder.GetFilePath();
      if (CheckFolderFilter(entry, filters_) != 0) continue;
      if (finder.MatchesMask(plat::kAttrReparsePoint) && LeadsBackIntoWalk(entry)) continue;
      int64_t subBytes = 0, subFiles = 0;
      walk_.push_back(Ancestor{entry, {}, false});
      int result = ScanFolder(entry, subBytes, subFiles);
      walk_.pop_back();
      if (result != 0) return -1;
      localBytes += subBytes;
      localFiles += subFiles;
    } else {
      // The filters look at the last component only: the entry's name is enough.
      if (CheckFileFilter(finder.GetFileName(), filters_) == 0) {
        localBytes += static_cast<int64_t>(finder.GetLength());
        localFiles += 1;
      }
      if (PollScanAbort() != 0) return -1;
    }
  }
  bytes += localBytes;
  files += localFiles;
  return 0;
}

bool BackupEngine::LeadsBackIntoWalk(const std::string& path) {
  plat::FileId target;
  if (!plat::GetFolderId(path, target)) return false;
  for (Ancestor& a : walk_) {
    if (!a.idKnown) {
      a.idKnown = true;
      if (!plat::GetFolderId(a.path, a.id)) a.id = plat::FileId{~0ULL, ~0ULL};
    }
    if (a.id == target) return true;
  }
  return false;
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

int BackupEngine::CopyItem(const std::string& source, const std::string& destination) {
  if (IsPlainFile(source) == 0) {
    if (CheckFileFilter(source, filters_) != 0) return 0;
    return CopyOneFile(source, destination);
  }
  // A selected path that vanished since the count has nothing to copy; the
  // check reports what is missing. No empty stand-in folder is made for it.
  if (PathExists(source) != 0) return 0;
  if (CheckFolderFilter(source, filters_) != 0) return 0;
  walk_.assign(1, Ancestor{source, {}, false});
  int result = CopyFolder(source, destination);
  walk_.clear();
  return result;
}

int BackupEngine::CopyFolder(const std::string& source, const std::string& destination) {
  if (uint32_t err = plat::CreateFolder(destination)) return Fail(texts::kFolderCreateFailed, err, destination);
  CFileFindEx finder;
  std::string pattern = source + "\\*.*";
  int more = finder.FindFile(pattern.c_str());
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) continue;
    std::string entry = finder.GetFilePath();
    std::string target = destination + "\\" + finder.GetFileName();
    if (finder.MatchesMask(plat::kAttrDirectory)) {
      if (CheckFolderFilter(entry, filters_) != 0) continue;
      if (finder.MatchesMask(plat::kAttrReparsePoint) && LeadsBackIntoWalk(entry)) continue;
      // The backup being written may lie inside the selection (a backup folder
      // within a selected folder): it is never copied into itself.
      if (finder.GetFileName() == StampName) {
        plat::FileId here, dest;
        if (plat::GetFolderId(entry, here) && plat::GetFolderId(DestinationPath, dest) && here == dest) continue;
      }
      walk_.push_back(Ancestor{entry, {}, false});
      int result = CopyFolder(entry, target);
      walk_.pop_back();
      if (result != 0) return -1;
    } else {
      if (CheckFileFilter(entry, filters_) != 0) continue;
      if (CopyOneFile(entry, target) != 0) return -1;
    }
  }
  return 0;
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
  if (host_.TickMs() - lastPaintTick_ >= ProgressPaintMs) PaintProgress();
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
