// The failure report (entry point 30008 with a non-zero mode): one message
// for the first cause that applies, in a fixed order.
#include <cstring>
#include <optional>

#include "support/plugin_harness.h"

namespace zefirnik_test {
namespace {

constexpr char kBaseName[] = "Zefirnik.dll";

class FailureReportTest : public PluginTest {
 protected:
  void SetUp() override {
    win32::LoadOptions options;
    options.file_name = std::string("C:\\ZALMIR\\Wtyczki\\") + kBaseName;
    ASSERT_TRUE(LoadPlugin(true, true, options));
  }

  // Runs the report and returns its one message.
  zalmir::ShownMessage Report(int32_t mode = 1) {
    host().ClearRecords();
    EXPECT_EQ(Start(mode), 0);
    EXPECT_EQ(host().messages.size(), 1u);
    return host().messages.empty() ? zalmir::ShownMessage{} : host().messages.back();
  }

  static std::string SizeReport(const std::vector<std::string>& lines) {
    std::string text = Mz("Rozmiary rekordów niektórych tabel nie zgadzają się\nmiędzy programem a wtyczką '") +
                       Description() + Mz("' (moduł '") + kBaseName +
                       Mz("'):\n\n\x01tl18l33\x01TABELA\tWE WTYCZCE\tW PROGRAMIE\n");
    for (const std::string& line : lines) text += "\x01tp25p40\x01" + line + "\n";
    return text + Mz("\nModuł \x02") + kBaseName + Mz("\x01\nNIE zostanie załadowany!");
  }

  // The versions message is the host's format, with the base name twice.
  static std::string VersionsFormat() {
    return Mz("Moduł \"%s\" i program występują w różnych wersjach!\n\nZostał zakualizowany tylko program "
              "albo tylko moduł,\na nie oba jednocześnie! Aby naprawić tę sytuację\nzainstaluj aktualizację "
              "programu wraz z modułem \"%s\".\n\nMODUŁ NIE ZOSTANIE ZAŁADOWANY!!!\n");
  }
  static std::string VersionsMessage() {
    std::string text = VersionsFormat();
    for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at))
      text.replace(at, 2, kBaseName);
    return text;
  }
};

// A composed text goes to the host whole, behind the format "%s".
void ExpectCodedReport(const zalmir::ShownMessage& shown, const std::string& text,
                       const std::string& format = "%s") {
  EXPECT_EQ(shown.service, "ShowCodedMessageF");
  EXPECT_EQ(shown.title, "STOP!!!");
  EXPECT_EQ(shown.values, (std::vector<int32_t>{30000, 0xF001, 0x6E2E}));
  EXPECT_EQ(shown.format, format);
  EXPECT_EQ(shown.text, text);
}

TEST_F(FailureReportTest, UntouchedMissingFeaturesDecideAfterTheCallback) {
  host().module_verdict = 1;  // nothing else is tried
  const zalmir::ShownMessage shown = Report();
  ExpectCodedReport(shown, Mz("Program nie obsługuje cech 0xFFFFFFFF,\nktóre są niezbędne dla modułu '") +
                               Description() + "'.");
  ASSERT_GE(host().log.size(), 2u);
  EXPECT_EQ(host().log[0].role, "HostCallback");
  EXPECT_EQ(host().log[0].args, (std::vector<uint32_t>{1, 0xFFFFFFFF}));
  EXPECT_EQ(host().log[1].role, "ShowCodedMessageF");
  EXPECT_EQ(host().Count("CheckPluginModule"), 0u);
}

TEST_F(FailureReportTest, AnyNonZeroModeReportsAndAnswersZero) {
  for (int32_t mode : {1, -1, 256}) {
    const zalmir::ShownMessage shown = Report(mode);
    EXPECT_EQ(shown.title, "STOP!!!") << "mode " << mode;
  }
}

struct SizeCase {
  const char* name;
  friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
  int16_t goods_size;       // 0: no table
  int16_t stock_card_size;  // 0: no table
  std::vector<std::string> lines;
};

class SizeReportTest : public FailureReportTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SizeReportTest, ListsEveryMismatchOnceInTheOrderFound) {
  const SizeCase& c = GetParam();
  if (c.goods_size) host().goods().set_record_size(c.goods_size); else host().RemoveTable(49);
  if (c.stock_card_size) host().FindTable(51)->set_record_size(c.stock_card_size); else host().RemoveTable(51);
  SetMissingFeatures(0);
  EXPECT_EQ(AttachWithHostCallback(), -1);
  EXPECT_EQ(AttachWithHostCallback(), -1);  // a second check lists nothing twice
  ExpectCodedReport(Report(), SizeReport(c.lines));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SizeReportTest,
    ::testing::Values(SizeCase{"StockCards434", 1024, 434, {"k11\t435\t434"}},
                      SizeCase{"NoGoodsTable", 0, 435, {"k9\t1024\tbrak"}},
                      SizeCase{"BothWrongGoodsFirst", 512, 436, {"k9\t1024\t512", "k11\t435\t436"}},
                      SizeCase{"NeitherTable", 0, 0, {"k9\t1024\tbrak", "k11\t435\tbrak"}},
                      SizeCase{"NegativeSize", -3, 435, {"k9\t1024\t-3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FailureReportTest, LongestFileNameStillGivesTheWholeReport) {
  host_.reset();
  dll_.reset();
  win32::ResetProcess();
  host_ = std::make_unique<zalmir::Host>(dir_.path());
  const std::string base_name = std::string(295, 'z') + ".dll";
  win32::LoadOptions options;
  options.file_name = base_name;
  ASSERT_TRUE(LoadPlugin(true, true, options));
  SetMissingFeatures(0);
  host().RemoveTable(51);
  host().goods().set_record_size(-32768);
  EXPECT_EQ(Start(0), -1);
  EXPECT_EQ(AttachWithHostCallback(), -1);
  const zalmir::ShownMessage shown = Report();
  std::string expected = SizeReport({"k9\t1024\t-32768", "k9\t1024\t-32768", "k11\t435\tbrak"});
  const std::string short_name = kBaseName;
  for (size_t at = expected.find(short_name); at != std::string::npos; at = expected.find(short_name, at))
    expected.replace(at, short_name.size(), base_name), at += base_name.size();
  ExpectCodedReport(shown, expected);
}

TEST_F(FailureReportTest, FailedInstallationAloneMakesTheCheckFailAndIsListedOnce) {
  SetMissingFeatures(0);
  host().goods().set_record_size(1000);
  EXPECT_EQ(Start(0), -1);
  EXPECT_EQ(Start(0), -1);  // the same entry offered again
  host().goods().set_record_size(1024);
  EXPECT_EQ(AttachWithHostCallback(), -1);
  ExpectCodedReport(Report(), SizeReport({"k9\t1024\t1000"}));
}

TEST_F(FailureReportTest, StartWithoutGoodsTableRecordsItAsMissing) {
  SetMissingFeatures(0);
  host().RemoveTable(49);
  EXPECT_EQ(Start(0), -1);
  ExpectCodedReport(Report(), SizeReport({"k9\t1024\tbrak"}));
}

TEST_F(FailureReportTest, LaterChecksDoNotCutEntriesListedBehindTheirOwn) {
  SetMissingFeatures(0);
  host().goods().set_record_size(1000);
  EXPECT_EQ(AttachWithHostCallback(), -1);  // goods entry
  EXPECT_EQ(Start(0), -1);                  // failed-installation entry behind it
  EXPECT_EQ(AttachWithHostCallback(), -1);  // refills the goods entry
  ExpectCodedReport(Report(), SizeReport({"k9\t1024\t1000", "k9\t1024\t1000"}));
}

TEST_F(FailureReportTest, HostsOwnReasonIsShownAsTheHostWroteIt) {
  SetMissingFeatures(0);
  host().module_verdict = 7;
  host().refusal_reason = Mz("Wtyczka \x02nie\x01 ma licencji.");
  ExpectCodedReport(Report(), host().refusal_reason);
  const zalmir::ServiceCall* check = nullptr;
  for (const zalmir::ServiceCall& call : host().log)
    if (call.role == "CheckPluginModule") check = &call;
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->args[2], 3072u);
  EXPECT_NE(check->args[1], 0u);
}

TEST_F(FailureReportTest, UnterminatedReasonIsCutAtTheBufferEnd) {
  SetMissingFeatures(0);
  host().module_verdict = 1;
  host().refusal_reason = "abcdefgh";
  host().reason_terminated = false;
  const zalmir::ShownMessage shown = Report();
  ASSERT_EQ(shown.text.size(), 3071u);
  EXPECT_EQ(shown.text.substr(0, 8), "abcdefgh");
}

TEST_F(FailureReportTest, RefusalWithoutReasonShowsAnEmptyMessage) {
  SetMissingFeatures(0);
  host().module_verdict = 1;
  ExpectCodedReport(Report(), "");
}

TEST_F(FailureReportTest, OtherVersionNamesTheModuleTwice) {
  SetMissingFeatures(0);
  host().version = 111;
  ExpectCodedReport(Report(), VersionsMessage(), VersionsFormat());
}

TEST_F(FailureReportTest, ReportBeforeAnyAttachFillsTheRegistryForTheNextReport) {
  SetMissingFeatures(0);
  host().FindTable(51)->set_record_size(434);
  ExpectCodedReport(Report(), VersionsMessage(), VersionsFormat());
  ExpectCodedReport(Report(), SizeReport({"k11\t435\t434"}));
}

TEST_F(FailureReportTest, NoCauseFoundSaysTheModuleWasNotInitialised) {
  SetMissingFeatures(0);
  const zalmir::ShownMessage shown = Report();
  EXPECT_EQ(shown.service, "ShowMessageF");
  EXPECT_EQ(shown.title, "STOP!!!");
  EXPECT_EQ(shown.values, (std::vector<int32_t>{0xF001, 0x6E2E}));
  EXPECT_EQ(shown.format, Mz("Moduł \"%s\" nie został poprawnie zainicjowany,\nwięc NIE BĘDZIE AKTYWNY!"));
  EXPECT_EQ(shown.text, Mz("Moduł \"") + kBaseName + Mz("\" nie został poprawnie zainicjowany,\nwięc NIE BĘDZIE AKTYWNY!"));
}

TEST_F(FailureReportTest, WithoutCallbackTheReportStillShowsItsMessage) {
  host_.reset();
  dll_.reset();
  win32::ResetProcess();
  host_ = std::make_unique<zalmir::Host>(dir_.path());
  host().RemoveOrdinal(30006);
  ASSERT_TRUE(LoadPlugin());
  Report();
  EXPECT_EQ(host().Count("HostCallback"), 0u);
}

struct BaseNameCase {
  const char* name;
  friend void PrintTo(const BaseNameCase& c, std::ostream* os) { *os << c.name; }
  std::optional<std::string> path;  // nullopt: the system gives no path
  std::string base_name;
};

class BaseNameTest : public PluginTest, public ::testing::WithParamInterface<BaseNameCase> {};

TEST_P(BaseNameTest, MessagesNameTheFileAfterItsLastSeparator) {
  const BaseNameCase& c = GetParam();
  win32::LoadOptions options;
  options.file_name = c.path;
  options.file_name_unavailable = !c.path;
  ASSERT_TRUE(LoadPlugin(true, true, options));
  SetMissingFeatures(0);
  EXPECT_EQ(Start(1), 0);
  ASSERT_EQ(host().messages.size(), 1u);
  EXPECT_EQ(host().messages[0].text,
            Mz("Moduł \"") + c.base_name + Mz("\" nie został poprawnie zainicjowany,\nwięc NIE BĘDZIE AKTYWNY!"));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BaseNameTest,
    ::testing::Values(BaseNameCase{"Backslashes", "C:\\ZALMIR\\Wtyczki\\Zefirnik.dll", "Zefirnik.dll"},
                      BaseNameCase{"ForwardSlashes", "C:/ZALMIR/Wtyczki/Zef.dll", "Zef.dll"},
                      BaseNameCase{"SlashAfterBackslash", "C:\\ZALMIR\\Wtyczki/Zef.dll", "Zef.dll"},
                      BaseNameCase{"SlashBeforeBackslash", "C:/ZALMIR/Wtyczki\\Zef.dll", "Zef.dll"},
                      BaseNameCase{"NoSeparator", "Zefirnik.dll", "Zefirnik.dll"},
                      BaseNameCase{"NoPath", std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zefirnik_test
