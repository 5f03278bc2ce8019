#include "sample_warehouse.h"

#include <climits>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "simhost/host.h"
#include "simhost/mazovia_text.h"
#include "simhost/records.h"
#include "warehouse.h"

namespace zalmir_sim {

namespace {

using zalmir::StockCardEntry;

// Document kinds as this sample uses them. Only the delivery kinds mean
// anything to the plugin; the others stand for the host's other documents.
constexpr uint16_t kPurchase = 8;
constexpr uint16_t kSale = 2;
constexpr uint16_t kCustomerReturn = 11;  // goods come in, but not from a supplier
constexpr uint16_t kSupplierReturn = 13;

StockCardEntry In(uint8_t day, uint8_t month, uint16_t year, uint16_t kind, int32_t quantity) {
  return {{day, month, year}, quantity, 0, kind};
}
StockCardEntry Out(uint8_t day, uint8_t month, uint16_t year, uint16_t kind, int32_t quantity) {
  return {{day, month, year}, 0, quantity, kind};
}
StockCardEntry Sale(uint8_t day, uint8_t month, uint16_t year, int32_t quantity) {
  return Out(day, month, year, kSale, quantity);
}

struct SampleItem {
  const char* name;     // UTF-8
  int16_t card_number;
  const char* key_word;  // UTF-8, what the record holds before Ctrl+9
  // Stock card; nullopt: the item has no stock-card file at all.
  std::optional<std::vector<StockCardEntry>> entries;
};

std::vector<SampleItem> SampleItems() {
  return {
      {"Mąka pszenna typ 500", 101, "",
       std::vector{In(3, 2, 2025, kPurchase, 50), Sale(10, 2, 2025, 12), Sale(15, 2, 2025, 20),
                   In(1, 3, 2025, 9, 40), Sale(5, 3, 2025, 8), In(7, 3, 2025, kCustomerReturn, 2)}},
      // A delivery of equal amounts in and out (a correction) counts for nothing.
      {"Cukier biały 1 kg", 102, "stary",
       std::vector{In(12, 1, 2025, 10, 100), Sale(14, 1, 2025, 30), StockCardEntry{{20, 1, 2025}, 5, 5, kPurchase},
                   Sale(22, 1, 2025, 10)}},
      // The last entry is a delivery without a date: it is passed over.
      {"Sól kamienna", 103, "",
       std::vector{In(5, 11, 2024, 36, 30), Sale(6, 11, 2024, 4), In(0, 0, 0, 37, 20)}},
      // No stock-card file: the plugin says so and the record keeps its text.
      {"Olej rzepakowy 1 l", 104, "15.05.2024", std::nullopt},
      // Card number 0: the item is not looked at.
      {"Kasza gryczana", 0, "bez karty", std::vector<StockCardEntry>{}},
      // The latest-dated delivery is not the last entry: the last entry wins.
      {"Ryż długoziarnisty", 106, "",
       std::vector{In(20, 6, 2025, 12, 25), In(14, 3, 2025, 14, 10), Sale(21, 6, 2025, 5)}},
      // Sales and returns only: nothing is found, nothing is stored.
      {"Makaron świderki", 107, "",
       std::vector{Sale(2, 4, 2025, 3), In(3, 4, 2025, kCustomerReturn, 1), Out(4, 4, 2025, kSupplierReturn, 6)}},
      // An empty stock card.
      {"Herbata czarna 100 g", 108, "01.01.2020", std::vector<StockCardEntry>{}},
      // Goods coming in under kinds that are no deliveries, after the last delivery.
      {"Kawa mielona 250 g", 109, "",
       std::vector{In(8, 4, 2025, 44, 12), In(9, 4, 2025, 11, 1), In(10, 4, 2025, 13, 1), In(11, 4, 2025, 15, 1),
                   In(12, 4, 2025, 40, 1)}},
      {"Płatki owsiane", 110, "",
       std::vector{In(1, 2, 2025, 16, 20), In(1, 3, 2025, 38, 20), Sale(2, 3, 2025, 5), In(2, 5, 2025, 45, 15)}},
      // Goods going out under a delivery kind (a negative difference).
      {"Żurek w butelce", 111, "",
       std::vector{In(30, 12, 2024, 39, 24), StockCardEntry{{3, 1, 2025}, 0, 3, kPurchase}, Sale(4, 1, 2025, 6)}},
      {"Śledzie w oleju", 112, "zamówić", std::vector{Sale(1, 7, 2025, 2), In(18, 7, 2025, kPurchase, 30)}},
      // Many sales after the only delivery, and an entry whose difference
      // overflows 32 bits and so is no delivery.
      {"Dżem truskawkowy", 113, "",
       std::vector{In(6, 6, 2024, 37, 60), Sale(7, 6, 2024, 1), Sale(8, 6, 2024, 2), Sale(9, 6, 2024, 3),
                   Sale(10, 6, 2024, 1), Sale(11, 6, 2024, 4), Sale(12, 6, 2024, 2),
                   StockCardEntry{{13, 6, 2024}, INT32_MAX, -1, kPurchase}, Sale(14, 6, 2024, 1)}},
      // A delivery with amounts 0 and -5: the difference, 5, counts.
      {"Groch łuskany", 114, "", std::vector{In(1, 9, 2024, 9, 10), StockCardEntry{{9, 9, 2024}, 0, -5, 10}}},
      {"Łosoś wędzony", 115, "", std::vector{In(28, 2, 2025, 9, 8), Sale(1, 3, 2025, 8)}},
      {"Źródlana woda 1,5 l", 116, "", std::vector{In(15, 8, 2025, 10, 120)}},
  };
}

}  // namespace

void WriteSampleWarehouse(const std::filesystem::path& directory) {
  std::ofstream goods(directory / kGoodsFileName, std::ios::binary | std::ios::trunc);
  for (const SampleItem& item : SampleItems()) {
    const std::vector<uint8_t> record = zalmir::MakeGoodsRecord(
        {zalmir::Utf8ToMazovia(item.name), item.card_number, zalmir::Utf8ToMazovia(item.key_word)});
    goods.write(reinterpret_cast<const char*>(record.data()), record.size());
    if (item.entries && item.card_number != 0)
      zalmir::WriteStockCardFile(directory / zalmir::StockCardFileName(1, item.card_number), *item.entries);
  }
  if (!goods) throw std::runtime_error("cannot write " + (directory / kGoodsFileName).string());
  // Another plugin's settings; Zefirnik's section comes at its first start.
  std::ofstream ini(directory / kIniFileName, std::ios::trunc);
  ini << "[Kasa]\r\nPytaj=1\r\n";
  if (!ini) throw std::runtime_error("cannot write " + (directory / kIniFileName).string());
}

}  // namespace zalmir_sim
