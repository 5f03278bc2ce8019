// The host's mark-up as the simulator puts it on a terminal: emphasis,
// tab stops (left and right), Mazovia letters.
#include <gtest/gtest.h>

#include "markup.h"
#include "simhost/mazovia_text.h"

namespace zalmir_sim {
namespace {

struct MarkupCase {
  const char* name;
  std::string text;  // UTF-8 with the mark-up bytes; converted to Mazovia
  bool styled;
  std::string shown;
};

class MarkupTest : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupTest, RendersAsTheHostLaysItOut) {
  const MarkupCase& c = GetParam();
  EXPECT_EQ(RenderForTerminal(zalmir::Utf8ToMazovia(c.text), c.styled), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupTest,
    ::testing::Values(
        MarkupCase{"PolishLetters", "zażółć gęślą jaźń ŻÓŁĆ", false, "zażółć gęślą jaźń ŻÓŁĆ"},
        MarkupCase{"EmphasisBoldOnATerminal", "Moduł \x02Zefirnik.dll\x01 nie", true,
                   "Moduł \x1b[1mZefirnik.dll\x1b[22m nie"},
        MarkupCase{"EmphasisDroppedWhenPiped", "Moduł \x02Zefirnik.dll\x01 nie", false, "Moduł Zefirnik.dll nie"},
        MarkupCase{"EmphasisAcrossLines", "\x02jeden\ndwa\x01 trzy", true,
                   "\x1b[1mjeden\x1b[22m\n\x1b[1mdwa\x1b[22m trzy"},
        MarkupCase{"DefaultTabsEveryEight", "ab\tc\td", false, "ab      c       d"},
        MarkupCase{"LeftStops", "\x01tl18l33\x01TABELA\tWE WTYCZCE\tW PROGRAMIE", false,
                   "TABELA" + std::string(12, ' ') + "WE WTYCZCE" + std::string(5, ' ') + "W PROGRAMIE"},
        MarkupCase{"RightStops", "\x01tp25p40\x01k11\t435\tbrak", false,
                   "k11" + std::string(19, ' ') + "435" + std::string(11, ' ') + "brak"},
        MarkupCase{"StopsHoldForTheLinesThatFollow", "\x01tl5\x01" "a\tb\nc\td", false, "a    b\nc    d"},
        MarkupCase{"ALaterSpanReplacesTheStops", "\x01tl5\x01" "a\tb\n\x01tp8\x01" "c\td", false, "a    b\nc      d"},
        MarkupCase{"PastTheStopOneBlank", "\x01tl3\x01" "abcdef\tg", false, "abcdef g"},
        MarkupCase{"TabsBeyondTheStopsUseEights", "\x01tl4\x01" "a\tb\tc", false, "a   b   c"},
        MarkupCase{"WidthCountsLettersNotBytes", "\x01tp6\x01" "x\tżół", false, "x  żół"},
        MarkupCase{"UnclosedSpanOnlyEndsEmphasis", "\x02" "a\x01t", true, "\x1b[1ma\x1b[22mt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarkupLayout, LinesKnowTheirWidthInCharacters) {
  const std::vector<TextLine> lines = LayOut(zalmir::Utf8ToMazovia("Błąd\n\x01tl10\x01\x02x\x01\ty"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].width, 4u);
  EXPECT_EQ(lines[1].width, 11u);
  EXPECT_EQ(ToTerminal(lines[1], true), "\x1b[1mx\x1b[22m         y");
}

}  // namespace
}  // namespace zalmir_sim
