#include "simhost/records.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "simhost/host.h"

namespace zalmir {

namespace {
void PutText(std::vector<uint8_t>& record, uint32_t offset, uint32_t size, const std::string& text) {
  const size_t length = std::min<size_t>(text.size(), size - 1);
  std::memcpy(record.data() + offset, text.data(), length);
  record[offset + length] = 0;
}
std::string GetText(const uint8_t* at, uint32_t size) {
  return std::string(reinterpret_cast<const char*>(at), strnlen(reinterpret_cast<const char*>(at), size));
}
}  // namespace

std::vector<uint8_t> MakeGoodsRecord(const GoodsItem& item) {
  std::vector<uint8_t> record(kGoodsRecordSize, 0);
  PutText(record, goods_field::kName, goods_field::kNameSize, item.name);
  PutText(record, goods_field::kKeyWord, goods_field::kKeyWordSize, item.key_word);
  std::memcpy(record.data() + goods_field::kCardNumber, &item.card_number, 2);
  return record;
}

GoodsItem ReadGoodsRecord(const std::vector<uint8_t>& record) {
  GoodsItem item;
  item.name = GetText(record.data() + goods_field::kName, goods_field::kNameSize);
  item.key_word = KeyWordOf(record);
  std::memcpy(&item.card_number, record.data() + goods_field::kCardNumber, 2);
  return item;
}

std::string KeyWordOf(const std::vector<uint8_t>& record) {
  return GetText(record.data() + goods_field::kKeyWord, goods_field::kKeyWordSize);
}

std::vector<uint8_t> MakeStockCardRecord(const StockCardEntry& entry) {
  std::vector<uint8_t> record(kStockCardRecordSize, 0);
  uint8_t* date = record.data() + stock_card_field::kDate;
  date[0] = entry.date.day;
  date[1] = entry.date.month;
  std::memcpy(date + 2, &entry.date.year, 2);
  std::memcpy(record.data() + stock_card_field::kFirstAmount, &entry.first_amount, 4);
  std::memcpy(record.data() + stock_card_field::kSecondAmount, &entry.second_amount, 4);
  std::memcpy(record.data() + stock_card_field::kDocumentKind, &entry.kind, 2);
  return record;
}

StockCardEntry ReadStockCardRecord(const uint8_t* record) {
  StockCardEntry entry;
  const uint8_t* date = record + stock_card_field::kDate;
  entry.date.day = date[0];
  entry.date.month = date[1];
  std::memcpy(&entry.date.year, date + 2, 2);
  std::memcpy(&entry.first_amount, record + stock_card_field::kFirstAmount, 4);
  std::memcpy(&entry.second_amount, record + stock_card_field::kSecondAmount, 4);
  std::memcpy(&entry.kind, record + stock_card_field::kDocumentKind, 2);
  return entry;
}

std::string DateText(const uint8_t* stored_date) {
  Date date;
  date.day = stored_date[0];
  date.month = stored_date[1];
  std::memcpy(&date.year, stored_date + 2, 2);
  return DateText(date);
}

std::string DateText(const Date& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u.%02u.%04u", date.day, date.month, date.year);
  return text;
}

std::string StockCardFileName(int32_t context_number, int32_t card_number) {
  return "MMM" + std::to_string(context_number) + "-" + std::to_string(card_number) + ".KAR";
}

void WriteStockCardFile(const std::filesystem::path& path, const std::vector<StockCardEntry>& entries) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const StockCardEntry& entry : entries) {
    const std::vector<uint8_t> record = MakeStockCardRecord(entry);
    out.write(reinterpret_cast<const char*>(record.data()), record.size());
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace zalmir
