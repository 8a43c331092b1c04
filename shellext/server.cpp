// The library's entry points: the loader's entry, the class object of the one
// class it serves, and the answer whether it may be unloaded.
#include <windows.h>

#include "shellext/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Thread notifications stay on: the statically linked runtime needs them,
  // and its thread-local storage makes DisableThreadLibraryCalls fail anyway.
  if (reason == DLL_PROCESS_ATTACH) shellext::SetThisModule(instance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) { return shellext::GetClassObject(clsid, iid, out); }

STDAPI DllCanUnloadNow() { return shellext::CanUnloadNow(); }
