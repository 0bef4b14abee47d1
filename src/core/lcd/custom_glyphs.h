#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/lcd/character_rom.h"

namespace zeltrix {

/**
 * A user-defined character of an HD44780 in 5x8 mode: its eight dot rows
 * from the top, bit 4 the leftmost dot, 0x00 to 0x1F each. These are the
 * eight bytes a CGRAM slot takes, in the order the display takes them.
 */
using CustomGlyph = std::array<std::uint8_t, 8>;

/** User-defined characters a display holds at once: codes 0x00-0x07, shown again at 0x08-0x0F. */
inline constexpr int kCgramSlots = 8;

/** The glyphs of the eight slots, slot 0 first. */
using SlotGlyphs = std::array<CustomGlyph, kCgramSlots>;

/** The glyph of a character that one of the program's ROM tables holds. */
struct SourceGlyph {
  char32_t character;
  CustomGlyph rows;   ///< rows 0-7 of the ROM's glyph
  CharacterRom rom;   ///< the ROM whose table gives it
  std::uint8_t code;  ///< its code there
  std::uint16_t id;   ///< the same for every character with these rows, counted from 0
};

/**
 * Every character that some ROM table of the program shows, with the glyph a
 * custom character of it is drawn with, sorted by character. A character
 * shown by several ROMs takes its glyph from the first of:
 *  1. the Cyrillic ROM: its character table (LcdCode through Windows-1251)
 *     and the symbols of cyrillic-extra.txt („ “ ” · § ¶). Its 5C, which the
 *     table passes "\" through to, draws ¢ and is left out;
 *  2. A00, whose Latin half the Cyrillic ROM shares dot for dot: its letters
 *     and signs (° µ ä ö ü ñ, Greek, katakana) sit on the same rows as the
 *     Cyrillic ROM's and A00's own letters;
 *  3. A02 for the rest (Ä Ö Ü ß é and most of Latin-1): it draws its letters
 *     one dot row lower, so it comes last.
 * Look-alike entries are not glyphs of their characters and are not used.
 */
std::span<const SourceGlyph> SourceGlyphs();

/** The source glyph of a character, or nullptr when no ROM table holds it. */
const SourceGlyph* FindSourceGlyph(char32_t character);

/** Distinct glyphs among the source glyphs: ids run from 0 to this count less 1. */
std::size_t SourceGlyphCount();

/**
 * The code under which the ROM draws these rows 0-7 dot for dot (rows 8 and
 * 9, used in 5x10 mode only, do not count): the first of 0x20-0xFF, then of
 * 0x10-0x1F; nothing when it has no such glyph. A blank glyph gives the space.
 */
std::optional<std::uint8_t> SameGlyphCode(CharacterRom rom, const CustomGlyph& rows);

}  // namespace zeltrix
