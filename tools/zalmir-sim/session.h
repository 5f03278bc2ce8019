// One run of the simulator as a user sees it: the host loads Zefirnik.dll,
// attaches and starts it, the user presses Ctrl+9 in the goods list, the
// host detaches and unloads it, and the goods list is shown before and
// after.
#pragma once
#include "console.h"
#include "options.h"

namespace zalmir_sim {

// The exit status; throws InputError for bad input found before the host starts.
int RunSession(const Options& options, Console& console);

}  // namespace zalmir_sim
