// How screens get their custom characters' slots, and the lines that tell the
// user about a screen.
#include "core/lcd/cgram_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/io/utf8.h"
#include "core/lcd/rom_glyphs.h"

namespace zeltrix {
namespace {

CustomGlyph Rows(CharacterRom rom, std::uint8_t code) {
  CustomGlyph rows{};
  std::copy_n(RomGlyphs(rom)[code].begin(), 8, rows.begin());
  return rows;
}

constexpr auto kCyrillic = CharacterRom::Cyrillic;
constexpr auto kA00 = CharacterRom::A00;
constexpr auto kA02 = CharacterRom::A02;

// A screen as the tests write it: "<slot code>=<characters>" for each used
// slot, "load" when it loads slots, then each row's codes, a slot's as
// [hex], printable ASCII as itself, others as {hex}.
std::string Summary(const CgramScreen& screen, std::uint8_t slotBase) {
  std::string text;
  for (std::size_t s = 0; s < screen.cgramSlots.size(); ++s) {
    if (!screen.cgramSlots[s].Used()) continue;
    char code[8];
    std::snprintf(code, sizeof code, "%X=", static_cast<unsigned>(slotBase + s));
    text += code + Utf32ToUtf8(screen.cgramSlots[s].characters) + " ";
  }
  text += screen.loads ? "load" : "-";
  for (const LcdRow& row : screen.page.rows) {
    text += " |";
    for (const char c : row.codes) {
      const auto code = static_cast<unsigned char>(c);
      char part[8];
      if (code < 0x10) {
        std::snprintf(part, sizeof part, "[%X]", code);
      } else if (code >= 0x20 && code < 0x7F) {
        std::snprintf(part, sizeof part, "%c", code);
      } else {
        std::snprintf(part, sizeof part, "{%02X}", code);
      }
      text += part;
    }
  }
  return text;
}

TEST(CgramPlan, ScreensToSlots) {
  struct Case {
    const char* what;
    CharacterRom rom;
    bool lookAlikes;
    LcdGeometry geometry;
    std::uint8_t slotBase;
    std::u32string text;
    std::vector<std::string> screens;
    std::vector<std::string> messages;  // of the screens that overflow
  };
  const Case cases[] = {
      {"characters with one glyph share a slot",
       kCyrillic,
       false,
       {8, 1},
       8,
       U"°ﾟ° µμ{",
       {"8=°ﾟ 9=µμ A={ load |[8][8][8] [9][9][A]"},
       {}},
      {"a glyph held already keeps its slot; a new one takes a slot never loaded",
       kA00,
       false,
       {8, 1},
       8,
       U"БГ\nДБ\nБГ",
       {"8=Б 9=Г load |[8][9]", "8=Б A=Д load |[A][8]", "8=Б 9=Г - |[8][9]"},
       {}},
      {"with every slot loaded, the one needed longest ago goes",
       kA00,
       false,
       {8, 1},
       8,
       U"БГДЖЗИЙЛ\nПБ\nФД",
       {"8=Б 9=Г A=Д B=Ж C=З D=И E=Й F=Л load |[8][9][A][B][C][D][E][F]", "8=Б 9=П load |[9][8]",
        "A=Д B=Ф load |[B][A]"},
       {}},
      {"codes 0x00-0x07; a screen without custom characters loads nothing",
       kA00,
       true,
       {8, 2},
       0,
       U"Бог\r\nand\r\n",
       {"0=Б 1=г load |[0]o[1] |and"},
       {}},
      {"past the row's width nothing is planned",
       kA00,
       false,
       {8, 1},
       8,
       U"abcdefghБ",
       {"- |abcdefgh"},
       {}},
      {"the eight in most cells; on a tie the first seen; stand-ins, else blanks",
       kA00,
       false,
       {16, 2},
       8,
       U"гджзийлпфщ\r\nшшш",
       {"8=г 9=д A=ж B=з C=и D=й E=л F=ш load |[8][9][A][B][C][D][E]n{EC}  |[F][F][F]"},
       {"Экран 1: нужно своих знаков 11, помещается 8; заменены: п→n, ф→¢; не показаны: щ"}},
      {"on A02 a small letter stands in by its capital",
       kA02,
       true,
       {16, 1},
       8,
       U"бвгджзийкл",
       {"8=б 9=в A=г B=д C=ж D=з E=и F=й load |[8][9][A][B][C][D][E][F]K{86}"},
       {"Экран 1: нужно своих знаков 10, помещается 8; заменены: к→K, л→Л"}},
  };
  for (const Case& c : cases) {
    const CgramSetup setup{CharacterMap(c.rom, c.lookAlikes, true), c.geometry, c.slotBase};
    // The characters themselves, and the same text on whichever path it
    // takes (Windows-1251 bytes where they hold it), twice: one plan.
    std::vector<std::string> screens;
    std::vector<std::string> messages;
    PlanCgramScreens(std::u32string_view(c.text), setup, [&](const CgramScreen& screen) {
      screens.push_back(Summary(screen, c.slotBase));
      if (screen.report.Overflows()) messages.push_back(CgramMessage(screen.report));
      return true;
    });
    EXPECT_EQ(screens, c.screens) << c.what;
    EXPECT_EQ(messages, c.messages) << c.what;
    const EngineText engineText = EngineText::FromCharacters(c.text);
    for (const EngineText& text : {engineText, engineText}) {
      screens.clear();
      for (const CgramScreen& screen : PlanCgram(text, setup)) {
        screens.push_back(Summary(screen, c.slotBase));
      }
      EXPECT_EQ(screens, c.screens) << c.what << (text.OnBytePath() ? ", bytes" : "");
      std::vector<std::string> reported;
      for (const CgramReport& report : CgramOverflows(text, setup)) {
        reported.push_back(CgramMessage(report));
      }
      EXPECT_EQ(reported, c.messages) << c.what;
      const CgramScreen last = PlanCgramScreen(text, setup, c.screens.size() - 1);
      EXPECT_EQ(Summary(last, c.slotBase), c.screens.back()) << c.what;
      EXPECT_TRUE(PlanCgramScreen(text, setup, c.screens.size()).page.rows.empty()) << c.what;
    }
  }
}

TEST(CgramPlan, CellsKeepTheirCharactersAndKinds) {
  const CgramSetup setup{CharacterMap(kA00, false, true), {8, 1}, 8};
  const CgramScreen screen = PlanCgramScreen(EngineText::FromCharacters(U"Ж\tе€ь"), setup, 0);
  ASSERT_EQ(screen.characters.size(), 1u);
  EXPECT_EQ(screen.characters[0], U"Ж еь");  // € takes no cell, the TAB is a space
  using K = CharacterKind;
  EXPECT_EQ(screen.kinds[0], (std::vector<K>{K::Custom, K::Exact, K::SameGlyph, K::Custom}));
  EXPECT_EQ(screen.cgramSlots[0].glyph, Rows(kCyrillic, 0xA3));  // Ж
  const SlotGlyphs glyphs = screen.Glyphs();
  EXPECT_EQ(glyphs[1], Rows(kCyrillic, 0xC4));  // ь
  EXPECT_EQ(glyphs[2], CustomGlyph{});
}

TEST(CgramPlan, MessagesForTheUser) {
  CgramReport report;
  report.screen = 2;
  report.needed = 11;
  report.replaced = {{U'ж', U'*'}, {U'ш', U'w'}};
  report.notShown = U"Щ";
  EXPECT_EQ(CgramMessage(report),
            "Экран 3: нужно своих знаков 11, помещается 8; заменены: ж→*, ш→w; не показаны: Щ");
  CgramReport onlyBlank = report;
  onlyBlank.replaced.clear();
  onlyBlank.notShown = U"ыю";
  EXPECT_EQ(CgramMessage(onlyBlank),
            "Экран 3: нужно своих знаков 11, помещается 8; не показаны: ы, ю");
  CgramReport fits = report;
  fits.needed = 8;
  EXPECT_EQ(CgramMessage(fits), "");

  std::vector<CgramReport> reports = {report, fits, onlyBlank, report};
  EXPECT_EQ(CgramMessages(reports, 2),
            CgramMessage(report) + "\n" + CgramMessage(onlyBlank) + "\n…и ещё экранов: 1");
  EXPECT_EQ(CgramMessages(reports, 10).find("ещё"), std::string::npos);
  EXPECT_EQ(CgramMessages({fits}, 10), "");
}

}  // namespace
}  // namespace zeltrix
