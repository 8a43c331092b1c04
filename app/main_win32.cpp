// Larkspan.exe entry point: the program's start-up, then the end.
#include <windows.h>

#include "app/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  app::Application().Run();
  return 0;
}
