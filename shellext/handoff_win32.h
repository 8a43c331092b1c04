// The hand-off, Win32 part: the selection read wide from the shell's data
// object, each item named in Shift_JIS without ever naming another item, the
// parameter file written beside the extension's library, the program started
// from there, and the three messages when that cannot be done.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace shellext {

// Every path of the data object's drop-file list (CF_HDROP), wide, in list
// order, each fetched whole however long it is. S_OK with paths filled;
// E_INVALIDARG with paths empty when the data object gives no drop-file list,
// the list is empty or a path cannot be fetched. The medium is unlocked and
// released on every path that got it.
HRESULT CollectDropPaths(IDataObject* data, std::vector<std::wstring>& paths);

// The Shift_JIS path under which the program finds item (a full wide path):
// item itself when it converts exactly (no default character, no best fit, and
// back to the same wide text); otherwise item's short (8.3) path when the
// volume gives one that converts exactly and leads back to item. 0 with path
// set; -1 with path empty when there is neither: any other text could name a
// different file (best fit makes "Café.txt" "Cafe.txt").
int HandOffPathOf(const std::wstring& item, std::string& path);

// Creates the file at path (replacing any, read sharing) holding exactly text,
// and closes it. 0 on success; -1 with error = the system error code when it
// cannot be created or not every byte was written.
int WriteParameterFile(const std::wstring& path, const std::string& text, DWORD& error);

// The whole hand-off for an extension whose library lies in directory (ending
// with a separator): the selection of data goes into directory's "lkpara.dat",
// then directory's "Larkspan.exe" is started with "LarkspanCall". E_INVALIDARG
// (nothing written, nothing started, no message) when the selection cannot be
// read. Otherwise S_OK, after a message box (caption "Larkspan", OK only, no
// owner) when an item has no Shift_JIS path (exclamation icon, the item's
// path shown wide; nothing is written or started), when the file cannot be
// written (no icon; the program is then not started) or when the program
// cannot be started (no icon).
HRESULT HandOff(IDataObject* data, const std::wstring& directory);

}  // namespace shellext
