// The plugin's whole life in the order a host drives it, and the same
// entry points over a host that lacks services the user chose to ignore.
#include <fstream>

#include "simhost/ini_file.h"
#include "support/warehouse_fixture.h"

namespace zefirnik_test {
namespace {

class LifecycleTest : public PluginTest {};

TEST_F(LifecycleTest, LoadAttachStartCtrl9DetachUnload) {
  // Load: the host's module is already in the process.
  ASSERT_TRUE(LoadPlugin());
  EXPECT_TRUE(process().message_boxes.empty());

  // Attach: the host receives the description and the verdict.
  char description[127];
  EXPECT_EQ(AttachWithHostCallback(description), 0);
  EXPECT_EQ(std::string(description, 126), Description());

  // Start: the handler goes onto the goods table; the notice comes once.
  const uint32_t host_handler = host().goods().command_handler();
  host().notice_sets_flag = 1;
  EXPECT_EQ(Start(0), 0);
  EXPECT_NE(host().goods().command_handler(), host_handler);
  EXPECT_EQ(host().Count("ShowNotice"), 1u);
  EXPECT_EQ(zalmir::ReadIniValue(dir_.path() / "WtyczkiG.ini", "Zefirnik", "Pytaj"), "1");

  // Work: Ctrl+9 in the goods list.
  host().goods().records.push_back(zalmir::MakeGoodsRecord({Mz("Mąka"), 3, ""}));
  zalmir::WriteStockCardFile(dir_.path() / zalmir::StockCardFileName(host().context_number, 3),
                             {Delivery(14, 7, 2025), Sale(15, 7, 2025)});
  host().show_message_answers.push_back(kYes);
  ExpectClean(SendGoodsCommand(kCtrl9), "Ctrl+9");
  EXPECT_EQ(zalmir::KeyWordOf(host().goods().records[0]), "14.07.2025");
  EXPECT_EQ(host().goods_handler_calls.size(), 1u);

  // Detach: the host's own handler is back.
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(host().goods().command_handler(), host_handler);

  // Unload: nothing happens on the way out.
  host().ClearRecords();
  UnloadPlugin();
  EXPECT_TRUE(host().log.empty());
  EXPECT_TRUE(process().message_boxes.empty());
}

TEST_F(LifecycleTest, StartWithoutAttachWorksAndAttachMayComeTwice) {
  ASSERT_TRUE(LoadPlugin());
  host().notice_sets_flag = 1;
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(AttachWithHostCallback(), 0);
  EXPECT_EQ(AttachWithHostCallback(), 0);
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(host().Count("ShowNotice"), 1u);
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(host().goods().command_handler(), zalmir::HostGoodsCommandHandlerAddress());
}

// A host that lacks a service the user ignored: its stub answers 0, and
// every entry point still returns with the caller's stack as it was.
struct StubbedCase {
  const char* name;
  friend void PrintTo(const StubbedCase& c, std::ostream* os) { *os << c.name; }
  uint32_t missing;
  int32_t attach;
  int32_t start;
  std::string ctrl9_key_word;  // after Ctrl+9 over one item with a delivery
  std::string search_message;  // what the search said, if anything
};

class StubbedServiceTest : public PluginTest, public ::testing::WithParamInterface<StubbedCase> {};

TEST_P(StubbedServiceTest, EntryPointsReturnNormally) {
  const StubbedCase& c = GetParam();
  host().RemoveOrdinal(c.missing);
  process().message_box_answers = {win32::IDIGNORE};
  ASSERT_TRUE(LoadPlugin());
  std::ofstream(dir_.path() / "WtyczkiG.ini") << "[Zefirnik]\nPytaj=1\n";

  EXPECT_EQ(AttachWithHostCallback(), c.attach);
  EXPECT_EQ(Start(0), c.start);
  EXPECT_EQ(Start(1), 0);
  if (c.start == 0) {
    host().goods().records.push_back(zalmir::MakeGoodsRecord({"Towar", 3, "stare"}));
    zalmir::WriteStockCardFile(dir_.path() / zalmir::StockCardFileName(host().context_number, 3),
                               {Delivery(1, 2, 2024)});
    host().show_message_answers.push_back(kYes);
    ExpectClean(SendGoodsCommand(kCtrl9), "Ctrl+9");
    EXPECT_EQ(zalmir::KeyWordOf(host().goods().records[0]), c.ctrl9_key_word);
    std::vector<std::string> said;
    for (const zalmir::ShownMessage& message : host().messages)
      if (message.service == "ShowMessage" && message.values == std::vector<int32_t>{1}) said.push_back(message.text);
    EXPECT_EQ(said, c.search_message.empty() ? std::vector<std::string>{} : std::vector<std::string>{Mz(c.search_message)});
    EXPECT_EQ(host().goods_handler_calls.size(), 1u);
  }
  EXPECT_EQ(Detach(), 0);
  for (unsigned alignment : {0u, 4u, 8u})
    ExpectClean(win32::CallPe(dll().Export(kPluginStart), win32::CallConv::Stdcall, {1}, alignment),
                "report at ESP mod 16 = " + std::to_string(alignment));
}

INSTANTIATE_TEST_SUITE_P(
    Missing, StubbedServiceTest,
    ::testing::Values(StubbedCase{"GetTableDescriptor", 52256, -1, -1, "", ""},
                      StubbedCase{"ProfileValueF", 41399, 0, 0, "01.02.2024", ""},
                      StubbedCase{"ShowMessage", 52028, 0, 0, "stare", ""},
                      StubbedCase{"DateToText", 32008, 0, 0, "stare", ""},
                      StubbedCase{"fopen_ind", 52300, 0, 0, "stare",
                                  "Błąd fopen_ind w DajOstatniaDateDostawy!\nOperacja niekompletna!"},
                      StubbedCase{"BuildFileName", 52312, 0, 0, "stare",
                                  "Bład _fopensw_check w DajOstatniaDateDostawy!\nOperacja niekompletna!"},
                      StubbedCase{"_fopensw_check", 50516, 0, 0, "stare",
                                  "Bład _fopensw_check w DajOstatniaDateDostawy!\nOperacja niekompletna!"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zefirnik_test
