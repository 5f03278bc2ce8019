#include "support/warehouse_fixture.h"

#include <fstream>

namespace zefirnik_test {

zalmir::StockCardEntry Delivery(uint8_t day, uint8_t month, uint16_t year, uint16_t kind) {
  return {{day, month, year}, 10, 0, kind};
}

zalmir::StockCardEntry Sale(uint8_t day, uint8_t month, uint16_t year) {
  return {{day, month, year}, 0, 3, 2};
}

void WarehouseTest::SetUp() {
  std::ofstream(dir_.path() / "WtyczkiG.ini") << "[Zefirnik]\r\nPytaj=1\r\n";
  ASSERT_TRUE(LoadPlugin());
  ASSERT_EQ(Start(0), 0);
  host().ClearRecords();
}

size_t WarehouseTest::AddGoods(const std::string& name, int16_t card_number, const std::string& key_word) {
  host().goods().records.push_back(zalmir::MakeGoodsRecord({Mz(name), card_number, Mz(key_word)}));
  return host().goods().records.size() - 1;
}

void WarehouseTest::WriteStockCard(int16_t card_number, const std::vector<zalmir::StockCardEntry>& entries) {
  zalmir::WriteStockCardFile(dir_.path() / zalmir::StockCardFileName(host().context_number, card_number),
                             entries);
}

std::string WarehouseTest::KeyWord(size_t index) const {
  return zalmir::KeyWordOf(host_->goods().records.at(index));
}

win32::CallResult WarehouseTest::Ctrl9(uint32_t answer) {
  host().show_message_answers.push_back(answer);
  return SendGoodsCommand(kCtrl9);
}

win32::CallResult WarehouseTest::Search(int32_t card_number, int32_t context_number, char* destination,
                                        int32_t max_length) {
  void* search = reinterpret_cast<void*>(Image(MapAddress("DajOstatniaDateDostawy@16")));
  return win32::CallPe(search, win32::CallConv::Stdcall,
                       {static_cast<uint32_t>(card_number), static_cast<uint32_t>(context_number),
                        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(destination)),
                        static_cast<uint32_t>(max_length)});
}

const zalmir::ServiceCall* WarehouseTest::Find(const std::string& role, size_t nth) const {
  std::vector<const zalmir::ServiceCall*> calls = All(role);
  return nth < calls.size() ? calls[nth] : nullptr;
}

std::vector<const zalmir::ServiceCall*> WarehouseTest::All(const std::string& role) const {
  std::vector<const zalmir::ServiceCall*> calls;
  for (const zalmir::ServiceCall& call : host_->log)
    if (call.role == role) calls.push_back(&call);
  return calls;
}

}  // namespace zefirnik_test
