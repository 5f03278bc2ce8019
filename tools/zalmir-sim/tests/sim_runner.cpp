#include "sim_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace zalmir_sim_test {

namespace fs = std::filesystem;

std::vector<std::string> SimRun::ErrLines() const {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string DllPath() { return ZEFIRNIK_DLL; }

SimRun RunSim(const std::vector<std::string>& args) {
  const TempDir capture;
  const std::string out = (capture / "out").string(), err = (capture / "err").string();
  std::vector<std::string> words = {I386_LAUNCHER, ZALMIR_SIM};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + words[0]);
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);

  SimRun run;
  run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

TempDir::TempDir() {
  char pattern[] = "/tmp/zalmir-sim-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

Snapshot TakeSnapshot(const fs::path& directory) {
  Snapshot snapshot;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
    if (entry.is_regular_file()) snapshot[fs::relative(entry.path(), directory).string()] = ReadFile(entry.path());
  return snapshot;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::vector<std::string>> TableRows(const std::string& out) {
  const std::string bar = "│";
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(bar, 0) != 0) continue;
    std::vector<std::string> cells;
    for (size_t at = bar.size(); at < line.size();) {
      const size_t next = line.find(bar, at);
      if (next == std::string::npos) break;
      std::string cell = line.substr(at, next - at);
      cell.erase(0, cell.find_first_not_of(' '));
      cell.erase(cell.find_last_not_of(' ') + 1);
      cells.push_back(cell);
      at = next + bar.size();
    }
    if (cells.size() == 6 && cells[0] != "#") rows.push_back(cells);  // windows have one cell
  }
  return rows;
}

}  // namespace zalmir_sim_test
