#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lcd/custom_glyphs.h"
#include "core/lcd/rom_glyphs.h"

namespace zeltrix {

/** A character display's size: characters per row and rows. */
struct LcdGeometry {
  int columns = 16;
  int rows = 2;

  bool operator==(const LcdGeometry&) const = default;
};

/** The display sizes the program offers, smallest first. */
inline constexpr std::array<LcdGeometry, 10> kLcdGeometries = {{
    {8, 1},
    {8, 2},
    {16, 1},
    {16, 2},
    {16, 4},
    {20, 2},
    {20, 4},
    {24, 2},
    {40, 2},
    {40, 4},
}};

/** The size a preview starts with. */
inline constexpr LcdGeometry kDefaultLcdGeometry{16, 2};

/** Dots of one character cell in 5x8 mode. */
inline constexpr int kCellDotWidth = 5;
inline constexpr int kCellDotHeight = 8;

/** The size as "16x2", the form the settings file and the command line use. */
std::string GeometryName(LcdGeometry geometry);

/** A size written "16x2" (or with "×"); nothing unless it is one of kLcdGeometries. */
std::optional<LcdGeometry> ParseGeometry(std::string_view name);

/** Width of a screen in dots: five per cell and one blank column between cells. */
constexpr int DotWidth(LcdGeometry geometry) { return geometry.columns * (kCellDotWidth + 1) - 1; }

/** Height of a screen in dots: eight per row and one blank dot row between rows. */
constexpr int DotHeight(LcdGeometry geometry) { return geometry.rows * (kCellDotHeight + 1) - 1; }

/** A screen's dots, row after row from the top left; 1 is a lit dot. */
struct DotBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> dots;

  bool Lit(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x] != 0; }
};

/** One display row of a screen: a text line cut to the row's width. */
struct LcdRow {
  std::size_t line = 0;      ///< the text line shown, counted from 0
  std::size_t start = 0;     ///< offset of the line's first character in the text
  std::size_t length = 0;    ///< characters of the line, its line break not counted
  std::string codes;         ///< the display codes shown, at most the row's width
  std::size_t overflow = 0;  ///< codes cut off at the row's right edge
  std::size_t skipped = 0;   ///< characters of the line the display cannot show
};

/** What one screen shows: its rows from the top; rows past the text's end are absent. */
struct ScreenPage {
  std::vector<LcdRow> rows;

  /** Characters skipped on the whole screen. */
  std::size_t Skipped() const;
};

/**
 * A character display of one size and ROM. Draws display codes into dots:
 * cells of 5x8 dots, one blank dot column between cells and one blank dot
 * row between display rows, no border. The user-defined codes 0x00-0x0F are
 * blank until slot glyphs are given.
 */
class LcdScreen {
 public:
  explicit LcdScreen(LcdGeometry geometry = kDefaultLcdGeometry,
                     CharacterRom rom = CharacterRom::Cyrillic);

  /**
   * The glyphs of the eight CGRAM slots (CgramScreen::Glyphs): codes 0x00-0x07
   * and 0x08-0x0F then draw slot code & 7, as the display does.
   */
  void SetSlots(const SlotGlyphs& glyphs);

  /**
   * Draws the page's rows into bitmap, which takes the screen's dot size.
   * Codes past a row's width and rows past the screen's height are not drawn;
   * cells without a code stay dark.
   */
  void Render(const ScreenPage& page, DotBitmap& bitmap) const;

  /** Render into a new bitmap. */
  DotBitmap Render(const ScreenPage& page) const;

 private:
  LcdGeometry m_geometry;
  const RomGlyphTable* m_glyphs;
  SlotGlyphs m_slots{};
};

/**
 * The cells (row, column) of a page whose code is a CGRAM slot's (below 0x10),
 * row by row, within the screen's size: the cells the preview may mark.
 */
std::vector<std::pair<int, int>> SlotCells(const ScreenPage& page, LcdGeometry geometry);

}  // namespace zeltrix
