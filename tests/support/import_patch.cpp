// Replacing an import of the running program (see import_patch.h).
#include "tests/support/import_patch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

// The import address table entry of dll!function in the running program.
void** ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<unsigned char*>(::GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && d->Name; ++d) {
    if (::lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void Store(void** slot, void* value) {
  DWORD was = 0;
  ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &was);
  *slot = value;
  ::VirtualProtect(slot, sizeof(void*), was, &was);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : slot_(ImportSlot(dll, function)) {
  if (!slot_) {
    ADD_FAILURE() << "the program does not import " << dll << "!" << function;
    return;
  }
  original_ = *slot_;
  Store(slot_, replacement);
}

ImportPatch::~ImportPatch() {
  if (slot_) Store(slot_, original_);
}
