// The 64-bit view of the file system for this 32-bit program on 64-bit Windows
// (Win32 layer only). There WOW64 redirects a 32-bit program's access to
// %windir%\System32 (and a few other paths) to SysWOW64, the "\\?\" form
// included; a file that 64-bit Explorer handed over from System32 would be read
// from SysWOW64, a different file of the same name. Every file-system call of
// this layer runs through InNativeView, which turns the redirection off for
// that one call only: Microsoft's documentation warns that it is per thread
// and that loading a library fails while it is off, so it never stays off
// across a callback (the copy's progress pumps window messages). On 32-bit
// Windows nothing changes.
#pragma once

#include <windows.h>

namespace plat {

// True when this is a 32-bit process on 64-bit Windows; asked once.
inline bool RunsUnderWow64() {
  static const bool wow64 = [] {
    BOOL is = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &is) && is;
  }();
  return wow64;
}

// call() with file-system redirection off, its result and last error kept.
template <typename Call>
auto InNativeView(Call call) -> decltype(call()) {
  if (!RunsUnderWow64()) return call();
  PVOID previous = nullptr;
  const bool off = ::Wow64DisableWow64FsRedirection(&previous);
  auto result = call();
  const DWORD error = ::GetLastError();
  if (off) ::Wow64RevertWow64FsRedirection(previous);
  ::SetLastError(error);
  return result;
}

}  // namespace plat
