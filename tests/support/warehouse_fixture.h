// A started plugin over a small warehouse of the simulated host: goods
// records in the goods table and their stock-card files on disk.
#pragma once
#include "simhost/records.h"
#include "support/plugin_harness.h"

namespace zefirnik_test {

constexpr uint32_t kYes = 0x5009;
constexpr int32_t kCtrl9 = 239;

// A stock-card entry that counts as a delivery unless changed.
zalmir::StockCardEntry Delivery(uint8_t day, uint8_t month, uint16_t year, uint16_t kind = 8);
zalmir::StockCardEntry Sale(uint8_t day, uint8_t month, uint16_t year);

class WarehouseTest : public PluginTest {
 protected:
  void SetUp() override;

  // Adds a goods record (texts given readable, stored in Mazovia); returns
  // its index in the goods table.
  size_t AddGoods(const std::string& name, int16_t card_number, const std::string& key_word = "");
  void WriteStockCard(int16_t card_number, const std::vector<zalmir::StockCardEntry>& entries);
  std::string KeyWord(size_t index) const;
  // Ctrl+9 answered with the given answer to the question.
  win32::CallResult Ctrl9(uint32_t answer = kYes);
  // The search itself, called straight at its address in the DLL.
  win32::CallResult Search(int32_t card_number, int32_t context_number, char* destination, int32_t max_length);

  const zalmir::ServiceCall* Find(const std::string& role, size_t nth = 0) const;
  std::vector<const zalmir::ServiceCall*> All(const std::string& role) const;
};

}  // namespace zefirnik_test
