// The goods table's command handler as the host reaches it after start:
// every command goes on to the host's own handler; Ctrl+9 (command 239)
// first writes each item's last delivery date into its key-word field.
#include <cstring>

#include "standin/seh.h"
#include "support/warehouse_fixture.h"

namespace zefirnik_test {
namespace {

using Roles = std::vector<std::string>;

class GoodsCommandTest : public WarehouseTest {};

TEST_F(GoodsCommandTest, OtherCommandsGoToTheHostsHandlerUnchanged) {
  host().goods_handler_result = 0x600DF00D;
  const std::vector<uint32_t> others = {2, 3, 4, 5, 7, 8, 9, 10, 0xFFFFFFFF};
  for (int32_t command : {0, 1, 238, 240, -239, 239 + 65536}) {
    host().ClearRecords();
    const win32::CallResult result = SendGoodsCommand(command, others);
    ExpectClean(result, "command " + std::to_string(command));
    EXPECT_EQ(result.eax, 0x600DF00Du);
    EXPECT_EQ(host().Roles(), (Roles{"HostGoodsCommandHandler", "CursorDestroy"})) << command;
    ASSERT_EQ(host().goods_handler_calls.size(), 1u);
    const std::vector<uint32_t> expected = {static_cast<uint32_t>(command), 2, 3, 4, 5,
                                            static_cast<uint32_t>(reinterpret_cast<uintptr_t>(
                                                host().goods().descriptor_address())),
                                            7, 8, 9, 10, 0xFFFFFFFF};
    EXPECT_EQ(host().goods_handler_calls[0].args, expected) << command;
  }
}

// Leaves a known pattern in the stack below the caller, where the next
// calls' frames (the plugin's among them) will lie.
__attribute__((noinline)) void DirtyTheStackBelow() {
  volatile uint8_t junk[32768];
  for (size_t i = 0; i < sizeof junk; ++i) junk[i] = 0xCC;
}

TEST_F(GoodsCommandTest, CursorIsCreatedByZeroingItsWordAt188AndNothingElse) {
  std::vector<std::pair<uint32_t, uint32_t>> seen;  // words at 184 and 188
  host().intercept["CursorDestroy"] = [&seen](const zalmir::ServiceCall& call) -> std::optional<uint32_t> {
    const uint8_t* cursor = reinterpret_cast<const uint8_t*>(call.args[0]);
    uint32_t at184, at188;
    std::memcpy(&at184, cursor + 184, 4);
    std::memcpy(&at188, cursor + 188, 4);
    seen.emplace_back(at184, at188);
    return std::nullopt;
  };
  DirtyTheStackBelow();
  ExpectClean(SendGoodsCommand(5), "command 5");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].second, 0u);
  EXPECT_EQ(seen[0].first, 0xCCCCCCCCu) << "more than the word at 188 was set";
}

TEST_F(GoodsCommandTest, Ctrl9AnsweredWithAnythingButYesOnlyGoesOn) {
  AddGoods("Mąka", 1, "stare");
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  for (uint32_t answer : {0u, 7u, 0x5008u, 0x50090000u, 0xFFFF5000u}) {
    host().ClearRecords();
    const win32::CallResult result = Ctrl9(answer);
    ExpectClean(result, "answer " + std::to_string(answer));
    EXPECT_EQ(host().Roles(), (Roles{"ShowMessage", "HostGoodsCommandHandler", "CursorDestroy"})) << answer;
    EXPECT_EQ(KeyWord(0), "stare");
  }
}

TEST_F(GoodsCommandTest, OnlyTheAnswersLow16BitsSayYes) {
  AddGoods("Mąka", 1, "stare");
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  ExpectClean(Ctrl9(0xABCD5009), "Ctrl+9");
  EXPECT_EQ(KeyWord(0), "01.02.2025");
}

TEST_F(GoodsCommandTest, Ctrl9AsksTheQuestion) {
  Ctrl9(0);
  ASSERT_EQ(host().messages.size(), 1u);
  EXPECT_EQ(host().messages[0].title, "Uwaga");
  EXPECT_EQ(host().messages[0].text, Mz("Czy pobrać daty ostatniego zakupu do rubryki 'Słowo KLUCZ'?"));
  EXPECT_EQ(host().messages[0].values, (std::vector<int32_t>{0x10006}));
}

TEST_F(GoodsCommandTest, YesFillsEveryItemWithItsLastDeliveryAndStoresIt) {
  const size_t flour = AddGoods("Mąka pszenna", 11, "stare");
  const size_t sugar = AddGoods("Cukier", 12);
  const size_t service = AddGoods("Usługa", 0, "bez karty");
  const size_t salt = AddGoods("Sól", 13, "sól kamienna");
  const size_t later = AddGoods("Żelatyna", 14, "x");
  WriteStockCard(11, {Delivery(3, 1, 2024), Sale(5, 1, 2024), Delivery(7, 2, 2024), Sale(9, 2, 2024)});
  WriteStockCard(12, {Delivery(1, 6, 2025, 45)});
  WriteStockCard(13, {Sale(1, 1, 2024), Sale(2, 1, 2024)});
  // The last delivery in the file wins, not the latest date.
  WriteStockCard(14, {Delivery(30, 12, 2025), Delivery(1, 3, 2024)});
  host().goods_handler_result = 77;

  const win32::CallResult result = Ctrl9();
  ExpectClean(result, "Ctrl+9");
  EXPECT_EQ(result.eax, 77u);
  EXPECT_EQ(KeyWord(flour), "07.02.2024");
  EXPECT_EQ(KeyWord(sugar), "01.06.2025");
  EXPECT_EQ(KeyWord(service), "bez karty");
  EXPECT_EQ(KeyWord(salt), Mz("sól kamienna"));
  EXPECT_EQ(KeyWord(later), "01.03.2024");
  EXPECT_EQ(host().Count("CursorSave"), 3u);
  EXPECT_EQ(host().Count("BuildFileName"), 4u) << "card number 0 was searched";
  EXPECT_EQ(host().Count("GetContextNumber"), 4u);
  EXPECT_EQ(host().Count("CursorClose"), 1u);

  const Roles roles = host().Roles();
  ASSERT_GE(roles.size(), 3u);
  EXPECT_EQ(Roles(roles.end() - 3, roles.end()), (Roles{"CursorClose", "HostGoodsCommandHandler", "CursorDestroy"}));
  EXPECT_EQ(Roles(roles.begin(), roles.begin() + 3), (Roles{"ShowMessage", "PrepareSelection", "CursorOpen"}));
  EXPECT_EQ(host().goods_handler_calls.at(0).args[0], 239u);

  const zalmir::ServiceCall* open = Find("CursorOpen");
  const zalmir::ServiceCall* prepare = Find("PrepareSelection");
  const uint32_t cursor = open->args[0];
  EXPECT_EQ(prepare->args, (std::vector<uint32_t>{4, 0, open->args[3], 0}));
  EXPECT_EQ(open->args, (std::vector<uint32_t>{cursor, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(
                                                           host().goods().descriptor_address())),
                                               4, prepare->args[2], 1, 0}));
  for (const char* role : {"CursorNext", "CursorSave", "CursorClose", "CursorDestroy"})
    for (const zalmir::ServiceCall* call : All(role)) EXPECT_EQ(call->args[0], cursor) << role;
  for (const zalmir::ServiceCall* call : All("CheckUserBreak")) EXPECT_EQ(call->args[0], 0u);
}

TEST_F(GoodsCommandTest, SearchIsAskedWithTheSignedNumbersOfEachRecord) {
  AddGoods("Ocet", -5);
  host().context_number = -3;
  WriteStockCard(-5, {Delivery(2, 2, 2022)});
  ExpectClean(Ctrl9(), "Ctrl+9");
  EXPECT_EQ(KeyWord(0), "02.02.2022");
  const zalmir::ServiceCall* name = Find("BuildFileName");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->args[0], static_cast<uint32_t>(-5));
  EXPECT_EQ(name->args[1], static_cast<uint32_t>(-3));
  EXPECT_STREQ(reinterpret_cast<const char*>(name->args[3]), "MMM");
  EXPECT_STREQ(reinterpret_cast<const char*>(name->args[4]), ".KAR");
  EXPECT_EQ(name->args[5], 107u);
  EXPECT_EQ(name->args[6], 5u);
  const zalmir::ServiceCall* copy = Find("CopyTextMax");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->args[2], 10u);
}

TEST_F(GoodsCommandTest, EmptyListOrUnopenedCursorStillClosesAndGoesOn) {
  ExpectClean(Ctrl9(), "empty list");
  EXPECT_EQ(host().Roles(), (Roles{"ShowMessage", "PrepareSelection", "CursorOpen", "CursorNext", "CursorClose",
                                   "HostGoodsCommandHandler", "CursorDestroy"}));
  AddGoods("Mąka", 1);
  host().ClearRecords();
  host().intercept["CursorOpen"] = [](const zalmir::ServiceCall&) { return 0; };
  ExpectClean(Ctrl9(), "cursor not opened");
  EXPECT_EQ(host().Roles(), (Roles{"ShowMessage", "PrepareSelection", "CursorOpen", "CursorClose",
                                   "HostGoodsCommandHandler", "CursorDestroy"}));
}

TEST_F(GoodsCommandTest, BreakInTheWalkEndsItAndKeepsWhatWasStored) {
  for (int16_t card = 1; card <= 4; ++card) {
    AddGoods("Towar", card, "stare");
    WriteStockCard(card, {Delivery(static_cast<uint8_t>(card), 1, 2024)});
  }
  // Polls: walk, search, walk, search, walk... a break at poll 5 stops the
  // walk before the third record.
  host().break_at_poll = 5;
  ExpectClean(Ctrl9(), "Ctrl+9 with a break");
  EXPECT_EQ(KeyWord(0), "01.01.2024");
  EXPECT_EQ(KeyWord(1), "02.01.2024");
  EXPECT_EQ(KeyWord(2), "stare");
  EXPECT_EQ(KeyWord(3), "stare");
  EXPECT_EQ(host().Count("CursorSave"), 2u);
  EXPECT_EQ(host().goods_handler_calls.size(), 1u);
}

TEST_F(GoodsCommandTest, BreakInsideTheSearchEndsTheWalkWithoutStoringThatRecord) {
  for (int16_t card = 1; card <= 3; ++card) {
    AddGoods("Towar", card, "stare");
    WriteStockCard(card, {Delivery(static_cast<uint8_t>(card), 1, 2024)});
  }
  // Only the second item's read sees the break: the walk must end on the
  // search's answer alone.
  int polls = 0;
  host().intercept["CheckUserBreak"] = [&polls](const zalmir::ServiceCall&) { return ++polls == 4 ? 1u : 0u; };
  ExpectClean(Ctrl9(), "Ctrl+9 with a break in the search");
  EXPECT_EQ(KeyWord(0), "01.01.2024");
  EXPECT_EQ(KeyWord(1), "stare");
  EXPECT_EQ(KeyWord(2), "stare");
  EXPECT_EQ(host().Count("CursorSave"), 1u);
  EXPECT_EQ(host().Count("BuildFileName"), 2u);
  EXPECT_EQ(host().open_files(), 0u);
}

TEST_F(GoodsCommandTest, BreakIsAskedBeforeTheCardNumberIsLookedAt) {
  AddGoods("Usługa", 0);
  AddGoods("Mąka", 1);
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  int polls = 0;
  host().intercept["CheckUserBreak"] = [&polls](const zalmir::ServiceCall&) { return ++polls == 2 ? 1u : 0u; };
  ExpectClean(Ctrl9(), "Ctrl+9");
  // One poll for the record without a card, the second ends the walk.
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(host().Count("BuildFileName"), 0u);
  EXPECT_EQ(KeyWord(1), "");
}

TEST_F(GoodsCommandTest, WalksTheTableOfItsSixthArgumentWhereverItsBufferMoved) {
  AddGoods("Mąka", 1, "w magazynie 49");
  zalmir::Table& other = host().AddTable(60, 1024);
  other.records.push_back(zalmir::MakeGoodsRecord({"Cukier", 1, "stare"}));
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  std::vector<uint8_t> moved(1024);
  // The host gives the cursor a buffer of its own once it is open.
  host().intercept["CursorOpen"] = [&other, &moved](const zalmir::ServiceCall&) -> std::optional<uint32_t> {
    const uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(moved.data()));
    std::memcpy(other.descriptor.data() + zalmir::kDescriptorRecordBuffer, &address, 4);
    return std::nullopt;
  };
  host().show_message_answers.push_back(kYes);
  const uint32_t descriptor = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(other.descriptor_address()));
  const win32::CallResult result =
      win32::CallPe(reinterpret_cast<void*>(host().goods().command_handler()), win32::CallConv::Stdcall,
                    {239, 0, 0, 0, 0, descriptor, 0, 0, 0, 0, 0});
  ExpectClean(result, "Ctrl+9 for table 60");
  EXPECT_EQ(zalmir::KeyWordOf(other.records[0]), "01.02.2025");
  EXPECT_EQ(KeyWord(0), "w magazynie 49");
  EXPECT_EQ(host().goods_handler_calls.at(0).args[5], descriptor);
}

TEST_F(GoodsCommandTest, ItemWithoutDateKeepsItsTextAlsoInTheHostsBuffer) {
  AddGoods("Pieprz", 21, "przyprawa");
  WriteStockCard(21, {Sale(1, 1, 2024)});
  ExpectClean(Ctrl9(), "Ctrl+9");
  EXPECT_EQ(KeyWord(0), "przyprawa");
  EXPECT_EQ(host().Count("CursorSave"), 0u);
  const std::vector<uint8_t>& buffer = host().goods().buffer;
  EXPECT_EQ(zalmir::KeyWordOf(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 1024)), "przyprawa");
}

TEST_F(GoodsCommandTest, FailingSearchShowsItsMessageForEveryRecordAndGoesOn) {
  AddGoods("A", 31, "a");
  AddGoods("B", 32, "b");
  ExpectClean(Ctrl9(), "Ctrl+9 without stock-card files");
  EXPECT_EQ(host().Count("ShowMessage"), 3u);  // the question, then one per record
  EXPECT_EQ(KeyWord(0), "a");
  EXPECT_EQ(KeyWord(1), "b");
  EXPECT_EQ(host().goods_handler_calls.size(), 1u);
}

TEST_F(GoodsCommandTest, TooLongDateIsCutAndNothingElseOfTheRecordOrDescriptorsChanges) {
  AddGoods("Kawa", 41, "abcdefghijklmnopqrstuvwxyz");
  AddGoods("Herbata", 0, "x");
  host().goods().records[0][600] = 0x5A;
  host().goods().records[0][542] = 0x11;
  WriteStockCard(41, {Delivery(9, 9, 12345)});  // "09.09.12345": 11 characters
  const std::vector<std::vector<uint8_t>> before = host().goods().records;
  const std::vector<uint8_t> goods_descriptor = host().goods().descriptor;
  const std::vector<uint8_t> stock_descriptor = host().FindTable(51)->descriptor;

  ExpectClean(Ctrl9(), "Ctrl+9");
  EXPECT_EQ(KeyWord(0), "09.09.1234");
  std::vector<uint8_t> expected = before[0];
  std::memcpy(expected.data() + 543, "09.09.1234", 11);
  EXPECT_EQ(host().goods().records[0], expected);
  EXPECT_EQ(host().goods().records[1], before[1]);
  EXPECT_EQ(host().goods().descriptor, goods_descriptor);
  EXPECT_EQ(host().FindTable(51)->descriptor, stock_descriptor);
}

TEST_F(GoodsCommandTest, ExceptionFromTheHostsHandlerPassesOutWithTheCursorDestroyed) {
  AddGoods("Mąka", 1);
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  host().goods_handler_action = [] { win32::RaiseWindowsException(0xC0DE0001); };
  const uint32_t chain_before = win32::ExceptionListHead();
  const win32::CallResult result = Ctrl9();
  EXPECT_TRUE(result.raised);
  EXPECT_EQ(result.exception_code, 0xC0DE0001u);
  EXPECT_EQ(win32::ExceptionListHead(), chain_before);
  EXPECT_EQ(host().Count("CursorClose"), 1u);
  EXPECT_EQ(host().Count("CursorDestroy"), 1u);
  const Roles roles = host().Roles();
  EXPECT_EQ(Roles(roles.end() - 3, roles.end()), (Roles{"CursorClose", "HostGoodsCommandHandler", "CursorDestroy"}));
  EXPECT_EQ(KeyWord(0), "01.02.2025");  // stored before the exception
}

TEST_F(GoodsCommandTest, ExceptionDuringTheWalkDestroysWithoutClosing) {
  AddGoods("Mąka", 1);
  host().intercept["CursorNext"] = [](const zalmir::ServiceCall&) -> std::optional<uint32_t> {
    win32::RaiseWindowsException(0xC0DE0002);
  };
  const uint32_t chain_before = win32::ExceptionListHead();
  const win32::CallResult result = Ctrl9();
  EXPECT_TRUE(result.raised);
  EXPECT_EQ(win32::ExceptionListHead(), chain_before);
  EXPECT_EQ(host().Count("CursorClose"), 0u);
  EXPECT_EQ(host().Count("CursorDestroy"), 1u);
  EXPECT_EQ(host().Count("HostGoodsCommandHandler"), 0u);
}

TEST_F(GoodsCommandTest, WithoutASavedHandlerTheCommandAnswersZero) {
  ASSERT_EQ(Detach(), 0);
  host().goods().set_command_handler(0);
  ASSERT_EQ(Start(0), 0);
  const uint32_t handler = host().goods().command_handler();
  ASSERT_NE(handler, 0u);
  host().ClearRecords();
  const win32::CallResult result = SendGoodsCommand(5);
  ExpectClean(result, "command with no saved handler");
  EXPECT_EQ(result.eax, 0u);
  EXPECT_EQ(host().Roles(), (Roles{"CursorDestroy"}));
}

TEST_F(GoodsCommandTest, CallsCheckedAtEveryStackAlignment) {
  AddGoods("Mąka", 1);
  WriteStockCard(1, {Delivery(1, 2, 2025)});
  for (unsigned alignment : {0u, 4u, 8u, 12u}) {
    host().show_message_answers.push_back(kYes);
    zalmir::Table& goods = host().goods();
    const uint32_t descriptor = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(goods.descriptor_address()));
    const win32::CallResult result =
        win32::CallPe(reinterpret_cast<void*>(goods.command_handler()), win32::CallConv::Stdcall,
                      {239, 0, 0, 0, 0, descriptor, 0, 0, 0, 0, 0}, alignment);
    ExpectClean(result, "ESP mod 16 = " + std::to_string(alignment));
    EXPECT_EQ(KeyWord(0), "01.02.2025");
  }
}

}  // namespace
}  // namespace zefirnik_test
