// The one walk of a folder tree that the scan, the copy and the check share, so
// that dots, filters, link cycles and folders that cannot be listed follow one
// rule everywhere; and the check's unfiltered count built on it.
#pragma once

#include <cstdint>
#include <string>

#include "core/filter.h"
#include "platform/filefind.h"

namespace engine {

// A visitor's answer: go on, pass this folder by, or end the whole walk.
enum class WalkStep { kContinue, kSkip, kStop };

// What a walk meets, in the file system's enumeration order, depth first.
class TreeVisitor {
 public:
  // A file; entry is the finder standing on it. taken is false when the file
  // filter leaves it out (it is still reported, so that a long walk over
  // left-out files can keep the window alive). kStop ends the walk.
  virtual WalkStep OnFile(const plat::FileFinder& entry, bool taken) = 0;
  // A sub-folder (full native path, made from the listed name) that the folder filter takes and that leads into
  // no folder the walk stands in: kContinue enters it, kSkip passes it by.
  virtual WalkStep EnterFolder(const plat::FileFinder& entry, const plat::NativePath& path) = 0;
  // The folder last entered has been walked completely; kStop ends the walk.
  virtual WalkStep LeaveFolder() { return WalkStep::kContinue; }
  // A folder (full native path) whose listing failed with the system error
  // code error; the walk ends after this call.
  virtual void OnUnlistedFolder(const plat::NativePath& folder, uint32_t error) = 0;

 protected:
  ~TreeVisitor() = default;
};

// True if the finder stands on an app execution alias (a file whose reparse
// tag is IO_REPARSE_TAG_APPEXECLINK). Windows 10 and 11 keep these in every
// profile (AppData\Local\Microsoft\WindowsApps); every open refuses them
// (ERROR_CANT_ACCESS_FILE) and they hold nothing of the user's, so the count,
// the copy and the check all leave them out: a walk never reports one.
bool IsAppAlias(const plat::FileFinder& entry);

// Walks everything beneath folder (which is not itself reported). filters null
// takes every entry; the filters decide on the Shift_JIS form of each listed
// name ("?" for a character code page 932 lacks). The dot entries are skipped; a sub-folder reached through a
// link or junction is not entered when it is one of the folders the walk stands
// in. A folder that cannot be listed (unreadable, vanished, not a folder) ends
// the walk after OnUnlistedFolder; an empty folder, and a drive root that lists
// nothing at all, are simply empty. One exception: a sub-folder that refuses
// listing for lack of access (ERROR_ACCESS_DENIED) when it, or a folder above
// it below folder, is both hidden and system is left out as if empty. Windows
// keeps such folders on purpose and denies them to everyone: the compatibility
// junctions of every profile ("Application Data", "Cookies", "My Documents",
// "Start Menu" ...) and of Documents ("My Music" ...), and "System Volume
// Information" on every NTFS drive. folder itself never counts as one: a
// selected folder that cannot be listed always fails. True when the walk ended
// normally, false when the visitor stopped it or a listing failed.
bool WalkFolder(const plat::NativePath& folder, const core::FilterSet* filters, TreeVisitor& visitor);

// True if path names an existing file that is not a folder (a path with
// wildcard characters names none); size is then its full 64-bit size as the
// finder reports it, the same figure a walk reports for it, and *appAlias
// (when given) whether the file is an app alias, which no walk reports.
bool FindPlainFile(const plat::NativePath& path, uint64_t& size, bool* appAlias = nullptr);

// Adds the size and number of the files under path (a file, or a folder walked
// without filters; folders are not counted) to the accumulators. False when
// a folder could not be listed (a missing path included): its path and the
// system error code are then in *unlisted and *error (when given), and the
// accumulators hold what was counted before it.
bool CountFilesAndSize(const plat::NativePath& path, int64_t& bytes, int64_t& files,
                       plat::NativePath* unlisted = nullptr, uint32_t* error = nullptr);

}  // namespace engine
