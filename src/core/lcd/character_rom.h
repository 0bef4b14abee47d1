#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace zeltrix {

/** The character ROMs of HD44780-compatible controllers that the program knows. */
enum class CharacterRom {
  Cyrillic,  ///< the "European/Russian" ROM, the one LcdCode maps to
  A00,       ///< English/Japanese
  A02,       ///< English/European
};

/** Every ROM, in the order the program offers them. */
inline constexpr std::array<CharacterRom, 3> kCharacterRoms = {
    CharacterRom::Cyrillic, CharacterRom::A00, CharacterRom::A02};

/** The name under which a profile stores the ROM: "Cyrillic", "A00", "A02". */
constexpr std::string_view RomName(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00:
      return "A00";
    case CharacterRom::A02:
      return "A02";
    case CharacterRom::Cyrillic:
      break;
  }
  return "Cyrillic";
}

/** The ROM of a stored name, the letters A to Z taken without case; nothing for any other text. */
constexpr std::optional<CharacterRom> RomNamed(std::string_view name) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (const CharacterRom rom : kCharacterRoms) {
    const std::string_view own = RomName(rom);
    bool same = own.size() == name.size();
    for (std::size_t i = 0; same && i < own.size(); ++i) same = lower(own[i]) == lower(name[i]);
    if (same) return rom;
  }
  return std::nullopt;
}

}  // namespace zeltrix
