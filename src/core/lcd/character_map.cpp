#include "core/lcd/character_map.h"

#include <algorithm>
#include <memory>

#include "core/io/single_byte_codec.h"
#include "core/lcd/rom_characters.h"

namespace zeltrix {
namespace {

constexpr std::uint16_t Pack(std::uint8_t code, CharacterKind kind) {
  return static_cast<std::uint16_t>(code | static_cast<unsigned>(kind) << 8);
}

std::unique_ptr<CharacterMap::Tables> BuildTables(CharacterRom rom, bool lookAlikes) {
  auto tables = std::make_unique<CharacterMap::Tables>();
  std::fill(std::begin(tables->bmp), std::end(tables->bmp), std::uint16_t{0});
  // Each character is listed once, so exact codes and look-alikes never meet.
  for (const RomCharacter& entry : RomCharacters(rom)) {
    if (entry.character >= 0x10000 || (entry.lookAlike && !lookAlikes)) continue;
    tables->bmp[entry.character] =
        Pack(entry.code, entry.lookAlike ? CharacterKind::LookAlike : CharacterKind::Exact);
  }
  for (int b = 0; b < 256; ++b) {
    tables->bytes[b] = tables->bmp[Cp1251ToCodePoint(static_cast<unsigned char>(b))];
  }
  return tables;
}

// Built on first use only: most runs use one ROM.
template <CharacterRom kRom, bool kLookAlikes>
const CharacterMap::Tables* TablesOf() {
  static const std::unique_ptr<const CharacterMap::Tables> kTables = BuildTables(kRom, kLookAlikes);
  return kTables.get();
}

const CharacterMap::Tables* TablesOf(CharacterRom rom, bool lookAlikes) {
  switch (rom) {
    case CharacterRom::A00:
      return lookAlikes ? TablesOf<CharacterRom::A00, true>()
                        : TablesOf<CharacterRom::A00, false>();
    case CharacterRom::A02:
      return lookAlikes ? TablesOf<CharacterRom::A02, true>()
                        : TablesOf<CharacterRom::A02, false>();
    case CharacterRom::Cyrillic:
      break;
  }
  // The Cyrillic ROM has no look-alikes to allow.
  return TablesOf<CharacterRom::Cyrillic, false>();
}

}  // namespace

CharacterMap::CharacterMap(CharacterRom rom, bool lookAlikes)
    : m_tables(TablesOf(rom, lookAlikes)), m_rom(rom), m_lookAlikes(lookAlikes) {}

MappedChar CharacterMap::MapBeyondBmp(char32_t character) const {
  // The few characters beyond the Basic Multilingual Plane (a bell on A02)
  // are looked up in the ROM's sorted list itself.
  const auto characters = RomCharacters(m_rom);
  const auto at =
      std::lower_bound(characters.begin(), characters.end(), character,
                       [](const RomCharacter& entry, char32_t c) { return entry.character < c; });
  if (at == characters.end() || at->character != character) return {};
  if (!at->lookAlike) return {at->code, CharacterKind::Exact};
  return m_lookAlikes ? MappedChar{at->code, CharacterKind::LookAlike} : MappedChar{};
}

}  // namespace zeltrix
