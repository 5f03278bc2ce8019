#include "simhost/ini_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace zalmir {

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameName(std::string a, std::string b) {
  auto lower = [](std::string& s) { std::transform(s.begin(), s.end(), s.begin(), ::tolower); };
  lower(a);
  lower(b);
  return a == b;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    // Lines are written back with "\r\n": a kept '\r' would double with each write.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> SectionOf(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return std::nullopt;
  return Trim(trimmed.substr(1, trimmed.size() - 2));
}

// The key of a "key=value" line, or nullopt for any other line.
std::optional<std::string> KeyOf(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

}  // namespace

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, const std::string& section,
                                        const std::string& key) {
  bool inside = false;
  for (const std::string& line : ReadLines(file)) {
    if (auto name = SectionOf(line)) {
      inside = SameName(*name, section);
    } else if (inside) {
      if (auto found = KeyOf(line); found && SameName(*found, key))
        return Trim(line.substr(line.find('=') + 1));
    }
  }
  return std::nullopt;
}

bool WriteIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                   const std::string& value) {
  std::vector<std::string> lines = ReadLines(file);
  const std::string entry = key + "=" + value;
  bool inside = false;
  bool written = false;
  size_t section_end = lines.size();
  bool section_found = false;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (inside) section_end = i;
      inside = SameName(*name, section);
      if (inside) section_found = true;
    } else if (inside) {
      if (auto found = KeyOf(lines[i]); found && SameName(*found, key)) {
        lines[i] = entry;
        written = true;
      }
    }
  }
  if (!written) {
    if (!section_found) {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    } else {
      // Behind the section's last line, before the next section (if any).
      size_t at = section_end;
      if (inside) at = lines.size();
      lines.insert(lines.begin() + at, entry);
    }
  }
  std::ofstream out(file, std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out);
}

}  // namespace zalmir
