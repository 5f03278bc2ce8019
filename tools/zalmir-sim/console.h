// The simulator's screen and keyboard: the host's message windows drawn on
// the terminal, its yes/no question, the progress line of a walk and the
// keys that break a walk off. Output that is piped gets no escape codes,
// no progress line and no questions.
#pragma once
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "markup.h"

namespace zalmir_sim {

class Console {
 public:
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  bool interactive() const { return keyboard_; }  // questions can be asked
  bool styled() const { return styled_; }

  void Say(const std::string& line);  // a line of the simulator's own, UTF-8
  void Trace(const std::string& line);  // on stderr
  // A host window: its title, the laid-out message, lines below the frame.
  void ShowWindow(const std::string& title, const std::vector<TextLine>& body,
                  const std::vector<std::string>& below = {});
  // Asks on the terminal until the answer is yes or no.
  bool AskYesNo(const std::string& prompt);

  // The walk: a progress line on a terminal, Esc and Ctrl+C turned into the
  // user's break. Ending restores the terminal.
  void BeginWalk(size_t total);
  void WalkProgress(size_t visited, const std::string& item);
  bool BreakRequested();
  void EndWalk();

 private:
  void ClearProgress();

  bool styled_ = false;    // stdout is a terminal
  bool keyboard_ = false;  // stdin is a terminal
  bool progress_ = false;  // stderr is a terminal
  bool walking_ = false;
  bool progress_shown_ = false;
  bool break_latched_ = false;
  size_t total_ = 0;
  std::chrono::steady_clock::time_point next_progress_{};
  std::chrono::steady_clock::time_point next_key_check_{};
  struct SavedTerminal;
  SavedTerminal* saved_ = nullptr;
};

}  // namespace zalmir_sim
