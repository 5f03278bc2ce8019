// --trace: each host service call as one line, by role name, with its
// arguments and result; texts the call passes are shown as text.
#pragma once
#include <string>

#include "simhost/host.h"

namespace zalmir_sim {

std::string TraceLine(const zalmir::ServiceCall& call);

}  // namespace zalmir_sim
