#include "delivery_rules.h"

#include <algorithm>
#include <array>

#include "simhost/host.h"

namespace zalmir_sim {

bool IsDeliveryKind(uint16_t kind) {
  static constexpr std::array<uint16_t, 12> kDeliveryKinds = {8, 9, 10, 12, 14, 16, 36, 37, 38, 39, 44, 45};
  return std::find(kDeliveryKinds.begin(), kDeliveryKinds.end(), kind) != kDeliveryKinds.end();
}

bool IsDelivery(const zalmir::StockCardEntry& entry) {
  // The difference wraps as the host's 32-bit arithmetic does.
  const int32_t difference =
      static_cast<int32_t>(static_cast<uint32_t>(entry.first_amount) - static_cast<uint32_t>(entry.second_amount));
  return difference > 0 && IsDeliveryKind(entry.kind) && entry.date.day != 0;
}

std::optional<size_t> LastDelivery(const std::vector<zalmir::StockCardEntry>& entries) {
  for (size_t i = entries.size(); i-- > 0;)
    if (IsDelivery(entries[i])) return i;
  return std::nullopt;
}

size_t MinimumReads(const std::vector<zalmir::StockCardEntry>& entries) {
  const std::optional<size_t> last = LastDelivery(entries);
  return last ? entries.size() - *last : entries.size();
}

std::vector<zalmir::StockCardEntry> ParseStockCard(const std::vector<uint8_t>& bytes) {
  std::vector<zalmir::StockCardEntry> entries;
  for (size_t at = 0; at + zalmir::kStockCardRecordSize <= bytes.size(); at += zalmir::kStockCardRecordSize)
    entries.push_back(zalmir::ReadStockCardRecord(bytes.data() + at));
  return entries;
}

}  // namespace zalmir_sim
