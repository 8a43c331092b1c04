// Module-wide state of the extension library and the answers of its exports
// (see module.h).
#include "shellext/module.h"

#include <new>

#include "shellext/class_factory.h"
#include "shellext/class_id.h"

namespace shellext {

namespace {
// Factories and extension objects alive, plus server locks held. Explorer
// creates objects on the threads of several windows, so the count changes
// atomically.
LONG g_moduleRefs = 0;
HMODULE g_module = nullptr;
}  // namespace

void ModuleAddRef() { ::InterlockedIncrement(&g_moduleRefs); }
void ModuleRelease() { ::InterlockedDecrement(&g_moduleRefs); }
bool ModuleInUse() { return ::InterlockedCompareExchange(&g_moduleRefs, 0, 0) != 0; }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  CClassFactory* factory = new (std::nothrow) CClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  return QueryNewObject(factory, iid, out);
}

HRESULT CanUnloadNow() { return ModuleInUse() ? S_FALSE : S_OK; }

HMODULE ThisModule() { return g_module; }
void SetThisModule(HMODULE module) { g_module = module; }

}  // namespace shellext
