// The host's INI files: "[section]" headers and "key=value" lines, read and
// rewritten whole. Names compare without regard to case, as on Windows.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace zalmir {

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, const std::string& section,
                                        const std::string& key);
// Creates the file, section or key as needed; false when it cannot write.
bool WriteIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace zalmir
