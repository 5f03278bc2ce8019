// Loading Zefirnik.dll into a process with the host: the load step, the
// binding of every host service by ordinal, and the question about a
// service the host lacks.
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "simhost/mazovia_text.h"
#include "support/plugin_harness.h"

namespace zefirnik_test {
namespace {

using win32::IDABORT;
using win32::IDIGNORE;
using win32::IDRETRY;

// Ordinals asked of the host, in order.
std::vector<uint32_t> HostLookups(const win32::Process& process, void* host) {
  std::vector<uint32_t> ordinals;
  for (const win32::ProcAddressRequest& request : process.proc_address_requests)
    if (request.module == host) ordinals.push_back(request.ordinal);
  return ordinals;
}

// The services whose ordinal's digits give a fallback stub, and which stub.
const std::map<uint32_t, uint32_t> kStubOfOrdinal = {{41399, 0},  {32008, 2}, {52028, 7}, {52256, 14},
                                                     {50516, 4}, {52300, 0}, {52312, 3}};

std::string MissingEntryMessage(const std::string& module, const std::string& entry) {
  const std::string description = Description();
  std::string text = Mz("W module \x02") + module + Mz("\x01\nbrak wpisu \x02") + entry +
                     Mz("\x01\nWywołano z wtyczki \x02") + description +
                     Mz("\x01.\n\nBłąd ten można zignorować lecz dalsza praca\nprogramu w tych "
                        "warunkach może być niebezpieczna.\n\nKonieczna jest aktualizacja programu!");
  std::replace(text.begin(), text.end(), '\x01', ' ');
  std::replace(text.begin(), text.end(), '\x02', ' ');
  return zalmir::MazoviaToCp1250(text);
}

class LoadTest : public PluginTest {};

TEST_F(LoadTest, FullHostLoadsWithoutQuestionBindingEachServiceOnceInOrder) {
  ASSERT_TRUE(LoadPlugin());
  EXPECT_TRUE(process().message_boxes.empty());
  std::vector<uint32_t> expected = {30006, 30007};
  for (uint32_t ordinal : zalmir::Host::ServiceOrdinals()) expected.push_back(ordinal);
  EXPECT_EQ(HostLookups(process(), host().handle()), expected);
  EXPECT_TRUE(host().log.empty()) << "a host service ran during the load: " << host().log.front().role;
}

TEST_F(LoadTest, OtherNotificationsChangeNothingAndAnswerTrue) {
  ASSERT_TRUE(LoadPlugin());
  process().proc_address_requests.clear();
  for (uint32_t reason : {win32::DLL_THREAD_ATTACH, win32::DLL_THREAD_DETACH, win32::DLL_PROCESS_DETACH}) {
    const win32::CallResult result =
        win32::CallPe(dll().image().entry_point(), win32::CallConv::Stdcall,
                      {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dll().handle())), reason, 0});
    ExpectClean(result, "notification " + std::to_string(reason));
    EXPECT_EQ(result.eax, 1u) << "notification " << reason;
  }
  EXPECT_TRUE(process().proc_address_requests.empty());
  EXPECT_TRUE(process().message_boxes.empty());
  EXPECT_TRUE(host().log.empty());
  // The plugin still works as loaded.
  EXPECT_EQ(AttachWithHostCallback(), 0);
}

TEST_F(LoadTest, LoadStepKeepsHostEntry30007InBothSlotsOrTheDoNothingFunction) {
  ASSERT_TRUE(LoadPlugin());
  const uint32_t* slots = reinterpret_cast<const uint32_t*>(Image(MapAddress("HostEntry30007Slots")));
  const uint32_t entry30007 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(host().EntryAddress(30007)));
  EXPECT_EQ(slots[0], entry30007);
  EXPECT_EQ(slots[1], entry30007);
  EXPECT_EQ(host().Count("HostEntry30007"), 0u);

  dll_.reset();
  host().Unload();
  process().message_box_answers = {IDABORT};
  // Without the host the load fails and the loader would unmap the image:
  // map it by hand and run its entry point directly to read what it leaves.
  std::string error;
  win32::LoadOptions away;
  away.away_from_preferred_base = true;
  std::unique_ptr<win32::PeImage> image = win32::PeImage::Map(DllPath(), &error, away);
  ASSERT_TRUE(image) << error;
  const auto* fresh = reinterpret_cast<const uint32_t*>(
      static_cast<uintptr_t>(MapAddress("HostEntry30007Slots") - image->preferred_base() + image->base()));
  const win32::CallResult loaded = win32::CallPe(image->entry_point(), win32::CallConv::Stdcall,
                                                 {image->base(), win32::DLL_PROCESS_ATTACH, 0});
  EXPECT_EQ(loaded.eax, 0u) << "the load must fail without the host";
  EXPECT_EQ(fresh[0], fresh[1]);
  ASSERT_GE(fresh[0], image->base());
  ASSERT_LT(fresh[0], image->base() + image->size()) << "not the plugin's do-nothing function";
  const win32::CallResult nothing =
      win32::CallPe(reinterpret_cast<void*>(static_cast<uintptr_t>(fresh[0])), win32::CallConv::Stdcall, {7, 9});
  ExpectClean(nothing, "do-nothing entry 30007");
  EXPECT_EQ(nothing.eax, 0u);
}

struct MissingCase {
  const char* name;
  friend void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }
  std::vector<uint32_t> missing;
  std::vector<int> answers;
  bool loads;
  size_t questions;
  // The last ordinal asked of the host. A question about a service bound
  // before ConvertText binds ConvertText early, to convert its text.
  uint32_t last_lookup;
};

class MissingEntryTest : public LoadTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingEntryTest, AnswerDecidesTheLoad) {
  const MissingCase& c = GetParam();
  for (uint32_t ordinal : c.missing) host().RemoveOrdinal(ordinal);
  for (int answer : c.answers) process().message_box_answers.push_back(answer);

  EXPECT_EQ(LoadPlugin(false), c.loads) << load_error();
  EXPECT_EQ(process().message_boxes.size(), c.questions);
  const std::vector<uint32_t> lookups = HostLookups(process(), host().handle());
  ASSERT_FALSE(lookups.empty());
  EXPECT_EQ(lookups.back(), c.last_lookup);
  for (uint32_t ordinal : zalmir::Host::ServiceOrdinals())
    EXPECT_LE(std::count(lookups.begin(), lookups.end(), ordinal), 1) << "looked up twice: " << ordinal;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MissingEntryTest,
    ::testing::Values(
        MissingCase{"IgnoreGivesStub", {50516}, {IDIGNORE}, true, 1, 52281},
        MissingCase{"IgnoreWithoutStub", {30018}, {IDIGNORE}, false, 1, 52158},
        MissingCase{"SecondMissingWithStubNotAsked", {50516, 52312}, {IDIGNORE}, true, 1, 52281},
        MissingCase{"SecondMissingWithoutStubFailsUnasked", {41399, 52030}, {IDIGNORE, IDIGNORE}, false, 1,
                    52030},
        MissingCase{"AbortStopsEveryLaterLookup", {30018, 50516}, {IDABORT, IDIGNORE}, false, 1, 52158},
        MissingCase{"AbortAfterConvertTextStopsLaterLookups", {41399, 50516}, {IDABORT}, false, 1, 41399},
        MissingCase{"FailedBoxCountsAsAbort", {52465}, {}, false, 1, 52465},
        MissingCase{"RetryAsksAgainWithoutLookingUp", {50516}, {IDRETRY, IDRETRY, IDIGNORE}, true, 3, 52281}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadTest, EachServiceMissingAloneLoadsExactlyWhenItsDigitsGiveAStub) {
  for (uint32_t ordinal : zalmir::Host::ServiceOrdinals()) {
    win32::ResetProcess();
    host_.reset();
    host_ = std::make_unique<zalmir::Host>(dir_.path());
    host().RemoveOrdinal(ordinal);
    process().message_box_answers = {IDIGNORE};
    const auto stub = kStubOfOrdinal.find(ordinal);
    const bool expected = stub != kStubOfOrdinal.end();
    EXPECT_EQ(LoadPlugin(false), expected) << "ordinal " << ordinal << ": " << load_error();
    EXPECT_EQ(process().message_boxes.size(), 1u) << "ordinal " << ordinal;
    if (expected && loaded()) {
      const uint32_t slot =
          *reinterpret_cast<uint32_t*>(Image(MapAddress("HostSlot_" + zalmir::Host::RoleOf(ordinal))));
      EXPECT_EQ(slot, Image(MapAddress("FallbackStubTable")) + 8 * stub->second) << "ordinal " << ordinal;
    }
    dll_.reset();
  }
}

struct QuestionCase {
  const char* name;
  friend void PrintTo(const QuestionCase& c, std::ostream* os) { *os << c.name; }
  std::optional<std::string> file_name;  // nullopt: GetModuleFileNameA fails
  std::string shown_module;
};

class QuestionTest : public LoadTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(QuestionTest, ShowsConvertedTextTitleAndStyle) {
  const QuestionCase& c = GetParam();
  host().RemoveOrdinal(52256);
  process().message_box_answers = {IDRETRY, IDIGNORE};
  std::vector<std::string> converted;  // each text as ConvertText received it
  host().intercept["ConvertText"] = [&converted](const zalmir::ServiceCall& call) -> std::optional<uint32_t> {
    converted.emplace_back(reinterpret_cast<const char*>(call.args[1]));
    return std::nullopt;
  };
  win32::LoadOptions options;
  options.file_name = c.file_name;
  options.file_name_unavailable = !c.file_name;
  ASSERT_TRUE(LoadPlugin(true, true, options));

  const std::string text = MissingEntryMessage(c.shown_module, "52256");
  ASSERT_EQ(process().message_boxes.size(), 2u);
  for (const win32::MessageBoxRecord& box : process().message_boxes) {
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, zalmir::MazoviaToCp1250(Mz("POWAŻNY BŁĄD WTYCZKI")));
    EXPECT_EQ(box.style, 0x2012u);
  }
  // The host converted the message, then the title, each in place.
  ASSERT_EQ(host().Roles(), (std::vector<std::string>{"ConvertText", "ConvertText"}));
  const std::vector<uint32_t>& message = host().log[0].args;
  const std::vector<uint32_t>& title = host().log[1].args;
  EXPECT_EQ(message[0], message[1]);
  EXPECT_EQ(title[0], title[1]);
  EXPECT_NE(message[0], title[0]);
  EXPECT_EQ(std::vector<uint32_t>(message.begin() + 2, message.end()), (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(std::vector<uint32_t>(title.begin() + 2, title.end()), (std::vector<uint32_t>{1, 3}));
  ASSERT_EQ(converted.size(), 2u);
  EXPECT_EQ(zalmir::MazoviaToCp1250(converted[0]), text);
  EXPECT_EQ(converted[1], Mz("POWAŻNY BŁĄD WTYCZKI"));
}

INSTANTIATE_TEST_SUITE_P(
    ModuleName, QuestionTest,
    ::testing::Values(
        QuestionCase{"FullPath", "C:\\Program Files\\ZALMIR\\Wtyczki\\Zefirnik.dll",
                     "C:\\Program Files\\ZALMIR\\Wtyczki\\Zefirnik.dll"},
        QuestionCase{"Unknown", std::nullopt, "<nieznany>"},
        QuestionCase{"EmptyPath", "", "<nieznany>"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the host every lookup fails. The question about the first missing
// service needs the host's ConvertText, whose early binding fails and is
// asked about first; the answer to it stands for both.
TEST_F(LoadTest, WithoutHostModuleLookupsUseNullHandleAndOneAnswerDecides) {
  for (int answer : {IDIGNORE, IDABORT}) {
    win32::ResetProcess();
    process().message_box_answers = {answer, IDIGNORE};
    EXPECT_FALSE(LoadPlugin(false, /*load_host=*/false)) << "answer " << answer;
    ASSERT_EQ(process().message_boxes.size(), 1u) << "answer " << answer;
    EXPECT_NE(process().message_boxes[0].text.find(" 52158 "), std::string::npos);
    // The load step found no host, so it asked for neither 30006 nor 30007.
    std::vector<std::pair<void*, uint32_t>> lookups;
    for (const win32::ProcAddressRequest& request : process().proc_address_requests)
      lookups.emplace_back(request.module, request.ordinal);
    EXPECT_EQ(lookups, (std::vector<std::pair<void*, uint32_t>>{{nullptr, 30018}, {nullptr, 52158}}));
    dll_.reset();
  }
}

TEST_F(LoadTest, UnusedEntryPointsAnswerTheirConstantsWithTheStackBalanced) {
  ASSERT_TRUE(LoadPlugin());
  EXPECT_EQ(CallExport(kPluginEntry30009, win32::CallConv::Cdecl, {}).eax, 0u);
  for (uint32_t value : {0u, 1u, 0xB669FD2Eu, 0xFFFFFFFFu})
    EXPECT_EQ(CallExport(kPluginEntry30010, win32::CallConv::Stdcall, {value}).eax, 0xB669FD2Eu)
        << "value " << value;
  EXPECT_TRUE(host().log.empty());
}

struct LongPathCase {
  const char* name;
  friend void PrintTo(const LongPathCase& c, std::ostream* os) { *os << c.name; }
  size_t length;
};

class LongPathTest : public LoadTest, public ::testing::WithParamInterface<LongPathCase> {};

// A long plugin path must not overrun the 504-byte question nor the 300-byte
// file name; the question keeps its whole text and the path's end.
TEST_P(LongPathTest, QuestionAndFileNameStayWithinTheirBuffers) {
  const LongPathCase& c = GetParam();
  std::string path = "C:\\";
  while (path.size() < c.length - std::string("\\Zefirnik.dll").size()) path += "katalog\\";
  path.resize(c.length - std::string("\\Zefirnik.dll").size());
  path += "\\Zefirnik.dll";
  ASSERT_EQ(path.size(), c.length);

  host().RemoveOrdinal(50516);
  process().message_box_answers = {IDIGNORE};
  win32::LoadOptions options;
  options.file_name = path;
  ASSERT_TRUE(LoadPlugin(true, true, options));

  ASSERT_EQ(process().message_boxes.size(), 1u);
  const std::string& text = process().message_boxes[0].text;
  EXPECT_LE(text.size(), 503u);
  const std::string ending = zalmir::MazoviaToCp1250(Mz("Konieczna jest aktualizacja programu!"));
  EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
  const std::string kept_path = path.substr(0, 299);  // what the system gives back
  EXPECT_NE(text.find(kept_path.substr(kept_path.size() - 40)), std::string::npos)
      << "the end of the path is not in the question";

  const char* file_name = reinterpret_cast<const char*>(Image(MapAddress("PluginFileName")));
  const size_t stored = strnlen(file_name, 300);
  ASSERT_LT(stored, 300u) << "the plugin's file name has no NUL";
  EXPECT_EQ(std::string(file_name, stored), path.substr(0, 299));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPathTest,
                         ::testing::Values(LongPathCase{"Fits", 299}, LongPathCase{"FillsBuffer", 300},
                                           LongPathCase{"LongerThanBuffer", 420}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zefirnik_test
