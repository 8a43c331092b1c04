// The hand-off, Win32 part (see handoff_win32.h).
#include "shellext/handoff_win32.h"

#include <shellapi.h>

#include "engine/launch_contract.h"
#include "platform/handle.h"
#include "shellext/handoff.h"
#include "shellext/texts.h"

namespace shellext {

namespace {

// Results of ShellExecuteA up to this value are errors.
constexpr INT_PTR kLastShellExecuteError = 32;
// DragQueryFileA's index that asks for the number of items.
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

void ShowMessage(const std::string& text) { ::MessageBoxA(nullptr, text.c_str(), contract::kCaption, MB_OK); }

}  // namespace

std::string ModuleFileNameOf(HMODULE module) {
  std::string name(MAX_PATH, '\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameA(module, &name[0], static_cast<DWORD>(name.size()));
    if (n == 0) return std::string();
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    if (name.size() >= 32768) return std::string();  // refuse rather than cut
    name.resize(name.size() * 2);
  }
}

HRESULT CollectDropPaths(IDataObject* data, std::vector<std::string>& paths) {
  paths.clear();
  if (!data) return E_INVALIDARG;
  StgMedium medium;
  if (!medium.Get(data, CF_HDROP)) return E_INVALIDARG;
  GlobalLockGuard lock(medium.Global());
  HDROP drop = static_cast<HDROP>(lock.Data());
  if (!drop) return E_INVALIDARG;
  const UINT count = ::DragQueryFileA(drop, kDropItemCount, nullptr, 0);
  if (count == 0) return E_INVALIDARG;
  std::vector<std::string> found;
  found.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    // The length first, so that no path is ever cut to a fixed buffer.
    const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
    if (length == 0) return E_INVALIDARG;
    std::string path(length + 1, '\0');
    const UINT got = ::DragQueryFileA(drop, i, &path[0], length + 1);
    if (got != length) return E_INVALIDARG;
    path.resize(got);
    found.push_back(std::move(path));
  }
  paths.swap(found);
  return S_OK;
}

int WriteParameterFile(const std::string& path, const std::string& text, DWORD& error) {
  plat::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
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

HRESULT HandOff(IDataObject* data, const std::string& directory) {
  std::vector<std::string> paths;
  HRESULT collected = CollectDropPaths(data, paths);
  if (FAILED(collected)) return collected;
  std::string text;
  if (BuildParameterText(paths, text) != 0) return E_INVALIDARG;

  const std::string parameterPath = ParameterFilePath(directory);
  DWORD error = 0;
  // Without its own folder the extension would write wherever the caller's
  // current folder is, and start nothing sensible.
  if (directory.empty() || WriteParameterFile(parameterPath, text, error) != 0) {
    ShowMessage(CreateFailedMessage(parameterPath));
    return S_OK;
  }
  // The full path: without a folder the system looks for the program beside
  // the calling program only (Explorer's own folder).
  const std::string program = ProgramPath(directory);
  INT_PTR started = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, texts::kOpenVerb, program.c_str(), contract::kLaunchToken, nullptr, SW_SHOW));
  if (started <= kLastShellExecuteError) ShowMessage(texts::kStartFailed);
  return S_OK;
}

}  // namespace shellext
