// Module-wide state of the extension library: its own module handle and the
// number of class-factory and extension objects alive.
#pragma once

#include <windows.h>

namespace shellext {

// Counts one more live object (a factory or an extension object).
void ObjectCreated();
// Counts one live object less.
void ObjectDestroyed();
// Number of live objects; the library may be unloaded when it is 0.
LONG LiveObjects();

// The library's own module handle, as the loader passed it to the entry point;
// nullptr (the running program) when the code is linked into a program.
HMODULE ThisModule();
// Called once by the library's entry point.
void SetThisModule(HMODULE module);

}  // namespace shellext
