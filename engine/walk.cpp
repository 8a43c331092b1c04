// The shared walk of a folder tree and the check's count (see walk.h).
#include "engine/walk.h"

#include <vector>

#include "platform/fs.h"

namespace engine {

namespace {

// One folder the walk stands in; its identity is looked up only when a link is
// met, so a tree without links never pays for it.
struct Ancestor {
  plat::NativePath path;
  plat::FileId id;
  bool idKnown = false;
};

class Walk {
 public:
  Walk(const core::FilterSet* filters, TreeVisitor& visitor) : filters_(filters), visitor_(visitor) {}

  // Walks folder; protectedBranch: folder, or a folder above it below the
  // walk's start, is hidden and system.
  bool Folder(const plat::NativePath& folder, bool protectedBranch = false) {
    plat::FileFinder finder;
    if (!finder.Start(plat::JoinNative(folder, allPattern_))) {
      const uint32_t error = finder.GetLastError();
      if (protectedBranch && error == plat::kErrAccessDenied) return true;  // left out, see walk.h
      return UnlistedFolder(folder, error);
    }
    ancestors_.push_back(Ancestor{folder, {}, false});
    bool more = true;
    while (more) {
      more = finder.Next();
      if (finder.IsDots()) continue;
      if (finder.MatchesMask(plat::kAttrDirectory)) {
        if (filters_ && !core::CheckFolderFilter(finder.GetFileName(), *filters_)) continue;
        plat::NativePath path = finder.FullPath();
        if (finder.MatchesMask(plat::kAttrReparsePoint) && LeadsBackIntoWalk(path)) continue;
        WalkStep step = visitor_.EnterFolder(finder, path);
        if (step == WalkStep::kSkip) continue;
        const bool hiddenSystem = finder.MatchesMask(plat::kAttrHidden) && finder.MatchesMask(plat::kAttrSystem);
        if (step == WalkStep::kStop || !Folder(path, protectedBranch || hiddenSystem)) return false;
        if (visitor_.LeaveFolder() == WalkStep::kStop) return false;
      } else if (!IsAppAlias(finder)) {
        // The filters look at the last component only: the entry's name is enough.
        const bool taken = !filters_ || core::CheckFileFilter(finder.GetFileName(), *filters_);
        if (visitor_.OnFile(finder, taken) == WalkStep::kStop) return false;
      }
    }
    ancestors_.pop_back();
    // A listing that broke off part way is as unlisted as one that never began.
    if (finder.GetLastError()) return UnlistedFolder(folder, finder.GetLastError());
    return true;
  }

 private:
  // What a folder whose listing failed means for every walk: the end of the
  // walk, reported to the visitor. "*.*" finds "." and ".." in every folder,
  // so nothing found at all (ERROR_FILE_NOT_FOUND) is an empty drive root,
  // not a failure; any other error (access denied, path not found, network)
  // is one.
  bool UnlistedFolder(const plat::NativePath& folder, uint32_t error) {
    if (error == plat::kErrFileNotFound) return true;
    visitor_.OnUnlistedFolder(folder, error);
    return false;
  }

  // True if the folder at path (reached through a link or junction) is one the
  // walk already stands in, so entering it would loop.
  bool LeadsBackIntoWalk(const plat::NativePath& path) {
    plat::FileId target;
    if (!plat::GetFileId(path, target)) return false;
    for (Ancestor& a : ancestors_) {
      if (!a.idKnown) {
        a.idKnown = true;
        if (!plat::GetFileId(a.path, a.id)) a.id = plat::FileId{~0ULL, ~0ULL};
      }
      if (a.id == target) return true;
    }
    return false;
  }

  const core::FilterSet* filters_;
  TreeVisitor& visitor_;
  const plat::NativePath allPattern_ = plat::ToNative("*.*");
  std::vector<Ancestor> ancestors_;
};

// The check's count: every file, nothing left out, never stopped.
class Counter : public TreeVisitor {
 public:
  WalkStep OnFile(const plat::FileFinder& entry, bool) override {
    bytes += static_cast<int64_t>(entry.GetLength());
    files += 1;
    return WalkStep::kContinue;
  }
  WalkStep EnterFolder(const plat::FileFinder&, const plat::NativePath&) override { return WalkStep::kContinue; }
  void OnUnlistedFolder(const plat::NativePath& folder, uint32_t code) override {
    unlisted = folder;
    error = code;
  }
  int64_t bytes = 0;
  int64_t files = 0;
  plat::NativePath unlisted;
  uint32_t error = 0;
};

}  // namespace

bool IsAppAlias(const plat::FileFinder& entry) {
  return entry.MatchesMask(plat::kAttrReparsePoint) && entry.GetReparseTag() == plat::kReparseTagAppExecLink;
}

bool WalkFolder(const plat::NativePath& folder, const core::FilterSet* filters, TreeVisitor& visitor) {
  return Walk(filters, visitor).Folder(folder);
}

bool FindPlainFile(const plat::NativePath& path, uint64_t& size, bool* appAlias) {
  // A pattern would find some file in a folder, not the file named by path.
  if (plat::HasWildcard(path)) return false;
  plat::FileFinder finder;
  if (!finder.Start(path)) return false;
  finder.Next();
  if (finder.MatchesMask(plat::kAttrDirectory)) return false;
  size = finder.GetLength();
  if (appAlias) *appAlias = IsAppAlias(finder);
  return true;
}

bool CountFilesAndSize(const plat::NativePath& path, int64_t& bytes, int64_t& files, plat::NativePath* unlisted,
                       uint32_t* error) {
  uint64_t size = 0;
  bool appAlias = false;
  if (FindPlainFile(path, size, &appAlias)) {
    if (!appAlias) {
      bytes += static_cast<int64_t>(size);
      files += 1;
    }
    return true;
  }
  Counter counter;
  const bool walked = WalkFolder(path, nullptr, counter);
  bytes += counter.bytes;
  files += counter.files;
  if (walked) return true;
  if (unlisted) *unlisted = counter.unlisted;
  if (error) *error = counter.error;
  return false;
}

}  // namespace engine
