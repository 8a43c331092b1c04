// File-system calls on Win32 through the wide functions, every path in its
// long form (see fs.h).
#include <windows.h>

#include <vector>

#include "platform/fs.h"
#include "platform/handle.h"

namespace plat {

uint32_t GetAttributes(const NativePath& path, uint32_t* err) {
  DWORD attrs = ::GetFileAttributesW(LongPathForm(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES && err) *err = ::GetLastError();
  return attrs;
}

uint32_t ReadAll(const NativePath& path, std::string& out) {
  out.clear();
  // Read access, no sharing: nobody may write the file while we read it.
  FileHandle file(::CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
  if (::DeleteFileW(LongPathForm(path).c_str())) return kErrSuccess;
  return ::GetLastError();
}

uint32_t CreateFolder(const NativePath& path) {
  if (::CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) return kErrSuccess;
  return ::GetLastError();
}

namespace {

// CopyFileExW's progress routine: asks the caller's progress after every chunk
// (and at the start of each stream) and stops the copy when it says so.
DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                   HANDLE, HANDLE, LPVOID data) {
  return static_cast<CopyProgress*>(data)->Continue() ? PROGRESS_CONTINUE : PROGRESS_CANCEL;
}

}  // namespace

uint32_t CopyFileNoReplace(const NativePath& source, const NativePath& destination, CopyProgress* progress) {
  // The system's whole-file copy with fail-if-exists; it brings attributes and
  // the last-write time along and removes a partial destination itself.
  const NativePath dst = LongPathForm(destination);
  if (::CopyFileExW(LongPathForm(source).c_str(), dst.c_str(), progress ? CopyProgressRoutine : nullptr, progress,
                    nullptr, COPY_FILE_FAIL_IF_EXISTS)) {
    return kErrSuccess;
  }
  const DWORD err = ::GetLastError();
  // A stopped copy leaves nothing behind, whether or not the system removed
  // the partial file: with fail-if-exists the destination was made by this call.
  if (err == ERROR_REQUEST_ABORTED) ::DeleteFileW(dst.c_str());
  return err;
}

bool GetFolderId(const NativePath& path, FileId& id) {
  FileHandle folder(::CreateFileW(LongPathForm(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(folder.get(), &info)) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

LocalTime LocalNow() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

int64_t TickMs() { return static_cast<int64_t>(::GetTickCount64()); }

void SleepMs(uint32_t ms) { ::Sleep(ms); }

NativePath ModulePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return NativePath();
    if (n < buf.size()) return NativePath(buf.data(), n);
    if (buf.size() >= 32768) return NativePath();  // refuse rather than cut
    buf.resize(buf.size() * 2);
  }
}

std::string ModuleFileName() { return FromNative(ModulePath()); }

std::string SystemErrorText(uint32_t code) {
  char buf[1000] = {};
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                   sizeof(buf) - 1, nullptr);
  return std::string(buf);
}

}  // namespace plat
