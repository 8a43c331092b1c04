// The library's entry points: the loader's entry, the class object of the one
// class it serves, and the answer whether it may be unloaded.
#include <windows.h>

#include "shellext/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    shellext::SetThisModule(instance);
    // Nothing here is kept per thread: Explorer's many threads need not call in.
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) { return shellext::GetClassObject(clsid, iid, out); }

STDAPI DllCanUnloadNow() { return shellext::CanUnloadNow(); }
