// Large warehouses for measurements: the same seed gives the same files.
#pragma once
#include <cstdint>
#include <filesystem>

namespace zalmir_sim {

struct GeneratorSettings {
  uint32_t goods = 20000;    // at most 32767: card numbers are 16-bit
  uint32_t entries = 50;     // stock-card entries per item
  uint32_t seed = 1;
};

// Writes goods.k9, one stock card per item with a card number and a
// WtyczkiG.ini that has seen the installation notice. Every 100th item has
// card number 0 and about one in 33 is never delivered; the entries mix
// deliveries of every kind with sales, returns, zero-quantity corrections
// and undated entries. Throws
// std::runtime_error when a file cannot be written.
void GenerateWarehouse(const std::filesystem::path& directory, const GeneratorSettings& settings);

}  // namespace zalmir_sim
