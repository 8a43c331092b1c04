// The class factory (see class_factory.h).
#include "shellext/class_factory.h"

#include <new>

#include "shellext/context_menu.h"
#include "shellext/server.h"

namespace shellext {

CClassFactory::CClassFactory() { ObjectCreated(); }

CClassFactory::~CClassFactory() { ObjectDestroyed(); }

STDMETHODIMP CClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
  *out = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
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

STDMETHODIMP CClassFactory::LockServer(BOOL) { return S_OK; }

}  // namespace shellext
