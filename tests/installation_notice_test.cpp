// The installation notice at start, governed by "Pytaj" in section
// "Zefirnik" of the host's "WtyczkiG.ini".
#include <fstream>
#include <sstream>

#include "simhost/ini_file.h"
#include "support/plugin_harness.h"

namespace zefirnik_test {
namespace {

std::string NoticeText() { return Mz("Zainstalowano wtyczkę do programu:\n") + Description(); }

class InstallationNoticeTest : public PluginTest {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadPlugin()); }
  std::filesystem::path Ini() const { return dir_.path() / "WtyczkiG.ini"; }
  void WriteIni(const std::string& text) { std::ofstream(Ini()) << text; }
  std::string ReadIni() const {
    std::ifstream in(Ini());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::optional<std::string> Pytaj() const { return zalmir::ReadIniValue(Ini(), "Zefirnik", "Pytaj"); }
};

struct ShownCase {
  const char* name;
  friend void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }
  std::optional<std::string> ini;     // nullopt: no file
  std::optional<int16_t> window_sets; // nullopt: the window leaves the flag
  std::string stored;
};

class NoticeShownTest : public InstallationNoticeTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(NoticeShownTest, ShowsTheNoticeAndStoresWhatTheWindowLeft) {
  const ShownCase& c = GetParam();
  if (c.ini) WriteIni(*c.ini);
  host().notice_sets_flag = c.window_sets;
  EXPECT_EQ(Start(0), 0);

  ASSERT_EQ(host().Count("ShowNotice"), 1u);
  const zalmir::ServiceCall* notice = nullptr;
  for (const zalmir::ServiceCall& call : host().log)
    if (call.role == "ShowNotice") notice = &call;
  EXPECT_EQ(notice->args[0], 1668u);
  EXPECT_NE(notice->args[1], 0u);
  EXPECT_EQ(notice->args[2], 0u);
  ASSERT_EQ(host().messages.size(), 1u);
  EXPECT_EQ(host().messages[0].text, NoticeText());
  EXPECT_EQ(host().messages[0].text.size(), 161u);
  EXPECT_EQ(Pytaj(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, NoticeShownTest,
    ::testing::Values(ShownCase{"NoFile", std::nullopt, std::nullopt, "0"},
                      ShownCase{"NoSection", "[Inne]\nPytaj=1\n", 1, "1"},
                      ShownCase{"NoKey", "[Zefirnik]\nInny=3\n", std::nullopt, "0"},
                      ShownCase{"Zero", "[Zefirnik]\nPytaj=0\n", 1, "1"},
                      ShownCase{"ZeroLowBits", "[Zefirnik]\nPytaj=65536\n", std::nullopt, "0"},
                      ShownCase{"Unreadable", "[Zefirnik]\nPytaj=tak\n", std::nullopt, "0"},
                      ShownCase{"WindowSetsNegative", "[Zefirnik]\nPytaj=0\n", -2, "-2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallationNoticeTest, SetFlagShowsNothingAndWritesNothing) {
  for (const char* value : {"1", "-1", "65537"}) {
    host().ClearRecords();
    const std::string ini = std::string("[Zefirnik]\r\nPytaj=") + value + "\r\n";
    WriteIni(ini);
    EXPECT_EQ(Start(0), 0) << value;
    EXPECT_EQ(host().Count("ShowNotice"), 0u) << value;
    EXPECT_EQ(host().Count("ProfileValueF"), 1u) << value;  // the read alone
    EXPECT_EQ(ReadIni(), ini) << value;
  }
}

TEST_F(InstallationNoticeTest, EveryStartShowsTheNoticeWhileTheFlagIsZero) {
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(host().Count("ShowNotice"), 2u);
  host().notice_sets_flag = 1;
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(host().Count("ShowNotice"), 3u);
  EXPECT_EQ(Pytaj(), "1");
}

// A read answers in its low 16 bits; the flag it stored counts only then.
struct ReadAnswerCase {
  const char* name;
  uint32_t answer;
  int32_t stored_flag;
  bool shown;
  friend void PrintTo(const ReadAnswerCase& c, std::ostream* os) { *os << c.name; }
};

class ReadAnswerTest : public InstallationNoticeTest, public ::testing::WithParamInterface<ReadAnswerCase> {};

TEST_P(ReadAnswerTest, DecidesWhetherTheStoredFlagCounts) {
  const ReadAnswerCase& c = GetParam();
  host().intercept["ProfileValueF"] = [&c](const zalmir::ServiceCall& call) -> std::optional<uint32_t> {
    if (call.args[1] != 8) return std::nullopt;
    int32_t* flag = *reinterpret_cast<int32_t**>(call.args[5]);
    *flag = c.stored_flag;
    return c.answer;
  };
  EXPECT_EQ(Start(0), 0);
  EXPECT_EQ(host().Count("ShowNotice"), c.shown ? 1u : 0u);
  const std::optional<std::string> stored = c.shown ? std::optional<std::string>("0") : std::nullopt;
  EXPECT_EQ(Pytaj(), stored) << "a shown notice writes the flag the window left (0)";
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadAnswerTest,
                         ::testing::Values(ReadAnswerCase{"DoneInLowBits", 0x00010000, 1, false},
                                           ReadAnswerCase{"FailedWithFlagSet", 1, 1, true},
                                           ReadAnswerCase{"FailedInLowBits", 0x00010001, 1, true},
                                           ReadAnswerCase{"DoneWithZeroFlag", 0, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallationNoticeTest, ReadAndWriteGoThroughTheHostsIniService) {
  host().notice_sets_flag = 1;
  EXPECT_EQ(Start(0), 0);
  std::vector<const zalmir::ServiceCall*> profile;
  for (const zalmir::ServiceCall& call : host().log)
    if (call.role == "ProfileValueF") profile.push_back(&call);
  ASSERT_EQ(profile.size(), 2u);
  EXPECT_EQ(profile[0]->args[1], 8u);
  EXPECT_EQ(profile[1]->args[1], 9u);
  for (const zalmir::ServiceCall* call : profile) {
    EXPECT_STREQ(reinterpret_cast<const char*>(call->args[0]), "WtyczkiG.ini");
    EXPECT_STREQ(reinterpret_cast<const char*>(call->args[2]), "Zefirnik");
    EXPECT_STREQ(reinterpret_cast<const char*>(call->args[3]), "Pytaj");
    EXPECT_STREQ(reinterpret_cast<const char*>(call->args[4]), "%d");
  }
}

}  // namespace
}  // namespace zefirnik_test
