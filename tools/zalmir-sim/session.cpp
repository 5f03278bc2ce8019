#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "dll_file.h"
#include "goods_report.h"
#include "input_error.h"
#include "markup.h"
#include "plugin_host.h"
#include "sample_warehouse.h"
#include "simhost/mazovia_text.h"
#include "simhost/records.h"
#include "standin/process.h"
#include "trace.h"
#include "warehouse.h"

namespace zalmir_sim {

namespace fs = std::filesystem;

namespace {

// A ShowMessage whose flags ask for yes or no (the plugin's question uses
// 0x10006); flags 1 is a plain message with OK.
constexpr uint32_t kQuestionFlag = 0x4;
constexpr uint32_t kAnswerNo = 0x5008;

// The sample, when no warehouse is given, lives in a directory of its own
// that goes when the run ends.
class SampleDirectory {
 public:
  SampleDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zalmir-sample-XXXXXX";
    if (!mkdtemp(pattern.data())) throw InputError(pattern + ": cannot create the sample warehouse's directory");
    path_ = pattern;
    WriteSampleWarehouse(path_);
  }
  ~SampleDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The system's message box gets code page 1250; the Polish letters are the
// only bytes that differ from Mazovia.
std::string Cp1250ToMazovia(const std::string& text) {
  std::string out;
  for (unsigned char byte : text) {
    char mazovia = static_cast<char>(byte);
    for (int code = 0x80; code < 0x100 && byte >= 0x80; ++code) {
      const std::string candidate(1, static_cast<char>(code));
      if (zalmir::MazoviaToUtf8(candidate) != "?" && zalmir::MazoviaToCp1250(candidate) == std::string(1, byte)) {
        mazovia = static_cast<char>(code);
        break;
      }
    }
    out += mazovia;
  }
  return out;
}

std::vector<TextLine> Lines(const std::string& mazovia) { return LayOut(mazovia); }
std::string Utf8(const std::string& mazovia) { return zalmir::MazoviaToUtf8(mazovia); }

// Everything that watches the host while the plugin runs: the windows it
// shows, the question, the trace, the progress line, the user's break and
// the records it stores.
class Run {
 public:
  Run(const Options& options, Console& console, PluginHost& plugin, GoodsFile& goods_file)
      : options_(options), console_(console), plugin_(plugin), goods_file_(goods_file) {
    zalmir::Host& host = plugin.host();
    if (!options.notice_again) host.notice_sets_flag = 1;
    host.intercept["ShowMessage"] = [this](const zalmir::ServiceCall& call) { return Question(call); };
    host.user_break = [this] { return UserBreak(); };
    host.on_call = [this](const zalmir::ServiceCall& call) {
      try {
        Watch(call);
      } catch (const std::exception& error) {
        // Nothing may be thrown back through the plugin's frames.
        if (!failure_) failure_ = error.what();
      }
    };
  }

  const std::set<size_t>& stored() const { return stored_; }
  size_t visited() const { return visited_; }
  bool broken_off() const { return broken_off_; }
  const std::optional<std::string>& failure() const { return failure_; }

 private:
  std::optional<uint32_t> Question(const zalmir::ServiceCall& call) {
    if (!(call.args[2] & kQuestionFlag)) return std::nullopt;
    const auto* title = reinterpret_cast<const char*>(call.args[0]);
    const auto* text = reinterpret_cast<const char*>(call.args[1]);
    console_.ShowWindow(Utf8(title), Lines(text), {"[ Tak ]  [ Nie ]"});
    bool yes;
    if (options_.answer == Answer::Ask) {
      yes = console_.AskYesNo("Tak czy nie? [t/n] ");
    } else {
      yes = options_.answer == Answer::Yes;
      console_.Say(std::string("  → ") + (yes ? "Tak (--yes)" : "Nie (--no)"));
    }
    return yes ? zalmir::kShowMessageYes : kAnswerNo;
  }

  bool UserBreak() {
    const bool scripted = options_.break_after && visited_ > *options_.break_after;
    if (scripted || failure_ || console_.BreakRequested()) broken_off_ = true;
    return broken_off_;
  }

  void Watch(const zalmir::ServiceCall& call) {
    zalmir::Host& host = plugin_.host();
    while (shown_ < host.messages.size()) Show(host.messages[shown_++]);
    if (call.role == "CursorOpen" && call.result == 1) console_.BeginWalk(host.goods().records.size());
    if (call.role == "CursorNext" && call.result == 1) {
      ++visited_;
      const int64_t at = host.cursors_.at(call.args[0]).position;
      console_.WalkProgress(visited_, Utf8(zalmir::ReadGoodsRecord(host.goods().records[at]).name));
    }
    if (call.role == "CursorSave" && call.result == 1) {
      const size_t at = static_cast<size_t>(host.cursors_.at(call.args[0]).position);
      goods_file_.Store(at, host.goods().records[at]);
      stored_.insert(at);
    }
    if (options_.trace) console_.Trace(TraceLine(call));
  }

  void Show(const zalmir::ShownMessage& message) {
    if (message.service == "ShowErrorLine") {
      console_.Say("[host's error line] " + RenderForTerminal(message.text, console_.styled()));
      return;
    }
    if (message.service == "ShowNotice") {
      const bool seen = plugin_.host().notice_sets_flag.value_or(0) != 0;
      console_.ShowWindow("Informacja", Lines(message.text),
                          {std::string(seen ? "[x]" : "[ ]") + " Nie pokazuj więcej tej informacji", "[ OK ]"});
      return;
    }
    console_.ShowWindow(Utf8(message.title), Lines(message.text), {"[ OK ]"});
  }

  const Options& options_;
  Console& console_;
  PluginHost& plugin_;
  GoodsFile& goods_file_;
  size_t shown_ = 0;
  size_t visited_ = 0;
  bool broken_off_ = false;
  std::set<size_t> stored_;
  std::optional<std::string> failure_;
};

void ShowMessageBoxes(Console& console) {
  for (const win32::MessageBoxRecord& box : win32::CurrentProcess().message_boxes)
    console.ShowWindow(Utf8(Cp1250ToMazovia(box.caption)), LayOut(Cp1250ToMazovia(box.text)), {"[ Przerwij ]  [ Ponów ]  [ Ignoruj ]", "→ Przerwij"});
  win32::CurrentProcess().message_boxes.clear();
}

int Refused(const std::string& why) {
  std::fprintf(stderr, "zalmir-sim: %s\n", why.c_str());
  return kExitRefused;
}

int RunOver(const Options& options, Console& console, const fs::path& directory, bool sample) {
  const Warehouse warehouse = ReadWarehouse(directory);
  GoodsFile goods_file(directory / kGoodsFileName);

  console.Say("Zefirnik.dll: " + options.dll.string());
  console.Say("Warehouse:    " + directory.string() + (sample ? " (the built-in sample)" : "") + ", " +
              std::to_string(warehouse.goods.size()) + " goods, " + std::to_string(warehouse.stock_card_files) +
              " stock cards");

  PluginHost plugin(directory, warehouse.goods, options);
  Run run(options, console, plugin, goods_file);

  console.Say("\nHost: load");
  std::string load_error;
  const bool loaded = plugin.Load(options.dll, &load_error);
  ShowMessageBoxes(console);
  if (!loaded) return Refused("the plugin's load failed: " + load_error);

  console.Say("Host: attach (entry 30001)");
  std::vector<char> description(kDescriptionBufferSize, 0);
  if (const int32_t verdict = plugin.Attach(description.data()); verdict != 0) {
    console.Say("Host: attach answered " + std::to_string(verdict) + "; the host asks for the failure report (entry 30008 with 1)");
    plugin.Start(1);
    return Refused("the plugin refused this host at attach (its report is shown above)");
  }
  for (const TextLine& line : LayOut(description.data())) console.Say("  │ " + ToTerminal(line, console.styled()));

  console.Say("Host: start (entry 30008 with 0)");
  if (const int32_t started = plugin.Start(0); started != 0)
    return Refused("the plugin did not start (entry 30008 answered " + std::to_string(started) + ")");

  console.Say("Host: Ctrl+9 in the goods list (command 239)");
  plugin.Ctrl9();
  console.EndWalk();
  if (run.broken_off())
    console.Say("Host: the user broke the walk off after " + std::to_string(run.visited() - 1) + " goods records");
  if (run.failure()) {
    std::fprintf(stderr, "zalmir-sim: %s\n", run.failure()->c_str());
    return kExitPluginMisbehaved;
  }

  console.Say("Host: detach (entry 30001 with no callback)");
  plugin.Detach();
  if (!plugin.HostHandlerBack()) console.Say("Host: the goods table did not get its own command handler back");
  console.Say("Host: unload");
  plugin.Unload();

  const std::vector<uint8_t> bytes = ReadWholeFile(directory / kGoodsFileName);
  std::vector<std::vector<uint8_t>> after;
  for (size_t at = 0; at < bytes.size(); at += zalmir::kGoodsRecordSize)
    after.emplace_back(bytes.begin() + at, bytes.begin() + at + zalmir::kGoodsRecordSize);
  console.Say("\nGoods list, key words before and after Ctrl+9:");
  std::fputs(GoodsReport(warehouse.goods, after, run.stored()).c_str(), stdout);
  console.Say("Stored records: " + std::to_string(run.stored().size()));
  return kExitDone;
}

}  // namespace

int RunSession(const Options& options, Console& console) {
  if (options.answer == Answer::Ask && !console.interactive())
    throw InputError("no terminal to ask the plugin's question on: give --yes or --no");
  CheckPluginDll(options.dll);
  if (options.warehouse) return RunOver(options, console, *options.warehouse, false);
  const SampleDirectory sample;
  return RunOver(options, console, sample.path(), true);
}

}  // namespace zalmir_sim
