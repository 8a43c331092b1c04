// The hand-off, Win32 part: the selection read from the shell's data object,
// the parameter file written beside the extension's library, the program
// started from there, and the two messages when that fails.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace shellext {

// Full file name of module (the running program for nullptr), never cut: the
// buffer grows as needed. "" when the system cannot tell.
std::string ModuleFileNameOf(HMODULE module);

// Every path of the data object's drop-file list (CF_HDROP), in list order,
// each fetched whole however long it is. S_OK with paths filled; E_INVALIDARG
// with paths empty when the data object gives no drop-file list, the list is
// empty or a path cannot be fetched. The medium is unlocked and released on
// every path that got it.
HRESULT CollectDropPaths(IDataObject* data, std::vector<std::string>& paths);

// Creates the file at path (replacing any, read sharing) holding exactly text,
// and closes it. 0 on success; -1 with error = the system error code when it
// cannot be created or not every byte was written.
int WriteParameterFile(const std::string& path, const std::string& text, DWORD& error);

// The whole hand-off for an extension whose library lies in directory (ending
// with a separator): the selection of data goes into directory's "lkpara.dat",
// then directory's "Larkspan.exe" is started with "LarkspanCall". E_INVALIDARG
// (nothing written, nothing started, no message) when the selection cannot be
// read; otherwise S_OK, after a message box (caption "Larkspan", OK only, no
// icon, no owner) when the file cannot be written (the program is then not
// started) or the program cannot be started.
HRESULT HandOff(IDataObject* data, const std::string& directory);

}  // namespace shellext
