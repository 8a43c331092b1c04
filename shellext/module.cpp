// Module-wide state of the extension library (see server.h).
#include "shellext/server.h"

namespace shellext {

namespace {
// Factories and extension objects alive. Explorer creates objects on the
// threads of several windows, so the count changes atomically.
LONG g_liveObjects = 0;
HMODULE g_module = nullptr;
}  // namespace

void ObjectCreated() { ::InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { ::InterlockedDecrement(&g_liveObjects); }
LONG LiveObjects() { return ::InterlockedCompareExchange(&g_liveObjects, 0, 0); }
HMODULE ThisModule() { return g_module; }
void SetThisModule(HMODULE module) { g_module = module; }

}  // namespace shellext
