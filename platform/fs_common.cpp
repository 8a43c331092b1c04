// The file-system calls made of others, the same on both builds (see fs.h).
#include "platform/fs.h"

namespace plat {

bool PathExists(const NativePath& path) {
  NativePath p = path;
  if (!p.empty() && p.back() == '\\' && LastSeparator(p) + 1 == p.size()) p.pop_back();
  return GetAttributes(p) != kInvalidAttributes;
}

NativePath ModuleFolder() {
  const NativePath file = ModulePath();
  const size_t sep = LastSeparator(file);
  return sep == NativePath::npos ? NativePath() : file.substr(0, sep);
}

}  // namespace plat
