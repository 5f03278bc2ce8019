#include "delivery_date/last_delivery_date.h"

#include "delivery_date/records.h"
#include "host/host_services.h"
#include "runtime/mazovia.h"

namespace {

constexpr uint32_t kFileNameSize = 260;
constexpr uint32_t kDateTextSize = 12;
constexpr int32_t kShowMessageNotice = 1;
constexpr int32_t kPrepareForReading = 255;
constexpr int32_t kStockCardOpenMode = 5;
// The host's own values for naming a stock-card file; what they select is
// the host's business.
constexpr int32_t kStockCardNameValue6 = 107;
constexpr int32_t kStockCardNameValue7 = 5;

// Document kinds that bring goods in.
constexpr uint16_t kDeliveryKinds[] = {8, 9, 10, 12, 14, 16, 36, 37, 38, 39, 44, 45};

bool IsDeliveryKind(uint16_t kind) {
  for (uint16_t delivery : kDeliveryKinds)
    if (kind == delivery) return true;
  return false;
}

bool IsDelivery(const uint8_t* entry) {
  const int32_t difference = static_cast<int32_t>(static_cast<uint32_t>(StockCardFirstAmount(entry)) -
                                                  static_cast<uint32_t>(StockCardSecondAmount(entry)));
  return difference > 0 && IsDeliveryKind(StockCardDocumentKind(entry)) &&
         StockCardDate(entry)[0] != 0;
}

}  // namespace

int32_t DajOstatniaDateDostawy(int32_t card_number, int32_t context_number, char* destination,
                               int32_t max_length) {
  if (!destination) return 1;

  HostTableDescriptor* stock_cards = GetTableDescriptor(kStockCardTable);
  if (!stock_cards) {
    ShowMessage(MAZOVIA("Błąd"),
                MAZOVIA("Błąd operacji dyskowej-DajOstatniaDateDostawy!\nOperacja niekompletna!"),
                kShowMessageNotice);
    return 1;
  }
  PrepareTable(stock_cards, kPrepareForReading);
  const uint8_t* entry = TableRecordBuffer(stock_cards);

  char file_name[kFileNameSize];
  file_name[0] = 0;
  BuildFileName(card_number, context_number, file_name, "MMM", ".KAR", kStockCardNameValue6,
                kStockCardNameValue7);

  int32_t entry_count = 0;
  uint32_t handle = _fopensw_check(kStockCardOpenMode, file_name, stock_cards, &entry_count);
  if (!handle) {
    ShowMessage(MAZOVIA("Uwaga"),
                MAZOVIA("Bład _fopensw_check w DajOstatniaDateDostawy!\nOperacja niekompletna!"),
                kShowMessageNotice);
    return 1;
  }
  uint32_t read_context = 0;
  uint32_t open_result = fopen_ind(file_name, entry_count, &read_context, 0);
  if (!open_result) {
    CloseFiles(1, nullptr, &handle, nullptr);
    ShowMessage(MAZOVIA("Uwaga"),
                MAZOVIA("Błąd fopen_ind w DajOstatniaDateDostawy!\nOperacja niekompletna!"),
                kShowMessageNotice);
    return 1;
  }

  int32_t read_status = 1;
  int32_t result = 0;
  for (int32_t index = entry_count - 1; index >= 0; --index) {
    read_status = ReadRecordAt(read_context, index, stock_cards, 0, handle);
    // A break wins over everything, even over an entry that would qualify.
    if (CheckUserBreak(0)) {
      result = -1;
      break;
    }
    if (!read_status) break;
    if (IsDelivery(entry)) {
      char date_text[kDateTextSize];
      date_text[0] = 0;
      DateToText(date_text, StockCardDate(entry));
      CopyTextMax(destination, date_text, max_length);
      break;
    }
  }
  CloseFiles(read_status, &read_context, &handle, &open_result);
  return result;
}
