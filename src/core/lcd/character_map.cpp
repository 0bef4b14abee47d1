#include "core/lcd/character_map.h"

#include <algorithm>
#include <memory>

#include "core/io/single_byte_codec.h"
#include "core/lcd/custom_glyphs.h"
#include "core/lcd/rom_characters.h"

namespace zeltrix {
namespace {

constexpr std::uint16_t Pack(std::uint8_t code, CharacterKind kind) {
  return static_cast<std::uint16_t>(code | static_cast<unsigned>(kind) << 8);
}

constexpr CharacterKind KindOf(std::uint16_t entry) {
  return static_cast<CharacterKind>(entry >> 8);
}

// With custom characters: how a character that the ROM does not show exactly
// is shown when some ROM table holds its glyph. The same glyph under a code
// of this ROM beats a look-alike; a look-alike beats a slot.
std::uint16_t WithCustom(std::uint16_t entry, CharacterRom rom, const SourceGlyph& source) {
  if (KindOf(entry) == CharacterKind::Exact) return entry;
  if (const std::optional<std::uint8_t> code = SameGlyphCode(rom, source.rows)) {
    return Pack(*code, CharacterKind::SameGlyph);
  }
  if (KindOf(entry) == CharacterKind::LookAlike) return entry;
  return Pack(0, CharacterKind::Custom);
}

std::unique_ptr<CharacterMap::Tables> BuildTables(CharacterRom rom, bool lookAlikes, bool custom) {
  auto tables = std::make_unique<CharacterMap::Tables>();
  std::fill(std::begin(tables->bmp), std::end(tables->bmp), std::uint16_t{0});
  // Each character is listed once, so exact codes and look-alikes never meet.
  for (const RomCharacter& entry : RomCharacters(rom)) {
    if (entry.character >= 0x10000 || (entry.lookAlike && !lookAlikes)) continue;
    tables->bmp[entry.character] =
        Pack(entry.code, entry.lookAlike ? CharacterKind::LookAlike : CharacterKind::Exact);
  }
  if (custom) {
    for (const SourceGlyph& source : SourceGlyphs()) {
      if (source.character >= 0x10000) continue;
      tables->bmp[source.character] = WithCustom(tables->bmp[source.character], rom, source);
    }
  }
  for (int b = 0; b < 256; ++b) {
    tables->bytes[b] = tables->bmp[Cp1251ToCodePoint(static_cast<unsigned char>(b))];
  }
  return tables;
}

// Built on first use only: most runs use one ROM.
template <CharacterRom kRom, bool kLookAlikes, bool kCustom>
const CharacterMap::Tables* TablesOf() {
  static const std::unique_ptr<const CharacterMap::Tables> kTables =
      BuildTables(kRom, kLookAlikes, kCustom);
  return kTables.get();
}

template <bool kCustom>
const CharacterMap::Tables* TablesOf(CharacterRom rom, bool lookAlikes) {
  switch (rom) {
    case CharacterRom::A00:
      return lookAlikes ? TablesOf<CharacterRom::A00, true, kCustom>()
                        : TablesOf<CharacterRom::A00, false, kCustom>();
    case CharacterRom::A02:
      return lookAlikes ? TablesOf<CharacterRom::A02, true, kCustom>()
                        : TablesOf<CharacterRom::A02, false, kCustom>();
    case CharacterRom::Cyrillic:
      break;
  }
  // The Cyrillic ROM has no look-alikes to allow.
  return TablesOf<CharacterRom::Cyrillic, false, kCustom>();
}

}  // namespace

CharacterMap::CharacterMap(CharacterRom rom, bool lookAlikes, bool customCharacters)
    : m_tables(customCharacters ? TablesOf<true>(rom, lookAlikes)
                                : TablesOf<false>(rom, lookAlikes)),
      m_rom(rom),
      m_lookAlikes(lookAlikes),
      m_customCharacters(customCharacters) {}

MappedChar CharacterMap::MapBeyondBmp(char32_t character) const {
  // The few characters beyond the Basic Multilingual Plane (a bell on A02)
  // are looked up in the ROM's sorted list itself.
  const auto characters = RomCharacters(m_rom);
  const auto at =
      std::lower_bound(characters.begin(), characters.end(), character,
                       [](const RomCharacter& entry, char32_t c) { return entry.character < c; });
  std::uint16_t entry = 0;
  if (at != characters.end() && at->character == character) {
    if (!at->lookAlike) return {at->code, CharacterKind::Exact};
    if (m_lookAlikes) entry = Pack(at->code, CharacterKind::LookAlike);
  }
  if (m_customCharacters) {
    if (const SourceGlyph* source = FindSourceGlyph(character)) {
      entry = WithCustom(entry, m_rom, *source);
    }
  }
  return Unpack(entry);
}

}  // namespace zeltrix
