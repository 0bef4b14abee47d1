#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/lcd_screen.h"

namespace zeltrix {

// Every function here comes for Windows-1251 text (std::string_view), for
// Unicode characters (std::u32string_view) and for an EngineText; offsets and
// lengths count units, so on either path they count characters. A
// Windows-1251 text without a map is shown on the Cyrillic ROM.

/**
 * The lines of a text as the display shows them: CR LF, LF or CR ends a
 * line; a text that ends with a line break has no empty line after it, and
 * an empty text is one empty line.
 */
std::size_t CountTextLines(std::string_view text);
std::size_t CountTextLines(std::u32string_view text);

/** Screens needed for the text: one display row per text line, at least one screen. */
std::size_t CountScreens(std::string_view text, LcdGeometry geometry);
std::size_t CountScreens(std::u32string_view text, LcdGeometry geometry);
std::size_t CountScreens(const EngineText& text, LcdGeometry geometry);

/** The screen (from 0) that shows the text line (from 0). */
constexpr std::size_t ScreenOfLine(std::size_t line, LcdGeometry geometry) {
  return line / static_cast<std::size_t>(geometry.rows);
}

/**
 * The screen (from 0) of the text: each text line fills one display row with
 * the codes that the BIN image of that line would hold (TABs become spaces,
 * characters the display cannot show are skipped), cut at the row's width.
 * A screen past the last one has no rows. The map gives the codes, and
 * which characters the display cannot show.
 */
ScreenPage LayOutScreen(std::string_view text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map = CharacterMap());
ScreenPage LayOutScreen(std::u32string_view text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map);
ScreenPage LayOutScreen(const EngineText& text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map);

/** Every screen of the text, in order, in one pass. */
std::vector<ScreenPage> LayOutScreens(std::string_view text, LcdGeometry geometry,
                                      const CharacterMap& map = CharacterMap());
std::vector<ScreenPage> LayOutScreens(std::u32string_view text, LcdGeometry geometry,
                                      const CharacterMap& map);
std::vector<ScreenPage> LayOutScreens(const EngineText& text, LcdGeometry geometry,
                                      const CharacterMap& map);

/**
 * Lays out the screens of the text in order, as LayOutScreens does, and hands
 * each to visit (the same page object, refilled), so that a walk over a long
 * text holds one screen at a time; visit returns false to stop the walk.
 */
void ForEachScreen(std::string_view text, LcdGeometry geometry, const CharacterMap& map,
                   const std::function<bool(ScreenPage&)>& visit);
void ForEachScreen(std::u32string_view text, LcdGeometry geometry, const CharacterMap& map,
                   const std::function<bool(ScreenPage&)>& visit);

/**
 * Where the character shown in the cell (from 0) of the row stands in its
 * line, counted from 0; a cell past the row's codes gives the line's end.
 * The map must be the one the row was laid out with.
 */
std::size_t CellCharacter(std::string_view text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map = CharacterMap());
std::size_t CellCharacter(std::u32string_view text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map);
std::size_t CellCharacter(const EngineText& text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map);

}  // namespace zeltrix
