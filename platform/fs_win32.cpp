// File-system calls on Win32 through the wide functions, every path in its
// long form (see fs.h).
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/file_io.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/native_view_win32.h"
#include "platform/win32_layout.h"

namespace plat {

uint32_t GetAttributes(const NativePath& path, uint32_t* err) {
  const NativePath target = LongPathForm(path);
  DWORD attrs = InNativeView([&] { return ::GetFileAttributesW(target.c_str()); });
  if (attrs == INVALID_FILE_ATTRIBUTES && err) *err = ::GetLastError();
  return attrs;
}

bool FollowedFileSize(const NativePath& path, uint64_t& size) {
  const NativePath target = LongPathForm(path);
  // Without FILE_FLAG_OPEN_REPARSE_POINT the open follows a link.
  FileHandle file(InNativeView([&] {
    return ::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  }));
  LARGE_INTEGER got;
  if (!file || !::GetFileSizeEx(file.get(), &got)) return false;
  size = static_cast<uint64_t>(got.QuadPart);
  return true;
}

uint32_t io::ReadWhole(const NativePath& path, std::string& out, bool shared) {
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

HANDLE HandleOf(const io::File& file) { return reinterpret_cast<HANDLE>(file.handle); }

// The answers of a stream listing that mean "no stream here": none at all (a
// folder), or a file system without streams (FAT32, exFAT; Wine, whose
// FindFirstStreamW is a stub and whose FileStreamInfo is refused).
bool NoStreamsListed(DWORD err) {
  return err == ERROR_HANDLE_EOF || err == ERROR_INVALID_FUNCTION || err == ERROR_INVALID_PARAMETER ||
         err == ERROR_NOT_SUPPORTED || err == ERROR_CALL_NOT_IMPLEMENTED;
}

// The progress routine of the system's copy: asked per chunk on Windows.
DWORD CALLBACK SystemCopyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                                  HANDLE, LPVOID data) {
  auto* progress = static_cast<CopyProgress*>(data);
  return !progress || progress->Continue() ? PROGRESS_CONTINUE : PROGRESS_CANCEL;
}

}  // namespace

namespace io {

uint32_t File::Close() {
  if (!IsOpen()) return kErrSuccess;
  const BOOL closed = ::CloseHandle(HandleOf(*this));
  handle = kNone;
  return closed ? 0u : ::GetLastError();
}

uint32_t OpenSource(const NativePath& path, File& file, Facts& facts) {
  const NativePath target = LongPathForm(path);
  HANDLE in = InNativeView([&] {
    return ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  });
  if (in == INVALID_HANDLE_VALUE) return ::GetLastError();
  file.handle = reinterpret_cast<intptr_t>(in);
  // The attributes and times by one cheap query (the all-in-one
  // GetFileInformationByHandle also asks the volume for its serial).
  FILE_BASIC_INFO info;
  if (!::GetFileInformationByHandleEx(in, FileBasicInfo, &info, sizeof(info))) return ::GetLastError();
  if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
  facts.attributes = info.FileAttributes;
  facts.lastWrite = static_cast<uint64_t>(info.LastWriteTime.QuadPart);
  return kErrSuccess;
}

uint32_t CreateTarget(const NativePath& path, File& file) {
  // CREATE_NEW: an existing destination is an error and stays untouched.
  const NativePath target = LongPathForm(path);
  HANDLE out = InNativeView([&] {
    return ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  });
  if (out == INVALID_HANDLE_VALUE) return ::GetLastError();
  file.handle = reinterpret_cast<intptr_t>(out);
  return kErrSuccess;
}

uint32_t Read(File& file, char* buffer, size_t size, size_t* got) {
  DWORD read = 0;
  if (!::ReadFile(HandleOf(file), buffer, static_cast<DWORD>(size), &read, nullptr)) return ::GetLastError();
  *got = read;
  return kErrSuccess;
}

uint32_t Write(File& file, const char* data, size_t size) {
  DWORD err = 0;
  return WriteWhole(HandleOf(file), data, static_cast<DWORD>(size), &err) ? 0u : err;
}

uint32_t NamedStreams(File& source, const NativePath&, std::vector<NativePath>& names) {
  names.clear();
  // From the open file (FindFirstStreamW would open it again by name).
  std::vector<LONGLONG> buffer(512);  // 8-byte aligned, as the entries are
  while (!::GetFileInformationByHandleEx(HandleOf(source), FileStreamInfo, buffer.data(),
                                         static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
    const DWORD err = ::GetLastError();
    if (err == ERROR_MORE_DATA && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    return NoStreamsListed(err) ? 0u : static_cast<uint32_t>(err);
  }
  std::vector<std::u16string> streams;
  if (!layout::NamedDataStreams(reinterpret_cast<const unsigned char*>(buffer.data()),
                                buffer.size() * sizeof(LONGLONG), streams))
    return ERROR_INVALID_DATA;
  for (const std::u16string& stream : streams) names.emplace_back(stream.begin(), stream.end());
  return kErrSuccess;
}

NativePath StreamPath(const NativePath& file, const NativePath& stream) { return file + L':' + stream; }

bool HoldsNamedStreams(File& target) {
  DWORD flags = 0;
  return ::GetVolumeInformationByHandleW(HandleOf(target), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_NAMED_STREAMS) != 0;
}

uint32_t FinishTarget(File& target, const Facts& facts) {
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(facts.lastWrite);
  written.dwHighDateTime = static_cast<DWORD>(facts.lastWrite >> 32);
  const DWORD err = ::SetFileTime(HandleOf(target), nullptr, nullptr, &written) ? 0 : ::GetLastError();
  const uint32_t closed = target.Close();
  return err ? err : closed;
}

uint32_t SetAttributes(const NativePath& path, uint32_t attributes) {
  const NativePath target = LongPathForm(path);
  return InNativeView([&] { return ::SetFileAttributesW(target.c_str(), attributes); }) ? 0u
                                                                                         : ::GetLastError();
}

uint32_t SystemCopy(const NativePath& source, const NativePath& destination, CopyProgress* progress) {
  // Without COPY_FILE_ALLOW_DECRYPTED_DESTINATION the system encrypts the copy
  // or fails (ERROR_ENCRYPTION_FAILED); it keeps the time and attributes itself
  // and removes the copy when the routine cancels it. It runs in the view the
  // system gives, not the 64-bit one: its routine pumps messages, which must
  // not happen with redirection off (an encrypted file has no business in
  // System32).
  const NativePath from = LongPathForm(source), to = LongPathForm(destination);
  if (::CopyFileExW(from.c_str(), to.c_str(), SystemCopyProgress, progress, nullptr, COPY_FILE_FAIL_IF_EXISTS))
    return kErrSuccess;
  const DWORD err = ::GetLastError();
  if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) ::DeleteFileW(to.c_str());
  return err;
}

}  // namespace io


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
  // Flushed before the rename: the rename flushes nothing (write through
  // included), and a power loss after a rename whose file is still in the
  // cache leaves an empty or partial file in place of the old one.
  if (WriteWhole(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &err) && !::FlushFileBuffers(file.get()))
    err = ::GetLastError();
  if (!::CloseHandle(file.release()) && !err) err = ::GetLastError();
  // One rename puts the new content in place. Within one folder the move is a
  // rename, never a copy; write through asks the file system to log it before
  // the call returns.
  if (!err && !InNativeView([&] {
        return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
      })) {
    err = ::GetLastError();
  }
  if (err) InNativeView([&] { return ::DeleteFileW(temp.c_str()); });
  return err;
}

uint32_t ReadBack(const NativePath& path, CopyProgress& progress) {
  // Unbuffered: read sizes a multiple of the sector size (4096 serves 512- and
  // 4096-byte sectors) into page-aligned memory. A volume that refuses
  // unbuffered reads (some network shares) is read through the cache.
  constexpr DWORD kChunk = 256 << 10;
  const NativePath target = LongPathForm(path);
  auto open = [&](DWORD flags) {
    return InNativeView([&] {
      return ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    });
  };
  FileHandle file(open(FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN));
  if (!file && ::GetLastError() == ERROR_INVALID_PARAMETER) file.reset(open(FILE_FLAG_SEQUENTIAL_SCAN));
  if (!file) return ::GetLastError();
  // One buffer for every read-back of the thread, kept to the end of the
  // process: allocating and freeing it per file cost more than reading a
  // small file.
  thread_local void* const memory = ::VirtualAlloc(nullptr, kChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!memory) return ERROR_NOT_ENOUGH_MEMORY;
  char* buffer = static_cast<char*>(memory);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, kChunk, &got, nullptr)) return ::GetLastError();
    if (got == 0) return kErrSuccess;
    progress.Copied(buffer, got);
    if (!progress.Continue()) return kErrRequestAborted;
  }
}

bool GetFileId(const NativePath& path, FileId& id) {
  const NativePath target = LongPathForm(path);
  // Attributes only, shared every way; backup semantics opens a folder too.
  FileHandle item(InNativeView([&] {
    return ::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  }));
  if (!item) return false;
  // The 128-bit id with the 64-bit volume serial (Windows 8 and later; the
  // headers show the class only to builds for those). ReFS and Dev Drive need
  // all 128 bits: their 64-bit index is not unique.
  constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
  struct {
    ULONGLONG volume;
    BYTE id[16];
  } wide;
  if (::GetFileInformationByHandleEx(item.get(), kFileIdInfo, &wide, sizeof(wide))) {
    id.volume = wide.volume;
    std::memcpy(&id.index, wide.id, 8);
    std::memcpy(&id.indexHigh, wide.id + 8, 8);
  } else {
    // Refused (Windows 7, some network file systems): the 64-bit index.
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(item.get(), &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.indexHigh = 0;
  }
  // The file id is the file system's to give: without one, every item would
  // have the same identity.
  return id.index != 0 || id.indexHigh != 0;
}

uint32_t GetFileFacts(const NativePath& path, FileFacts& facts) {
  // By name, with no handle of ours: under Wine an open costs a round trip to
  // its server, while these answer from the disk (a backup's second run asks
  // twice per file).
  const NativePath target = LongPathForm(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!InNativeView([&] { return ::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data); }))
    return ::GetLastError();
  facts.attributes = data.dwFileAttributes;
  facts.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  facts.lastWrite = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                    data.ftLastWriteTime.dwLowDateTime;
  facts.streams.clear();
  // The data streams, the main one "::$DATA" first; others ":name:$DATA".
  WIN32_FIND_STREAM_DATA stream;
  FindHandle find(
      InNativeView([&] { return ::FindFirstStreamW(target.c_str(), FindStreamInfoStandard, &stream, 0); }));
  if (!find) {
    const DWORD err = ::GetLastError();
    return NoStreamsListed(err) ? 0u : static_cast<uint32_t>(err);
  }
  do {
    if (std::wcscmp(stream.cStreamName, L"::$DATA") != 0)
      facts.streams.emplace_back(stream.cStreamName, static_cast<uint64_t>(stream.StreamSize.QuadPart));
  } while (::FindNextStreamW(find.get(), &stream));
  return ::GetLastError() == ERROR_HANDLE_EOF ? 0u : ::GetLastError();
}

uint32_t MakeHardLink(const NativePath& link, const NativePath& target) {
  const NativePath name = LongPathForm(link), existing = LongPathForm(target);
  return InNativeView([&] { return ::CreateHardLinkW(name.c_str(), existing.c_str(), nullptr); }) ? 0u
                                                                                                  : ::GetLastError();
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


std::string SystemErrorText(uint32_t code) {
  // Wide, then Shift_JIS with code page 932 named: the ANSI form would come in
  // whatever code page the system has (UTF-8 on a Windows with that option).
  wchar_t buf[1000] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                                   static_cast<DWORD>(std::size(buf) - 1), nullptr);
  return FromNative(NativePath(buf, n));
}

}  // namespace plat
