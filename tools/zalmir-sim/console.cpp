#include "console.h"

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace zalmir_sim {

namespace {

volatile sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }

constexpr char kEscape = 0x1B;
constexpr auto kProgressEvery = std::chrono::milliseconds(100);
constexpr auto kKeysEvery = std::chrono::milliseconds(20);

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

void Write(FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

struct Console::SavedTerminal {
  termios settings;
  bool settings_changed = false;
  struct sigaction interrupt;
};

Console::Console()
    : styled_(isatty(STDOUT_FILENO)), keyboard_(isatty(STDIN_FILENO)), progress_(isatty(STDERR_FILENO)) {}

Console::~Console() { EndWalk(); }

void Console::Say(const std::string& line) {
  ClearProgress();
  Write(stdout, line + "\n");
}

void Console::Trace(const std::string& line) {
  ClearProgress();
  std::fflush(stdout);
  Write(stderr, line + "\n");
}

void Console::ShowWindow(const std::string& title, const std::vector<TextLine>& body,
                         const std::vector<std::string>& below) {
  std::vector<TextLine> lines = body;
  while (lines.size() > 1 && lines.back().width == 0) lines.pop_back();
  size_t inner = DisplayWidth(title) + 3;
  for (const TextLine& line : lines) inner = std::max(inner, line.width);
  std::string out = "┌─ " + title + " " + Repeat("─", inner - DisplayWidth(title) - 1) + "┐\n";
  for (const TextLine& line : lines)
    out += "│ " + ToTerminal(line, styled_) + std::string(inner - line.width, ' ') + " │\n";
  out += "└" + Repeat("─", inner + 2) + "┘\n";
  for (const std::string& line : below) out += "  " + line + "\n";
  ClearProgress();
  Write(stdout, out);
}

bool Console::AskYesNo(const std::string& prompt) {
  for (;;) {
    Write(stdout, prompt);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;  // end of input: no
    std::transform(answer.begin(), answer.end(), answer.begin(), ::tolower);
    if (answer == "t" || answer == "tak" || answer == "y" || answer == "yes") return true;
    if (answer == "n" || answer == "nie" || answer == "no") return false;
  }
}

void Console::BeginWalk(size_t total) {
  if (walking_) return;
  walking_ = true;
  total_ = total;
  break_latched_ = false;
  interrupted = 0;
  saved_ = new SavedTerminal{};
  struct sigaction on_interrupt {};
  on_interrupt.sa_handler = OnInterrupt;
  sigemptyset(&on_interrupt.sa_mask);
  sigaction(SIGINT, &on_interrupt, &saved_->interrupt);
  if (keyboard_ && tcgetattr(STDIN_FILENO, &saved_->settings) == 0) {
    // Keys arrive one at a time and unechoed; Ctrl+C still makes a signal.
    termios raw = saved_->settings;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    saved_->settings_changed = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
}

void Console::WalkProgress(size_t visited, const std::string& item) {
  if (!progress_ || !walking_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < next_progress_ && visited != total_) return;
  next_progress_ = now + kProgressEvery;
  std::string line = "Przeglądanie magazynu: " + std::to_string(visited) + "/" + std::to_string(total_) + "  " + item;
  line += "   (Esc lub Ctrl+C przerywa)";
  Write(stderr, "\r\x1b[K" + line);
  progress_shown_ = true;
}

bool Console::BreakRequested() {
  if (interrupted) break_latched_ = true;
  if (break_latched_ || !walking_ || !keyboard_) return break_latched_;
  const auto now = std::chrono::steady_clock::now();
  if (now < next_key_check_) return false;
  next_key_check_ = now + kKeysEvery;
  pollfd keys{STDIN_FILENO, POLLIN, 0};
  while (poll(&keys, 1, 0) > 0 && (keys.revents & POLLIN)) {
    char key;
    if (read(STDIN_FILENO, &key, 1) != 1) break;
    if (key == kEscape) break_latched_ = true;
  }
  return break_latched_;
}

void Console::EndWalk() {
  if (!walking_) return;
  walking_ = false;
  ClearProgress();
  if (saved_->settings_changed) tcsetattr(STDIN_FILENO, TCSANOW, &saved_->settings);
  sigaction(SIGINT, &saved_->interrupt, nullptr);
  delete saved_;
  saved_ = nullptr;
}

void Console::ClearProgress() {
  if (!progress_shown_) return;
  Write(stderr, "\r\x1b[K");
  progress_shown_ = false;
}

}  // namespace zalmir_sim
