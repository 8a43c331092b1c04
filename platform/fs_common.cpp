// The fault-injection hook shared by both file-system implementations.
#include "platform/fs.h"

namespace plat {
namespace {
FaultHook g_hook = nullptr;
void* g_hookCtx = nullptr;
}  // namespace

void SetFaultHook(FaultHook hook, void* ctx) {
  g_hook = hook;
  g_hookCtx = ctx;
}

uint32_t InjectedFault(FsOp op, const std::string& path) {
  return g_hook ? g_hook(op, path, g_hookCtx) : 0;
}

}  // namespace plat
