// Bad input: a DLL or warehouse the simulator will not run on. Its message is
// the one line the user sees; the simulator exits with status 2 and has
// written nothing by then.
#pragma once
#include <stdexcept>
#include <string>

namespace zalmir_sim {

struct InputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

constexpr int kExitDone = 0;
constexpr int kExitPluginMisbehaved = 1;  // a call across the seam came back damaged
constexpr int kExitBadInput = 2;
constexpr int kExitRefused = 3;           // load, attach or start refused by the plugin

}  // namespace zalmir_sim
