// The extension's side of the hand-off, portable part: the parameter file's
// content made from the selected paths and the files found beside the
// extension's own library.
//
// The parameter file is a concatenation of entries: '"', path, '"', ' ' (no
// header, no line break, no terminator); the program pairs the quotes back.
#pragma once

#include <string>
#include <vector>

namespace shellext {

// Builds the parameter file's content: for each path, in order, a double quote,
// the path's bytes, a double quote and a space. 0 on success. -1 with text empty
// when paths is empty or one of them is empty or holds a double quote or a NUL
// byte: the program could not read such a list back as it was selected.
int BuildParameterText(const std::vector<std::string>& paths, std::string& text);

// Drive and folders of a module's full file name, ending with its last
// separator (backslash or slash). The name is wide, as the system gives it, so
// that a folder with no Shift_JIS form is kept exactly. "" when the name has
// no separator.
std::wstring ModuleDirectory(const std::wstring& moduleFileName);

// The program beside the extension: directory + "Larkspan.exe". directory ends
// with a separator (as ModuleDirectory gives it).
std::wstring ProgramPath(const std::wstring& directory);

// The parameter file beside the extension: directory + "lkpara.dat".
std::wstring ParameterFilePath(const std::wstring& directory);

}  // namespace shellext
