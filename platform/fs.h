// Narrow file-system interface of the program: the few calls the portable code
// makes to the operating system. Win32 implementation in fs_win32.cpp, POSIX one
// (for the native tests, sanitizers and fuzzing) in fs_posix.cpp.
//
// Paths are native paths (platform/native_path.h): UTF-16 on Windows, handed to
// the wide functions in their long "\\?\" form; Shift_JIS text with backslash
// separators on POSIX, where backslash characters (never the second byte of a
// double-byte character) become slashes when the disk is touched. Errors are
// Win32 error codes on both builds (the POSIX layer maps errno onto them).
// On 64-bit Windows every call sees the file system as a 64-bit program does,
// without WOW64's redirection of System32 (platform/native_view_win32.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/native_path.h"

namespace plat {

// Win32 error codes used by the portable code.
enum : uint32_t {
  kErrSuccess = 0,
  kErrInvalidFunction = 1,
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrTooManyOpenFiles = 4,
  kErrAccessDenied = 5,
  kErrInvalidHandle = 6,
  kErrNotEnoughMemory = 8,
  kErrSharingViolation = 32,
  kErrLockViolation = 33,
  kErrNotSupported = 50,
  kErrFileExists = 80,
  kErrInvalidParameter = 87,
  kErrDiskFull = 112,
  kErrFileTooLarge = 223,
  kErrDirNotEmpty = 145,
  kErrAlreadyExists = 183,
  kErrDeletePending = 303,
  kErrTooManyLinks = 1142,
  kErrRequestAborted = 1235,
  kErrCantAccessFile = 1920,
  kErrEncryptionFailed = 6000,
};

// File attribute bits (the Win32 values).
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrReparsePoint = 0x400,
  kAttrNotContentIndexed = 0x2000,
  kAttrEncrypted = 0x4000,
  kInvalidAttributes = 0xFFFFFFFFu,
  // The marks a copy keeps (the system's copy keeps the same).
  kAttrMarks = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrNotContentIndexed,
};

// The reparse tag of an app execution alias (the Win32 value): a file that
// every open refuses (kErrCantAccessFile) and that holds nothing of its own.
constexpr uint32_t kReparseTagAppExecLink = 0x8000001Bu;

// Attributes of the file or folder at path, or kInvalidAttributes (error in *err).
uint32_t GetAttributes(const NativePath& path, uint32_t* err = nullptr);

// Size of the file at path, a link followed to its target. False, size
// untouched, when it cannot be opened (a link whose target is gone).
bool FollowedFileSize(const NativePath& path, uint64_t& size);

// True if a file or folder exists at path (one trailing backslash ignored).
bool PathExists(const NativePath& path);

// Folder of the running program file, without trailing separator (the folder
// beside the program holds its settings and parameter file); empty if the
// system cannot tell.
NativePath ModuleFolder();

// Reads the whole file, opened read-only: unshared, or with shared true letting
// others read, write and delete it meanwhile (as the system's profile functions
// do, so that a scanner holding the file open never hides it). A file that the
// finder lists at more than maxBytes is not opened at all (kErrFileTooLarge),
// so that a reader's limit is kept before anything is allocated; a path the
// finder does not list as one file goes on to the read, which tells why it
// cannot be read. Returns 0 or an error code; on error out is empty.
uint32_t ReadAll(const NativePath& path, std::string& out, bool shared = false, uint64_t maxBytes = UINT64_MAX);

// Makes bytes the whole content of the file at path (created if missing),
// written aside into a temporary file in the same folder, flushed to the drive
// and then moved over path in one step: a write that fails (disk full, no
// access) leaves the file as it was and no temporary file behind, and a power
// loss leaves the old content or the new one, never an empty or partial file.
// A folder at path, or a read-only file there, is refused (kErrAccessDenied).
// 0 or an error code.
uint32_t ReplaceAll(const NativePath& path, const std::string& bytes);

// Deletes one file. Returns 0 or an error code.
uint32_t RemoveFile(const NativePath& path);

// Creates one folder (default security). 0 or an error code; an existing
// folder or file of that name is an error (kErrAlreadyExists).
uint32_t CreateFolder(const NativePath& path);

// Gives the folder target the read-only, hidden, system and not-indexed
// marks the folder source has (the others stay as the system set them), as
// the system's copy of a folder does once its content is in: a folder
// customised through its desktop.ini keeps its look, a hidden one stays
// hidden. 0 or an error code.
uint32_t CopyFolderMarks(const NativePath& source, const NativePath& target);

// Told while one file is copied, so that its caller stays responsive.
class CopyProgress {
 public:
  // Called between chunks of the copy (at least once per file); false stops
  // the copy at once.
  virtual bool Continue() = 0;
  // The file's content as it was read and written, chunk by chunk (never its
  // named streams).
  virtual void Copied(const char* /*data*/, size_t /*size*/) {}
  // The file goes by the system's own copy (an encrypted one): no chunk of it
  // is shown to Copied.
  virtual void CopiedUnseen() {}

 protected:
  ~CopyProgress() = default;
};

// Copies one file as the system's copy keeps it, never replacing: an existing
// destination is an error (kErrFileExists) and stays untouched. The content,
// every named data stream (Zone.Identifier, the mark of a download, among
// them; left out only where the destination's file system holds none, as
// FAT32 and exFAT, as the system's copy does), the last-write time and the
// read-only, hidden, system and not-indexed attributes travel with it. An
// encrypted file is never written decrypted: the system's copy makes it an
// encrypted copy, or it fails (kErrEncryptionFailed where the destination
// cannot hold encryption). progress (if given) is asked between chunks; its
// false ends the copy with kErrRequestAborted. On any failure, a stop
// included, a partly written destination made by this call is removed. 0 or
// an error code; on an error, *sourceFailed (when given) tells whether it came
// from opening or reading the source (true) or from anything else: the
// destination, a stop, or the system's copy of an encrypted file (false).
uint32_t CopyFileNoReplace(const NativePath& source, const NativePath& destination,
                           CopyProgress* progress = nullptr, bool* sourceFailed = nullptr);

// Reads the whole file back from the disk, past the system's cache where the
// system allows it (Windows: unbuffered; POSIX: its cached pages dropped
// first), so that what was just written is read from the drive, not from
// memory. Every chunk is shown to progress.Copied, and progress.Continue is
// asked after each; its false ends the read with kErrRequestAborted. 0 or an
// error code.
uint32_t ReadBack(const NativePath& path, CopyProgress& progress);

// Identity of a file or folder on its volume (volume serial or device, and file
// id or inode): two paths that lead to one item, through links or a short
// (8.3) name, have equal ids. Windows gives the 128-bit file id where it can
// (ReFS and Dev Drive need all of it: their 64-bit index is not unique), the
// 64-bit index elsewhere; POSIX the inode. indexHigh is 0 unless the id has
// 128 bits.
struct FileId {
  uint64_t volume = 0;
  uint64_t index = 0, indexHigh = 0;
  bool operator==(const FileId& o) const {
    return volume == o.volume && index == o.index && indexHigh == o.indexHigh;
  }
};
// The identity of the file or folder at path. False if it cannot be opened, or
// the file system gives no file id (then no two items could be told apart).
bool GetFileId(const NativePath& path, FileId& id);

// What a backup keeps of a file beyond its bytes, as the file system reports
// it for the file itself (a final link not followed: a symbolic link or
// junction shows FILE_ATTRIBUTE_REPARSE_POINT and its own size).
struct FileFacts {
  uint64_t size = 0;
  uint32_t attributes = 0;
  uint64_t lastWrite = 0;  // system units
  std::vector<std::pair<NativePath, uint64_t>> streams;  // named data streams: name and size
};
// The facts of the file at path, asked by its name without opening it (a file
// in use answers too); a volume without named streams gives none. 0 or an
// error code.
uint32_t GetFileFacts(const NativePath& path, FileFacts& facts);

// Makes link a new name of the existing file target (a hard link: one file,
// its content, streams, times and attributes shared). 0 or an error code:
// kErrNotSupported or kErrInvalidFunction where the volume holds no hard
// links (FAT32, exFAT, many network shares), kErrTooManyLinks when target has
// its file system's most (1023 on NTFS), kErrAlreadyExists at an existing link.
uint32_t MakeHardLink(const NativePath& link, const NativePath& target);

// Local wall-clock time, second resolution.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime LocalNow();
// Milliseconds of a monotonic clock (for pacing, not for dates).
int64_t TickMs();
// Blocks the calling thread.
void SleepMs(uint32_t ms);

// Full file name of module (Windows: a library's module handle, as its entry
// point was given it), or of the running program when module is null; POSIX
// always names the running program. Backslash separators; never cut: the
// buffer grows as needed. Empty if the system cannot tell.
NativePath ModulePath(void* module = nullptr);

// Text of a system error code from the system's message table, untouched (its
// line break and any insert markers kept); empty if the system has none.
std::string SystemErrorText(uint32_t code);

#ifndef _WIN32
// --- Fault injection (POSIX build only) ---------------------------------------
// The native build exists for the tests: there a test can make an operation
// fail whatever the disk says. The Windows build has no such hook.
// Read covers ReadAll's read and the opening of a copy's source.
// Attributes covers the start of a listing too; ListMore each further entry of it.
// Copy covers each target the copy creates (its named streams included);
// NamedStreams, answered with any error, makes the copy's destination a file
// system that holds no named streams.
// ReadBack covers each read of the content check. Replace covers ReplaceAll's
// write: it fails half-way, after half the bytes, as on a disk that fills up.
// Link covers each hard link made.
enum class FsOp { Read, Remove, Attributes, ListMore, ProfileWrite, MakeFolder, Copy, NamedStreams, ReadBack, Replace,
                  Link };
// A hook returns 0 to let the operation run, or the error code it fails with.
using FaultHook = uint32_t (*)(FsOp op, const NativePath& path, void* ctx);
// Installs (or with nullptr removes) the process-wide hook.
void SetFaultHook(FaultHook hook, void* ctx);
// Consulted by the POSIX implementation before each operation.
uint32_t InjectedFault(FsOp op, const NativePath& path);
#endif

}  // namespace plat
