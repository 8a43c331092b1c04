// plat::FileFinder: the parts that do not depend on the platform.
#include "platform/filefind.h"

#include "platform/fs.h"
#include "core/sjis.h"

std::string plat::FileFinder::GetFileName() const { return current_.name; }

uint64_t plat::FileFinder::GetLength() const { return current_.size; }

bool plat::FileFinder::MatchesMask(uint32_t mask) const {
  return haveCurrent_ && (current_.attributes & mask) != 0;
}

uint32_t plat::FileFinder::GetReparseTag() const { return haveCurrent_ ? current_.reparseTag : 0; }

bool plat::FileFinder::IsDots() const {
  return haveCurrent_ && (current_.attributes & plat::kAttrDirectory) &&
         (current_.name == "." || current_.name == "..");
}

bool plat::FileFinder::IsDirectory() const { return MatchesMask(plat::kAttrDirectory); }

bool plat::FileFinder::Next() {
  if (!haveNext_) return false;
  current_ = std::move(next_);
  haveCurrent_ = true;
  // A symbolic link to a file lists at its own size, 0 (Windows' finder does
  // not follow it); its copy follows it and writes the target's bytes, so the
  // entry takes the target's size. A link whose target is gone keeps 0, and
  // its copy fails as a missing file's does. A link to a folder is a folder.
  if ((current_.attributes & (plat::kAttrReparsePoint | plat::kAttrDirectory)) == plat::kAttrReparsePoint)
    plat::FollowedFileSize(plat::JoinNative(root_, current_.native), current_.size);
  haveNext_ = FetchNext(next_);
  return haveNext_;
}

plat::NativePath plat::FileFinder::SearchRootOf(const plat::NativePath& pattern) {
  size_t sep = plat::LastSeparator(pattern);
  if (sep != plat::NativePath::npos) return pattern.substr(0, sep);
  if (pattern.size() >= 2 && pattern[1] == ':' && !core::sjis::IsLeadByte(static_cast<unsigned char>(pattern[0])))
    return pattern.substr(0, 2);
  return plat::NativePath();
}
