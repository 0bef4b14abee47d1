// The LCD preview with custom characters: the dots of a custom character are
// the glyph of the ROM it comes from, and the marks round the cells that use
// a slot cover no dot.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/io/utf8.h"
#include "core/lcd/cgram_plan.h"
#include "core/lcd/lcd_screen.h"
#include "core/lcd/module_image.h"
#include "core/lcd/rom_glyphs.h"

namespace zeltrix {
namespace {

// The dots of a cell, rows 0-7, as glyph rows.
CustomGlyph CellRows(const DotBitmap& bitmap, int row, int column) {
  CustomGlyph rows{};
  for (int y = 0; y < kCellDotHeight; ++y) {
    for (int x = 0; x < kCellDotWidth; ++x) {
      if (bitmap.Lit(column * (kCellDotWidth + 1) + x, row * (kCellDotHeight + 1) + y)) {
        rows[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(1 << (4 - x));
      }
    }
  }
  return rows;
}

CustomGlyph RomRows(CharacterRom rom, std::uint8_t code) {
  CustomGlyph rows{};
  std::copy_n(RomGlyphs(rom)[code].begin(), 8, rows.begin());
  return rows;
}

TEST(CgramPreview, CustomCharactersDrawTheGlyphsOfTheirRom) {
  struct Case {
    CharacterRom rom;
    std::u32string text;
    CharacterRom from;
    std::uint8_t code;  // of the second cell's glyph in the ROM it comes from
  };
  const Case cases[] = {
      {CharacterRom::A00, U"aБ", CharacterRom::Cyrillic, 0xA0},
      {CharacterRom::A00, U"aщ", CharacterRom::Cyrillic, 0xE6},
      {CharacterRom::Cyrillic, U"5°", CharacterRom::A00, 0xDF},
      {CharacterRom::Cyrillic, U"xß", CharacterRom::A02, 0xDF},
  };
  for (const Case& c : cases) {
    for (const std::uint8_t slotBase : {0, 8}) {
      const CgramSetup setup{CharacterMap(c.rom, false, true), {16, 2}, slotBase};
      const CgramScreen screen = PlanCgramScreen(EngineText::FromCharacters(c.text), setup, 0);
      LcdScreen lcd(setup.geometry, c.rom);
      lcd.SetSlots(screen.Glyphs());
      const DotBitmap bitmap = lcd.Render(screen.page);
      EXPECT_EQ(CellRows(bitmap, 0, 1), RomRows(c.from, c.code)) << Utf32ToUtf8(c.text);
      // The module's picture: the custom cell's dots lit where the glyph's are.
      const LcdTheme& theme = LcdThemes()[0];
      const int scale = 2;
      const RgbImage image = DrawModule(bitmap, setup.geometry, theme, scale);
      const ModuleLayout layout = LayOutModule(setup.geometry, scale);
      const CustomGlyph expected = RomRows(c.from, c.code);
      for (int y = 0; y < kCellDotHeight; ++y) {
        for (int x = 0; x < kCellDotWidth; ++x) {
          const int px = layout.dotsLeft + (kCellDotWidth + 1 + x) * layout.pitch;
          const int py = layout.dotsTop + y * layout.pitch;
          const bool lit = (expected[static_cast<std::size_t>(y)] >> (4 - x)) & 1;
          EXPECT_EQ(image.pixels[static_cast<std::size_t>(py) * image.width + px],
                    lit ? theme.lit : theme.unlit)
              << Utf32ToUtf8(c.text) << " dot " << x << "," << y;
        }
      }
      EXPECT_EQ(CellRows(bitmap, 0, 0), RomRows(c.rom, static_cast<std::uint8_t>(c.text[0])));
      EXPECT_EQ(SlotCells(screen.page, setup.geometry), (std::vector<std::pair<int, int>>{{0, 1}}));
      // Without the slots the user-defined codes are blank.
      EXPECT_EQ(CellRows(LcdScreen(setup.geometry, c.rom).Render(screen.page), 0, 1),
                CustomGlyph{});
    }
  }
}

TEST(CgramPreview, MarkedCellsAndTheSlotStrip) {
  ScreenPage page;
  page.rows.resize(2);
  page.rows[0].codes = std::string("a\x08", 2);
  page.rows[1].codes = std::string("\x01", 1);
  const LcdGeometry geometry{8, 2};
  const auto cells = SlotCells(page, geometry);
  ASSERT_EQ(cells, (std::vector<std::pair<int, int>>{{0, 1}, {1, 0}}));
  const DotBitmap bitmap = LcdScreen(geometry, CharacterRom::A00).Render(page);
  for (const LcdTheme& theme : LcdThemes()) {
    for (const int scale : {1, 3, 8}) {
      const ModuleLayout layout = LayOutModule(geometry, scale);
      const RgbImage plain = DrawModule(bitmap, geometry, theme, scale);
      const RgbImage marked = DrawModule(bitmap, geometry, theme, scale, cells);
      ASSERT_EQ(marked.pixels.size(), plain.pixels.size());
      const auto at = [&](const RgbImage& image, int x, int y) {
        return image.pixels[static_cast<std::size_t>(y) * image.width + x];
      };
      // Only glass became the frame's colour, as many pixels as two frames have.
      int framePixels = 0;
      int changedDots = 0;
      for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
          if (at(marked, x, y) == at(plain, x, y)) continue;
          EXPECT_EQ(at(marked, x, y), theme.mark);
          ++framePixels;
          if (at(plain, x, y) != theme.glass) ++changedDots;
        }
      }
      EXPECT_EQ(changedDots, 0) << theme.id << " " << scale;
      const int inset = std::max(1, (2 * layout.pitch - layout.dotSize) / 2);
      const int width = 4 * layout.pitch + layout.dotSize + 2 * inset;
      const int height = 7 * layout.pitch + layout.dotSize + 2 * inset;
      EXPECT_EQ(framePixels, 2 * (2 * width + 2 * height - 4)) << theme.id << " " << scale;
      // The frame of cell (0, 1) runs just left of its first dot column.
      const int left = layout.dotsLeft + 6 * layout.pitch - inset;
      EXPECT_EQ(at(marked, left, layout.dotsTop + 3 * layout.pitch), theme.mark);
      EXPECT_EQ(at(marked, layout.dotsLeft - inset, layout.dotsTop + 3 * layout.pitch),
                theme.glass);
    }
  }
  // One slot's glyph enlarged: dots where its rows have bits.
  const LcdTheme& theme = LcdThemes()[0];
  const CustomGlyph glyph = {0x10, 0, 0, 0, 0, 0, 0, 0x01};
  const RgbImage strip = DrawGlyph(glyph, theme, 2);
  const ModuleLayout layout = LayOutModule(geometry, 2);
  const auto dot = [&](int x, int y) {
    return strip.pixels[static_cast<std::size_t>(layout.pitch + y * layout.pitch) * strip.width +
                        layout.pitch + x * layout.pitch];
  };
  EXPECT_EQ(strip.width, 6 * layout.pitch + layout.dotSize);
  EXPECT_EQ(dot(0, 0), theme.lit);
  EXPECT_EQ(dot(4, 7), theme.lit);
  EXPECT_EQ(dot(1, 0), theme.unlit);
  EXPECT_EQ(strip.pixels[0], theme.glass);
}

}  // namespace
}  // namespace zeltrix
