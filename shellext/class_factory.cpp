// The class factory (see class_factory.h).
#include "shellext/class_factory.h"

#include <new>

#include "shellext/context_menu.h"
#include "shellext/interface_table.h"
#include "shellext/module.h"

namespace shellext {

CClassFactory::CClassFactory() { ModuleAddRef(); }

CClassFactory::~CClassFactory() { ModuleRelease(); }

STDMETHODIMP CClassFactory::QueryInterface(REFIID iid, void** out) {
  const InterfaceEntry interfaces[] = {{&IID_IClassFactory, InterfaceOffset<IClassFactory>(this)}};
  return QueryFromTable(this, interfaces, iid, out);
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CClassFactory::Release() {
  LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  CShellExt* object = new (std::nothrow) CShellExt();
  if (!object) return E_OUTOFMEMORY;
  return QueryNewObject(object, iid, out);
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ModuleAddRef();
  } else {
    ModuleRelease();
  }
  return S_OK;
}

}  // namespace shellext
