// Native paths on Win32: UTF-16 through code page 932 (see native_path.h).
#include <windows.h>

#include <vector>

#include "platform/native_path.h"
#include "platform/native_view_win32.h"

namespace plat {

namespace {
// The program's text is Shift_JIS by construction, so every conversion names
// code page 932 itself, never CP_ACP.
constexpr UINT kProgramCodePage = 932;

const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const NativePath& s, const wchar_t* prefix) { return s.rfind(prefix, 0) == 0; }

// True if a component after the first is empty (a doubled separator), "." or
// "..": the "\\?\" form takes every component literally, so such a path stays
// plain and the system resolves it as it always has.
bool HasRelativeParts(const NativePath& path, size_t from) {
  for (size_t start = from; start <= path.size();) {
    size_t end = path.find_first_of(L"\\/", start);
    if (end == NativePath::npos) end = path.size();
    const size_t len = end - start;
    if ((len == 0 && end < path.size()) || (len == 1 && path[start] == L'.') ||
        (len == 2 && path[start] == L'.' && path[start + 1] == L'.')) {
      return true;
    }
    start = end + 1;
  }
  return false;
}
}  // namespace

NativePath ToNative(const std::string& sjis) {
  if (sjis.empty()) return NativePath();
  const int n = ::MultiByteToWideChar(kProgramCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  NativePath out(static_cast<size_t>(n), L'\0');
  if (n > 0) ::MultiByteToWideChar(kProgramCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), &out[0], n);
  return out;
}

std::string FromNative(const NativePath& path, bool* exact) {
  if (exact) *exact = true;
  if (path.empty()) return std::string();
  BOOL usedDefault = FALSE;
  const int len = static_cast<int>(path.size());
  const int n = ::WideCharToMultiByte(kProgramCodePage, WC_NO_BEST_FIT_CHARS, path.data(), len, nullptr, 0, "?",
                                      &usedDefault);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(kProgramCodePage, WC_NO_BEST_FIT_CHARS, path.data(), len, &out[0], n, "?", &usedDefault);
  }
  if (exact) *exact = !usedDefault;
  return out;
}

NativePath JoinNative(const NativePath& folder, const NativePath& name) {
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
  return folder + L'\\' + name;
}

size_t LastSeparator(const NativePath& path) { return path.find_last_of(L"\\/"); }

bool HasWildcard(const NativePath& path) { return path.find_first_of(L"*?") != NativePath::npos; }

NativePath LongPathForm(const NativePath& path) {
  if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) return path;
  NativePath out;
  if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
      ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) && !HasRelativeParts(path, 3)) {
    out = kLongPrefix + path;
  } else if (path.size() > 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/') &&
             !HasRelativeParts(path, 2)) {
    out = kLongUncPrefix + path.substr(2);
  } else {
    return path;
  }
  for (wchar_t& c : out) {
    if (c == L'/') c = L'\\';
  }
  return out;
}

NativePath LongPathName(const NativePath& path) {
  // A generated short name always holds a "~" (NTFS "CAFE~1.TXT", Wine
  // "CAF_~CRT.TXT"): any other path is long already and is kept as given.
  if (path.find(L'~') == NativePath::npos) return path;
  // The plain form where it fits: Wine 8 hands a "\\?\" path back unchanged.
  const NativePath asked = path.size() < MAX_PATH ? path : LongPathForm(path);
  std::vector<wchar_t> buf(asked.size() + MAX_PATH);
  for (;;) {
    DWORD n = InNativeView([&] { return ::GetLongPathNameW(asked.c_str(), buf.data(), static_cast<DWORD>(buf.size())); });
    if (n == 0) return path;
    if (n < buf.size()) {
      NativePath out(buf.data(), n);
      if (asked == path) return out;
      // Back to the plain form the caller gave.
      if (StartsWith(out, kLongUncPrefix)) return L"\\\\" + out.substr(wcslen(kLongUncPrefix));
      if (StartsWith(out, kLongPrefix)) return out.substr(wcslen(kLongPrefix));
      return out;
    }
    buf.resize(n + 1);
  }
}

}  // namespace plat
