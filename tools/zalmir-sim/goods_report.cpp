#include "goods_report.h"

#include <algorithm>
#include <array>

#include "markup.h"
#include "simhost/mazovia_text.h"
#include "simhost/records.h"

namespace zalmir_sim {

namespace {

constexpr size_t kColumns = 6;
using Row = std::array<std::string, kColumns>;
constexpr std::array<bool, kColumns> kRightAligned = {true, false, true, false, false, false};

std::string Rule(const std::array<size_t, kColumns>& widths, const char* left, const char* middle, const char* right) {
  std::string line = left;
  for (size_t c = 0; c < kColumns; ++c) {
    for (size_t i = 0; i < widths[c] + 2; ++i) line += "─";
    line += c + 1 < kColumns ? middle : right;
  }
  return line + "\n";
}

std::string Cells(const Row& row, const std::array<size_t, kColumns>& widths) {
  std::string line = "│";
  for (size_t c = 0; c < kColumns; ++c) {
    const std::string padding(widths[c] - DisplayWidth(row[c]), ' ');
    line += " " + (kRightAligned[c] ? padding + row[c] : row[c] + padding) + " │";
  }
  return line + "\n";
}

}  // namespace

std::string GoodsReport(const std::vector<std::vector<uint8_t>>& before, const std::vector<std::vector<uint8_t>>& after,
                        const std::set<size_t>& stored) {
  std::vector<Row> rows = {{"#", "Goods", "Card", "Słowo KLUCZ before", "Słowo KLUCZ after", "Stored"}};
  for (size_t i = 0; i < before.size(); ++i) {
    const zalmir::GoodsItem old_item = zalmir::ReadGoodsRecord(before[i]);
    const zalmir::GoodsItem new_item = zalmir::ReadGoodsRecord(after[i]);
    rows.push_back({std::to_string(i + 1), zalmir::MazoviaToUtf8(old_item.name), std::to_string(old_item.card_number),
                    zalmir::MazoviaToUtf8(old_item.key_word), zalmir::MazoviaToUtf8(new_item.key_word),
                    stored.count(i) ? "yes" : ""});
  }
  std::array<size_t, kColumns> widths{};
  for (const Row& row : rows)
    for (size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));

  std::string table = Rule(widths, "┌", "┬", "┐") + Cells(rows[0], widths) + Rule(widths, "├", "┼", "┤");
  for (size_t r = 1; r < rows.size(); ++r) table += Cells(rows[r], widths);
  return table + Rule(widths, "└", "┴", "┘");
}

}  // namespace zalmir_sim
