// Windows' answers read from their bytes as Microsoft documents their layout,
// the same code on both builds, so that the native tests read them too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plat::layout {

// The named data streams of a FILE_STREAM_INFO chain as
// GetFileInformationByHandleEx(FileStreamInfo) fills it: each entry holds
// NextEntryOffset (bytes to the next entry, 0 on the last), StreamNameLength
// (bytes), StreamSize, StreamAllocationSize, and the UTF-16 name
// ":name:$DATA", little-endian. The main stream ("::$DATA", which NTFS and
// SMB list for every file) and streams of any other type are left out. False,
// with names empty, when an entry does not fit in size (a buffer too small for
// the list).
bool NamedDataStreams(const unsigned char* bytes, size_t size, std::vector<std::u16string>& names);

}  // namespace plat::layout
