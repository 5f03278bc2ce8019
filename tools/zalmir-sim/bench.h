// --bench: Ctrl+9 over a generated warehouse, measured against what the
// rules allow and against the simulator's own walks of the goods list.
#pragma once
#include "console.h"
#include "options.h"

namespace zalmir_sim {

int RunBench(const Options& options, Console& console);

}  // namespace zalmir_sim
