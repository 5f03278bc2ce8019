#include "markup.h"

#include <cstdint>

#include "simhost/mazovia_text.h"

namespace zalmir_sim {

namespace {

constexpr char kEmphasisOff = 0x01;
constexpr char kEmphasisOn = 0x02;
constexpr size_t kDefaultTab = 8;

struct TabStop {
  size_t column;
  bool right_aligned;
};

struct Cell {
  std::vector<StyledRun> runs;
  size_t width = 0;
};

void Append(Cell& cell, char byte, bool bold) {
  const std::string text = zalmir::MazoviaToUtf8(std::string(1, byte));
  if (cell.runs.empty() || cell.runs.back().bold != bold) cell.runs.push_back({"", bold});
  cell.runs.back().text += text;
  ++cell.width;
}

// "l18l33" or "p25p40"; anything unreadable ends the list.
std::vector<TabStop> ParseStops(const std::string& codes) {
  std::vector<TabStop> stops;
  for (size_t i = 0; i < codes.size();) {
    const char kind = codes[i++];
    size_t column = 0, digits = 0;
    for (; i < codes.size() && codes[i] >= '0' && codes[i] <= '9'; ++i, ++digits)
      column = column * 10 + static_cast<size_t>(codes[i] - '0');
    if ((kind != 'l' && kind != 'p') || digits == 0) break;
    stops.push_back({column, kind == 'p'});
  }
  return stops;
}

void AddRuns(TextLine& line, const std::vector<StyledRun>& runs) {
  for (const StyledRun& run : runs) {
    if (!line.runs.empty() && line.runs.back().bold == run.bold)
      line.runs.back().text += run.text;
    else
      line.runs.push_back(run);
  }
}

void Pad(TextLine& line, size_t to) {
  if (to <= line.width) return;
  AddRuns(line, {{std::string(to - line.width, ' '), false}});
  line.width = to;
}

TextLine Arrange(const std::vector<Cell>& cells, const std::vector<TabStop>& stops) {
  TextLine line;
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& cell = cells[i];
    if (i > 0) {
      size_t start;
      if (i - 1 < stops.size()) {
        const TabStop& stop = stops[i - 1];
        start = stop.right_aligned ? (stop.column > cell.width ? stop.column - cell.width : 0) : stop.column;
        if (start <= line.width) start = line.width + 1;  // a cell never runs into the one before
      } else {
        start = (line.width / kDefaultTab + 1) * kDefaultTab;
      }
      Pad(line, start);
    }
    AddRuns(line, cell.runs);
    line.width += cell.width;
  }
  return line;
}

// Where the tab-stop span that starts at i closes; npos when none starts
// there (a 0x01 without its closing partner only ends emphasis).
size_t TabSpanEnd(const std::string& text, size_t i) {
  if (text[i] != kEmphasisOff || i + 1 >= text.size() || text[i + 1] != 't') return std::string::npos;
  return text.find(kEmphasisOff, i + 2);
}

}  // namespace

std::vector<TextLine> LayOut(const std::string& mazovia) {
  std::vector<TextLine> lines;
  std::vector<TabStop> stops;
  std::vector<Cell> cells(1);
  bool bold = false;
  for (size_t i = 0; i < mazovia.size(); ++i) {
    const char byte = mazovia[i];
    if (byte == kEmphasisOn) {
      bold = true;
    } else if (const size_t end = TabSpanEnd(mazovia, i); end != std::string::npos) {
      stops = ParseStops(mazovia.substr(i + 2, end - (i + 2)));
      i = end;
    } else if (byte == kEmphasisOff) {
      bold = false;
    } else if (byte == '\n') {
      lines.push_back(Arrange(cells, stops));
      cells.assign(1, Cell{});
    } else if (byte == '\t') {
      cells.emplace_back();
    } else if (byte == '\r') {
      // Windows line ends: the '\n' ends the line.
    } else {
      Append(cells.back(), byte, bold);
    }
  }
  lines.push_back(Arrange(cells, stops));
  return lines;
}

std::string ToTerminal(const TextLine& line, bool styled) {
  std::string out;
  for (const StyledRun& run : line.runs) {
    if (styled && run.bold) out += "\x1b[1m" + run.text + "\x1b[22m";
    else out += run.text;
  }
  return out;
}

std::string RenderForTerminal(const std::string& mazovia, bool styled) {
  std::string out;
  const std::vector<TextLine> lines = LayOut(mazovia);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += '\n';
    out += ToTerminal(lines[i], styled);
  }
  return out;
}

size_t DisplayWidth(const std::string& utf8) {
  size_t width = 0;
  for (unsigned char byte : utf8) width += (byte & 0xC0) != 0x80;
  return width;
}

}  // namespace zalmir_sim
