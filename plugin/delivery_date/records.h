// The two host records the plugin reads by fixed offsets. Their sizes are
// checked against the host's tables before the plugin works with them.
#pragma once

#include <stdint.h>

// The goods table: one record per goods item of the warehouse.
constexpr int32_t kGoodsTable = 49;
constexpr char kGoodsTableName[] = "k9";
constexpr int32_t kGoodsRecordSize = 1024;
namespace goods_record {
constexpr uint32_t kKeyWordOffset = 543;   // NUL-terminated text, shown as 'Słowo KLUCZ'
constexpr uint32_t kCardNumberOffset = 1022;  // int16_t; 0: no stock card
}  // namespace goods_record

inline char* GoodsKeyWord(uint8_t* record) {
  return reinterpret_cast<char*>(record + goods_record::kKeyWordOffset);
}
inline int16_t GoodsCardNumber(const uint8_t* record) {
  return *reinterpret_cast<const int16_t*>(record + goods_record::kCardNumberOffset);
}

// The stock-card table: the entries of one goods item lie in a ".KAR" file
// of their own, read one record at a time into the table's record buffer.
// The record is packed and little-endian.
constexpr int32_t kStockCardTable = 51;
constexpr char kStockCardTableName[] = "k11";
constexpr int32_t kStockCardRecordSize = 435;
namespace stock_card_record {
constexpr uint32_t kDateOffset = 136;         // host's date; first byte 0: no date
constexpr uint32_t kFirstAmountOffset = 170;  // int32_t
constexpr uint32_t kSecondAmountOffset = 174; // int32_t
constexpr uint32_t kDocumentKindOffset = 214; // 16-bit code
}  // namespace stock_card_record

inline const uint8_t* StockCardDate(const uint8_t* record) {
  return record + stock_card_record::kDateOffset;
}
inline int32_t StockCardFirstAmount(const uint8_t* record) {
  return *reinterpret_cast<const int32_t*>(record + stock_card_record::kFirstAmountOffset);
}
inline int32_t StockCardSecondAmount(const uint8_t* record) {
  return *reinterpret_cast<const int32_t*>(record + stock_card_record::kSecondAmountOffset);
}
inline uint16_t StockCardDocumentKind(const uint8_t* record) {
  return *reinterpret_cast<const uint16_t*>(record + stock_card_record::kDocumentKindOffset);
}
