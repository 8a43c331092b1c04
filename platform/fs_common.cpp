// The file-system calls made of others, the same on both builds (see fs.h).
#include "platform/file_io.h"
#include "platform/fs.h"

#include "platform/file_io.h"
#include "platform/filefind.h"

namespace plat {

bool PathExists(const NativePath& path) {
  NativePath p = path;
  if (!p.empty() && p.back() == '\\' && LastSeparator(p) + 1 == p.size()) p.pop_back();
  return GetAttributes(p) != kInvalidAttributes;
}

uint32_t ReadAll(const NativePath& path, std::string& out, bool shared, uint64_t maxBytes) {
  // The size as the folder lists it, looked at before anything is allocated.
  // A pattern would list some other file, never the one named by path.
  if (maxBytes != UINT64_MAX && !HasWildcard(path)) {
    plat::FileFinder finder;
    if (finder.Start(path)) {
      finder.Next();
      if (!finder.IsDirectory() && finder.GetLength() > maxBytes) {
        out.clear();
        return kErrFileTooLarge;
      }
    }
  }
  return io::ReadWhole(path, out, shared);
}

NativePath ModuleFolder() {
  const NativePath file = ModulePath();
  const size_t sep = LastSeparator(file);
  return sep == NativePath::npos ? NativePath() : file.substr(0, sep);
}

uint32_t CopyFolderMarks(const NativePath& source, const NativePath& target) {
  uint32_t err = kErrSuccess;
  const uint32_t attributes = GetAttributes(source, &err);
  if (attributes == kInvalidAttributes) return err;
  // A new folder has none of the marks: nothing to set then.
  return (attributes & kAttrMarks) ? io::SetAttributes(target, attributes & kAttrMarks) : kErrSuccess;
}

}  // namespace plat
