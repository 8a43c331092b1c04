// Module-wide state of the extension library (its own module handle, the count
// of what keeps it loaded: live objects and server locks) and the answers of its
// two exports.
#pragma once

#include <windows.h>

namespace shellext {

// Counts one more reason to stay loaded: a new object (a factory or an
// extension object) or a lock taken by IClassFactory::LockServer(TRUE).
void ModuleAddRef();
// Counts one reason less: an object destroyed or a lock given back.
void ModuleRelease();
// True while an object lives or a lock is held: the library must stay loaded.
bool ModuleInUse();

// The class object of the extension's class asked for iid, as DllGetClassObject
// answers: a new factory, CLASS_E_CLASSNOTAVAILABLE for any other class, or the
// factory's QueryInterface result.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
// S_OK when no object is alive and no lock is held, else S_FALSE, as
// DllCanUnloadNow answers.
HRESULT CanUnloadNow();

// The library's own module handle, as the loader passed it to the entry point;
// nullptr (the running program) when the code is linked into a program.
HMODULE ThisModule();
// Called once by the library's entry point.
void SetThisModule(HMODULE module);

}  // namespace shellext
