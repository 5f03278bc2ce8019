// How the host lays out the objects it shares with the plugin.
#pragma once

#include <stdint.h>

// The host's descriptor of one data table. Only these fields are the
// plugin's business; the rest of the object belongs to the host.
namespace host_table_descriptor {
constexpr uint32_t kRecordSizeOffset = 6;       // int16_t
constexpr uint32_t kRecordBufferOffset = 8;     // uint8_t*: the current record
constexpr uint32_t kCommandHandlerOffset = 104; // CommandHandler
}  // namespace host_table_descriptor

using HostTableDescriptor = uint8_t;

inline int32_t TableRecordSize(const HostTableDescriptor* descriptor) {
  return *reinterpret_cast<const int16_t*>(descriptor + host_table_descriptor::kRecordSizeOffset);
}

inline uint8_t* TableRecordBuffer(const HostTableDescriptor* descriptor) {
  return *reinterpret_cast<uint8_t* const*>(descriptor + host_table_descriptor::kRecordBufferOffset);
}

// The host's per-table command function: eleven 32-bit arguments, the
// called function removes them. Argument 1 is the command number, argument 6
// the table's descriptor.
using CommandHandler = int32_t(__attribute__((stdcall)) *)(
    int32_t command, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5,
    HostTableDescriptor* descriptor, uint32_t a7, uint32_t a8, uint32_t a9, uint32_t a10,
    uint32_t a11);

inline CommandHandler* TableCommandHandlerField(HostTableDescriptor* descriptor) {
  return reinterpret_cast<CommandHandler*>(descriptor + host_table_descriptor::kCommandHandlerOffset);
}

// A cursor over a table's records: a host object the caller keeps in its own
// storage. Creating one means zeroing the word at offset 188 and nothing
// else; the host's cursor operations own every other byte.
struct alignas(4) RecordCursor {
  uint8_t bytes[192];
};
constexpr uint32_t kRecordCursorCreatedWordOffset = 188;

inline void CreateRecordCursor(RecordCursor* cursor) {
  *reinterpret_cast<uint32_t*>(cursor->bytes + kRecordCursorCreatedWordOffset) = 0;
}

// The selection parameters that PrepareSelection fills and CursorOpen reads.
struct alignas(4) SelectionParameters {
  uint8_t bytes[260];
};
