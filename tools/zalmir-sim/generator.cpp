#include "generator.h"

#include <array>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "simhost/host.h"
#include "simhost/mazovia_text.h"
#include "simhost/records.h"
#include "warehouse.h"

namespace zalmir_sim {

namespace {

constexpr std::array<const char*, 12> kProducts = {
    "Mąka",  "Cukier", "Sól",   "Olej",      "Kasza", "Ryż",
    "Kawa",  "Herbata", "Dżem", "Śledzie", "Żurek", "Łosoś"};
constexpr std::array<uint16_t, 12> kDeliveryKinds = {8, 9, 10, 12, 14, 16, 36, 37, 38, 39, 44, 45};
constexpr std::array<uint16_t, 6> kOtherInKinds = {11, 13, 15, 17, 40, 43};

// Distribution helpers of our own: std's distributions may differ between
// library versions, and the same seed must give the same warehouse.
class Dice {
 public:
  explicit Dice(uint32_t seed) : engine_(seed) {}
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(engine_() % n); }
  bool Percent(uint32_t p) { return Below(100) < p; }

 private:
  std::mt19937 engine_;
};

// An item that is never delivered gets goods in under other kinds only.
zalmir::StockCardEntry NextEntry(Dice& dice, zalmir::Date date, bool delivered) {
  zalmir::StockCardEntry entry;
  entry.date = date;
  const uint32_t roll = dice.Below(100);
  const int32_t quantity = 1 + static_cast<int32_t>(dice.Below(50));
  if (roll < 15 && delivered) {  // a delivery
    entry.kind = kDeliveryKinds[dice.Below(kDeliveryKinds.size())];
    entry.first_amount = quantity;
  } else if (roll < 75) {  // a sale
    entry.kind = 2;
    entry.second_amount = quantity;
  } else if (roll < 15 || (roll >= 75 && roll < 85)) {  // goods in, but no delivery
    entry.kind = kOtherInKinds[dice.Below(kOtherInKinds.size())];
    entry.first_amount = quantity;
  } else if (roll < 92) {  // a correction that moves nothing
    entry.kind = kDeliveryKinds[dice.Below(kDeliveryKinds.size())];
    entry.first_amount = entry.second_amount = quantity;
  } else {  // a delivery entered without a date
    entry.kind = kDeliveryKinds[dice.Below(kDeliveryKinds.size())];
    entry.first_amount = quantity;
    entry.date = {};
  }
  return entry;
}

zalmir::Date Advance(Dice& dice, zalmir::Date date) {
  date.day = static_cast<uint8_t>(date.day + dice.Below(3));
  if (date.day > 28) {
    date.day = static_cast<uint8_t>(date.day - 28);
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

}  // namespace

void GenerateWarehouse(const std::filesystem::path& directory, const GeneratorSettings& settings) {
  if (settings.goods > 32767) throw std::runtime_error("at most 32767 goods items: card numbers are 16-bit");
  Dice dice(settings.seed);
  std::ofstream goods(directory / kGoodsFileName, std::ios::binary | std::ios::trunc);
  std::vector<zalmir::StockCardEntry> entries;
  for (uint32_t i = 1; i <= settings.goods; ++i) {
    const std::string name =
        zalmir::Utf8ToMazovia(kProducts[dice.Below(kProducts.size())]) + " nr " + std::to_string(i);
    const int16_t card = i % 100 == 0 ? 0 : static_cast<int16_t>(i);
    const std::string key_word = dice.Percent(20) ? "stare" : "";
    const std::vector<uint8_t> record = zalmir::MakeGoodsRecord({name, card, key_word});
    goods.write(reinterpret_cast<const char*>(record.data()), record.size());
    if (card == 0) continue;

    entries.clear();
    zalmir::Date date{static_cast<uint8_t>(1 + dice.Below(28)), static_cast<uint8_t>(1 + dice.Below(12)),
                      static_cast<uint16_t>(2015 + dice.Below(5))};
    const bool delivered = !dice.Percent(3);
    for (uint32_t e = 0; e < settings.entries; ++e) {
      date = Advance(dice, date);
      entries.push_back(NextEntry(dice, date, delivered));
    }
    zalmir::WriteStockCardFile(directory / zalmir::StockCardFileName(1, card), entries);
  }
  if (!goods) throw std::runtime_error("cannot write " + (directory / kGoodsFileName).string());
  std::ofstream ini(directory / kIniFileName, std::ios::trunc);
  ini << "[Zefirnik]\r\nPytaj=1\r\n";
  if (!ini) throw std::runtime_error("cannot write " + (directory / kIniFileName).string());
}

}  // namespace zalmir_sim
