// The extension object (see context_menu.h).
#include "shellext/context_menu.h"

#include <shellapi.h>  // CMIC_MASK_UNICODE is SEE_MASK_UNICODE

#include <new>

#include "platform/fs.h"
#include "platform/native_path.h"
#include "shellext/handoff.h"
#include "shellext/handoff_win32.h"
#include "shellext/interface_table.h"
#include "shellext/module.h"
#include "shellext/texts.h"

namespace shellext {

namespace {
// The menu flags that say what kind of menu is being built.
constexpr UINT kMenuKindBits = 0x0F;
}  // namespace

namespace {
// True if info invokes the one item, command offset 0. A verb string, in
// lpVerb or, when a CMINVOKECOMMANDINFOEX carries CMIC_MASK_UNICODE, in
// lpVerbW (where callers may give it alone), names no item of ours.
bool InvokesTheItem(const CMINVOKECOMMANDINFO& info) {
  if (reinterpret_cast<UINT_PTR>(info.lpVerb) != 0) return false;
  if (info.cbSize < sizeof(CMINVOKECOMMANDINFOEX) || !(info.fMask & CMIC_MASK_UNICODE)) return true;
  return reinterpret_cast<UINT_PTR>(reinterpret_cast<const CMINVOKECOMMANDINFOEX&>(info).lpVerbW) == 0;
}
}  // namespace

bool MenuWantsItem(UINT flags) {
  if ((flags & kMenuKindBits) == 0) return true;
  return (flags & (CMF_VERBSONLY | CMF_EXPLORE)) != 0;
}

CShellExt::CShellExt() { ModuleAddRef(); }

CShellExt::~CShellExt() {
  data_.Reset();
  ModuleRelease();
}

STDMETHODIMP CShellExt::QueryInterface(REFIID iid, void** out) {
  // IShellExtInit first: it is the object's IUnknown.
  const InterfaceEntry interfaces[] = {{&IID_IShellExtInit, InterfaceOffset<IShellExtInit>(this)},
                                       {&IID_IContextMenu, InterfaceOffset<IContextMenu>(this)}};
  return QueryFromTable(this, interfaces, iid, out);
}

STDMETHODIMP_(ULONG) CShellExt::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CShellExt::Release() {
  LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  // Called again, the object gives up what it held before; without a data
  // object it holds none.
  data_.Hold(data);
  return S_OK;
}

STDMETHODIMP CShellExt::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand, UINT flags) {
  // No item for a default-only or no-verbs menu, nor when the caller left no
  // command id for it.
  if (!MenuWantsItem(flags) || firstCommand > lastCommand) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
  // Wide, its text converted from Shift_JIS with code page 932 named, not through Explorer's
  // ANSI code page.
  if (!::InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstCommand, plat::ToNative(texts::kMenuItem).c_str())) {
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
  }
  return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);  // one command id used
}

STDMETHODIMP CShellExt::InvokeCommand(CMINVOKECOMMANDINFO* info) {
  // Only command offset 0 (the one item) runs; a verb string, or any other
  // offset, does nothing.
  if (!info || !InvokesTheItem(*info)) return E_INVALIDARG;
  // Without Initialize there is no selection: CollectDropPaths refuses a null
  // data object. No exception leaves the object: a selection too large for
  // memory ends the invocation as an allocation failure.
  try {
    return HandOff(data_.Get(), ModuleDirectory(plat::ModulePath(ThisModule())));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

STDMETHODIMP CShellExt::GetCommandString(UINT_PTR, UINT type, UINT*, CHAR* name, UINT size) {
  // The item has no verb name and no help text. Text requests get an empty
  // text, so that a caller that reads the buffer after S_OK never reads what
  // happened to be there before.
  const UINT request = type & ~GCS_UNICODE;
  if (name && size > 0 && (request == GCS_VERBA || request == GCS_HELPTEXTA)) {
    if (type & GCS_UNICODE) {
      reinterpret_cast<WCHAR*>(name)[0] = L'\0';
    } else {
      name[0] = '\0';
    }
  }
  return S_OK;
}

}  // namespace shellext
