// Puts the plugin's command handler onto the host's goods table, and takes
// it off again.
#pragma once

#include <stdint.h>

// Non-zero: install (0 when in force, -1 when the goods table is missing or
// its records are not 1024 bytes); 0: remove, as UnhookGoodsTable.
int32_t __attribute__((stdcall)) HookGoodsTable(int32_t install);
int32_t UnhookGoodsTable();
