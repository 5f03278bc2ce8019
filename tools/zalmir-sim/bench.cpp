#include "bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "delivery_rules.h"
#include "dll_file.h"
#include "generator.h"
#include "input_error.h"
#include "native_walks.h"
#include "plugin_host.h"
#include "simhost/records.h"
#include "warehouse.h"

namespace zalmir_sim {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

class ScratchDirectory {
 public:
  ScratchDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zalmir-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) throw InputError(pattern + ": cannot create the benchmark's directory");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// What the rules say of the warehouse: the fewest reads, the key words.
struct Expectation {
  uint64_t minimum_reads = 0;
  std::vector<std::optional<std::string>> key_words;  // nullopt: the record is not stored
};

Expectation Expect(const Warehouse& warehouse, int16_t context) {
  Expectation expected;
  for (const std::vector<uint8_t>& record : warehouse.goods) {
    const int16_t card = zalmir::ReadGoodsRecord(record).card_number;
    const fs::path file = warehouse.directory / zalmir::StockCardFileName(context, card);
    std::optional<std::string> key_word;
    if (card != 0 && fs::exists(file)) {
      const std::vector<zalmir::StockCardEntry> entries = ParseStockCard(ReadWholeFile(file));
      expected.minimum_reads += MinimumReads(entries);
      if (const std::optional<size_t> last = LastDelivery(entries)) key_word = zalmir::DateText(entries[*last].date);
    }
    expected.key_words.push_back(key_word);
  }
  return expected;
}

size_t Agreeing(const Expectation& expected, const std::vector<std::vector<uint8_t>>& before,
                const std::vector<std::vector<uint8_t>>& after) {
  size_t agreeing = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    const std::string want = expected.key_words[i].value_or(zalmir::KeyWordOf(before[i]));
    agreeing += zalmir::KeyWordOf(after[i]) == want;
  }
  return agreeing;
}

}  // namespace

int RunBench(const Options& options, Console& console) {
  CheckPluginDll(options.dll);
  const GeneratorSettings& settings = options.generator;
  const ScratchDirectory scratch;
  char line[256];

  auto started = Clock::now();
  GenerateWarehouse(scratch.path(), settings);
  std::snprintf(line, sizeof line, "Generated %u goods, %u entries each (seed %u) in %.2f s: %s", settings.goods,
                settings.entries, settings.seed, Seconds(started), scratch.path().c_str());
  console.Say(line);
  const Warehouse warehouse = ReadWarehouse(scratch.path());
  const Expectation expected = Expect(warehouse, 1);

  Options quiet = options;
  quiet.context_number = 1;
  PluginHost plugin(scratch.path(), warehouse.goods, quiet);
  zalmir::Host& host = plugin.host();
  host.keep_log = false;  // millions of calls
  uint64_t reads = 0, saves = 0;
  host.on_call = [&](const zalmir::ServiceCall& call) {
    if (call.role == "ReadRecordAt") ++reads;
    else if (call.role == "CursorSave") ++saves;
  };

  std::string error;
  if (!plugin.Load(options.dll, &error)) throw InputError(options.dll.string() + ": the load failed: " + error);
  std::vector<char> description(kDescriptionBufferSize, 0);
  if (plugin.Attach(description.data()) != 0 || plugin.Start(0) != 0)
    throw InputError(options.dll.string() + ": the plugin refused the simulated host");

  // Each walk runs kRounds times over the same goods list; the best time
  // counts, so that a busy moment of the machine does not.
  size_t visited = 0;
  uint64_t plugin_reads = 0, plugin_saves = 0, native_reads = 0;
  size_t agreeing = 0;
  double bare = 1e9, walk = 1e9, native = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    host.goods().records = warehouse.goods;
    started = Clock::now();
    visited = WalkGoodsList(host);
    bare = std::min(bare, Seconds(started));

    reads = saves = 0;
    host.show_message_answers.push_back(zalmir::kShowMessageYes);
    started = Clock::now();
    plugin.Ctrl9();
    walk = std::min(walk, Seconds(started));
    plugin_reads = reads;
    plugin_saves = saves;
    agreeing = Agreeing(expected, warehouse.goods, host.goods().records);

    host.goods().records = warehouse.goods;
    reads = 0;
    started = Clock::now();
    SearchLikeThePlugin(host);
    native = std::min(native, Seconds(started));
    native_reads = reads;
  }

  plugin.Detach();
  plugin.Unload();

  const double goods = static_cast<double>(warehouse.goods.size());
  console.Say("\nCtrl+9 with Zefirnik.dll over " + std::to_string(warehouse.goods.size()) + " goods (best of " +
              std::to_string(kRounds) + " rounds):");
  std::snprintf(line, sizeof line, "  plugin's walk            %8.3f s   %10.0f goods/s   %llu records stored", walk,
                goods / walk, static_cast<unsigned long long>(plugin_saves));
  console.Say(line);
  std::snprintf(line, sizeof line, "  ReadRecordAt calls       %8llu     minimum the rules allow %llu (%.3f x)",
                static_cast<unsigned long long>(plugin_reads), static_cast<unsigned long long>(expected.minimum_reads),
                expected.minimum_reads ? static_cast<double>(plugin_reads) / expected.minimum_reads : 0.0);
  console.Say(line);
  std::snprintf(line, sizeof line, "  key words as the rules give them: %zu of %zu", agreeing, warehouse.goods.size());
  console.Say(line);
  std::snprintf(line, sizeof line, "  bare walk of the goods list by the simulator (%zu records): %.3f s; plugin's walk / bare walk = %.1f",
                visited, bare, walk / bare);
  console.Say(line);
  std::snprintf(line, sizeof line, "  the same search made by the simulator itself (%llu reads): %.3f s; plugin's walk / that = %.2f",
                static_cast<unsigned long long>(native_reads), native, walk / native);
  console.Say(line);
  return kExitDone;
}

}  // namespace zalmir_sim
