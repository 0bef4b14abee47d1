#pragma once

#include <cstdint>

#include "core/lcd/character_rom.h"
#include "core/profiles/profile_record.h"

namespace zeltrix {

/** How the display shows a character. */
enum class CharacterKind : std::uint8_t {
  NotShown,   ///< the ROM has no code for it, nor (when allowed) a look-alike
  Exact,      ///< by the ROM's code for this very character
  LookAlike,  ///< by the code of a character that looks like it; the profile allows it
  /**
   * With custom characters: by a code of the ROM whose glyph is, dot for dot,
   * the character's own glyph in another ROM (Cyrillic е on A00 is its e).
   */
  SameGlyph,
  /**
   * With custom characters: by a user-defined character (CGRAM) drawn with the
   * glyph another ROM has for it. Its code is the slot's, which the screen's
   * plan gives (CgramPlanner); the map's code is 0.
   */
  Custom,
  /**
   * In a screen's plan only: a character left without a slot, shown by the
   * ROM character that stands in for it (StandInFor).
   */
  StandIn,
};

/** A character's code on the display, and how it gets there. */
struct MappedChar {
  std::uint8_t code = 0;  ///< meaningful only when shown: code 0 is no longer "not shown"
  CharacterKind kind = CharacterKind::NotShown;

  constexpr bool Shown() const { return kind != CharacterKind::NotShown; }
  bool operator==(const MappedChar&) const = default;
};

/**
 * Which code shows each character on a display with the given ROM, with or
 * without look-alikes: a character the ROM has a code for is shown by it; one
 * it lacks is shown by its look-alike when look-alikes are allowed and the
 * ROM lists one, otherwise it is not shown. The Cyrillic ROM lists none.
 *
 * The engine's two units of text map alike: a char32_t is a Unicode
 * character, a char a Windows-1251 byte (the character of that byte). For the
 * Cyrillic ROM a byte maps to LcdCode, as it always has.
 *
 * With custom characters (the profile's CGRAM option) a character the ROM
 * lacks is also looked for in the glyph tables of all three ROMs
 * (SourceGlyph): when this ROM holds that glyph dot for dot under some code it
 * is shown by that code (SameGlyph, before a look-alike), else, when no
 * look-alike is allowed, it is a Custom character, which a screen's plan
 * gives a slot. Without them the map is the ROM's table alone, as it always
 * was.
 *
 * Looking up costs one table read. The tables are built on the first use of
 * a ROM and kept for the run (128 KB each), shared by every copy, so a map is
 * cheap to make and to copy; they may be built and read from any thread.
 */
class CharacterMap {
 public:
  /**
   * The lookup tables of a ROM, with or without its look-alikes. An entry
   * holds the code in its low byte and the kind in its high byte, so that a
   * table of zeros is a table of characters not shown.
   */
  struct Tables {
    std::uint16_t bmp[0x10000];  ///< the characters U+0000 to U+FFFF
    std::uint16_t bytes[256];    ///< the characters of the Windows-1251 bytes
  };

  explicit CharacterMap(CharacterRom rom = CharacterRom::Cyrillic, bool lookAlikes = false,
                        bool customCharacters = false);

  /** How the display shows a Unicode character. */
  MappedChar Map(char32_t character) const {
    return character < 0x10000 ? Unpack(m_tables->bmp[character]) : MapBeyondBmp(character);
  }

  /** How the display shows the character of a Windows-1251 byte. */
  MappedChar Map(char windows1251) const {
    return Unpack(m_tables->bytes[static_cast<unsigned char>(windows1251)]);
  }

  /** True when the display shows the character (a char32_t or a Windows-1251 char). */
  template <class Char>
  bool Shows(Char unit) const {
    return Map(unit).Shown();
  }

  CharacterRom Rom() const { return m_rom; }
  bool LookAlikes() const { return m_lookAlikes; }
  bool CustomCharacters() const { return m_customCharacters; }

 private:
  static constexpr MappedChar Unpack(std::uint16_t entry) {
    return {static_cast<std::uint8_t>(entry & 0xFF), static_cast<CharacterKind>(entry >> 8)};
  }
  MappedChar MapBeyondBmp(char32_t character) const;

  const Tables* m_tables;
  CharacterRom m_rom;
  bool m_lookAlikes;
  bool m_customCharacters;
};

/**
 * The map of a profile's display: its ROM, with look-alikes when it allows
 * them and custom characters when its CGRAM option is on.
 */
inline CharacterMap CharacterMapOf(const ProfileRecord& profile) {
  return CharacterMap(profile.Rom, profile.LookAlikes != 0, profile.Cgram == 1);
}

}  // namespace zeltrix
