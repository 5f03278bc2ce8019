// zalmir-sim on a terminal (a pseudo-terminal here): the question is asked
// and answered from the keyboard, emphasis is bold, and Esc or Ctrl+C in the
// middle of the walk reaches the plugin as the user's break.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "sim_runner.h"

namespace zalmir_sim_test {
namespace {

using Clock = std::chrono::steady_clock;

class Terminal {
 public:
  explicit Terminal(const std::vector<std::string>& args) {
    std::vector<std::string> words = {I386_LAUNCHER, ZALMIR_SIM};
    words.insert(words.end(), args.begin(), args.end());
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (std::string& word : words) argv.push_back(word.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~Terminal() {
    if (master_ >= 0) close(master_);
    if (pid_ > 0 && status_ < 0) waitpid(pid_, nullptr, 0);
  }
  bool started() const { return pid_ > 0; }

  // Reads until the screen shows text; false when it never does.
  bool WaitFor(const std::string& text, std::chrono::seconds patience = std::chrono::seconds(60)) {
    const auto until = Clock::now() + patience;
    while (screen_.find(text, seen_) == std::string::npos) {
      if (Clock::now() > until || !ReadSome(100)) return false;
    }
    seen_ = screen_.find(text, seen_) + text.size();
    return true;
  }
  void Type(const std::string& keys) { ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size())); }
  int Finish() {
    while (ReadSome(1000)) {
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  const std::string& screen() const { return screen_; }

 private:
  bool ReadSome(int timeout_ms) {
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, timeout_ms) <= 0) return timeout_ms < 1000;  // a quiet moment is not the end
    char bytes[4096];
    const ssize_t got = read(master_, bytes, sizeof bytes);
    if (got <= 0) return false;  // the program has gone
    screen_.append(bytes, static_cast<size_t>(got));
    return true;
  }
  pid_t pid_ = -1;
  int master_ = -1;
  int status_ = -1;
  std::string screen_;
  size_t seen_ = 0;
};

TEST(OnATerminal, TheQuestionIsAskedAndEmphasisIsBold) {
  Terminal terminal({});
  ASSERT_TRUE(terminal.started());
  ASSERT_TRUE(terminal.WaitFor("Tak czy nie? [t/n]")) << terminal.screen();
  terminal.Type("moze\n");  // not an answer: asked again
  ASSERT_TRUE(terminal.WaitFor("Tak czy nie? [t/n]")) << terminal.screen();
  terminal.Type("t\n");
  EXPECT_EQ(terminal.Finish(), 0) << terminal.screen();
  EXPECT_NE(terminal.screen().find("\x1b[1mWywołanie: Ctrl+9 w magazynie.\x1b[22m"), std::string::npos) << terminal.screen();
  EXPECT_NE(terminal.screen().find("Stored records: 12"), std::string::npos) << terminal.screen();
}

struct BreakKey {
  const char* name;
  const char* key;
};

class BreakKeyTest : public ::testing::TestWithParam<BreakKey> {};

TEST_P(BreakKeyTest, BreaksTheWalkOffWithRecordsStoredSoFarKept) {
  const TempDir dir;
  ASSERT_EQ(RunSim({"--generate", "16000", "--entries", "10", "--seed", "3", dir.path().string()}).status, 0);
  Terminal terminal({dir.path().string()});
  ASSERT_TRUE(terminal.started());
  ASSERT_TRUE(terminal.WaitFor("Tak czy nie? [t/n]")) << terminal.screen();
  terminal.Type("t\n");
  ASSERT_TRUE(terminal.WaitFor("Przeglądanie magazynu: ")) << terminal.screen();
  terminal.Type(GetParam().key);
  EXPECT_EQ(terminal.Finish(), 0) << terminal.screen();
  const std::string& screen = terminal.screen();
  const size_t broke = screen.find("the user broke the walk off after ");
  ASSERT_NE(broke, std::string::npos) << screen.substr(screen.size() > 3000 ? screen.size() - 3000 : 0);
  const unsigned long visited = std::stoul(screen.substr(broke + std::strlen("the user broke the walk off after ")));
  EXPECT_LT(visited, 16000u);

  // What the table reports as stored is what the goods file holds: the
  // first records up to the break, and none after it.
  const std::vector<std::vector<std::string>> rows = TableRows(screen);
  ASSERT_EQ(rows.size(), 16000u);
  size_t stored = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][5] == "yes") {
      ++stored;
      EXPECT_LT(i, visited) << "record " << i + 1;
    } else {
      EXPECT_EQ(rows[i][3], rows[i][4]) << "record " << i + 1;
    }
  }
  EXPECT_NE(screen.find("Stored records: " + std::to_string(stored)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Keys, BreakKeyTest,
                         ::testing::Values(BreakKey{"Esc", "\x1b"}, BreakKey{"CtrlC", "\x03"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zalmir_sim_test
