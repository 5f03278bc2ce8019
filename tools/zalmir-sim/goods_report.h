// The closing table of a run: each goods record's key word ('Słowo KLUCZ')
// before and after Ctrl+9, as the goods file holds it.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace zalmir_sim {

std::string GoodsReport(const std::vector<std::vector<uint8_t>>& before, const std::vector<std::vector<uint8_t>>& after,
                        const std::set<size_t>& stored);

}  // namespace zalmir_sim
