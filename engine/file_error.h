// The causes of a failed file operation as the program names them: each system
// error code falls under one of fifteen causes (0..14), each with its text.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// File-exception cause code (0..14) for a Win32 error code.
int FileExceptionCause(uint32_t systemError);

// "エラー詳細：" followed by the text of a file-exception cause code (0..14).
std::string FileExceptionText(int cause);

}  // namespace engine
