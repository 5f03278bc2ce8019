// The records the host keeps for a warehouse, as bytes the plugin reads:
// goods records of the goods table, and stock-card entries of the ".KAR"
// files, one file per goods item.
//
// Stock-card files: "<directory>/MMM<context>-<card>.KAR" (context and card
// number in signed decimal), a plain sequence of packed little-endian
// 435-byte entries, the first entry first.
//
// Stored date (4 bytes at the entry's date field): day, month, then the year
// as a little-endian 16-bit number. A day of 0 means the entry has no date.
// Its display text is "DD.MM.YYYY".
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zalmir {

namespace goods_field {
constexpr uint32_t kName = 0;          // Mazovia text, NUL-terminated
constexpr uint32_t kNameSize = 64;
constexpr uint32_t kKeyWord = 543;     // Mazovia text, NUL-terminated
constexpr uint32_t kKeyWordSize = 40;
constexpr uint32_t kCardNumber = 1022; // int16
}  // namespace goods_field

namespace stock_card_field {
constexpr uint32_t kDate = 136;
constexpr uint32_t kFirstAmount = 170;
constexpr uint32_t kSecondAmount = 174;
constexpr uint32_t kDocumentKind = 214;
}  // namespace stock_card_field

struct Date {
  uint8_t day = 0;  // 0: no date
  uint8_t month = 0;
  uint16_t year = 0;
};

struct StockCardEntry {
  Date date;
  int32_t first_amount = 0;
  int32_t second_amount = 0;
  uint16_t kind = 0;
};

struct GoodsItem {
  std::string name;      // Mazovia
  int16_t card_number = 0;
  std::string key_word;  // Mazovia
};

std::vector<uint8_t> MakeGoodsRecord(const GoodsItem& item);
GoodsItem ReadGoodsRecord(const std::vector<uint8_t>& record);
std::string KeyWordOf(const std::vector<uint8_t>& record);

std::vector<uint8_t> MakeStockCardRecord(const StockCardEntry& entry);
StockCardEntry ReadStockCardRecord(const uint8_t* record);

std::string DateText(const uint8_t* stored_date);  // "DD.MM.YYYY"
std::string DateText(const Date& date);
std::string StockCardFileName(int32_t context_number, int32_t card_number);
void WriteStockCardFile(const std::filesystem::path& path, const std::vector<StockCardEntry>& entries);

}  // namespace zalmir
