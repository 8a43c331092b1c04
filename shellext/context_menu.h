// The extension object: one context-menu item for the selected files and
// folders, and the hand-off to the program when the user picks it. One COM
// identity with two interfaces, IShellExtInit first and IContextMenu second;
// IUnknown is the IShellExtInit interface.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shellext/com_ptr.h"

namespace shellext {

class CShellExt : public IShellExtInit, public IContextMenu {
 public:
  // A new object has reference count 0, holds no data object and keeps the
  // library loaded until it is destroyed.
  CShellExt();
  CShellExt(const CShellExt&) = delete;
  CShellExt& operator=(const CShellExt&) = delete;

  // IUnknown (shared by both interfaces; IShellExtInit answers for IUnknown).
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IShellExtInit: holds the data object (giving up an earlier one); S_OK.
  STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

  // IContextMenu.
  STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand, UINT flags) override;
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
  STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* name, UINT size) override;

 private:
  // Only Release destroys the object: it gives up the data object and lets the library go.
  virtual ~CShellExt();

  LONG refs_ = 0;
  ComPtr<IDataObject> data_;
};

// True if a context menu built with these flags gets the item: a normal menu
// (low four bits 0, whatever the higher bits say), or CMF_VERBSONLY or
// CMF_EXPLORE set; not CMF_DEFAULTONLY or CMF_NOVERBS alone.
bool MenuWantsItem(UINT flags);

}  // namespace shellext
