// Binding of the host's services by ordinal at start-up, with the report of
// a service the host lacks and the do-nothing stand-in that may replace it.
#pragma once

#include <stdint.h>

#include "runtime/fallback_stubs.h"

using HostSlot = void*;
using HostThunkInitializer = int32_t (*)();

extern "C" {
// Start-up initializers of the thunk table, in binding order, null-ended.
extern const HostThunkInitializer HostThunkInitializers[] __asm__("HostThunkInitializers");
// Stub k answers 0 and removes 4*k bytes of arguments.
extern void* const FallbackStubs[FALLBACK_STUB_COUNT] __asm__("FallbackStubs");

// Called by the thunks with every general register saved.
void __attribute__((stdcall)) ResolveHostEntry(uint32_t ordinal, HostSlot* slot)
    __asm__("ResolveHostEntry");
}

// entry: an ordinal below 65536, otherwise the address of an entry name.
// Returns 1 to go on without the entry, 0 to stop.
int32_t ReportMissingEntry(uint32_t entry, const char* module_name);
void ChooseFallbackStub(uint32_t entry, HostSlot* slot);

// Runs the initializers in order; -1 at the first that leaves its slot empty.
int32_t BindHostServices();
