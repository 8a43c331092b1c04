// Windows' own answers for a test (Windows build only): a function the test program imports from a system library is
// replaced in the program's import address table while the patch lives, so that the program's code runs unchanged and
// meets the replacement's answer at its call into the system.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

class ImportPatch {
 public:
  // dll!function (the library's name in any case) replaced by a function of the same type; fails the test if the
  // program does not import it.
  ImportPatch(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<unsigned char*>(::GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + table); table && d->Name && !slot_; ++d) {
      if (::lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
      auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk
                                                                                      : d->FirstThunk));
      auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; name->u1.AddressOfData && !slot_; ++name, ++slot) {
        const char* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name;
        if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) && std::strcmp(named, function) == 0)
          slot_ = reinterpret_cast<void**>(&slot->u1.Function);
      }
    }
    if (!slot_) ADD_FAILURE() << "the program does not import " << dll << "!" << function;
    if (slot_) original_ = *slot_, Store(replacement);
  }
  ~ImportPatch() { if (slot_) Store(original_); }  // the system's function again
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

 private:
  void Store(void* function) {
    DWORD was = 0;
    ::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &was), *slot_ = function;
    ::VirtualProtect(slot_, sizeof(void*), was, &was);
  }
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
