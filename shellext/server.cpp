// The library's entry points: the loader's entry, the class object of the one
// class it serves, and the answer whether it may be unloaded.
#include <windows.h>

#include <new>

#include "shellext/class_factory.h"
#include "shellext/class_id.h"
#include "shellext/server.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) shellext::SetThisModule(instance);
  return TRUE;
}

// A new class factory for the extension's own class, asked for iid.
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, shellext::kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  shellext::CClassFactory* factory = new (std::nothrow) shellext::CClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  return shellext::QueryNewObject(factory, iid, out);
}

// S_OK when no factory and no extension object is alive, else S_FALSE.
STDAPI DllCanUnloadNow() { return shellext::LiveObjects() == 0 ? S_OK : S_FALSE; }
