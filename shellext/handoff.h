// The extension's side of the hand-off, portable part: the files found beside
// the extension's own library (the parameter file's content is the launch
// contract's, core/launch.h).
#pragma once

#include <string>

namespace shellext {

// Drive and folders of a module's full file name, ending with its last
// separator (backslash or slash). The name is wide, as the system gives it, so
// that a folder with no Shift_JIS form is kept exactly. "" when the name has
// no separator.
std::wstring ModuleDirectory(const std::wstring& moduleFileName);

// The program beside the extension: directory + "Larkspan.exe". directory ends
// with a separator (as ModuleDirectory gives it).
std::wstring ProgramPath(const std::wstring& directory);

// The parameter file beside the extension: directory + "lkpara.dat".
std::wstring ParameterFileIn(const std::wstring& directory);

}  // namespace shellext
