// The engine's character path: Unicode text converted for each ROM, with and
// without look-alikes, through every entry (data lines, BIN code block,
// cleaning, screen layout); characters counted as characters whatever their
// UTF-8 length; and the byte path and the character path giving the same
// results for a text that Windows-1251 holds.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/formatter.h"
#include "core/lcd/screen_layout.h"
#include "core/lcd/text_prep.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/recording_prompter.h"

namespace zeltrix {
namespace {

using testing::W;

std::u32string U32(std::string_view cp1251) { return CodePageToUtf32(CodePage::Cp1251, cp1251); }
std::string Utf8(std::u32string_view text) { return Utf32ToUtf8(text); }

struct Display {
  CharacterRom rom;
  bool lookAlikes;
};
constexpr Display kDisplays[] = {{CharacterRom::Cyrillic, false},
                                 {CharacterRom::A00, false},
                                 {CharacterRom::A00, true},
                                 {CharacterRom::A02, false},
                                 {CharacterRom::A02, true}};

std::string Name(const Display& d) {
  return std::string(RomName(d.rom)) + (d.lookAlikes ? " with look-alikes" : "");
}

ProfileRecord On(ProfileRecord p, const Display& d) {
  p.Rom = d.rom;
  p.LookAlikes = d.lookAlikes ? 1 : 0;
  return p;
}

constexpr int kNone = -1;

// A character and its code on each of kDisplays, as the ROM files give them.
struct Mapped {
  char32_t c;
  std::array<int, 5> codes;
};
// Latin, Russian, German, katakana, Greek and symbols.
constexpr Mapped kMixed[] = {
    {U'A', {0x41, 0x41, 0x41, 0x41, 0x41}},
    {U'b', {0x62, 0x62, 0x62, 0x62, 0x62}},
    {U' ', {0x20, 0x20, 0x20, 0x20, 0x20}},
    {U'П', {0xA8, kNone, kNone, 0x87, 0x87}},
    {U'р', {0x70, kNone, 0x70, kNone, 0x70}},
    {U'Б', {0xA0, kNone, kNone, 0x80, 0x80}},
    {U'Ä', {kNone, kNone, kNone, 0xC4, 0xC4}},
    {U'ß', {kNone, kNone, 0xE2, 0xDF, 0xDF}},
    {U'ü', {kNone, 0xF5, 0xF5, 0xFC, 0xFC}},
    {U'ｱ', {kNone, 0xB1, 0xB1, kNone, kNone}},
    {U'カ', {kNone, 0xB6, 0xB6, kNone, kNone}},
    {U'α', {kNone, 0xE0, 0xE0, 0x90, 0x90}},
    {U'Ω', {kNone, 0xF4, 0xF4, 0x9A, 0x9A}},
    {U'¥', {kNone, 0x5C, 0x5C, 0xA5, 0xA5}},
    {U'→', {kNone, 0x7E, 0x7E, 0x1A, 0x1A}},
    {U'\\', {0x5C, kNone, kNone, 0x5C, 0x5C}},
    {U'{', {kNone, 0x7B, 0x7B, 0x7B, 0x7B}},
    {U'—', {kNone, kNone, 0x2D, kNone, 0x2D}},
    {U'\U0001F600', {kNone, kNone, kNone, kNone, kNone}},
};

std::string Hex(int code) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", code);
  return text;
}

TEST(CharacterPath, MixedTextOnEveryRom) {
  std::u32string text;
  for (const Mapped& m : kMixed) text.push_back(m.c);
  ProfileRecord profile;
  profile.SI = kHexadecimal;
  profile.RazdelitelData = ",";
  profile.Comment = "; ";
  profile.CommentState = 1;
  profile.CountByteToComment = 1;
  for (std::size_t d = 0; d < std::size(kDisplays); ++d) {
    const Display& display = kDisplays[d];
    const CharacterMap map(display.rom, display.lookAlikes);
    std::string codes;
    std::string data;
    std::u32string shown;
    for (const Mapped& m : kMixed) {
      if (m.codes[d] == kNone) continue;
      codes.push_back(static_cast<char>(m.codes[d]));
      data += (data.empty() ? "" : ",") + Hex(m.codes[d]);
      shown.push_back(m.c);
    }
    const std::string lines =
        "; " + Utf8(text) + "\r\n" + data + " ; " + std::to_string(codes.size()) + "\r\n";
    const ProfileRecord p = On(profile, display);
    EXPECT_EQ(ConvertText(std::u32string_view(text), p), lines) << Name(display);
    EXPECT_EQ(ConvertText(EngineText::FromUtf8(Utf8(text)), p), lines) << Name(display);
    EXPECT_EQ(MapToLcdCodes(text, map), codes) << Name(display);
    EXPECT_EQ(CleanText(text, 0, 2, 1, map), shown) << Name(display);

    const auto prepared = PrepareBinText("out.bin", text, true, false, 2, map);
    ASSERT_TRUE(prepared) << Name(display);
    EXPECT_EQ(MapToLcdCodes(*prepared, map), codes) << Name(display);

    const ScreenPage page = LayOutScreen(text, {40, 2}, 0, map);
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_EQ(page.rows[0].codes, codes) << Name(display);
    EXPECT_EQ(page.rows[0].length, text.size());
    EXPECT_EQ(page.Skipped(), text.size() - codes.size()) << Name(display);
  }
}

// Chunks, word wrap, runs of spaces and the progress count characters, not
// the bytes of their UTF-8 forms.
TEST(CharacterPath, CountsCharacters) {
  struct Case {
    const char* what;
    std::u32string text;
    std::int32_t countByte;
    std::uint8_t wrap;
    std::uint8_t deleteSymbols;
    std::uint8_t deleteSpaces;
    std::string lines;
  };
  const Case cases[] = {
      {"chunks of four", U"ÄÖÜßäöüé", 4, 0, 0, 0,
       "; ÄÖÜß\r\nC4,D6,DC,DF\r\n; äöüé\r\nE4,F6,FC,E9\r\n"},
      {"word wrap", U"ÄÖÜ ßä öü", 2, 1, 0, 0,
       "; ÄÖÜ \r\nC4,D6,DC,20\r\n; ßä \r\nDF,E4,20\r\n; öü\r\nF6,FC\r\n"},
      {"a dropped character lengthens its run of spaces", U"Ä  \u4E00  ü\U0001F600", 0, 0, 1, 1,
       "; Ä  ü\r\nC4,20,20,FC\r\n"},
      {"text lines", U"äö\r\n\u4E00\r\nü", 0, 0, 0, 0,
       "; äö \r\nE4,F6,20\r\n; \u4E00 \r\n20\r\n; ü\r\nFC\r\n"},
  };
  for (const Case& c : cases) {
    ProfileRecord p;
    p.Rom = CharacterRom::A02;
    p.SI = kHexadecimal;
    p.RazdelitelData = ",";
    p.Comment = "; ";
    p.CommentState = 1;
    p.CountByte = c.countByte;
    p.PerenosPoSlovam = c.wrap;
    p.DeleteSumbolError = c.deleteSymbols;
    p.DeleteSpace = c.deleteSpaces;
    p.CountSpace = 2;
    EXPECT_EQ(ConvertText(std::u32string_view(c.text), p), c.lines) << c.what;
  }

  class Recorder : public ConvertObserver {
   public:
    void SetMaximum(std::size_t maximum) override { this->maximum = maximum; }
    void SetValue(std::size_t value) override { last = value; }
    bool WantsToStop() override { return false; }
    std::chrono::milliseconds PollInterval() const override { return {}; }
    std::size_t maximum = 0;
    std::size_t last = 0;
  } recorder;
  const std::u32string text(5000, U'ж');
  ProfileRecord p;
  p.CountByte = 8;
  ConvertText(std::u32string_view(text), p, &recorder);
  EXPECT_EQ(recorder.maximum, 5000u);
  EXPECT_GT(recorder.last, 1000u);
  EXPECT_LE(recorder.last, 5000u);

  // Cells lead back to characters: 一 is shown by no ROM.
  const CharacterMap a02(CharacterRom::A02);
  const std::u32string lines = U"x\r\n一Ä\t一ü";
  const ScreenPage page = LayOutScreen(lines, {8, 2}, 0, a02);
  ASSERT_EQ(page.rows.size(), 2u);
  EXPECT_EQ(page.rows[1].start, 3u);
  EXPECT_EQ(page.rows[1].codes, "\xC4\x20\xFC");
  const std::vector<std::size_t> cells = {1, 2, 4, 5};
  for (std::size_t cell = 0; cell < cells.size(); ++cell) {
    EXPECT_EQ(CellCharacter(lines, page.rows[1], cell, a02), cells[cell]) << cell;
  }
  EXPECT_EQ(CountScreens(U"ä\nö\nü", {16, 2}), 2u);
}

// The path a text takes: Windows-1251 bytes when they hold it.
TEST(EngineText, TakesTheBytePathWhenWindows1251HoldsTheText) {
  struct Case {
    const char* utf8;
    bool bytePath;
    std::u32string characters;
  };
  const Case cases[] = {
      {"", true, U""},
      {"Привет, world! №5 «ёлка» €", true, U"Привет, world! №5 «ёлка» €"},
      {"\x1A\xC2\x98", true, U"\x1A\x98"},
      {"Grüße", false, U"Grüße"},
      {"カナ", false, U"カナ"},
      {"a\xFF\xC3", false, U"a\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    const EngineText text = EngineText::FromUtf8(c.utf8);
    EXPECT_EQ(text.OnBytePath(), c.bytePath) << c.utf8;
    EXPECT_EQ(text.Length(), c.characters.size()) << c.utf8;
    EXPECT_EQ(text.ToUtf8(), Utf8(c.characters)) << c.utf8;
    if (c.bytePath) {
      EXPECT_EQ(U32(*text.Bytes()), c.characters) << c.utf8;
    } else {
      EXPECT_EQ(*text.Characters(), c.characters) << c.utf8;
    }
    EXPECT_EQ(EngineText::FromCharacters(c.characters).OnBytePath(), c.bytePath) << c.utf8;
  }
  EXPECT_EQ(*EngineText::FromCp1251("\x98\xFF").Bytes(), "\x98\xFF");
}

ProfileRecord Profile(std::int32_t countByte, std::uint8_t wrap, std::uint8_t clean) {
  ProfileRecord p;
  p.Ost1 = 2;
  p.Ost2 = 1;
  p.Directive = W("Дт");
  p.StartData = "0x";
  p.RazdelitelData = ", ";
  p.Comment = W("; Ж ");
  p.CommentState = 1;
  p.CountByteToComment = 1;
  p.CountByte = countByte;
  p.PerenosPoSlovam = wrap;
  p.DeleteSumbolError = clean;
  p.DeleteSpace = clean;
  p.CountSpace = 1;
  return p;
}

class StringSink : public OutputSink {
 public:
  void Write(std::string_view bytes) override {
    pieces.emplace_back(bytes);
    text.append(bytes);
  }
  std::vector<std::string> pieces;
  std::string text;
};

// A Windows-1251 text gives the same data lines on both paths, once the byte
// path's lines are decoded; the same code blocks, cleaning and screens.
TEST(CharacterPath, EqualsTheBytePathForWindows1251Text) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  const std::string texts[] = {
      W("Привет, мир!\r\nHello\tworld {x} €uro №5 «Ёлка»\r\n\r\n  spaces     here\rCR line\n"),
      W("Слово за словом, фраза за фразой — строка длиннее ста символов для переноса по словам "
        "и отсчёта прогресса; ещё немного текста.\n\rконец"),
      everyByte,
  };
  std::vector<ProfileRecord> profiles = {Profile(8, 0, 0), Profile(0, 0, 0), Profile(5, 1, 0),
                                         Profile(0, 0, 1), Profile(7, 1, 1)};
  ProfileRecord strided = Profile(8, 0, 0);
  strided.StartData = W("длинное начало каждого байта: ");
  ProfileRecord pieces = Profile(0, 0, 1);
  pieces.StartData = std::string(3000, W("Ж")[0]);
  profiles.push_back(strided);
  profiles.push_back(pieces);
  for (const Display& display : kDisplays) {
    const CharacterMap map(display.rom, display.lookAlikes);
    for (const std::string& bytes : texts) {
      const std::u32string characters = U32(bytes);
      for (std::size_t i = 0; i < profiles.size(); ++i) {
        const ProfileRecord p = On(profiles[i], display);
        const std::string what = Name(display) + ", profile " + std::to_string(i);
        const std::string lines = ConvertText(std::u32string_view(characters), p);
        EXPECT_EQ(lines, Cp1251ToUtf8(ConvertText(bytes, p))) << what;
        StringSink sink;
        ConvertTextTo(std::u32string_view(characters), p, sink);
        EXPECT_EQ(sink.text, lines) << what;
        StringSink owned;
        ConvertOwnedTextTo(std::u32string(characters), p, owned);
        EXPECT_EQ(owned.text, lines) << what;
      }
      EXPECT_EQ(MapToLcdCodes(characters, map), MapToLcdCodes(bytes, map)) << Name(display);
      EXPECT_EQ(CleanText(characters, 1, 2, 1, map), U32(CleanText(bytes, 1, 2, 1, map)));
      const auto byteScreens = LayOutScreens(bytes, {16, 2}, map);
      const auto characterScreens = LayOutScreens(characters, {16, 2}, map);
      ASSERT_EQ(byteScreens.size(), characterScreens.size());
      for (std::size_t s = 0; s < byteScreens.size(); ++s) {
        for (std::size_t r = 0; r < byteScreens[s].rows.size(); ++r) {
          const LcdRow& a = byteScreens[s].rows[r];
          const LcdRow& b = characterScreens[s].rows[r];
          EXPECT_EQ(std::tie(a.line, a.start, a.length, a.codes, a.overflow, a.skipped),
                    std::tie(b.line, b.start, b.length, b.codes, b.overflow, b.skipped));
        }
      }
    }
  }
  // Without a map a Windows-1251 text is shown on the Cyrillic ROM, as it always was.
  EXPECT_EQ(MapToLcdCodes(W("Яz{")), "\xB1z");
  ProfileRecord a02 = Profile(0, 0, 0);
  a02.Rom = CharacterRom::A02;
  EXPECT_EQ(ConvertText(W("Б"), a02), W("; Ж Б\r\n  Дт 0x80 ; Ж 1\r\n"));
}

TEST(TextPreparation, CharactersAsBytes) {
  const std::string texts[] = {"A\r\nB\n\rC\r\rD\n\n", "a  \t  b\fc\x88{d\r\n", W("Я\tя  ё\r"),
                               "HELLO WORLD THIS IS A TEST", ""};
  for (const std::string& bytes : texts) {
    const std::u32string characters = U32(bytes);
    EXPECT_EQ(BreaksToSpaces(characters), U32(BreaksToSpaces(bytes)));
    EXPECT_EQ(TabsAndBreaksToSpaces(characters), U32(TabsAndBreaksToSpaces(bytes)));
    EXPECT_EQ(FlattenChunk(characters), U32(FlattenChunk(bytes)));
    std::u32string own = characters;
    TabsAndBreaksToSpacesInPlace(own);
    EXPECT_EQ(own, U32(TabsAndBreaksToSpaces(bytes)));
    for (const int countByte : {0, 1, 3, 8}) {
      for (const int wrap : {0, 1}) {
        for (std::size_t start = 0; start <= bytes.size() + 1; ++start) {
          const auto a = NextChunk(bytes, start, countByte, wrap);
          const auto b = NextChunk(characters, start, countByte, wrap);
          EXPECT_EQ(b.text, U32(a.text));
          EXPECT_EQ(b.consumed, a.consumed);
          EXPECT_EQ(WordEnd(characters, start, countByte), U32(WordEnd(bytes, start, countByte)));
        }
      }
    }
    for (const int deleteSpace : {0, 1, 2}) {
      for (const int countSpace : {0, 1, 2, 200}) {
        for (const int deleteSymbols : {0, 1}) {
          std::u32string cleaned = characters;
          CleanTextInPlace(cleaned, deleteSpace, countSpace, deleteSymbols, CharacterMap());
          EXPECT_EQ(cleaned, U32(CleanText(bytes, deleteSpace, countSpace, deleteSymbols)));
        }
      }
    }
  }
}

// A sink receives UTF-8 in whole characters, also from a text line of
// megabytes and from a profile text longer than a piece.
TEST(CharacterPath, SinkPiecesEndBetweenCharacters) {
  ProfileRecord longLine = Profile(0, 0, 0);
  longLine.Rom = CharacterRom::A02;
  ProfileRecord longField = longLine;
  // Odd, so that a cut a megabyte into it would fall inside a character.
  longField.StartData = "x" + std::string(600000, W("Ж")[0]);
  const std::pair<ProfileRecord, std::u32string> runs[] = {
      {longLine, std::u32string(1500000, U'Ä') + U"\r\nü"},
      {longField, U"Äü"},
  };
  for (const auto& [profile, text] : runs) {
    StringSink sink;
    ConvertTextTo(std::u32string_view(text), profile, sink);
    EXPECT_GT(sink.pieces.size(), 2u);
    for (const std::string& piece : sink.pieces) EXPECT_TRUE(IsValidUtf8(piece));
    EXPECT_TRUE(sink.text == ConvertText(std::u32string_view(text), profile));
  }
}

}  // namespace
}  // namespace zeltrix
