// The record-size registry: every host table whose record size differs from
// the size the plugin was built for, in the order found. The plugin reads
// and writes host records by fixed offsets, so one entry here is enough to
// refuse the host.
#pragma once

#include <stdint.h>

struct SizeCheckEntry {
  int32_t expected_size;
  int32_t host_size;         // 0 when the host has no such table
  const char* table_name;
  SizeCheckEntry* next;
};

// Head of the mismatch list; entries are static and never freed.
extern SizeCheckEntry* SizeMismatches;

// Gives an entry new values. Its next field is cleared only while it is not
// listed: clearing it in the middle of the list would cut off the entries
// behind it.
void FillSizeCheckEntry(SizeCheckEntry* entry, int32_t expected_size, int32_t host_size,
                        const char* table_name);
// Links the entry at the end unless it is already listed; always -1.
int32_t AddSizeCheckEntry(SizeCheckEntry* entry);
// Adds the entry when its sizes differ: -1 then, else 0.
int32_t AddIfSizesDiffer(SizeCheckEntry* entry);
int32_t CountSizeMismatches();
// Checks the goods and stock-card tables; returns the entries on record.
int32_t CheckRecordSizes();
