#include "delivery_date/goods_command_handler.h"

#include "delivery_date/cursor_unwind_frame.h"
#include "delivery_date/last_delivery_date.h"
#include "delivery_date/records.h"
#include "host/host_services.h"
#include "runtime/mazovia.h"

constinit HostTableDescriptor* HookedGoodsTable = nullptr;
constinit CommandHandler SavedGoodsCommandHandler = nullptr;

namespace {

constexpr int32_t kLastDeliveryDateCommand = 239;  // Ctrl+9 in the goods list
constexpr int32_t kShowMessageQuestion = 0x10006;
constexpr int32_t kSelectionKind = 4;
constexpr int32_t kCursorOpened = 1;
constexpr int32_t kCursorHasRecord = 1;
constexpr int32_t kKeyWordDateLength = 10;

// Walks the goods list and writes each item's last delivery date into its
// key-word field, storing every record that received one.
void FillKeyWordsWithDeliveryDates(RecordCursor* cursor, SelectionParameters* selection,
                                   HostTableDescriptor* goods) {
  const int32_t answer =
      ShowMessage(MAZOVIA("Uwaga"),
                  MAZOVIA("Czy pobrać daty ostatniego zakupu do rubryki 'Słowo KLUCZ'?"),
                  kShowMessageQuestion);
  if (static_cast<uint16_t>(answer) != kShowMessageYes) return;

  PrepareSelection(kSelectionKind, 0, selection, 0);
  const int32_t opened = CursorOpen(cursor, goods, kSelectionKind, selection, 1, 0);
  uint8_t* record = TableRecordBuffer(goods);
  if (opened == kCursorOpened) {
    while (CursorNext(cursor) == kCursorHasRecord) {
      if (CheckUserBreak(0)) break;
      const int16_t card_number = GoodsCardNumber(record);
      if (card_number == 0) continue;

      char* key_word = GoodsKeyWord(record);
      const char former_first = key_word[0];
      key_word[0] = 0;
      const int16_t context_number = *GetContextNumber();
      const int32_t searched =
          DajOstatniaDateDostawy(card_number, context_number, key_word, kKeyWordDateLength);
      const bool dated = key_word[0] != 0;
      // Without a date the record stays as it was, also in the host's buffer,
      // which the host may store later on its own.
      if (!dated) key_word[0] = former_first;
      if (searched < 0) break;
      if (dated) CursorSave(cursor);
    }
  }
  CursorClose(cursor);
}

}  // namespace

int32_t GoodsCommandHandler(int32_t command, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5,
                            HostTableDescriptor* descriptor, uint32_t a7, uint32_t a8,
                            uint32_t a9, uint32_t a10, uint32_t a11) {
  RecordCursor cursor;
  SelectionParameters selection;
  CreateRecordCursor(&cursor);
  CursorUnwindFrame unwind_frame;
  RegisterCursorUnwindFrame(&unwind_frame, &cursor);

  if (command == kLastDeliveryDateCommand) FillKeyWordsWithDeliveryDates(&cursor, &selection, descriptor);

  const int32_t result = SavedGoodsCommandHandler
                             ? SavedGoodsCommandHandler(command, a2, a3, a4, a5, descriptor, a7,
                                                        a8, a9, a10, a11)
                             : 0;
  RemoveCursorUnwindFrame(&unwind_frame);
  CursorDestroy(&cursor);
  return result;
}
