// Walks of the goods list that the simulator makes itself, through the same
// host services the plugin calls, as yardsticks for the plugin's Ctrl+9.
#pragma once
#include <cstddef>

#include "simhost/host.h"

namespace zalmir_sim {

// Opens a cursor over the goods list and visits every record, polling for
// the user's break as the plugin does; reads no stock card. Answers the
// number of records visited.
size_t WalkGoodsList(zalmir::Host& host);

// Visits every record and, for each with a card number, reads its stock
// card from the end to the last delivery and stores the date, with the same
// host services and the same reads as the plugin. Answers records stored.
size_t SearchLikeThePlugin(zalmir::Host& host);

}  // namespace zalmir_sim
