// The program's side of the launch contract (core/launch.h): the parameter
// file beside the program, read, deleted and parsed into the SelectionList,
// with the kind of every selected item asked of the disk; and the file reads
// that sequence makes.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch.h"
#include "platform/native_path.h"

namespace engine {

// Fills list from the parameter file's content, one entry per quote pair,
// each with its kind: a plain file, else an existing folder (one trailing
// backslash ignored). False as soon as an entry is neither (the list then ends
// with that entry, kind file). A text without a complete quote pair gives true
// and count 0.
bool ParseParameterText(const std::string& text, core::SelectionList& list);

// Full native path of the parameter file: the program's folder + "\" +
// "lkpara.dat" (the message that names it shows its Shift_JIS form).
plat::NativePath ParameterFileBesideProgram();

// The load sequence: token check, read of the parameter file, its deletion
// right after a successful read, parsing. True with a non-empty list, or false
// with message = the refusal to show (stop icon); the caller then closes. A
// file that cannot be read, or is larger than core::contract::kMaxParameterFileBytes,
// is refused with the read-failure message and left where it is (it was not
// read; the next hand-off replaces it).
bool LoadSelection(const std::string& commandTail, core::SelectionList& list, std::string& message);

// Reads the whole file byte for byte (plat::ReadAll). True with error empty, or
// false with content empty and error = FileExceptionText of the cause
// (file_error.h); a file larger than maxBytes (by its listed size) is not read
// at all: error = "エラー詳細：" + the too-large cause text.
bool ReadWholeFile(const plat::NativePath& path, std::string& content, std::string& error,
                   uint64_t maxBytes = UINT64_MAX);

// Deletes every file matching the wildcard path. True if at least one was
// deleted and none failed; false if nothing matched (error untouched) or a
// deletion failed (error = FileExceptionText of the cause; the loop ends there).
bool DeleteMatchingFiles(const plat::NativePath& pattern, std::string& error);

}  // namespace engine
