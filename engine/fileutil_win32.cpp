// The Win32-only utilities: the message pump and the shell's folder picker.
#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "engine/fileutil.h"

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// Pre-selects the folder in the buffer that lParam points to once the picker is up.
static int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data != 0) ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

int BrowseForFolder(HWND owner, const std::string& title, std::string& path, int mode) {
  char initial[MAX_PATH] = {};
  // A path too long for the picker's buffer is not pre-selected rather than cut.
  if (path.size() < sizeof(initial)) std::memcpy(initial, path.data(), path.size());
  BROWSEINFOA bi{};
  bi.hwndOwner = owner;
  bi.pidlRoot = nullptr;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  if (mode != 1) bi.ulFlags |= BIF_NONEWFOLDERBUTTON;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(initial);
  LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
  if (!pidl) return -1;
  char chosen[MAX_PATH] = {};
  BOOL ok = ::SHGetPathFromIDListA(pidl, chosen);
  ::CoTaskMemFree(pidl);
  if (!ok) return -1;
  path = chosen;
  return 0;
}
