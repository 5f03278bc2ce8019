// Attach and detach (entry point 30001): the description handed to the
// host, the compatibility checks in their order, and the record-size
// registry they fill.
#include <cstring>

#include "standin/winabi.h"
#include "support/plugin_harness.h"

namespace zefirnik_test {
namespace {

std::vector<std::pair<int32_t, int32_t>> callback_calls;

WINAPI_CDECL int32_t RecordingCallback(int32_t a, int32_t b) {
  callback_calls.emplace_back(a, b);
  return 0;
}

uint32_t RecordingCallbackAddress() { return reinterpret_cast<uintptr_t>(&RecordingCallback); }

class AttachTest : public PluginTest {
 protected:
  void SetUp() override {
    callback_calls.clear();
    ASSERT_TRUE(LoadPlugin());
  }
};

TEST_F(AttachTest, CopiesExactlyTheDescriptionIntoTheHostsBuffer) {
  char buffer[200];
  std::memset(buffer, 0xCC, sizeof buffer);
  EXPECT_EQ(Attach(RecordingCallbackAddress(), buffer), 0);
  EXPECT_EQ(std::string(buffer, 126), Description());
  EXPECT_EQ(buffer[126], 0);
  for (size_t i = 127; i < sizeof buffer; ++i) ASSERT_EQ(static_cast<uint8_t>(buffer[i]), 0xCC) << "byte " << i;
}

TEST_F(AttachTest, NullBufferIsNotTouchedAndTheCheckStillRuns) {
  EXPECT_EQ(Attach(RecordingCallbackAddress(), nullptr), 0);
  EXPECT_EQ(host().Count("CheckPluginModule"), 1u);
}

TEST_F(AttachTest, RefusedAttachStillFillsTheBufferAndKeepsTheCallback) {
  host().module_verdict = 5;
  char buffer[127] = {};
  EXPECT_EQ(Attach(RecordingCallbackAddress(), buffer), -1);
  EXPECT_EQ(std::string(buffer, 126), Description());
  EXPECT_EQ(Start(1), 0);
  EXPECT_EQ(callback_calls, (std::vector<std::pair<int32_t, int32_t>>{{1, -1}}));
}

struct CheckCase {
  const char* name;
  friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
  int32_t verdict;
  int32_t version;
  int16_t goods_size;      // 0: no goods table
  int16_t stock_card_size; // 0: no stock-card table
  int32_t result;
  std::vector<std::string> calls;
};

class CompatibilityTest : public AttachTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CompatibilityTest, ChecksRunInOrderAndStopAtTheFirstFailure) {
  const CheckCase& c = GetParam();
  host().module_verdict = c.verdict;
  host().version = c.version;
  if (c.goods_size) host().goods().set_record_size(c.goods_size); else host().RemoveTable(49);
  if (c.stock_card_size)
    host().FindTable(51)->set_record_size(c.stock_card_size);
  else
    host().RemoveTable(51);

  EXPECT_EQ(Attach(RecordingCallbackAddress(), nullptr), c.result);
  EXPECT_EQ(host().Roles(), c.calls);
  ASSERT_FALSE(host().log.empty());
  EXPECT_EQ(host().log[0].args,
            (std::vector<uint32_t>{static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dll().handle())), 0, 0}));
  std::vector<uint32_t> tables;
  for (const zalmir::ServiceCall& call : host().log)
    if (call.role == "GetTableDescriptor") tables.push_back(call.args[0]);
  const bool sizes_checked = c.calls.size() == 4;
  const std::vector<uint32_t> expected_tables =
      sizes_checked ? std::vector<uint32_t>{49, 51} : std::vector<uint32_t>{};
  EXPECT_EQ(tables, expected_tables);
}

const std::vector<std::string> kAllChecks = {"CheckPluginModule", "GetHostVersion", "GetTableDescriptor",
                                             "GetTableDescriptor"};

INSTANTIATE_TEST_SUITE_P(
    Hosts, CompatibilityTest,
    ::testing::Values(
        CheckCase{"Accepted", 0, 112, 1024, 435, 0, kAllChecks},
        CheckCase{"ModuleRefused", 1, 112, 1024, 435, -1, {"CheckPluginModule"}},
        CheckCase{"ModuleRefusedNegative", -1, 112, 1024, 435, -1, {"CheckPluginModule"}},
        CheckCase{"Version111", 0, 111, 1024, 435, -1, {"CheckPluginModule", "GetHostVersion"}},
        CheckCase{"Version113", 0, 113, 1024, 435, -1, {"CheckPluginModule", "GetHostVersion"}},
        CheckCase{"Version112InLowBitsOnly", 0, 0x10070, 1024, 435, -1, {"CheckPluginModule", "GetHostVersion"}},
        CheckCase{"GoodsRecordsDiffer", 0, 112, 1000, 435, -1, kAllChecks},
        CheckCase{"StockCardRecordsDiffer", 0, 112, 1024, 434, -1, kAllChecks},
        CheckCase{"NoStockCardTable", 0, 112, 1024, 0, -1, kAllChecks},
        CheckCase{"NegativeRecordSize", 0, 112, -1024, 435, -1, kAllChecks}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AttachTest, DetachBeforeAnyStartCallsNoServiceAndKeepsTheCallback) {
  EXPECT_EQ(Attach(RecordingCallbackAddress(), nullptr), 0);
  host().ClearRecords();
  EXPECT_EQ(Detach(), 0);
  EXPECT_TRUE(host().log.empty());
  EXPECT_EQ(Start(1), 0);
  EXPECT_EQ(callback_calls, (std::vector<std::pair<int32_t, int32_t>>{{1, -1}}));
}

TEST_F(AttachTest, EachAttachReplacesTheCallbackAndChecksAnew) {
  EXPECT_EQ(Attach(RecordingCallbackAddress(), nullptr), 0);
  host().version = 111;
  EXPECT_EQ(AttachWithHostCallback(), -1);
  EXPECT_EQ(host().Count("CheckPluginModule"), 2u);
  EXPECT_EQ(Start(1), 0);
  EXPECT_TRUE(callback_calls.empty()) << "the first callback was called after being replaced";
  EXPECT_EQ(host().callback_calls, (std::vector<std::pair<int32_t, int32_t>>{{1, -1}}));
}

}  // namespace
}  // namespace zefirnik_test
