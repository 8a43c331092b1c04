// POSIX side of the path convention: the program's paths use backslash
// separators; the disk wants slashes. Only for the POSIX implementations.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

// Backslash characters become slashes (never a 0x5C second byte).
std::string ToPosixPath(const std::string& path);
// Slashes become backslashes.
std::string FromPosixPath(const std::string& path);
// Maps errno onto the Win32 error code Windows gives in the same case. For
// ENOENT it tells a missing file (2) from a missing folder on the way (3).
uint32_t ErrnoToWin32(int err, const std::string& posixPath);

}  // namespace plat
