// zalmir-sim with the real Zefirnik.dll over the built-in sample and over
// generated warehouses. What the plugin should have done is written here
// from the rules (by hand for the sample, by this file's own reading of the
// stock cards for generated warehouses), never taken from a run.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <regex>

#include "sim_runner.h"
#include "simhost/mazovia_text.h"
#include "simhost/records.h"

namespace zalmir_sim_test {
namespace {

constexpr size_t kRecordSize = 1024;
constexpr size_t kKeyWordAt = 543;
constexpr size_t kKeyWordWritten = 11;  // ten characters of a date and the NUL

struct SampleRow {
  const char* name;
  const char* card;
  const char* before;
  const char* after;
  bool stored;
};

// The sample's goods list, worked out by hand from its stock cards: the
// date of the delivery nearest the end of the card, where a delivery is an
// entry of a delivery kind, with more in than out and with a date.
const std::vector<SampleRow> kSample = {
    {"Mąka pszenna typ 500", "101", "", "01.03.2025", true},   // returns after the last delivery
    {"Cukier biały 1 kg", "102", "stary", "12.01.2025", true},  // a zero-quantity delivery after it
    {"Sól kamienna", "103", "", "05.11.2024", true},            // the last entry has no date
    {"Olej rzepakowy 1 l", "104", "15.05.2024", "15.05.2024", false},  // no stock-card file
    {"Kasza gryczana", "0", "bez karty", "bez karty", false},          // card number 0
    {"Ryż długoziarnisty", "106", "", "14.03.2025", true},  // not the latest date: the last entry
    {"Makaron świderki", "107", "", "", false},              // no delivery at all
    {"Herbata czarna 100 g", "108", "01.01.2020", "01.01.2020", false},  // empty stock card
    {"Kawa mielona 250 g", "109", "", "08.04.2025", true},   // goods in under other kinds after it
    {"Płatki owsiane", "110", "", "02.05.2025", true},
    {"Żurek w butelce", "111", "", "30.12.2024", true},     // out under a delivery kind after it
    {"Śledzie w oleju", "112", "zamówić", "18.07.2025", true},
    {"Dżem truskawkowy", "113", "", "06.06.2024", true},    // an overflowing difference after it
    {"Groch łuskany", "114", "", "09.09.2024", true},       // amounts 0 and -5
    {"Łosoś wędzony", "115", "", "28.02.2025", true},
    {"Źródlana woda 1,5 l", "116", "", "15.08.2025", true},
};
// Entries read from the end of each card up to its last delivery, summed.
constexpr size_t kSampleMinimumReads = 3 + 4 + 3 + 0 + 0 + 2 + 3 + 0 + 5 + 1 + 3 + 1 + 9 + 1 + 2 + 1;
constexpr size_t kSampleStored = 12;

std::vector<std::vector<std::string>> ExpectedRows(const std::vector<SampleRow>& rows, size_t visited) {
  std::vector<std::vector<std::string>> table;
  for (size_t i = 0; i < rows.size(); ++i) {
    const SampleRow& row = rows[i];
    const bool stored = row.stored && i < visited;
    table.push_back({std::to_string(i + 1), row.name, row.card, row.before, stored ? row.after : row.before,
                     stored ? "yes" : ""});
  }
  return table;
}

std::string Record(const std::string& goods_file, size_t index) { return goods_file.substr(index * kRecordSize, kRecordSize); }

std::string KeyWord(const std::string& record) {
  return zalmir::MazoviaToUtf8(zalmir::KeyWordOf(std::vector<uint8_t>(record.begin(), record.end())));
}

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

class SampleWarehouse : public ::testing::Test {
 protected:
  void SetUp() override {
    const SimRun written = RunSim({"--write-sample", dir_.path().string()});
    ASSERT_EQ(written.status, 0) << written.err;
    before_ = TakeSnapshot(dir_.path());
  }
  SimRun Run(std::vector<std::string> args) {
    args.push_back(dir_.path().string());
    return RunSim(args);
  }
  TempDir dir_;
  Snapshot before_;
};

TEST(SampleRun, WithoutADirectoryTheSampleGetsTheDatesTheRulesGive) {
  const SimRun run = RunSim({"--yes"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(TableRows(run.out), ExpectedRows(kSample, kSample.size()));
  EXPECT_TRUE(Contains(run.out, "Stored records: " + std::to_string(kSampleStored))) << run.out;
  for (const char* shown : {"Zainstalowano wtyczkę do programu:",
                            "Czy pobrać daty ostatniego zakupu do rubryki 'Słowo KLUCZ'?",
                            "Bład _fopensw_check w DajOstatniaDateDostawy!", "Operacja niekompletna!",
                            "Wywołanie: Ctrl+9 w magazynie."})
    EXPECT_TRUE(Contains(run.out, shown)) << shown << "\n" << run.out;
  // Piped output carries no escape codes: the emphasis is dropped.
  EXPECT_FALSE(Contains(run.out, "\x1b[")) << run.out;
}

TEST_F(SampleWarehouse, YesStoresTheKeyWordsAndNothingElse) {
  const SimRun run = Run({"--yes"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(TableRows(run.out), ExpectedRows(kSample, kSample.size()));

  const Snapshot after = TakeSnapshot(dir_.path());
  const std::string& old_goods = before_.at("goods.k9");
  const std::string& new_goods = after.at("goods.k9");
  ASSERT_EQ(new_goods.size(), old_goods.size());
  for (size_t i = 0; i < kSample.size(); ++i) {
    std::string old_record = Record(old_goods, i), new_record = Record(new_goods, i);
    EXPECT_EQ(KeyWord(new_record), kSample[i].after) << "record " << i + 1;
    // Only the key word's bytes may change.
    old_record.replace(kKeyWordAt, kKeyWordWritten, kKeyWordWritten, '\0');
    new_record.replace(kKeyWordAt, kKeyWordWritten, kKeyWordWritten, '\0');
    EXPECT_EQ(new_record, old_record) << "record " << i + 1;
  }
  for (const auto& [file, bytes] : before_) {
    if (file != "goods.k9" && file != "WtyczkiG.ini") {
      EXPECT_EQ(after.at(file), bytes) << file;
    }
  }
  EXPECT_EQ(after.at("WtyczkiG.ini"), "[Kasa]\r\nPytaj=1\r\n[Zefirnik]\r\nPytaj=1\r\n");
}

TEST_F(SampleWarehouse, NoChangesNothingAndASecondRunShowsNoNotice) {
  const SimRun first = Run({"--no"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(TableRows(first.out), ExpectedRows(kSample, 0));
  EXPECT_TRUE(Contains(first.out, "Stored records: 0"));
  EXPECT_TRUE(Contains(first.out, "Zainstalowano wtyczkę")) << first.out;
  Snapshot after_first = TakeSnapshot(dir_.path());
  // The notice window is the only writer: it left its flag in the INI file.
  EXPECT_EQ(after_first.at("WtyczkiG.ini"), "[Kasa]\r\nPytaj=1\r\n[Zefirnik]\r\nPytaj=1\r\n");
  Snapshot rest = after_first;
  rest.erase("WtyczkiG.ini");
  Snapshot rest_before = before_;
  rest_before.erase("WtyczkiG.ini");
  EXPECT_EQ(rest, rest_before);

  const SimRun second = Run({"--no"});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_FALSE(Contains(second.out, "Zainstalowano wtyczkę")) << second.out;
  EXPECT_TRUE(Contains(second.out, "Czy pobrać daty")) << second.out;
  EXPECT_EQ(TakeSnapshot(dir_.path()), after_first);
}

TEST_F(SampleWarehouse, NoticeComesAgainWhileItsWindowLeavesTheFlagAtZero) {
  struct Step {
    std::vector<std::string> args;
    bool notice_shown;
    const char* flag_after;
  };
  const std::vector<Step> steps = {
      {{"--no", "--notice-again"}, true, "0"},
      {{"--no", "--notice-again"}, true, "0"},
      {{"--no"}, true, "1"},
      {{"--no", "--notice-again"}, false, "1"},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    const SimRun run = Run(steps[i].args);
    ASSERT_EQ(run.status, 0) << "step " << i << ": " << run.err;
    EXPECT_EQ(Contains(run.out, "Zainstalowano wtyczkę"), steps[i].notice_shown) << "step " << i;
    EXPECT_TRUE(Contains(ReadFile(dir_ / "WtyczkiG.ini"), std::string("[Zefirnik]\r\nPytaj=") + steps[i].flag_after + "\r\n"))
        << "step " << i << ": " << ReadFile(dir_ / "WtyczkiG.ini");
  }
}

TEST_F(SampleWarehouse, TraceShowsEveryServiceCallOnOneLine) {
  const SimRun run = Run({"--yes", "--trace"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::regex line(R"(^[A-Za-z_0-9]+\(.*\) = -?(0x[0-9A-F]{8}|[0-9]+)$)");
  const std::vector<std::string> lines = run.ErrLines();
  ASSERT_FALSE(lines.empty());
  for (const std::string& text : lines) EXPECT_TRUE(std::regex_match(text, line)) << text;
  auto count = [&](const std::string& role) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& text) { return text.rfind(role + "(", 0) == 0; });
  };
  EXPECT_EQ(count("ReadRecordAt"), static_cast<long>(kSampleMinimumReads));
  EXPECT_EQ(count("CursorSave"), static_cast<long>(kSampleStored));
  EXPECT_EQ(count("CursorNext"), static_cast<long>(kSample.size() + 1));
  EXPECT_TRUE(Contains(run.err, "ShowMessage(\"Uwaga\", \"Czy pobrać daty ostatniego zakupu do rubryki 'Słowo KLUCZ'?\", 0x00010006) = 20489"))
      << run.err;
  EXPECT_TRUE(Contains(run.err, "HostGoodsCommandHandler(239, ")) << run.err;
  EXPECT_TRUE(Contains(run.err, "MMM1-104.KAR")) << run.err;
}

class BreakAfter : public SampleWarehouse, public ::testing::WithParamInterface<size_t> {};

TEST_P(BreakAfter, LeavesExactlyTheRecordsStoredBeforeTheBreakChanged) {
  const size_t visited = GetParam();
  const SimRun run = Run({"--yes", "--break-after", std::to_string(visited)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(TableRows(run.out), ExpectedRows(kSample, visited));
  size_t stored = 0;
  const std::string goods = ReadFile(dir_ / "goods.k9");
  for (size_t i = 0; i < kSample.size(); ++i) {
    const bool changed = kSample[i].stored && i < visited;
    stored += changed;
    if (changed) {
      EXPECT_EQ(KeyWord(Record(goods, i)), kSample[i].after) << "record " << i + 1;
    } else {
      EXPECT_EQ(Record(goods, i), Record(before_.at("goods.k9"), i)) << "record " << i + 1;
    }
  }
  EXPECT_TRUE(Contains(run.out, "Stored records: " + std::to_string(stored))) << run.out;
  EXPECT_EQ(Contains(run.out, "the user broke the walk off after " + std::to_string(visited) + " goods records"),
            visited < kSample.size())
      << run.out;
}

INSTANTIATE_TEST_SUITE_P(Records, BreakAfter, ::testing::Values(0, 1, 4, 9, 15, 16));

// The plugin's verdict on a host that differs from what it was built for.
struct Refusal {
  const char* name;
  std::vector<std::string> args;
  std::vector<std::string> shown;  // in the windows on stdout
  const char* error;               // the one line on stderr
};

class RefusedHost : public SampleWarehouse, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedHost, ShowsThePluginsReportAndStops) {
  const Refusal& refusal = GetParam();
  std::vector<std::string> args = refusal.args;
  args.push_back("--yes");
  const SimRun run = Run(args);
  EXPECT_EQ(run.status, 3);
  ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
  EXPECT_TRUE(Contains(run.err, refusal.error)) << run.err;
  for (const std::string& shown : refusal.shown) EXPECT_TRUE(Contains(run.out, shown)) << shown << "\n" << run.out;
  EXPECT_FALSE(Contains(run.out, "Czy pobrać")) << run.out;
  EXPECT_EQ(TakeSnapshot(dir_.path()), before_);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, RefusedHost,
    ::testing::Values(
        Refusal{"OtherInterfaceRevision", {"--host-version", "111"},
                {"STOP!!!", "Program nie obsługuje cech 0xFFFFFFFF,"}, "refused this host at attach"},
        Refusal{"HostRejectsThePlugin", {"--host-refuses", "Licencja wygasła"},
                {"STOP!!!", "które są niezbędne dla modułu"}, "refused this host at attach"},
        Refusal{"OtherStockCardRecords", {"--host-record-size", "k11=436"}, {"STOP!!!"}, "refused this host at attach"},
        Refusal{"HostLacksAService", {"--host-lacks", "52028"},
                {"POWAŻNY BŁĄD WTYCZKI", "brak wpisu  52028", "Konieczna jest aktualizacja programu!"},
                "the plugin's load failed"}),
    [](const auto& info) { return std::string(info.param.name); });

// The rules, read off the stock cards by this test: the entry nearest the
// end with a delivery kind, more in than out (32-bit) and a date.
std::optional<std::string> LastDeliveryDate(const std::string& card) {
  static const std::vector<uint16_t> kinds = {8, 9, 10, 12, 14, 16, 36, 37, 38, 39, 44, 45};
  for (size_t at = card.size(); at >= 435; at -= 435) {
    const char* entry = card.data() + at - 435;
    uint32_t in, out;
    uint16_t kind, year;
    std::memcpy(&in, entry + 170, 4);
    std::memcpy(&out, entry + 174, 4);
    std::memcpy(&kind, entry + 214, 2);
    std::memcpy(&year, entry + 138, 2);
    const bool delivery = static_cast<int32_t>(in - out) > 0 &&
                          std::find(kinds.begin(), kinds.end(), kind) != kinds.end() && entry[136] != 0;
    if (delivery) {
      char date[16];
      std::snprintf(date, sizeof date, "%02u.%02u.%04u", static_cast<unsigned char>(entry[136]),
                    static_cast<unsigned char>(entry[137]), year);
      return date;
    }
  }
  return std::nullopt;
}

TEST(GeneratedWarehouse, EveryItemGetsTheDateOfItsLastDelivery) {
  const TempDir dir;
  const SimRun generated = RunSim({"--generate", "300", "--entries", "40", "--seed", "11", dir.path().string()});
  ASSERT_EQ(generated.status, 0) << generated.err;
  const Snapshot before = TakeSnapshot(dir.path());
  const SimRun run = RunSim({"--yes", dir.path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Contains(run.out, "Zainstalowano")) << "a generated warehouse has seen the notice";

  const std::string& old_goods = before.at("goods.k9");
  const std::string new_goods = ReadFile(dir / "goods.k9");
  ASSERT_EQ(old_goods.size(), 300 * kRecordSize);
  size_t without_card = 0, without_delivery = 0, with_date = 0;
  for (size_t i = 0; i < 300; ++i) {
    int16_t card;
    std::memcpy(&card, old_goods.data() + i * kRecordSize + 1022, 2);
    const auto file = before.find("MMM1-" + std::to_string(card) + ".KAR");
    const std::optional<std::string> date =
        card == 0 || file == before.end() ? std::nullopt : LastDeliveryDate(file->second);
    without_card += card == 0;
    without_delivery += card != 0 && !date;
    with_date += date.has_value();
    EXPECT_EQ(KeyWord(Record(new_goods, i)), date.value_or(KeyWord(Record(old_goods, i)))) << "record " << i + 1;
  }
  // The generator gives the walk every turn to take.
  EXPECT_GT(without_card, 0u);
  EXPECT_GT(without_delivery, 0u);
  EXPECT_GT(with_date, 0u);
  EXPECT_TRUE(Contains(run.out, "Stored records: " + std::to_string(with_date))) << run.out;
}

TEST(GeneratedWarehouse, TheSeedDecidesTheFiles) {
  const TempDir a, b, c;
  for (const auto& [dir, seed] : {std::pair{&a, "5"}, {&b, "5"}, {&c, "6"}})
    ASSERT_EQ(RunSim({"--generate", "20", "--entries", "10", "--seed", seed, dir->path().string()}).status, 0);
  EXPECT_EQ(TakeSnapshot(a.path()), TakeSnapshot(b.path()));
  EXPECT_NE(TakeSnapshot(a.path()), TakeSnapshot(c.path()));
  EXPECT_EQ(TakeSnapshot(a.path()).size(), 1 + 1 + 20u) << "goods, INI, and a card for each of the 20 items";
}

}  // namespace
}  // namespace zalmir_sim_test
