// zalmir-sim: a host for Zefirnik.dll on a warehouse on disk, built on the
// Win32 stand-in and the simulated host ZALMIR. Usage: zalmir-sim --help.
#include <signal.h>

#include <cstdio>
#include <filesystem>

#include "bench.h"
#include "console.h"
#include "generator.h"
#include "input_error.h"
#include "options.h"
#include "plugin_host.h"
#include "sample_warehouse.h"
#include "session.h"

namespace zalmir_sim {
namespace {

namespace fs = std::filesystem;

// A new warehouse goes into an empty (or new) directory, never over one.
void PrepareTarget(const fs::path& directory) {
  std::error_code error;
  if (fs::exists(directory, error) && !fs::is_empty(directory, error))
    throw InputError(directory.string() + ": not empty; a new warehouse needs an empty directory");
  fs::create_directories(directory, error);
  if (error) throw InputError(directory.string() + ": cannot create (" + error.message() + ")");
}

int Main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv, ZEFIRNIK_DLL);
  Console console;
  switch (options.mode) {
    case Mode::Help:
      std::fputs(Usage().c_str(), stdout);
      return kExitDone;
    case Mode::WriteSample:
      PrepareTarget(options.target);
      WriteSampleWarehouse(options.target);
      console.Say("Sample warehouse written to " + options.target.string());
      return kExitDone;
    case Mode::Generate:
      PrepareTarget(options.target);
      GenerateWarehouse(options.target, options.generator);
      console.Say("Warehouse of " + std::to_string(options.generator.goods) + " goods written to " +
                  options.target.string());
      return kExitDone;
    case Mode::Bench:
      return RunBench(options, console);
    case Mode::Run:
      break;
  }
  return RunSession(options, console);
}

}  // namespace
}  // namespace zalmir_sim

int main(int argc, char** argv) {
  // Output cut short (| head) must not kill the run before it removes its
  // temporary sample or leaves the terminal as it found it.
  signal(SIGPIPE, SIG_IGN);
  try {
    return zalmir_sim::Main(argc, argv);
  } catch (const zalmir_sim::InputError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zalmir-sim: %s\n", error.what());
    return zalmir_sim::kExitBadInput;
  } catch (const zalmir_sim::SeamError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zalmir-sim: the plugin damaged a call: %s\n", error.what());
    return zalmir_sim::kExitPluginMisbehaved;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zalmir-sim: %s\n", error.what());
    return zalmir_sim::kExitPluginMisbehaved;
  }
}
