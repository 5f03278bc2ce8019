// What the plugin's Ctrl+9 does to one goods item, worked out by the
// simulator from the stock card alone: the entry whose date it takes, and
// how many entries it must read at least to find it. The benchmark measures
// the plugin against this.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "simhost/records.h"

namespace zalmir_sim {

bool IsDeliveryKind(uint16_t kind);
bool IsDelivery(const zalmir::StockCardEntry& entry);
// Index of the delivery nearest the end of the card (by position, not by date).
std::optional<size_t> LastDelivery(const std::vector<zalmir::StockCardEntry>& entries);
// Entries read from the end up to and including the last delivery; all of
// them when there is none.
size_t MinimumReads(const std::vector<zalmir::StockCardEntry>& entries);
std::vector<zalmir::StockCardEntry> ParseStockCard(const std::vector<uint8_t>& bytes);

}  // namespace zalmir_sim
