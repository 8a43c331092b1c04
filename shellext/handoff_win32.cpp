// The hand-off, Win32 part (see handoff_win32.h).
#include "shellext/handoff_win32.h"

#include <shellapi.h>

#include "core/launch.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/native_path.h"
#include "shellext/handoff.h"
#include "shellext/texts.h"

namespace shellext {

namespace {

// Results of ShellExecuteW up to this value are errors.
constexpr INT_PTR kLastShellExecuteError = 32;
// DragQueryFileW's index that asks for the number of items.
constexpr UINT kDropItemCount = 0xFFFFFFFF;

// A storage medium from IDataObject::GetData, released exactly once.
class StgMedium {
 public:
  StgMedium() = default;
  ~StgMedium() {
    if (filled_) ::ReleaseStgMedium(&medium_);
  }
  StgMedium(const StgMedium&) = delete;
  StgMedium& operator=(const StgMedium&) = delete;

  // Asks data for format as an HGLOBAL; false if it has none.
  bool Get(IDataObject* data, CLIPFORMAT format) {
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (FAILED(data->GetData(&request, &medium_))) return false;
    filled_ = true;
    return medium_.tymed == TYMED_HGLOBAL && medium_.hGlobal != nullptr;
  }
  HGLOBAL Global() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_ = {};
  bool filled_ = false;
};

// A lock on global memory, unlocked exactly once.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(::GlobalLock(memory)) {}
  ~GlobalLockGuard() {
    if (data_) ::GlobalUnlock(memory_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* Data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

// The parameter file and the texts are Shift_JIS whatever the system's ANSI
// code page is: they cross with code page 932 named (plat::ToNative and
// FromNative), never through CP_ACP.
std::wstring FromShiftJis(const std::string& text) { return plat::ToNative(text); }

// Shift_JIS text of wide when every character has its own exact form: no
// default character, no best fit (é to e, ¥ to the backslash byte), and the
// text converts back to the same wide text. false with out empty otherwise.
bool ToShiftJisExactly(const std::wstring& wide, std::string& out) {
  bool exact = false;
  out = wide.empty() ? std::string() : plat::FromNative(wide, &exact);
  if (exact && plat::ToNative(out) == wide) return true;
  out.clear();
  return false;
}

// The short path of path, whole; "" when it fails. GetShortPathNameW gives
// the length written, or the size needed (terminator included) when the
// buffer is too small, or 0 on failure.
std::wstring ShortPathOf(const std::wstring& path) {
  std::wstring answer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {  // the name can change between two calls
    const DWORD n = ::GetShortPathNameW(path.c_str(), &answer[0], static_cast<DWORD>(answer.size()));
    if (n == 0) return std::wstring();
    if (n < answer.size()) {
      answer.resize(n);
      return answer;
    }
    answer.resize(n);
  }
  return std::wstring();
}

// True when shortPath leads back to item: its long form is item (case
// ignored, as the file system compares names), or both open the same file.
// A short name is not always unique: Wine 8 hashes long names into short ones,
// and then a short name opens whichever of the colliding items comes first.
bool LeadsBack(const std::wstring& shortPath, const std::wstring& item) {
  const std::wstring longPath = plat::LongPathName(shortPath);
  if (::CompareStringOrdinal(longPath.c_str(), static_cast<int>(longPath.size()), item.c_str(),
                                                  static_cast<int>(item.size()), TRUE) == CSTR_EQUAL) {
    return true;
  }
  plat::FileId a, b;
  return plat::GetFileId(shortPath, a) && plat::GetFileId(item, b) && a == b;
}

void ShowMessage(const std::wstring& text, UINT icon = 0) {
  ::MessageBoxW(nullptr, text.c_str(), FromShiftJis(core::contract::kCaption).c_str(), MB_OK | icon);
}

}  // namespace

HRESULT CollectDropPaths(IDataObject* data, std::vector<std::wstring>& paths) {
  paths.clear();
  if (!data) return E_INVALIDARG;
  StgMedium medium;
  if (!medium.Get(data, CF_HDROP)) return E_INVALIDARG;
  GlobalLockGuard lock(medium.Global());
  HDROP drop = static_cast<HDROP>(lock.Data());
  if (!drop) return E_INVALIDARG;
  const UINT count = ::DragQueryFileW(drop, kDropItemCount, nullptr, 0);
  if (count == 0) return E_INVALIDARG;
  std::vector<std::wstring> found;
  found.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    // The length first, so that no path is ever cut to a fixed buffer.
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) return E_INVALIDARG;
    std::wstring path(length + 1, L'\0');
    const UINT got = ::DragQueryFileW(drop, i, &path[0], length + 1);
    if (got != length) return E_INVALIDARG;
    path.resize(got);
    found.push_back(std::move(path));
  }
  paths.swap(found);
  return S_OK;
}

int HandOffPathOf(const std::wstring& item, std::string& path) {
  if (ToShiftJisExactly(item, path)) return 0;
  const std::wstring shortPath = ShortPathOf(item);
  if (!shortPath.empty() && ToShiftJisExactly(shortPath, path) && LeadsBack(shortPath, item)) return 0;
  path.clear();
  return -1;
}

int WriteParameterFile(const std::wstring& path, const std::string& text, DWORD& error) {
  plat::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    error = ::GetLastError();
    return -1;
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    error = ::GetLastError();
    return -1;
  }
  if (written != text.size()) {
    error = ERROR_HANDLE_DISK_FULL;
    return -1;
  }
  file.reset();
  return 0;
}

HRESULT HandOff(IDataObject* data, const std::wstring& directory) {
  std::vector<std::wstring> items;
  HRESULT collected = CollectDropPaths(data, items);
  if (FAILED(collected)) return collected;
  // Every item is named before anything is written: one that cannot be named
  // stops the whole hand-off rather than leave a part of the selection out.
  std::vector<std::string> paths(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    if (HandOffPathOf(items[i], paths[i]) != 0) {
      ShowMessage(FromShiftJis(texts::kNoShiftJisHead) + items[i] + FromShiftJis(texts::kNoShiftJisTail),
                  MB_ICONEXCLAMATION);
      return S_OK;
    }
  }
  std::string text;
  if (!core::BuildParameterText(paths, text)) return E_INVALIDARG;

  const std::wstring parameterPath = ParameterFileIn(directory);
  DWORD error = 0;
  // Without its own folder the extension would write wherever the caller's
  // current folder is, and start nothing sensible.
  if (directory.empty() || WriteParameterFile(parameterPath, text, error) != 0) {
    ShowMessage(FromShiftJis(texts::kCreateFailedHead) + parameterPath + FromShiftJis(texts::kCreateFailedTail));
    return S_OK;
  }
  // The full path: without a folder the system looks for the program beside
  // the calling program only (Explorer's own folder).
  const std::wstring program = ProgramPath(directory);
  const std::wstring verb = FromShiftJis(texts::kOpenVerb), token = FromShiftJis(core::contract::kLaunchToken);
  INT_PTR started = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, verb.c_str(), program.c_str(), token.c_str(), nullptr, SW_SHOW));
  if (started <= kLastShellExecuteError) ShowMessage(FromShiftJis(texts::kStartFailed));
  return S_OK;
}

}  // namespace shellext
