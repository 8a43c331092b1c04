// QueryInterface from a table (see interface_table.h).
#include "shellext/interface_table.h"

namespace shellext {

HRESULT QueryFromTable(void* object, const InterfaceEntry* table, std::size_t count, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const InterfaceEntry* found = count > 0 && IsEqualIID(iid, IID_IUnknown) ? table : nullptr;
  for (std::size_t i = 0; i < count && !found; ++i) {
    if (IsEqualIID(iid, *table[i].iid)) found = &table[i];
  }
  if (!found) return E_NOINTERFACE;
  IUnknown* answer = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + found->offset);
  answer->AddRef();
  *out = answer;
  return S_OK;
}

}  // namespace shellext
