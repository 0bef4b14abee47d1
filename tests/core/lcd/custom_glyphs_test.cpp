// Custom characters: where their glyphs come from, how each ROM shows a
// character with them, and the stand-in table against its file and the ROMs.
#include "core/lcd/custom_glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/character_map.h"
#include "core/lcd/rom_glyphs.h"
#include "core/lcd/stand_ins.h"

namespace zeltrix {
namespace {

std::string Utf8(char32_t c) {
  std::string text;
  AppendUtf8(text, c);
  return text;
}

CustomGlyph Rows(CharacterRom rom, std::uint8_t code) {
  CustomGlyph rows{};
  std::copy_n(RomGlyphs(rom)[code].begin(), 8, rows.begin());
  return rows;
}

constexpr auto kCyrillic = CharacterRom::Cyrillic;
constexpr auto kA00 = CharacterRom::A00;
constexpr auto kA02 = CharacterRom::A02;

TEST(CustomCharacters, HowEachRomShowsACharacter) {
  struct Case {
    char32_t c;
    CharacterRom rom;
    bool lookAlikes;
    CharacterKind kind;
    int code;
  };
  using K = CharacterKind;
  const Case cases[] = {
      {U'Б', kA00, false, K::Custom, 0},
      {U'Б', kA02, false, K::Exact, 0x80},
      {U'Б', kCyrillic, false, K::Exact, 0xA0},
      // The Cyrillic ROM draws these with A00's very glyphs: no slot, look-alikes or not.
      {U'е', kA00, false, K::SameGlyph, 0x65},
      {U'р', kA00, true, K::SameGlyph, 0x70},
      {U'у', kA00, false, K::SameGlyph, 0x79},
      {U'Т', kA00, false, K::SameGlyph, 0x54},
      {U'Ь', kA00, false, K::SameGlyph, 0x62},
      // A02 draws its Latin letters a row lower: a slot, or the look-alike when allowed.
      {U'е', kA02, false, K::Custom, 0},
      {U'е', kA02, true, K::LookAlike, 0x65},
      {U'°', kCyrillic, false, K::Custom, 0},
      {U'°', kA02, false, K::Exact, 0xB0},
      {U'Ä', kCyrillic, false, K::Custom, 0},
      {U'Ä', kA00, false, K::Custom, 0},
      {U'¢', kCyrillic, false, K::SameGlyph, 0x5C},
      {U'„', kCyrillic, false, K::SameGlyph, 0xCA},
      {U'„', kA00, false, K::Custom, 0},
      {U'„', kA00, true, K::LookAlike, 0x22},
      {U'ß', kA00, false, K::Custom, 0},
      {U'ß', kA00, true, K::LookAlike, 0xE2},
      {U'\\', kCyrillic, false, K::Exact, 0x5C},
      {U'\\', kA00, false, K::Custom, 0},
      {U'{', kCyrillic, false, K::Custom, 0},
      {U'ｱ', kA02, false, K::Custom, 0},
      {U'€', kA00, false, K::NotShown, 0},
      {U'\U0001F514', kA00, false, K::Custom, 0},
  };
  for (const Case& c : cases) {
    const MappedChar mapped = CharacterMap(c.rom, c.lookAlikes, true).Map(c.c);
    EXPECT_EQ(mapped, (MappedChar{static_cast<std::uint8_t>(c.code), c.kind}))
        << Utf8(c.c) << " on " << RomName(c.rom) << (c.lookAlikes ? " with look-alikes" : "");
  }
  // Where the glyphs come from: Russian from the Cyrillic ROM, the rest from A00, then A02.
  const std::tuple<char32_t, CharacterRom, int> sources[] = {
      {U'Б', kCyrillic, 0xA0}, {U'„', kCyrillic, 0xCA}, {U'°', kA00, 0xDF},
      {U'ä', kA00, 0xE1},      {U'Ä', kA02, 0xC4},      {U'\\', kA02, 0x5C}};
  for (const auto& [c, rom, code] : sources) {
    const SourceGlyph* source = FindSourceGlyph(c);
    ASSERT_NE(source, nullptr) << Utf8(c);
    EXPECT_EQ(source->rom, rom) << Utf8(c);
    EXPECT_EQ(source->code, code) << Utf8(c);
    EXPECT_EQ(source->rows, Rows(rom, source->code)) << Utf8(c);
  }
  EXPECT_EQ(FindSourceGlyph(U'€'), nullptr);
}

// Every character with a glyph, on every ROM: exact as without custom
// characters; the same glyph found by looking at all of the ROM's codes;
// a slot only when no code has that glyph. Every other character maps as
// it did, bytes as their characters.
TEST(CustomCharacters, SameGlyphCodesAreCheckedDotForDot) {
  for (const CharacterRom rom : kCharacterRoms) {
    for (const bool lookAlikes : {false, true}) {
      const CharacterMap plain(rom, lookAlikes);
      const CharacterMap custom(rom, lookAlikes, true);
      const std::string what = std::string(RomName(rom)) + (lookAlikes ? " with look-alikes" : "");
      for (const SourceGlyph& source : SourceGlyphs()) {
        const MappedChar before = plain.Map(source.character);
        const MappedChar after = custom.Map(source.character);
        bool romHasIt = false;
        for (int code = 0x10; code < 0x100; ++code) {
          romHasIt = romHasIt || Rows(rom, static_cast<std::uint8_t>(code)) == source.rows;
        }
        if (before.kind == CharacterKind::Exact) {
          EXPECT_EQ(after, before) << what << " " << Utf8(source.character);
        } else if (after.kind == CharacterKind::SameGlyph) {
          EXPECT_EQ(Rows(rom, after.code), source.rows) << what << " " << Utf8(source.character);
        } else {
          EXPECT_FALSE(romHasIt) << what << " " << Utf8(source.character);
          const MappedChar slot{0, CharacterKind::Custom};
          EXPECT_EQ(after, before.Shown() ? before : slot) << what << " " << Utf8(source.character);
        }
      }
      for (char32_t c = 0; c < 0x10000; ++c) {
        if (FindSourceGlyph(c) == nullptr && custom.Map(c) != plain.Map(c)) {
          ADD_FAILURE() << what << " U+" << std::hex << static_cast<unsigned>(c);
        }
      }
      for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(custom.Map(static_cast<char>(b)),
                  custom.Map(Cp1251ToCodePoint(static_cast<unsigned char>(b))))
            << what << " byte " << b;
      }
    }
  }
}

// The table read from its file on its own: every Russian letter once, the
// letter field naming its code point, and every stand-in shown by its ROM.
TEST(StandIns, TheFileNamesEveryLetterAndItsRomShowsEachStandIn) {
  std::ifstream in(std::string(ZELTRIX_SOURCE_DIR) + "/resources/lcd-fonts/stand-ins.txt");
  ASSERT_TRUE(in);
  std::vector<StandIn> read;
  const auto field = [](std::string& rest) {
    std::string value = rest.substr(0, rest.find("  "));
    rest.erase(0, value.size());
    rest.erase(0, rest.find_first_not_of(' '));
    return value;
  };
  const auto codePoint = [&](std::string& rest) -> char32_t {
    const std::string code = field(rest);
    if (code == "-") return 0;
    const std::string character = field(rest);
    const auto value = static_cast<char32_t>(std::stoul(code.substr(2), nullptr, 16));
    EXPECT_EQ(Utf8(value), character) << code;
    return value;
  };
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    StandIn entry{};
    entry.letter = codePoint(line);
    entry.a00 = codePoint(line);
    entry.a02 = codePoint(line);
    EXPECT_FALSE(line.empty()) << Utf8(entry.letter) << " has no reason";
    read.push_back(entry);
  }
  std::sort(read.begin(), read.end(),
            [](const StandIn& a, const StandIn& b) { return a.letter < b.letter; });
  const auto table = StandInTable();
  ASSERT_EQ(table.size(), read.size());
  std::u32string letters;
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(table[i].letter, read[i].letter);
    EXPECT_EQ(table[i].a00, read[i].a00) << Utf8(read[i].letter);
    EXPECT_EQ(table[i].a02, read[i].a02) << Utf8(read[i].letter);
    letters.push_back(read[i].letter);
  }
  std::u32string russian = U"Ёё";
  for (char32_t c = U'А'; c <= U'я'; ++c) russian.push_back(c);
  std::sort(russian.begin(), russian.end());
  EXPECT_EQ(letters, russian);
  for (const StandIn& entry : table) {
    for (const auto& [rom, standIn] : {std::pair{kA00, entry.a00}, std::pair{kA02, entry.a02}}) {
      EXPECT_EQ(StandInFor(rom, entry.letter), standIn);
      if (standIn == 0) continue;
      EXPECT_EQ(CharacterMap(rom).Map(standIn).kind, CharacterKind::Exact)
          << Utf8(entry.letter) << " → " << Utf8(standIn) << " on " << RomName(rom);
    }
    EXPECT_EQ(StandInFor(kCyrillic, entry.letter), 0u);
  }
  // A letter A02 shows needs none there; one it lacks has one.
  EXPECT_EQ(StandInFor(kA02, U'Б'), 0u);
  EXPECT_EQ(StandInFor(kA02, U'б'), U'Б');
}

}  // namespace
}  // namespace zeltrix
