// Larkspan.exe entry point: the application object's start-up, then the end.
#include <windows.h>

#include "app/backup_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.Run();
  return 0;
}
