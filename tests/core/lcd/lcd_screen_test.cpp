#include "core/lcd/lcd_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lcd/module_image.h"

namespace zeltrix {
namespace {

// The dots of a bitmap's rectangle as "#" and "." lines.
std::vector<std::string> Dots(const DotBitmap& bitmap, int left, int top, int width, int height) {
  std::vector<std::string> lines;
  for (int y = top; y < top + height; ++y) {
    std::string line;
    for (int x = left; x < left + width; ++x) line += bitmap.Lit(x, y) ? '#' : '.';
    lines.push_back(line);
  }
  return lines;
}

// Б as the Cyrillic ROM draws it (code A0), drawn by hand.
const std::vector<std::string> kBe = {
    "#####", "#...#", "#....", "####.", "#...#", "#...#", "####.", ".....",
};
const std::vector<std::string> kBlankCell(8, ".....");

TEST(LcdScreenTest, DrawsGlyphsInCellsWithBlankGapsAndNoBorder) {
  ScreenPage page;
  page.rows.resize(2);
  page.rows[0].codes = "\xA0 \xA0";                             // Б, space, Б
  page.rows[1].codes = std::string(15, ' ') + "\xA0" + "\xA0";  // the 17th code is cut off
  const DotBitmap bitmap = LcdScreen({16, 2}).Render(page);
  ASSERT_EQ(bitmap.width, 95);
  ASSERT_EQ(bitmap.height, 17);
  EXPECT_EQ(Dots(bitmap, 0, 0, 5, 8), kBe);
  EXPECT_EQ(Dots(bitmap, 6, 0, 5, 8), kBlankCell);
  EXPECT_EQ(Dots(bitmap, 12, 0, 5, 8), kBe);
  EXPECT_EQ(Dots(bitmap, 18, 0, 5, 8), kBlankCell);  // a cell without a code
  EXPECT_EQ(Dots(bitmap, 90, 9, 5, 8), kBe);         // the last cell of the last row
  // The column between cells and the row between display rows stay dark.
  EXPECT_EQ(Dots(bitmap, 5, 0, 1, 17), std::vector<std::string>(17, "."));
  EXPECT_EQ(Dots(bitmap, 0, 8, 95, 1), std::vector<std::string>{std::string(95, '.')});
  int lit = 0;
  for (std::uint8_t dot : bitmap.dots) lit += dot;
  EXPECT_EQ(lit, 3 * 20);  // three Б of 20 dots each, nothing else
}

TEST(LcdScreenTest, SizesAndTheirNames) {
  struct Case {
    const char* name;
    int width, height;
  };
  for (const Case& c :
       {Case{"8x1", 47, 8}, Case{"16x2", 95, 17}, Case{"20x4", 119, 35}, Case{"40x4", 239, 35}}) {
    const std::optional<LcdGeometry> geometry = ParseGeometry(c.name);
    ASSERT_TRUE(geometry) << c.name;
    EXPECT_EQ(GeometryName(*geometry), c.name);
    EXPECT_EQ(DotWidth(*geometry), c.width) << c.name;
    EXPECT_EQ(DotHeight(*geometry), c.height) << c.name;
  }
  EXPECT_EQ(ParseGeometry("20\xC3\x97"
                          "4"),
            (LcdGeometry{20, 4}));
  for (const char* bad : {"16x3", "16", "x2", "16x", "16x2 ", "+16x2", "16x02x"}) {
    EXPECT_FALSE(ParseGeometry(bad)) << bad;
  }
}

TEST(LcdScreenTest, RomTablesComeFromTheirOwnFiles) {
  // "A" is the same in the Cyrillic and A00 ROMs and lower in A02; code 10 is
  // blank in the Cyrillic ROM and a triangle in A02; the user-defined codes
  // are blank everywhere.
  const GlyphRows a = {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x00, 0x00, 0x00};
  EXPECT_EQ(RomGlyphs(CharacterRom::Cyrillic)['A'], a);
  EXPECT_EQ(RomGlyphs(CharacterRom::A00)['A'], a);
  EXPECT_EQ(RomGlyphs(CharacterRom::A02)['A'],
            (GlyphRows{0x00, 0x04, 0x0A, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x00, 0x00}));
  for (CharacterRom rom : {CharacterRom::Cyrillic, CharacterRom::A00, CharacterRom::A02}) {
    EXPECT_EQ(RomGlyphs(rom)[0x05], GlyphRows{});
  }
  EXPECT_EQ(RomGlyphs(CharacterRom::Cyrillic)[0x10], GlyphRows{});
  EXPECT_EQ(RomGlyphs(CharacterRom::A02)[0x10],
            (GlyphRows{0x00, 0x08, 0x0C, 0x0E, 0x0F, 0x0E, 0x0C, 0x08, 0x00, 0x00}));
}

TEST(ModuleImageTest, DotsOnGlassInsideTheBezelAndCellsUnderThePointer) {
  ScreenPage page;
  page.rows.resize(1);
  page.rows[0].codes = "\xA0";
  const LcdGeometry geometry{8, 1};
  const DotBitmap bitmap = LcdScreen(geometry).Render(page);
  const LcdTheme& theme = *FindLcdTheme("blue");
  for (int scale : {1, 3, 8}) {
    const ModuleLayout layout = LayOutModule(geometry, scale);
    const RgbImage image = DrawModule(bitmap, geometry, theme, scale);
    ASSERT_EQ(image.width, layout.width);
    const auto pixel = [&](int dotX, int dotY) {
      const int x = layout.dotsLeft + dotX * layout.pitch + layout.dotSize / 2;
      const int y = layout.dotsTop + dotY * layout.pitch + layout.dotSize / 2;
      return image.pixels[static_cast<std::size_t>(y) * image.width + x];
    };
    EXPECT_EQ(pixel(0, 0), theme.lit) << scale;    // Б's top left dot
    EXPECT_EQ(pixel(1, 1), theme.unlit) << scale;  // inside Б's bowl
    EXPECT_EQ(pixel(5, 0), theme.glass) << scale;  // the gap between cells
    EXPECT_EQ(image.pixels[0], theme.frame) << scale;
    EXPECT_EQ(
        image.pixels[static_cast<std::size_t>(layout.glassTop) * image.width + layout.glassLeft],
        theme.glass)
        << scale;
    // The pointer on the third cell's dots, and on the gap after it.
    const int thirdCell = layout.dotsLeft + 2 * 6 * layout.pitch;
    EXPECT_EQ(layout.CellAt(thirdCell + 1, layout.dotsTop + 1), (std::pair{0, 2}));
    EXPECT_EQ(layout.CellAt(thirdCell + 5 * layout.pitch + 1, layout.dotsTop + 1),
              (std::pair{0, 2}));
    EXPECT_FALSE(layout.CellAt(0, 0));
    EXPECT_FALSE(layout.CellAt(layout.width - 2, layout.dotsTop + 1));
  }
}

TEST(ModuleImageTest, ThemesFoundByIdOrShownName) {
  EXPECT_EQ(FindLcdTheme("AMBER"), FindLcdTheme("Янтарный"));
  EXPECT_EQ(LcdThemes()[0].name, "Жёлто-зелёный");
  EXPECT_EQ(FindLcdTheme("Белый на чёрном")->id, "white-on-black");
  EXPECT_EQ(FindLcdTheme("green"), nullptr);
}

}  // namespace
}  // namespace zeltrix
