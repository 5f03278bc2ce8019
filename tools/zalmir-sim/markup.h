// The host's message texts as a terminal shows them: Mazovia converted to
// UTF-8, 0x02 ... 0x01 emphasis, and tab-stop spans "\x01t<stops>\x01",
// where each stop is a letter and a column: l18 puts the next cell's start
// at column 18, p25 puts its end there (right-aligned). A span sets the
// stops for its own line and the lines that follow; without stops a tab goes
// to the next multiple of 8.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace zalmir_sim {

struct StyledRun {
  std::string text;  // UTF-8
  bool bold = false;
};

struct TextLine {
  std::vector<StyledRun> runs;
  size_t width = 0;  // in characters
};

std::vector<TextLine> LayOut(const std::string& mazovia);
// One line for a terminal: emphasis as bold when styled, dropped when not.
std::string ToTerminal(const TextLine& line, bool styled);
// The whole text, lines joined by '\n'.
std::string RenderForTerminal(const std::string& mazovia, bool styled);
// Characters a UTF-8 text takes on the screen (every Polish letter is one).
size_t DisplayWidth(const std::string& utf8);

}  // namespace zalmir_sim
