// The plugin's replacement for the goods table's command handler: Ctrl+9
// (command 239) fills the key-word fields with last delivery dates; every
// command then goes on to the host's own handler.
#pragma once

#include "host/host_layouts.h"

// Hook state: the goods table's descriptor while the replacement is in
// force (null otherwise), and the handler it replaced.
extern HostTableDescriptor* HookedGoodsTable;
extern CommandHandler SavedGoodsCommandHandler;

extern "C" int32_t __attribute__((stdcall)) GoodsCommandHandler(
    int32_t command, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5,
    HostTableDescriptor* descriptor, uint32_t a7, uint32_t a8, uint32_t a9, uint32_t a10,
    uint32_t a11);
