// The module's entry point. The plugin has no C runtime, so this is its
// whole start-up: the load step first (it needs nothing of the runtime),
// then the thunk table's initializers, which bind the host's services.
#include "runtime/host_binding.h"
#include "runtime/plugin_identity.h"

extern "C" BOOL WINAPI ZefirnikEntry(HMODULE module, DWORD reason, void* reserved) {
  PluginLoad(module, reason, reserved);
  if (reason != DLL_PROCESS_ATTACH) return 1;
  return BindHostServices() == 0;
}
