#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/lcd/lcd_screen.h"

namespace zeltrix {

/**
 * The lines of a Windows-1251 text as the display shows them: CR LF, LF or CR
 * ends a line; a text that ends with a line break has no empty line after
 * it, and an empty text is one empty line.
 */
std::size_t CountTextLines(std::string_view text);

/** Screens needed for the text: one display row per text line, at least one screen. */
std::size_t CountScreens(std::string_view text, LcdGeometry geometry);

/** The screen (from 0) that shows the text line (from 0). */
constexpr std::size_t ScreenOfLine(std::size_t line, LcdGeometry geometry) {
  return line / static_cast<std::size_t>(geometry.rows);
}

/**
 * The screen (from 0) of the text: each text line fills one display row with
 * the codes that the BIN image of that line would hold (TABs become spaces,
 * characters the display cannot show are skipped), cut at the row's width.
 * A screen past the last one has no rows.
 */
ScreenPage LayOutScreen(std::string_view text, LcdGeometry geometry, std::size_t screen);

/** Every screen of the text, in order, in one pass. */
std::vector<ScreenPage> LayOutScreens(std::string_view text, LcdGeometry geometry);

/**
 * Where the character shown in the cell (from 0) of the row stands in its
 * line, counted from 0; a cell past the row's codes gives the line's end.
 */
std::size_t CellCharacter(std::string_view text, const LcdRow& row, std::size_t cell);

}  // namespace zeltrix
