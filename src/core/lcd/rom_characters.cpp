#include "core/lcd/rom_characters.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/lcd/lcd_code.h"

namespace zeltrix {
namespace {

// The Cyrillic ROM's table is LcdCode's, and the text it is made for is
// Windows-1251: its characters are those of the displayable bytes.
std::vector<RomCharacter> CyrillicCharacters() {
  std::vector<RomCharacter> characters;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (LcdCode(byte) != 0) characters.push_back({Cp1251ToCodePoint(byte), LcdCode(byte), false});
  }
  std::sort(characters.begin(), characters.end(),
            [](const RomCharacter& a, const RomCharacter& b) { return a.character < b.character; });
  return characters;
}

std::array<char32_t, 256> CyrillicShown() {
  std::array<char32_t, 256> shown{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (LcdCode(byte) != 0 && shown[LcdCode(byte)] == 0)
      shown[LcdCode(byte)] = Cp1251ToCodePoint(byte);
  }
  for (int code = 0; code < 256; ++code) {
    if (shown[code] == 0) shown[code] = detail::kRomShownCyrillicExtra[code];
  }
  return shown;
}

}  // namespace

std::span<const char32_t, 256> RomShownCharacters(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00:
      return detail::kRomShownA00;
    case CharacterRom::A02:
      return detail::kRomShownA02;
    case CharacterRom::Cyrillic:
      break;
  }
  static const std::array<char32_t, 256> kCyrillic = CyrillicShown();
  return kCyrillic;
}

std::span<const RomCharacter> RomCharacters(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00:
      return detail::kRomCharactersA00;
    case CharacterRom::A02:
      return detail::kRomCharactersA02;
    case CharacterRom::Cyrillic:
      break;
  }
  static const std::vector<RomCharacter> kCyrillic = CyrillicCharacters();
  return kCyrillic;
}

std::span<const RomCharacter> CyrillicRomExtras() { return detail::kRomCharactersCyrillicExtra; }

}  // namespace zeltrix
