// The host's tables: descriptors, record cursors over a table's records,
// the user's break and the host's context number.
#include <cstring>

#include "service_registry.h"
#include "standin/seh.h"

namespace zalmir {
namespace {

WINAPI_STDCALL uint8_t* GetTableDescriptor(int32_t number) {
  return reinterpret_cast<uint8_t*>(Serve("GetTableDescriptor", {Word(number)}, [&](Host& host) {
    Table* table = host.FindTable(number);
    return table ? Word(table->descriptor_address()) : 0u;
  }));
}
ZALMIR_SERVICE(52256, GetTableDescriptor, GetTableDescriptor);

WINAPI_STDCALL int32_t PrepareTable(uint8_t* descriptor, int32_t mode) {
  return Serve("PrepareTable", {Word(descriptor), Word(mode)}, [](Host&) { return 1; });
}
ZALMIR_SERVICE(52465, PrepareTable, PrepareTable);

WINAPI_STDCALL int16_t* GetContextNumber() {
  return reinterpret_cast<int16_t*>(
      Serve("GetContextNumber", {}, [](Host& host) { return Word(&host.context_number); }));
}
ZALMIR_SERVICE(52265, GetContextNumber, GetContextNumber);

WINAPI_STDCALL int32_t CheckUserBreak(int32_t zero) {
  return Serve("CheckUserBreak", {Word(zero)}, [](Host& host) {
    ++host.polls;
    const bool scripted = host.break_at_poll && host.polls >= *host.break_at_poll;
    const bool asked = host.user_break && host.user_break();
    return scripted || asked ? 1 : 0;
  });
}
ZALMIR_SERVICE(51701, CheckUserBreak, CheckUserBreak);

// The selection block: what the host would put there is its own business.
constexpr uint32_t kSelectionMark = 0x5E1EC7ED;

WINAPI_STDCALL int32_t PrepareSelection(int32_t kind, int32_t zero, uint8_t* block, int32_t zero2) {
  return Serve("PrepareSelection", {Word(kind), Word(zero), Word(block), Word(zero2)}, [&](Host&) {
    std::memset(block, 0, 260);
    std::memcpy(block, &kSelectionMark, 4);
    return 1;
  });
}
ZALMIR_SERVICE(51425, PrepareSelection, PrepareSelection);

// Where the descriptor says the current record is: the host may move it.
uint8_t* RecordBufferOf(const Table& table) {
  uint8_t* buffer;
  std::memcpy(&buffer, table.descriptor.data() + kDescriptorRecordBuffer, 4);
  return buffer;
}

WINAPI_STDCALL int32_t CursorOpen(uint8_t* cursor, uint8_t* descriptor, int32_t kind, uint8_t* block,
                                  int32_t a5, int32_t a6) {
  return Serve("CursorOpen", {Word(cursor), Word(descriptor), Word(kind), Word(block), Word(a5), Word(a6)},
               [&](Host& host) {
                 Table* table = host.FindTableByDescriptor(descriptor);
                 uint32_t mark;
                 std::memcpy(&mark, block, 4);
                 if (!table || mark != kSelectionMark) return 0;
                 host.cursors_[Word(cursor)] = {table, -1};
                 return 1;
               });
}
ZALMIR_SERVICE(52278, CursorOpen, CursorOpen);

WINAPI_STDCALL int32_t CursorNext(uint8_t* cursor) {
  return Serve("CursorNext", {Word(cursor)}, [&](Host& host) {
    auto found = host.cursors_.find(Word(cursor));
    if (found == host.cursors_.end()) return 0;
    Host::CursorState& state = found->second;
    if (state.position + 1 >= static_cast<int64_t>(state.table->records.size())) return 0;
    ++state.position;
    const std::vector<uint8_t>& record = state.table->records[state.position];
    std::memcpy(RecordBufferOf(*state.table), record.data(), record.size());
    return 1;
  });
}
ZALMIR_SERVICE(52279, CursorNext, CursorNext);

WINAPI_STDCALL int32_t CursorSave(uint8_t* cursor) {
  return Serve("CursorSave", {Word(cursor)}, [&](Host& host) {
    auto found = host.cursors_.find(Word(cursor));
    if (found == host.cursors_.end() || found->second.position < 0) return 0;
    Host::CursorState& state = found->second;
    std::vector<uint8_t>& record = state.table->records[state.position];
    std::memcpy(record.data(), RecordBufferOf(*state.table), record.size());
    return 1;
  });
}
ZALMIR_SERVICE(52280, CursorSave, CursorSave);

WINAPI_STDCALL int32_t CursorClose(uint8_t* cursor) {
  return Serve("CursorClose", {Word(cursor)}, [&](Host& host) {
    host.cursors_.erase(Word(cursor));
    return 1;
  });
}
ZALMIR_SERVICE(52281, CursorClose, CursorClose);

// The cursor's destructor: a member function, the cursor in ECX.
WINAPI_THISCALL void CursorDestroy(uint8_t* cursor) {
  Serve("CursorDestroy", {Word(cursor)}, [&](Host& host) {
    host.cursors_.erase(Word(cursor));
    return 0;
  });
}
ZALMIR_SERVICE(50538, CursorDestroy, CursorDestroy);

// The host's own handler of the goods table's commands.
WINAPI_STDCALL int32_t HostGoodsCommandHandler(uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                                               uint32_t a5, uint32_t a6, uint32_t a7, uint32_t a8,
                                               uint32_t a9, uint32_t a10, uint32_t a11) {
  const std::vector<uint32_t> args = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11};
  return Serve("HostGoodsCommandHandler", args, [&](Host& host) {
    host.goods_handler_calls.push_back({args});
    if (host.goods_handler_action) host.goods_handler_action();
    return host.goods_handler_result;
  });
}

}  // namespace

uint32_t HostGoodsCommandHandlerAddress() { return Word(&HostGoodsCommandHandler); }

}  // namespace zalmir
