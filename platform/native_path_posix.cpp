// Native paths on POSIX: the program's Shift_JIS text itself (see native_path.h).
#include "platform/native_path.h"

#include "core/sjis.h"

namespace plat {

NativePath ToNative(const std::string& sjis) { return sjis; }

std::string FromNative(const NativePath& path, bool* exact) {
  if (exact) *exact = true;
  return path;
}

NativePath JoinNative(const NativePath& folder, const NativePath& name) {
  if (core::sjis::EndsWithChar(folder, '\\') || core::sjis::EndsWithChar(folder, '/')) return folder + name;
  return folder + '\\' + name;
}

size_t LastSeparator(const NativePath& path) { return core::sjis::FindLastSeparator(path); }

bool HasWildcard(const NativePath& path) { return path.find_first_of("*?") != NativePath::npos; }

NativePath LongPathForm(const NativePath& path) { return path; }

NativePath LongPathName(const NativePath& path) { return path; }

}  // namespace plat
