// CFileFind on FindFirstFileA/FindNextFileA.
#include <windows.h>

#include "platform/filefind.h"
#include "platform/fs.h"

std::string SearchRootOf(const std::string& pattern);

struct CFileFind::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data{};
  bool pending = false;  // data holds an entry not yet handed out
  ~Impl() {
    if (handle != INVALID_HANDLE_VALUE) ::FindClose(handle);
  }
};

CFileFind::CFileFind() = default;
CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
  impl_.reset();
  haveNext_ = haveCurrent_ = false;
}

bool CFileFind::FetchNext(Entry& e) {
  if (!impl_) return false;
  if (!impl_->pending) {
    if (!::FindNextFileA(impl_->handle, &impl_->data)) return false;
  }
  impl_->pending = false;
  const WIN32_FIND_DATAA& d = impl_->data;
  e.name = d.cFileName;
  e.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  e.attributes = d.dwFileAttributes;
  return true;
}

int CFileFind::FindFile(const char* name) {
  Close();
  std::string pattern = name ? name : "*.*";
  auto impl = std::make_unique<Impl>();
  impl->handle = ::FindFirstFileA(pattern.c_str(), &impl->data);
  if (impl->handle == INVALID_HANDLE_VALUE) {
    lastError_ = ::GetLastError();
    return 0;
  }
  impl->pending = true;
  impl_ = std::move(impl);
  root_ = SearchRootOf(pattern);
  haveNext_ = FetchNext(next_);
  return haveNext_ ? 1 : 0;
}
