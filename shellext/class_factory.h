// The class factory of the extension object; one new factory per request.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace shellext {

class CClassFactory : public IClassFactory {
 public:
  // A new factory has reference count 0 and keeps the library loaded until it
  // is destroyed.
  CClassFactory();
  CClassFactory(const CClassFactory&) = delete;
  CClassFactory& operator=(const CClassFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // A new extension object asked for iid; CLASS_E_NOAGGREGATION with an outer
  // unknown, E_OUTOFMEMORY, or the object's QueryInterface result (an object
  // that offers no such interface is destroyed again at once).
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  // TRUE takes one lock on the library, FALSE gives one back: while a lock is
  // held, DllCanUnloadNow answers S_FALSE even with no object alive. S_OK.
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  virtual ~CClassFactory();

  LONG refs_ = 0;
};

// The interface iid of a new object of class T (new with reference count 0):
// one reference taken while asking, and given back after, so that the caller
// holds the only one, or the object is gone again when it has no such interface.
template <class T>
HRESULT QueryNewObject(T* object, REFIID iid, void** out) {
  object->AddRef();
  HRESULT result = object->QueryInterface(iid, out);
  object->Release();
  return result;
}

}  // namespace shellext
