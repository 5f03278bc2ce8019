// The DLL file, checked before the stand-in maps it: a PE32 i386 DLL, whole,
// that exports the entry points a host calls.
#pragma once
#include <filesystem>

namespace zalmir_sim {

// Throws InputError saying what is wrong with the file, in one line.
void CheckPluginDll(const std::filesystem::path& path);

}  // namespace zalmir_sim
