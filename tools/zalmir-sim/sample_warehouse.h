// The warehouse the simulator runs on when it is given none: sixteen goods
// items whose stock cards show every turn the Ctrl+9 command can take.
#pragma once
#include <filesystem>

namespace zalmir_sim {

// Writes goods.k9, the stock cards and WtyczkiG.ini into directory, which
// must exist. Throws std::runtime_error when a file cannot be written.
void WriteSampleWarehouse(const std::filesystem::path& directory);

}  // namespace zalmir_sim
