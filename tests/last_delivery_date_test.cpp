// The last delivery date search for one goods item, called at its address in
// the DLL: which entry qualifies, and every way the search can fail.
#include <cstring>
#include <limits>

#include "support/warehouse_fixture.h"

namespace zefirnik_test {
namespace {

constexpr int16_t kCard = 7;

class LastDeliveryDateTest : public WarehouseTest {
 protected:
  // Runs the search over one file; returns the result and the destination.
  std::pair<int32_t, std::string> SearchCard(const std::vector<zalmir::StockCardEntry>& entries) {
    WriteStockCard(kCard, entries);
    char destination[32];
    std::strcpy(destination, "przed");
    const win32::CallResult result = Search(kCard, host().context_number, destination, 10);
    ExpectClean(result, "search");
    return {static_cast<int32_t>(result.eax), destination};
  }
};

struct QualifyCase {
  const char* name;
  friend void PrintTo(const QualifyCase& c, std::ostream* os) { *os << c.name; }
  zalmir::StockCardEntry entry;
  bool qualifies;
};

class QualifyTest : public LastDeliveryDateTest, public ::testing::WithParamInterface<QualifyCase> {};

TEST_P(QualifyTest, OnlyPositiveDeliveriesWithADateQualify) {
  const QualifyCase& c = GetParam();
  // A qualifying entry before it shows whether the scan went past this one.
  const auto [result, destination] = SearchCard({Delivery(1, 1, 2000), c.entry});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(destination, c.qualifies ? zalmir::DateText(c.entry.date) : "01.01.2000");
}

std::vector<QualifyCase> QualifyCases() {
  std::vector<QualifyCase> cases;
  for (uint16_t kind : {8, 9, 10, 12, 14, 16, 36, 37, 38, 39, 44, 45})
    cases.push_back({"DeliveryKind", Delivery(2, 3, 2024, kind), true});
  for (uint16_t kind : {0, 1, 7, 11, 13, 15, 17, 18, 35, 40, 41, 42, 43, 46, 264, 65535})
    cases.push_back({"OtherKind", Delivery(2, 3, 2024, kind), false});
  cases.push_back({"EqualAmounts", {{2, 3, 2024}, 5, 5, 8}, false});
  cases.push_back({"SecondAmountLarger", {{2, 3, 2024}, 5, 6, 8}, false});
  cases.push_back({"DifferenceWraps", {{2, 3, 2024}, std::numeric_limits<int32_t>::max(), -1, 8}, false});
  cases.push_back({"NegativeSecondAmount", {{2, 3, 2024}, 0, -5, 8}, true});
  cases.push_back({"NoDate", {{0, 3, 2024}, 5, 0, 8}, false});
  cases.push_back({"DateWithZeroMonth", {{2, 0, 0}, 5, 0, 8}, true});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Entries, QualifyTest, ::testing::ValuesIn(QualifyCases()), [](const auto& info) {
  const QualifyCase& c = info.param;
  return std::string(c.name) + "_" + std::to_string(c.entry.kind) + "_" + std::to_string(info.index);
});

TEST_F(LastDeliveryDateTest, ScansFromTheLastEntryAndStopsAtTheFirstDelivery) {
  const auto [result, destination] =
      SearchCard({Delivery(1, 1, 2020), Delivery(31, 12, 2030), Delivery(5, 5, 2021), Sale(6, 6, 2021),
                  Sale(7, 7, 2021)});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(destination, "05.05.2021");
  std::vector<uint32_t> indices;
  for (const zalmir::ServiceCall* read : All("ReadRecordAt")) indices.push_back(read->args[1]);
  EXPECT_EQ(indices, (std::vector<uint32_t>{4, 3, 2}));

  const zalmir::ServiceCall* open = Find("_fopensw_check");
  const zalmir::ServiceCall* index = Find("fopen_ind");
  const zalmir::ServiceCall* close = Find("CloseFiles");
  const zalmir::ServiceCall* name = Find("BuildFileName");
  const uint32_t stock_cards =
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(host().FindTable(51)->descriptor_address()));
  EXPECT_EQ(Find("GetTableDescriptor")->args, (std::vector<uint32_t>{51}));
  EXPECT_EQ(Find("PrepareTable")->args, (std::vector<uint32_t>{stock_cards, 255}));
  EXPECT_EQ(open->args[0], 5u);
  EXPECT_EQ(open->args[1], name->args[2]);
  EXPECT_EQ(open->args[2], stock_cards);
  EXPECT_EQ(index->args[0], name->args[2]);
  EXPECT_EQ(index->args[1], 5u);
  EXPECT_EQ(index->args[3], 0u);
  for (const zalmir::ServiceCall* read : All("ReadRecordAt")) {
    EXPECT_EQ(read->args[2], stock_cards);
    EXPECT_EQ(read->args[3], 0u);
    EXPECT_EQ(read->args[4], open->result);
  }
  EXPECT_EQ(close->args[0], 1u);
  EXPECT_EQ(close->args[1], index->args[2]);
  EXPECT_NE(close->args[2], 0u);
  EXPECT_NE(close->args[3], 0u);
  EXPECT_EQ(host().open_files(), 0u);
  EXPECT_EQ(host().Roles().back(), "CloseFiles");
}

struct FailureCase {
  const char* name;
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
  std::function<void(zalmir::Host&)> arrange;
  int32_t result;
  std::string title;                 // "" when no message
  std::string text;
  std::optional<uint32_t> close_status;  // nullopt: no CloseFiles
  std::vector<uint32_t> reads;
};

class SearchFailureTest : public LastDeliveryDateTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SearchFailureTest, EndsWithItsMessageCloseAndResult) {
  const FailureCase& c = GetParam();
  WriteStockCard(kCard, {Delivery(1, 1, 2001), Delivery(2, 2, 2002), Sale(3, 3, 2003), Sale(4, 4, 2004)});
  c.arrange(host());
  char destination[16] = "przed";
  const win32::CallResult result = Search(kCard, host().context_number, destination, 10);
  ExpectClean(result, c.name);
  EXPECT_EQ(static_cast<int32_t>(result.eax), c.result);
  EXPECT_STREQ(destination, "przed");

  if (c.title.empty()) {
    EXPECT_TRUE(host().messages.empty());
  } else {
    ASSERT_EQ(host().messages.size(), 1u);
    EXPECT_EQ(host().messages[0].title, Mz(c.title));
    EXPECT_EQ(host().messages[0].text, Mz(c.text));
    EXPECT_EQ(host().messages[0].values, (std::vector<int32_t>{1}));
  }
  const std::vector<const zalmir::ServiceCall*> closes = All("CloseFiles");
  if (c.close_status) {
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0]->args[0], *c.close_status);
  } else {
    EXPECT_TRUE(closes.empty());
  }
  std::vector<uint32_t> reads;
  for (const zalmir::ServiceCall* read : All("ReadRecordAt")) reads.push_back(read->args[1]);
  EXPECT_EQ(reads, c.reads);
  EXPECT_EQ(host().open_files(), 0u) << "a file was left open";
}

auto Answer(const char* role, std::function<std::optional<uint32_t>(const zalmir::ServiceCall&)> answer) {
  return [role, answer](zalmir::Host& host) { host.intercept[role] = answer; };
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SearchFailureTest,
    ::testing::Values(
        FailureCase{"NoStockCardTable", [](zalmir::Host& host) { host.RemoveTable(51); }, 1, "Błąd",
                    "Błąd operacji dyskowej-DajOstatniaDateDostawy!\nOperacja niekompletna!", std::nullopt, {}},
        FailureCase{"FileDoesNotOpen", [](zalmir::Host& host) { host.context_number = 99; }, 1, "Uwaga",
                    "Bład _fopensw_check w DajOstatniaDateDostawy!\nOperacja niekompletna!", std::nullopt, {}},
        FailureCase{"IndexDoesNotOpen", Answer("fopen_ind", [](const auto&) { return 0u; }), 1, "Uwaga",
                    "Błąd fopen_ind w DajOstatniaDateDostawy!\nOperacja niekompletna!", 1u, {}},
        FailureCase{"ReadFailsAtIndex2",
                    Answer("ReadRecordAt",
                           [](const zalmir::ServiceCall& call) -> std::optional<uint32_t> {
                             if (call.args[1] == 2) return 0u;
                             return std::nullopt;
                           }),
                    0, "", "", 0u, {3, 2}},
        FailureCase{"BreakAtTheQualifyingRead", [](zalmir::Host& host) { host.break_at_poll = 3; }, -1, "", "", 1u,
                    {3, 2, 1}},
        FailureCase{"BreakAfterAFailedRead",
                    [](zalmir::Host& host) {
                      host.break_at_poll = 1;
                      host.intercept["ReadRecordAt"] = [](const auto&) { return 0u; };
                    },
                    -1, "", "", 0u, {3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LastDeliveryDateTest, FailedIndexOpeningClosesOnlyTheFileBeforeItsMessage) {
  WriteStockCard(kCard, {Delivery(1, 1, 2001)});
  host().intercept["fopen_ind"] = [](const zalmir::ServiceCall&) { return 0u; };
  char destination[16] = "";
  ExpectClean(Search(kCard, host().context_number, destination, 10), "search");
  const zalmir::ServiceCall* close = Find("CloseFiles");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->args[1], 0u);
  EXPECT_NE(close->args[2], 0u);
  EXPECT_EQ(close->args[3], 0u);
  const std::vector<std::string> roles = host().Roles();
  EXPECT_EQ(std::vector<std::string>(roles.end() - 2, roles.end()),
            (std::vector<std::string>{"CloseFiles", "ShowMessage"}));
}

TEST_F(LastDeliveryDateTest, EmptyFileReadsNothingAndClosesWithStatusOne) {
  const auto [result, destination] = SearchCard({});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(destination, "przed");
  EXPECT_EQ(host().Count("ReadRecordAt"), 0u);
  ASSERT_NE(Find("CloseFiles"), nullptr);
  EXPECT_EQ(Find("CloseFiles")->args[0], 1u);
}

TEST_F(LastDeliveryDateTest, NullDestinationCallsNoHostService) {
  WriteStockCard(kCard, {Delivery(1, 1, 2001)});
  const win32::CallResult result = Search(kCard, 1, nullptr, 10);
  ExpectClean(result, "search");
  EXPECT_EQ(result.eax, 1u);
  EXPECT_TRUE(host().log.empty());
}

TEST_F(LastDeliveryDateTest, DateIsCutToTheMaximumLength) {
  WriteStockCard(kCard, {Delivery(1, 2, 2003)});
  for (int32_t max_length : {0, 1, 5, 10, 11}) {
    char destination[16];
    std::memset(destination, 'x', sizeof destination);
    ExpectClean(Search(kCard, host().context_number, destination, max_length), "search");
    EXPECT_EQ(std::string(destination), std::string("01.02.2003").substr(0, max_length)) << max_length;
  }
}

}  // namespace
}  // namespace zefirnik_test
