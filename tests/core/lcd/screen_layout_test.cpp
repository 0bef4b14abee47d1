#include "core/lcd/screen_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/lcd/bin_writer.h"
#include "tests/support/recording_prompter.h"

namespace zeltrix {
namespace {

std::string W(const char* utf8) { return *Utf8ToCp1251(utf8); }

// A row as the tests write it: its text line, codes, overflow and skipped count.
struct Row {
  std::size_t line;
  std::string codes;
  std::size_t overflow;
  std::size_t skipped;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{line " << row.line << " \"" << row.codes << "\" overflow " << row.overflow
             << " skipped " << row.skipped << "}";
}

std::vector<std::vector<Row>> Screens(const std::string& text, LcdGeometry geometry) {
  std::vector<std::vector<Row>> screens;
  for (const ScreenPage& page : LayOutScreens(text, geometry)) {
    screens.emplace_back();
    for (const LcdRow& row : page.rows) {
      screens.back().push_back({row.line, row.codes, row.overflow, row.skipped});
    }
  }
  return screens;
}

TEST(ScreenLayoutTest, LinesFillRowsAndScreens) {
  struct Case {
    const char* what;
    std::string text;
    LcdGeometry geometry;
    std::vector<std::vector<Row>> screens;
  };
  const std::vector<Case> cases = {
      {"CR LF, LF and CR each end a line",
       "AB\r\nCD\nEF\rGH",
       {8, 2},
       {{{0, "AB", 0, 0}, {1, "CD", 0, 0}}, {{2, "EF", 0, 0}, {3, "GH", 0, 0}}}},
      {"LF CR is two breaks",
       "A\n\rB",
       {8, 1},
       {{{0, "A", 0, 0}}, {{1, "", 0, 0}}, {{2, "B", 0, 0}}}},
      {"a long line is cut at the row's width",
       "ABCDEFGHIJ\r\nK",
       {8, 2},
       {{{0, "ABCDEFGH", 2, 0}, {1, "K", 0, 0}}}},
      {"undisplayable characters are skipped before the cut",
       "{A}BCDEFGHIJ|",
       {8, 1},
       {{{0, "ABCDEFGH", 2, 3}}}},
      {"TAB shows as a space, Cyrillic as its code",
       W("\tБя№"),
       {8, 1},
       {{{0, " \xA0\xC7\xCC", 0, 0}}}},
      {"a final break opens no line; the last screen may be short",
       "A\r\nB\r\nC\r\n",
       {8, 2},
       {{{0, "A", 0, 0}, {1, "B", 0, 0}}, {{2, "C", 0, 0}}}},
      {"an empty text is one empty screen", "", {16, 2}, {{{0, "", 0, 0}}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Screens(c.text, c.geometry), c.screens) << c.what;
    EXPECT_EQ(CountScreens(c.text, c.geometry), c.screens.size()) << c.what;
    for (std::size_t s = 0; s < c.screens.size(); ++s) {
      const ScreenPage page = LayOutScreen(c.text, c.geometry, s);
      ASSERT_EQ(page.rows.size(), c.screens[s].size()) << c.what;
      EXPECT_EQ(page.rows.back().codes, c.screens[s].back().codes) << c.what;
    }
    EXPECT_TRUE(LayOutScreen(c.text, c.geometry, c.screens.size()).rows.empty()) << c.what;
  }
}

TEST(ScreenLayoutTest, RowCodesAreTheBinImageOfTheirLine) {
  const std::string text =
      W("Температура: 25°C\tвлажность 40 %\r\n€uro {x} ~ Ёлка «№5»\r\n\r\nEnd");
  const std::vector<ScreenPage> pages = LayOutScreens(text, {40, 4});
  ASSERT_EQ(pages.size(), 1u);
  for (const LcdRow& row : pages[0].rows) {
    const std::string line = text.substr(row.start, row.length);
    const Result<std::string> prepared = PrepareBinText("out.bin", line, false, false, 2);
    const std::string expected = prepared ? MapToLcdCodes(*prepared) : "";
    EXPECT_EQ(row.codes, expected.substr(0, 40)) << row.line;
    EXPECT_EQ(row.overflow, expected.size() > 40 ? expected.size() - 40 : 0) << row.line;
    EXPECT_EQ(row.skipped, line.size() - expected.size()) << row.line;
  }
  EXPECT_EQ(pages[0].Skipped(), 5u);  // °, €, {, }, ~
}

TEST(ScreenLayoutTest, CellsLeadBackToTheirCharacters) {
  const std::string text = W("x\r\n{A\t}Б");
  const ScreenPage page = LayOutScreen(text, {8, 2}, 0);
  ASSERT_EQ(page.rows.size(), 2u);
  const LcdRow& row = page.rows[1];
  EXPECT_EQ(row.start, 3u);
  const std::vector<std::size_t> expected = {1, 2, 4, 5, 5};  // A, TAB, Б, then the line's end
  for (std::size_t cell = 0; cell < expected.size(); ++cell) {
    EXPECT_EQ(CellCharacter(text, row, cell), expected[cell]) << cell;
  }
  EXPECT_EQ(ScreenOfLine(5, {20, 4}), 1u);
  EXPECT_EQ(ScreenOfLine(3, {20, 4}), 0u);
}

}  // namespace
}  // namespace zeltrix
