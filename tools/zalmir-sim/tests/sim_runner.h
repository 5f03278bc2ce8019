// Runs the built zalmir-sim (through the i386 launcher, with the real
// Zefirnik.dll) the way a user's shell does, and looks at what it left.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zalmir_sim_test {

struct SimRun {
  int status = -1;
  std::string out;  // stdout
  std::string err;  // stderr
  std::vector<std::string> ErrLines() const;
};

// Standard input is /dev/null: no terminal, as in CI.
SimRun RunSim(const std::vector<std::string>& args);
std::string DllPath();

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Every file under a directory with its bytes.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::filesystem::path& directory);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// The rows of the closing table: cells of each line between the frame's
// vertical bars, header left out.
std::vector<std::vector<std::string>> TableRows(const std::string& out);

}  // namespace zalmir_sim_test
