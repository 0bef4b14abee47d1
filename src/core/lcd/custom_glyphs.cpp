#include "core/lcd/custom_glyphs.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/lcd/rom_characters.h"
#include "core/lcd/rom_glyphs.h"

namespace zeltrix {
namespace {

std::uint64_t KeyOf(const CustomGlyph& rows) {
  std::uint64_t key = 0;
  for (const std::uint8_t row : rows) key = key << 8 | row;
  return key;
}

CustomGlyph RowsOf(CharacterRom rom, std::uint8_t code) {
  const GlyphRows& glyph = RomGlyphs(rom)[code];
  CustomGlyph rows{};
  std::copy_n(glyph.begin(), rows.size(), rows.begin());
  return rows;
}

struct Index {
  std::vector<SourceGlyph> glyphs;  // sorted by character
  std::vector<std::uint16_t> bmp;   // per character of the BMP, its index in glyphs plus 1
  std::size_t distinct = 0;
};

Index BuildIndex() {
  Index index;
  std::vector<SourceGlyph>& all = index.glyphs;
  const auto add = [&all](CharacterRom rom, std::span<const RomCharacter> characters) {
    for (const RomCharacter& entry : characters) {
      if (entry.lookAlike) continue;
      // The Cyrillic ROM's table passes "\" through to 5C, which draws ¢.
      if (rom == CharacterRom::Cyrillic && entry.character == U'\\') continue;
      all.push_back({entry.character, RowsOf(rom, entry.code), rom, entry.code, 0});
    }
  };
  add(CharacterRom::Cyrillic, RomCharacters(CharacterRom::Cyrillic));
  add(CharacterRom::Cyrillic, CyrillicRomExtras());
  add(CharacterRom::A00, RomCharacters(CharacterRom::A00));
  add(CharacterRom::A02, RomCharacters(CharacterRom::A02));
  // Stable, so that of a character's glyphs the first ROM's stays first.
  std::stable_sort(all.begin(), all.end(), [](const SourceGlyph& a, const SourceGlyph& b) {
    return a.character < b.character;
  });
  all.erase(std::unique(all.begin(), all.end(),
                        [](const SourceGlyph& a, const SourceGlyph& b) {
                          return a.character == b.character;
                        }),
            all.end());
  std::unordered_map<std::uint64_t, std::uint16_t> ids;
  index.bmp.assign(0x10000, 0);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto [at, added] =
        ids.emplace(KeyOf(all[i].rows), static_cast<std::uint16_t>(ids.size()));
    all[i].id = at->second;
    if (all[i].character < 0x10000) {
      index.bmp[all[i].character] = static_cast<std::uint16_t>(i + 1);
    }
  }
  index.distinct = ids.size();
  return index;
}

const Index& TheIndex() {
  static const Index kIndex = BuildIndex();
  return kIndex;
}

using CodesOfGlyphs = std::unordered_map<std::uint64_t, std::uint8_t>;

CodesOfGlyphs BuildCodes(CharacterRom rom) {
  CodesOfGlyphs codes;
  // The ordinary codes first: a blank glyph is the space, not one of 10-1F.
  for (int code = 0x20; code <= 0xFF; ++code) {
    codes.emplace(KeyOf(RowsOf(rom, static_cast<std::uint8_t>(code))),
                  static_cast<std::uint8_t>(code));
  }
  for (int code = 0x10; code < 0x20; ++code) {
    codes.emplace(KeyOf(RowsOf(rom, static_cast<std::uint8_t>(code))),
                  static_cast<std::uint8_t>(code));
  }
  return codes;
}

}  // namespace

std::span<const SourceGlyph> SourceGlyphs() { return TheIndex().glyphs; }

const SourceGlyph* FindSourceGlyph(char32_t character) {
  const Index& index = TheIndex();
  if (character < 0x10000) {
    const std::uint16_t at = index.bmp[character];
    return at == 0 ? nullptr : &index.glyphs[at - 1];
  }
  const auto at =
      std::lower_bound(index.glyphs.begin(), index.glyphs.end(), character,
                       [](const SourceGlyph& glyph, char32_t c) { return glyph.character < c; });
  return at != index.glyphs.end() && at->character == character ? &*at : nullptr;
}

std::size_t SourceGlyphCount() { return TheIndex().distinct; }

std::optional<std::uint8_t> SameGlyphCode(CharacterRom rom, const CustomGlyph& rows) {
  static const CodesOfGlyphs kCodes[] = {BuildCodes(CharacterRom::Cyrillic),
                                         BuildCodes(CharacterRom::A00),
                                         BuildCodes(CharacterRom::A02)};
  const CodesOfGlyphs& codes = kCodes[static_cast<std::size_t>(rom)];
  const auto at = codes.find(KeyOf(rows));
  if (at == codes.end()) return std::nullopt;
  return at->second;
}

}  // namespace zeltrix
