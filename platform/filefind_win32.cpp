// plat::FileFinder on FindFirstFileW/FindNextFileW.
#include <windows.h>

#include "platform/filefind.h"
#include "platform/fs.h"
#include "platform/native_view_win32.h"

struct plat::FileFinder::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool pending = false;  // data holds an entry not yet handed out
  ~Impl() {
    if (handle != INVALID_HANDLE_VALUE) ::FindClose(handle);
  }
};

plat::FileFinder::FileFinder() = default;
plat::FileFinder::~FileFinder() { Close(); }

void plat::FileFinder::Close() {
  impl_.reset();
  haveNext_ = haveCurrent_ = false;
}

bool plat::FileFinder::FetchNext(Entry& e) {
  if (!impl_) return false;
  if (!impl_->pending) {
    if (!::FindNextFileW(impl_->handle, &impl_->data)) {
      // The end of the listing, or a listing that broke off (network, media).
      const DWORD err = ::GetLastError();
      if (err != ERROR_NO_MORE_FILES) lastError_ = err;
      return false;
    }
  }
  impl_->pending = false;
  const WIN32_FIND_DATAW& d = impl_->data;
  e.native = d.cFileName;
  e.name = plat::FromNative(e.native);
  e.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  e.attributes = d.dwFileAttributes;
  // The listing names a reparse point's tag in this field (and only then).
  e.reparseTag = (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? d.dwReserved0 : 0;
  return true;
}

bool plat::FileFinder::Start(const plat::NativePath& pattern) {
  Close();
  auto impl = std::make_unique<Impl>();
  const plat::NativePath target = plat::LongPathForm(pattern);
  impl->handle = plat::InNativeView([&] { return ::FindFirstFileW(target.c_str(), &impl->data); });
  if (impl->handle == INVALID_HANDLE_VALUE) {
    lastError_ = ::GetLastError();
    return false;
  }
  lastError_ = 0;
  impl->pending = true;
  impl_ = std::move(impl);
  root_ = SearchRootOf(pattern);
  haveNext_ = FetchNext(next_);
  return haveNext_;
}
