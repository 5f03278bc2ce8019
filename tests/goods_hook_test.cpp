// Start (entry point 30008 with 0) and detach: the plugin's handler goes
// onto the goods table's descriptor and comes off again, or the start fails
// and leaves the descriptor alone.
#include <cstring>

#include "support/plugin_harness.h"

namespace zefirnik_test {
namespace {

class GoodsHookTest : public PluginTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadPlugin());
    host().notice_sets_flag = 1;
  }
  bool InPluginImage(uint32_t address) {
    return address >= dll().image().base() && address < dll().image().base() + dll().image().size();
  }
};

TEST_F(GoodsHookTest, StartInstallsThePluginsHandlerAndDetachPutsTheOldOneBack) {
  for (uint32_t old_handler : {zalmir::HostGoodsCommandHandlerAddress(), 0x13572468u, 0u}) {
    host().goods().set_command_handler(old_handler);
    const std::vector<uint8_t> before = host().goods().descriptor;
    EXPECT_EQ(Start(0), 0);
    const uint32_t installed = host().goods().command_handler();
    EXPECT_TRUE(InPluginImage(installed)) << std::hex << installed;
    std::vector<uint8_t> expected = before;
    std::memcpy(expected.data() + zalmir::kDescriptorCommandHandler, &installed, 4);
    EXPECT_EQ(host().goods().descriptor, expected) << "more than the handler field changed";
    EXPECT_EQ(Detach(), 0);
    EXPECT_EQ(host().goods().descriptor, before) << "old handler " << std::hex << old_handler;
  }
}

TEST_F(GoodsHookTest, SecondStartDoesNotLookTheTableUpAgain) {
  EXPECT_EQ(Start(0), 0);
  const uint32_t installed = host().goods().command_handler();
  host().ClearRecords();
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(host().Count("GetTableDescriptor"), 0u);
  EXPECT_EQ(host().goods().command_handler(), installed);
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(host().goods().command_handler(), zalmir::HostGoodsCommandHandlerAddress());
}

TEST_F(GoodsHookTest, DetachWithoutHookChangesNothing) {
  const std::vector<uint8_t> before = host().goods().descriptor;
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(host().goods().descriptor, before);
  EXPECT_TRUE(host().log.empty());
}

struct RefusedCase {
  const char* name;
  friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
  int16_t goods_size;  // 0: no goods table
};

class RefusedHookTest : public GoodsHookTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedHookTest, StartFailsWithMessageAndLeavesTheDescriptorAlone) {
  const RefusedCase& c = GetParam();
  // Without a goods table there is no descriptor to guard.
  std::vector<uint8_t> before;
  if (c.goods_size) {
    host().goods().set_record_size(c.goods_size);
    before = host().goods().descriptor;
  } else {
    host().RemoveTable(49);
  }
  auto descriptor_now = [&] { return c.goods_size ? host().goods().descriptor : std::vector<uint8_t>{}; };
  EXPECT_EQ(Start(0), -1);
  ASSERT_EQ(host().messages.size(), 1u);
  EXPECT_EQ(host().messages[0].service, "ShowErrorLine");
  EXPECT_EQ(host().messages[0].text, "Program wymaga nowszej wtyczki!");
  EXPECT_EQ(host().Count("ShowNotice"), 0u);
  EXPECT_EQ(host().Count("ProfileValueF"), 0u);
  EXPECT_EQ(descriptor_now(), before);
  EXPECT_EQ(Detach(), 0);
  EXPECT_EQ(descriptor_now(), before);
}

INSTANTIATE_TEST_SUITE_P(Tables, RefusedHookTest,
                         ::testing::Values(RefusedCase{"OtherRecordSize", 1000}, RefusedCase{"Negative", -1024},
                                           RefusedCase{"NoGoodsTable", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zefirnik_test
