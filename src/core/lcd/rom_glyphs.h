#pragma once

#include <array>
#include <cstdint>

#include "core/lcd/character_rom.h"

namespace zeltrix {

/** Dot rows of one glyph from the top, bit 4 the leftmost dot; rows 0-7 are the 5x8 glyph. */
using GlyphRows = std::array<std::uint8_t, 10>;

/** The glyphs of all 256 codes; the user-defined codes 00..0F are blank. */
using RomGlyphTable = std::array<GlyphRows, 256>;

/** The glyph table of a ROM, built into the program from resources/lcd-fonts. */
const RomGlyphTable& RomGlyphs(CharacterRom rom);

namespace detail {
extern const RomGlyphTable kRomCyrillic;
extern const RomGlyphTable kRomA00;
extern const RomGlyphTable kRomA02;
}  // namespace detail

}  // namespace zeltrix
