// The four entry points the host calls, exported by ordinal only. Any of them
// may come at any time: none checks the order, each relies only on the state
// it reads.
#include "delivery_date/goods_table_hook.h"
#include "delivery_date/installation_notice.h"
#include "host/host_services.h"
#include "runtime/compatibility.h"
#include "runtime/mazovia.h"
#include "runtime/plugin_identity.h"

namespace {

using Export30009Function = int32_t (*)();
using Export30010Function = int32_t(__attribute__((stdcall)) *)(uint32_t);

// Entries 30009 and 30010 forward to these when set; nothing sets them.
constinit Export30009Function Export30009Handler = nullptr;
constinit Export30010Function Export30010Handler = nullptr;

constexpr uint32_t kEntry30010Unhandled = 0xB669FD2E;

}  // namespace

extern "C" {

int32_t WINAPI PluginAttach(HostCallbackFunction callback, char* description) {
  if (!callback) return UnhookGoodsTable();  // a detach
  HostCallback = callback;
  if (description) CopyPluginDescription(description);
  return CheckHostCompatibility();
}

int32_t WINAPI PluginStart(int32_t mode) {
  if (mode != 0) {
    ShowFailureReport();
    return 0;
  }
  if (HookGoodsTable(1) != 0) {
    UnhookGoodsTable();
    ShowErrorLine(MAZOVIA("Program wymaga nowszej wtyczki!"));
    return -1;
  }
  ShowInstallationNotice();
  return 0;
}

int32_t PluginEntry30009() { return Export30009Handler ? Export30009Handler() : 0; }

uint32_t WINAPI PluginEntry30010(uint32_t value) {
  return Export30010Handler ? Export30010Handler(value) : kEntry30010Unhandled;
}

}  // extern "C"
