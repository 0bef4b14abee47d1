#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lcd/custom_glyphs.h"
#include "core/lcd/lcd_screen.h"

namespace zeltrix {

/** Colours of a display module as 0xAARRGGBB. */
struct LcdTheme {
  std::string_view id;      ///< the settings file's and command line's name
  std::string_view name;    ///< the name the window shows (UTF-8)
  std::uint32_t glass;      ///< the lit background
  std::uint32_t lit;        ///< a dot that is on
  std::uint32_t unlit;      ///< a dot that is off, faintly seen on the glass
  std::uint32_t frame;      ///< the bezel around the glass
  std::uint32_t frameEdge;  ///< the bezel's inner edge
  std::uint32_t mark;       ///< the thin frame round a cell that shows a custom character
};

/** The backlight colours of common modules, the first one the default. */
const std::array<LcdTheme, 4>& LcdThemes();

/** The theme of that id (any letter case) or shown name; nothing when none has it. */
const LcdTheme* FindLcdTheme(std::string_view idOrName);

/** Zoom factors of a drawn module. */
inline constexpr int kMinLcdScale = 1;
inline constexpr int kMaxLcdScale = 8;

/** Where the parts of a drawn module lie, in pixels. */
struct ModuleLayout {
  LcdGeometry geometry;
  int dotSize = 0;  ///< side of one dot
  int pitch = 0;    ///< from one dot to the next
  int border = 0;   ///< width of the bezel
  int glassLeft = 0;
  int glassTop = 0;
  int dotsLeft = 0;  ///< left edge of the first dot
  int dotsTop = 0;   ///< top edge of the first dot
  int width = 0;
  int height = 0;

  /** The cell (row, column) under the pixel, or nothing off the cells; a gap belongs to the cell
   * left of or above it. */
  std::optional<std::pair<int, int>> CellAt(int x, int y) const;
  /** Vertical pixel range [top, bottom) of a display row's dots. */
  std::pair<int, int> RowSpan(int row) const;
};

/** The layout of a module of that size at a zoom of kMinLcdScale to kMaxLcdScale (clamped). */
ModuleLayout LayOutModule(LcdGeometry geometry, int scale);

/** A picture as 0xAARRGGBB pixels, row after row. */
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

/**
 * Draws the screen's dots as a real module shows them: lit and faint unlit
 * dots on the coloured glass inside a bezel, the gaps between cells bare.
 */
RgbImage DrawModule(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme,
                    int scale);

/**
 * DrawModule with a thin frame in the theme's mark colour round each of the
 * given cells (row, column; SlotCells gives those of the custom characters),
 * drawn in the bare glass between cells so that no dot is covered. Cells
 * outside the screen are left out.
 */
RgbImage DrawModule(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme, int scale,
                    const std::vector<std::pair<int, int>>& markedCells);

/**
 * One glyph enlarged, as the module shows a cell: its lit and unlit dots on
 * the glass, with a margin of one dot pitch, at a zoom of kMinLcdScale to
 * kMaxLcdScale (clamped); for the strip of the screen's CGRAM slots.
 */
RgbImage DrawGlyph(const CustomGlyph& glyph, const LcdTheme& theme, int scale);

}  // namespace zeltrix
