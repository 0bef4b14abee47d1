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
 * The character each code of a ROM shows, for reading codes back as text:
 * the first character listed for the code that is not a look-alike, 0 for a
 * code that shows none. The Cyrillic ROM's come from LcdCode's table in the
 * order of the Windows-1251 bytes (so a code that shows a Latin and a
 * Cyrillic letter gives the Latin one), and for the codes it leaves out from
 * cyrillic-extra.txt: symbols the ROM shows that the conversion never writes.
 */
std::span<const char32_t, 256> RomShownCharacters(CharacterRom rom);

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
extern const std::span<const char32_t, 256> kRomShownA00;
extern const std::span<const char32_t, 256> kRomShownA02;
extern const std::span<const char32_t, 256> kRomShownCyrillicExtra;
}  // namespace detail

}  // namespace zeltrix
