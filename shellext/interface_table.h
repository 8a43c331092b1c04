// QueryInterface from a table, as the SDK samples answer it with QISearch:
// each row names one interface of the object and where that interface's
// pointer lies within the object. Shared by the class factory and the
// extension object.
#pragma once

#include <unknwn.h>

#include <cstddef>

namespace shellext {

// One interface of an object: its IID and the offset, in bytes, from the
// object's start to the interface's pointer (InterfaceOffset).
struct InterfaceEntry {
  const IID* iid;
  std::ptrdiff_t offset;
};

// The offset of Interface within object (a live object of a class that
// derives from Interface): the same for every object of the class.
template <class Interface, class Object>
std::ptrdiff_t InterfaceOffset(Object* object) {
  return reinterpret_cast<char*>(static_cast<Interface*>(object)) - reinterpret_cast<char*>(object);
}

// The interface iid of object, whose interfaces are the count rows of table;
// IID_IUnknown is answered with the first row, so that every interface of the
// object leads to one IUnknown pointer (its identity). S_OK with *out set and
// one reference taken through it; E_NOINTERFACE with *out null; E_POINTER when
// out is null.
HRESULT QueryFromTable(void* object, const InterfaceEntry* table, std::size_t count, REFIID iid, void** out);

template <std::size_t N>
HRESULT QueryFromTable(void* object, const InterfaceEntry (&table)[N], REFIID iid, void** out) {
  return QueryFromTable(object, table, N, iid, out);
}

}  // namespace shellext
