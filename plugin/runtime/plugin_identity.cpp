#include "runtime/plugin_identity.h"

namespace {

constexpr char kHostModuleName[] = "ZALMIR";

int32_t HOST_STDCALL NoHostEntry30007(uint32_t, uint32_t) { return 0; }

}  // namespace

extern "C" {
constinit HMODULE PluginInstance = nullptr;
constinit char PluginFileName[kPluginFileNameSize] = {};
constinit const char* PluginBaseName = nullptr;
constinit HMODULE HostModule = nullptr;
constinit HostCallbackFunction HostCallback = nullptr;
constinit HostEntry30007Function HostEntry30007Slots[2] = {NoHostEntry30007, NoHostEntry30007};
}

BOOL WINAPI PluginLoad(HMODULE module, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return 1;
  RecordModuleIdentity(module);
  BindHost();
  return 1;
}

void RecordModuleIdentity(HMODULE module) {
  PluginInstance = module;
  GetModuleFileNameA(module, PluginFileName, kPluginFileNameSize);
  // A path that fills the buffer may come back without its NUL.
  PluginFileName[kPluginFileNameSize - 1] = 0;

  const char* name = PluginFileName;
  if (const char* backslash = strrchr(name, '\\')) name = backslash + 1;
  if (const char* slash = strrchr(name, '/')) name = slash + 1;
  PluginBaseName = name;
}

void BindHost() {
  if (HostModule) return;
  HostModule = GetModuleHandleA(kHostModuleName);
  if (!HostModule) return;
  HostCallback = reinterpret_cast<HostCallbackFunction>(
      GetProcAddress(HostModule, OrdinalName(host_ordinal::kHostCallback)));
  auto entry30007 = reinterpret_cast<HostEntry30007Function>(
      GetProcAddress(HostModule, OrdinalName(host_ordinal::kHostEntry30007)));
  HostEntry30007Slots[0] = entry30007;
  HostEntry30007Slots[1] = entry30007;
}

char* CopyPluginDescription(char* buffer) {
  for (uint32_t i = 0; i < kPluginDescriptionSize; ++i) buffer[i] = PluginDescription[i];
  return buffer;
}
