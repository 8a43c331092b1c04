// Larkspan.exe entry point. Runs the launch sequence: a refusal is shown as a
// stop message and ends the program. Until the main window exists, a complete
// selection is shown as an information message with its counts.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/launch.h"
#include "app/texts.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SelectionList list;
  std::string message;
  if (LoadSelection(CommandLineTail(::GetCommandLineA()), list, message) != 0) {
    ::MessageBoxA(nullptr, message.c_str(), texts::kCaption, MB_OK | MB_ICONSTOP);
    return 1;
  }
  int folders = 0;
  for (int kind : list.kinds) folders += kind == SelectionList::kFolder;
  char summary[128];
  std::snprintf(summary, sizeof(summary), "ファイル %d 件、フォルダ %d 件", list.count - folders, folders);
  ::MessageBoxA(nullptr, summary, texts::kCaption, MB_OK | MB_ICONINFORMATION);
  return 0;
}
