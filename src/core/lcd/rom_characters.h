#pragma once

#include <cstdint>
#include <span>

#include "core/lcd/character_rom.h"

namespace zeltrix {

/** A character that a ROM shows, and the code that shows it. */
struct RomCharacter {
  char32_t character;
  std::uint8_t code;
  /**
   * The code is made for another character that looks like this one (a
   * Cyrillic А shown as the Latin A, a dash as "-"): to be used only when the
   * profile allows look-alikes.
   */
  bool lookAlike;

  bool operator==(const RomCharacter&) const = default;
};

/**
 * The characters a ROM shows, sorted by character, each one once; a code may
 * show several characters. A00 and A02 come from resources/lcd-fonts/
 * *-unicode.txt, built into the program. The Cyrillic ROM's are LcdCode's
 * 160 displayable Windows-1251 characters, with no look-alikes.
 */
std::span<const RomCharacter> RomCharacters(CharacterRom rom);

/**
 * Symbols the Cyrillic ROM draws that its character table does not use
 * („ “ ” · § ¶, with « » and №), sorted by character, from
 * resources/lcd-fonts/cyrillic-extra.txt: glyphs for custom characters, not
 * part of the conversion.
 */
std::span<const RomCharacter> CyrillicRomExtras();

namespace detail {
extern const std::span<const RomCharacter> kRomCharactersA00;
extern const std::span<const RomCharacter> kRomCharactersA02;
extern const std::span<const RomCharacter> kRomCharactersCyrillicExtra;
}  // namespace detail

}  // namespace zeltrix
