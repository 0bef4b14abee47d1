// The ROMs' character tables against the text files they are built from, and
// the Cyrillic ROM's against LcdCode.
#include "core/lcd/character_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/lcd/lcd_code.h"
#include "core/lcd/rom_characters.h"

namespace zeltrix {
namespace {

// Reads a -unicode.txt file as its README describes it, on its own: the
// generated tables are checked against the files, not against themselves.
std::vector<RomCharacter> ReadCharacterFile(const std::string& name) {
  std::ifstream in(std::string(ZELTRIX_SOURCE_DIR) + "/resources/lcd-fonts/" + name);
  EXPECT_TRUE(in) << name;
  std::vector<RomCharacter> entries;
  bool lookAlike = false;
  for (std::string line; std::getline(in, line);) {
    if (line == "# look-alikes") {
      lookAlike = true;
    } else if (!line.empty() && line[0] != '#') {
      EXPECT_EQ(line.substr(2, 4), "  U+") << line;
      const auto code = static_cast<std::uint8_t>(std::stoul(line.substr(0, 2), nullptr, 16));
      const auto character = static_cast<char32_t>(std::stoul(line.substr(6), nullptr, 16));
      entries.push_back({character, code, lookAlike});
    }
  }
  EXPECT_TRUE(lookAlike) << name << " has no look-alikes";
  return entries;
}

std::string Hex(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

struct RomFile {
  CharacterRom rom;
  const char* file;
};
constexpr RomFile kRomFiles[] = {{CharacterRom::A00, "a00-unicode.txt"},
                                 {CharacterRom::A02, "a02-unicode.txt"}};

TEST(RomCharacters, AreTheirFilesSortedByCharacter) {
  for (const auto& [rom, file] : kRomFiles) {
    std::vector<RomCharacter> expected = ReadCharacterFile(file);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.character < b.character; });
    const auto table = RomCharacters(rom);
    EXPECT_EQ(std::vector<RomCharacter>(table.begin(), table.end()), expected) << file;
  }
}

// Every character of the Unicode range: its code as the file gives it, its
// look-alike only when allowed, and none for a character the file leaves out.
TEST(CharacterMap, ShowsWhatTheRomFilesSay) {
  for (const auto& [rom, file] : kRomFiles) {
    std::map<char32_t, RomCharacter> listed;
    for (const RomCharacter& entry : ReadCharacterFile(file))
      listed.emplace(entry.character, entry);
    for (const bool lookAlikes : {false, true}) {
      const CharacterMap map(rom, lookAlikes);
      EXPECT_EQ(map.Rom(), rom);
      EXPECT_EQ(map.LookAlikes(), lookAlikes);
      std::size_t shown = 0;
      for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        MappedChar expected;
        if (const auto at = listed.find(c); at != listed.end()) {
          if (!at->second.lookAlike) expected = {at->second.code, CharacterKind::Exact};
          if (at->second.lookAlike && lookAlikes) {
            expected = {at->second.code, CharacterKind::LookAlike};
          }
        }
        const MappedChar got = map.Map(c);
        if (got != expected) {
          ADD_FAILURE() << file << " look-alikes " << lookAlikes << " " << Hex(c) << ": code "
                        << int{got.code} << " kind " << int(got.kind) << ", expected "
                        << int{expected.code} << " kind " << int(expected.kind);
        }
        shown += got.Shown();
      }
      EXPECT_GT(shown, 180u) << file;
      // A Windows-1251 byte maps as its character does.
      for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(map.Map(static_cast<char>(b)),
                  map.Map(Cp1251ToCodePoint(static_cast<unsigned char>(b))))
            << file << " byte " << b;
      }
    }
  }
}

// The Cyrillic ROM keeps the program's table: LcdCode for every byte, and for
// every character the LcdCode of its Windows-1251 byte; look-alikes change nothing.
TEST(CharacterMap, CyrillicRomIsLcdCodeThroughWindows1251) {
  EXPECT_EQ(RomCharacters(CharacterRom::Cyrillic).size(), 160u);
  for (const bool lookAlikes : {false, true}) {
    const CharacterMap map(CharacterRom::Cyrillic, lookAlikes);
    const auto fromLcdCode = [](std::uint8_t byte) {
      return LcdCode(byte) == 0 ? MappedChar{} : MappedChar{LcdCode(byte), CharacterKind::Exact};
    };
    for (int b = 0; b < 256; ++b) {
      EXPECT_EQ(map.Map(static_cast<char>(b)), fromLcdCode(static_cast<std::uint8_t>(b))) << b;
    }
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
      const char byte = CodePointToCp1251(c);
      const bool hasByte = byte != kSubstituteByte || c == 0x1A;
      const MappedChar expected =
          hasByte ? fromLcdCode(static_cast<std::uint8_t>(byte)) : MappedChar{};
      if (map.Map(c) != expected) ADD_FAILURE() << Hex(c) << " look-alikes " << lookAlikes;
    }
  }
  // The rows a reader might doubt: \ passes through, { | } ~ are not shown.
  const CharacterMap map;
  EXPECT_EQ(map.Map(U'\\'), (MappedChar{0x5C, CharacterKind::Exact}));
  for (const char32_t c : U"{|}~") EXPECT_FALSE(map.Shows(c)) << Hex(c);
}

// What a user of an A00 or A02 module relies on: Russian letters shaped like
// Latin ones, quotes and dashes, through look-alikes only.
TEST(CharacterMap, LookAlikesOfRussianTextOnTheWesternRoms) {
  const std::u32string russian = U"АВЕКМНОРСТХаеорсух„–—";
  const std::string latin = "ABEKMHOPCTXaeopcyx\"--";
  for (const CharacterRom rom : {CharacterRom::A00, CharacterRom::A02}) {
    for (std::size_t i = 0; i < russian.size(); ++i) {
      EXPECT_EQ(CharacterMap(rom, true).Map(russian[i]),
                (MappedChar{static_cast<std::uint8_t>(latin[i]), CharacterKind::LookAlike}))
          << RomName(rom) << " " << Hex(russian[i]);
      EXPECT_FALSE(CharacterMap(rom, false).Shows(russian[i])) << RomName(rom);
    }
    // Small б has no code and no look-alike on either; nor has an emoji.
    EXPECT_FALSE(CharacterMap(rom, true).Shows(U'б'));
    EXPECT_FALSE(CharacterMap(rom, true).Shows(U'\U0001F600'));
  }
  EXPECT_EQ(CharacterMap(CharacterRom::A00, true).Map(U'“'),
            (MappedChar{0x22, CharacterKind::LookAlike}));
  EXPECT_EQ(CharacterMap(CharacterRom::A02).Map(U'“'), (MappedChar{0x12, CharacterKind::Exact}));
  EXPECT_EQ(CharacterMap(CharacterRom::A02).Map(U'Б'), (MappedChar{0x80, CharacterKind::Exact}));
  EXPECT_FALSE(CharacterMap(CharacterRom::A00, true).Shows(U'Б'));
  // Beyond the Basic Multilingual Plane too: A02 shows a bell.
  EXPECT_EQ(CharacterMap(CharacterRom::A02).Map(U'\U0001F514'),
            (MappedChar{0x98, CharacterKind::Exact}));
}

TEST(CharacterMap, OfAProfile) {
  ProfileRecord profile;
  EXPECT_EQ(CharacterMapOf(profile).Map(U'Б'), (MappedChar{0xA0, CharacterKind::Exact}));
  profile.Rom = CharacterRom::A00;
  EXPECT_FALSE(CharacterMapOf(profile).Shows(U'А'));
  profile.LookAlikes = 1;
  EXPECT_EQ(CharacterMapOf(profile).Map(U'А'), (MappedChar{0x41, CharacterKind::LookAlike}));
}

TEST(CharacterRom, NamesReadWithoutCase) {
  for (const CharacterRom rom : kCharacterRoms) EXPECT_EQ(RomNamed(RomName(rom)), rom);
  EXPECT_EQ(RomNamed("a00"), CharacterRom::A00);
  EXPECT_EQ(RomNamed("CYRILLIC"), CharacterRom::Cyrillic);
  for (const char* none : {"", "A01", "A00 ", "Кириллица", "Cyrillic2"}) {
    EXPECT_FALSE(RomNamed(none)) << none;
  }
}

}  // namespace
}  // namespace zeltrix
