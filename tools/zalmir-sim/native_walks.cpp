#include "native_walks.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "delivery_rules.h"
#include "simhost/records.h"
#include "standin/winabi.h"

namespace zalmir_sim {

namespace {

// The host's services as the plugin binds them, by ordinal.
struct Services {
  explicit Services(zalmir::Host& host) : host(host) {}
  template <typename Function>
  Function At(uint32_t ordinal) const {
    return reinterpret_cast<Function>(host.EntryAddress(ordinal));
  }
  zalmir::Host& host;
  using Selection = int32_t(WINAPI_STDCALL*)(int32_t, int32_t, uint8_t*, int32_t);
  using Open = int32_t(WINAPI_STDCALL*)(uint8_t*, uint8_t*, int32_t, uint8_t*, int32_t, int32_t);
  using Cursor = int32_t(WINAPI_STDCALL*)(uint8_t*);
  using Poll = int32_t(WINAPI_STDCALL*)(int32_t);
  using Descriptor = uint8_t*(WINAPI_STDCALL*)(int32_t);
  using Prepare = int32_t(WINAPI_STDCALL*)(uint8_t*, int32_t);
  using Context = int16_t*(WINAPI_STDCALL*)();
  using FileName = int32_t(WINAPI_STDCALL*)(int32_t, int32_t, char*, const char*, const char*, int32_t, int32_t);
  using OpenCard = uint32_t(WINAPI_STDCALL*)(int32_t, const char*, uint8_t*, int32_t*);
  using OpenIndex = uint32_t(WINAPI_STDCALL*)(const char*, int32_t, uint32_t*, int32_t);
  using Read = int32_t(WINAPI_STDCALL*)(uint32_t, int32_t, uint8_t*, int32_t, uint32_t);
  using Close = int32_t(WINAPI_STDCALL*)(int32_t, uint32_t*, uint32_t*, uint32_t*);
  using Date = int32_t(WINAPI_STDCALL*)(char*, const uint8_t*);
  using Copy = int32_t(WINAPI_STDCALL*)(char*, const char*, int32_t);

  Selection prepare_selection = At<Selection>(51425);
  Open cursor_open = At<Open>(52278);
  Cursor cursor_next = At<Cursor>(52279);
  Cursor cursor_save = At<Cursor>(52280);
  Cursor cursor_close = At<Cursor>(52281);
  Poll check_user_break = At<Poll>(51701);
  Descriptor table_descriptor = At<Descriptor>(52256);
  Prepare prepare_table = At<Prepare>(52465);
  Context context_number = At<Context>(52265);
  FileName build_file_name = At<FileName>(52312);
  OpenCard open_card = At<OpenCard>(50516);
  OpenIndex open_index = At<OpenIndex>(52300);
  Read read_record_at = At<Read>(52286);
  Close close_files = At<Close>(52302);
  Date date_to_text = At<Date>(32008);
  Copy copy_text_max = At<Copy>(52161);
};

constexpr int32_t kKeyWordLength = 10;

// Answers -1 on a break, as the plugin's search does.
int32_t LastDeliveryDate(const Services& s, int32_t card, int32_t context, char* destination) {
  uint8_t* descriptor = s.table_descriptor(zalmir::kStockCardTable);
  if (!descriptor) return 1;
  s.prepare_table(descriptor, 255);
  uint8_t* buffer;
  std::memcpy(&buffer, descriptor + zalmir::kDescriptorRecordBuffer, 4);
  char name[260];
  s.build_file_name(card, context, name, "MMM", ".KAR", 107, 5);
  int32_t count = 0;
  uint32_t handle = s.open_card(5, name, descriptor, &count);
  if (!handle) return 1;
  uint32_t read_context = 0;
  uint32_t opened = s.open_index(name, count, &read_context, 0);
  if (!opened) {
    s.close_files(1, nullptr, &handle, nullptr);
    return 1;
  }
  int32_t status = 1, result = 0;
  for (int32_t index = count - 1; index >= 0; --index) {
    status = s.read_record_at(read_context, index, descriptor, 0, handle);
    if (s.check_user_break(0)) {
      result = -1;
      break;
    }
    if (!status) break;
    if (IsDelivery(zalmir::ReadStockCardRecord(buffer))) {
      char date[12];
      s.date_to_text(date, buffer + zalmir::stock_card_field::kDate);
      s.copy_text_max(destination, date, kKeyWordLength);
      break;
    }
  }
  s.close_files(status, &read_context, &handle, &opened);
  return result;
}

template <typename Visit>
size_t Walk(zalmir::Host& host, Visit visit) {
  const Services s(host);
  std::vector<uint8_t> cursor(192, 0), block(260, 0);
  uint8_t* goods = host.goods().descriptor_address();
  s.prepare_selection(4, 0, block.data(), 0);
  size_t count = 0;
  if (s.cursor_open(cursor.data(), goods, 4, block.data(), 1, 0) == 1) {
    uint8_t* record;
    std::memcpy(&record, goods + zalmir::kDescriptorRecordBuffer, 4);
    while (s.cursor_next(cursor.data()) == 1 && !s.check_user_break(0)) {
      const int visited = visit(s, cursor.data(), record);
      if (visited < 0) break;
      count += static_cast<size_t>(visited);
    }
  }
  s.cursor_close(cursor.data());
  return count;
}

}  // namespace

size_t WalkGoodsList(zalmir::Host& host) {
  return Walk(host, [](const Services&, uint8_t*, uint8_t*) { return 1; });
}

size_t SearchLikeThePlugin(zalmir::Host& host) {
  return Walk(host, [](const Services& s, uint8_t* cursor, uint8_t* record) {
    int16_t card;
    std::memcpy(&card, record + zalmir::goods_field::kCardNumber, 2);
    if (card == 0) return 0;
    char* key_word = reinterpret_cast<char*>(record + zalmir::goods_field::kKeyWord);
    key_word[0] = 0;
    if (LastDeliveryDate(s, card, *s.context_number(), key_word) < 0) return -1;
    if (!key_word[0]) return 0;
    s.cursor_save(cursor);
    return 1;
  });
}

}  // namespace zalmir_sim
