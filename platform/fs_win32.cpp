// File-system calls on Win32 through the wide functions, every path in its
// long form (see fs.h).
#include <windows.h>

#include <vector>

#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/native_view_win32.h"

namespace plat {

uint32_t GetAttributes(const NativePath& path, uint32_t* err) {
  const NativePath target = LongPathForm(path);
  DWORD attrs = InNativeView([&] { return ::GetFileAttributesW(target.c_str()); });
  if (attrs == INVALID_FILE_ATTRIBUTES && err) *err = ::GetLastError();
  return attrs;
}

uint32_t ReadAll(const NativePath& path, std::string& out, bool shared) {
  out.clear();
  // Read access; unshared, nobody may write the file while we read it.
  const NativePath target = LongPathForm(path);
  const DWORD share = shared ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
  FileHandle file(InNativeView([&] {
    return ::CreateFileW(target.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  }));
  if (!file) return ::GetLastError();
  std::vector<char> buf(64 * 1024);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr)) {
      DWORD e = ::GetLastError();
      out.clear();
      return e;
    }
    if (got == 0) break;
    out.append(buf.data(), got);
  }
  return kErrSuccess;
}

uint32_t RemoveFile(const NativePath& path) {
  const NativePath target = LongPathForm(path);
  if (InNativeView([&] { return ::DeleteFileW(target.c_str()); })) return kErrSuccess;
  return ::GetLastError();
}

uint32_t CreateFolder(const NativePath& path) {
  const NativePath target = LongPathForm(path);
  if (InNativeView([&] { return ::CreateDirectoryW(target.c_str(), nullptr); })) return kErrSuccess;
  return ::GetLastError();
}

namespace {

// Chunks of the copy: large enough that a big file streams at disk speed (as
// fast as the system's own copy; under Wine 1 MiB and more are slower), small
// enough that the caller hears from the copy many times a second even from a
// slow drive.
constexpr DWORD kCopyChunk = 256 << 10;

// Writes all of data; false (error in *err) if the system refused part of it.
bool WriteWhole(HANDLE file, const char* data, DWORD size, DWORD* err) {
  while (size > 0) {
    DWORD put = 0;
    if (!::WriteFile(file, data, size, &put, nullptr)) {
      *err = ::GetLastError();
      return false;
    }
    if (put == 0) {  // nothing taken and no reason given
      *err = ERROR_WRITE_FAULT;
      return false;
    }
    data += put, size -= put;
  }
  return true;
}

// The content of source (read to its end, however it grew) into destination,
// chunk by chunk, with progress asked before the first chunk and after every
// one. 0, kErrRequestAborted when progress stopped it, or the system's error.
DWORD CopyContent(HANDLE source, HANDLE destination, uint64_t size, CopyProgress* progress) {
  if (progress && !progress->Continue()) return kErrRequestAborted;
  // A small file needs no more than its own size (plus one byte to see its end).
  std::vector<char> buf(static_cast<size_t>(size < kCopyChunk ? size + 1 : kCopyChunk));
  for (;;) {
    DWORD got = 0, err = 0;
    if (!::ReadFile(source, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr)) return ::GetLastError();
    if (got == 0) return kErrSuccess;
    if (!WriteWhole(destination, buf.data(), got, &err)) return err;
    if (progress && !progress->Continue()) return kErrRequestAborted;
  }
}

}  // namespace

uint32_t CopyFileNoReplace(const NativePath& source, const NativePath& destination, CopyProgress* progress) {
  // Our own chunked copy rather than the system's whole-file one, so that the
  // caller is heard within every file on every system (Wine's CopyFileExW never
  // calls its progress routine) and a stop ends the file at once. The default
  // data stream, the attributes and the last-write time travel, as with
  // CopyFile; alternate data streams do not.
  const NativePath src = LongPathForm(source);
  FileHandle in(InNativeView([&] {
    return ::CreateFileW(src.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  }));
  if (!in) return ::GetLastError();
  // The attributes and times, and the size, by the two cheap queries (the
  // all-in-one GetFileInformationByHandle also asks the volume for its serial).
  FILE_BASIC_INFO info;
  LARGE_INTEGER size;
  if (!::GetFileInformationByHandleEx(in.get(), FileBasicInfo, &info, sizeof(info)) || !::GetFileSizeEx(in.get(), &size))
    return ::GetLastError();
  if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
  // CREATE_NEW: an existing destination is an error and stays untouched, and
  // whatever is there after a failure below was made by this call.
  const NativePath dst = LongPathForm(destination);
  FileHandle out(InNativeView([&] {
    return ::CreateFileW(dst.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  }));
  if (!out) return ::GetLastError();
  DWORD err = CopyContent(in.get(), out.get(), static_cast<uint64_t>(size.QuadPart), progress);
  // The source's last-write time, set after the last write so that it stays.
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(info.LastWriteTime.QuadPart);
  written.dwHighDateTime = static_cast<DWORD>(info.LastWriteTime.QuadPart >> 32);
  if (!err && !::SetFileTime(out.get(), nullptr, nullptr, &written)) err = ::GetLastError();
  if (!::CloseHandle(out.release()) && !err) err = ::GetLastError();
  // Attributes last: a read-only copy could not have been written, nor removed.
  // The archive bit stays as the system sets it on a new file.
  const DWORD kept = info.FileAttributes &
                     (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (!err && kept && !InNativeView([&] { return ::SetFileAttributesW(dst.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE); }))
    err = ::GetLastError();
  if (err) InNativeView([&] { return ::DeleteFileW(dst.c_str()); });
  return err;
}

uint32_t ReplaceAll(const NativePath& path, const std::string& bytes) {
  const NativePath target = LongPathForm(path);
  // Beside the file, so that the move is a rename within one volume.
  const NativePath temp = target + L".~" + std::to_wstring(::GetCurrentProcessId());
  // A folder or a read-only file is refused as the system's profile functions
  // refuse it (asked here: Wine 8 renames over a read-only file). The new file
  // keeps the hidden and system marks of the one it replaces.
  DWORD attributes = InNativeView([&] { return ::GetFileAttributesW(target.c_str()); });
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    attributes = FILE_ATTRIBUTE_NORMAL;
  } else if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
    return ERROR_ACCESS_DENIED;
  } else {
    attributes = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) | FILE_ATTRIBUTE_ARCHIVE;
  }
  if (bytes.size() > MAXDWORD) return ERROR_FILE_TOO_LARGE;
  FileHandle file(InNativeView(
      [&] { return ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr); }));
  if (!file) return ::GetLastError();
  DWORD err = 0;
  WriteWhole(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &err);
  if (!::CloseHandle(file.release()) && !err) err = ::GetLastError();
  // One rename puts the new content in place. Within one folder the move is a
  // rename, never a copy; write through makes it return only once the rename
  // is on the disk.
  if (!err && !InNativeView([&] {
        return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
      })) {
    err = ::GetLastError();
  }
  if (err) InNativeView([&] { return ::DeleteFileW(temp.c_str()); });
  return err;
}

bool GetFileId(const NativePath& path, FileId& id) {
  const NativePath target = LongPathForm(path);
  // Attributes only, shared every way; backup semantics opens a folder too.
  FileHandle item(InNativeView([&] {
    return ::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  }));
  BY_HANDLE_FILE_INFORMATION info;
  if (!item || !::GetFileInformationByHandle(item.get(), &info)) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  // The file index is the file system's to give: without one, every item
  // would have the same identity.
  return id.index != 0;
}

LocalTime LocalNow() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

int64_t TickMs() { return static_cast<int64_t>(::GetTickCount64()); }

void SleepMs(uint32_t ms) { ::Sleep(ms); }

NativePath ModulePath(void* module) {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(static_cast<HMODULE>(module), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return NativePath();
    if (n < buf.size()) return NativePath(buf.data(), n);
    if (buf.size() >= 32768) return NativePath();  // refuse rather than cut
    buf.resize(buf.size() * 2);
  }
}

std::string ModuleFileName() { return FromNative(ModulePath()); }

std::string SystemErrorText(uint32_t code) {
  // Wide, then Shift_JIS with code page 932 named: the ANSI form would come in
  // whatever code page the system has (UTF-8 on a Windows with that option).
  wchar_t buf[1000] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                                   static_cast<DWORD>(std::size(buf) - 1), nullptr);
  return FromNative(NativePath(buf, n));
}

}  // namespace plat
