#include "core/lcd/code_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/image/image_reader.h"
#include "core/image/intel_hex.h"
#include "core/io/utf8.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/rom_characters.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/result_value.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

std::string CodesOf(std::string_view utf8, CharacterRom rom) {
  return MapToLcdCodes(EngineText::FromUtf8(utf8), CharacterMap(rom));
}

// Every character the reading gives for a code converts back to that code;
// only the Cyrillic ROM's extra symbols, which the conversion never writes,
// do not convert.
TEST(DecodeLcdCodes, EachCodeReadsAsACharacterThatConvertsToIt) {
  for (const CharacterRom rom : kCharacterRoms) {
    const CharacterMap map(rom);
    const auto extras = detail::kRomCharactersCyrillicExtra;
    int shown = 0;
    for (int code = 0x10; code < 0x100; ++code) {
      const char32_t c = RomShownCharacters(rom)[code];
      if (c == 0) continue;
      ++shown;
      const MappedChar mapped = map.Map(c);
      if (mapped.Shown()) {
        EXPECT_EQ(mapped.code, code)
            << RomName(rom) << " U+" << std::hex << static_cast<std::uint32_t>(c);
        EXPECT_EQ(mapped.kind, CharacterKind::Exact)
            << RomName(rom) << " U+" << std::hex << static_cast<std::uint32_t>(c);
      } else {
        EXPECT_EQ(rom, CharacterRom::Cyrillic) << std::hex << code;
        EXPECT_TRUE(
            std::any_of(extras.begin(), extras.end(),
                        [&](const RomCharacter& e) { return e.character == c && e.code == code; }))
            << std::hex << code;
      }
    }
    EXPECT_GT(shown, 140) << RomName(rom);
  }
}

// Converting a text and reading the codes back gives the text.
TEST(DecodeLcdCodes, ConvertedTextsComeBack) {
  const struct {
    CharacterRom rom;
    const char* text;
  } cases[] = {
      {CharacterRom::Cyrillic, "Привет, мир! Hello, World 0123 «ёлка» № Ёж ВОДА и сок"},
      {CharacterRom::A00, "Hello, World! 25°C ｱｲｳ ¥100 θ"},
      {CharacterRom::A02, "Grüße aus Köln: 5 µs ± Г Ф"},
  };
  for (const auto& c : cases) {
    const std::string codes = CodesOf(c.text, c.rom);
    ASSERT_EQ(codes.size(), Utf8ToUtf32(c.text)->size()) << c.text;
    EXPECT_EQ(DecodeLcdCodes(codes, c.rom), c.text);
  }
}

TEST(DecodeLcdCodes, WordsCustomCharactersOtherCodesAndRows) {
  const CharacterRom cyrillic = CharacterRom::Cyrillic;
  const struct {
    std::string codes;
    CharacterRom rom;
    std::optional<LcdGeometry> geometry;
    const char* text;
  } cases[] = {
      {std::string("\x00\x07\x08\x0F", 4), cyrillic, std::nullopt, "⟨0⟩⟨7⟩⟨0⟩⟨7⟩"},
      {"\x7B\x80\xFF\x1F", cyrillic, std::nullopt, R"(\x7B\x80\xFF\x1F)"},
      {"\xCA\xCB\xDF\xFD\xFE", cyrillic, std::nullopt, "„”·§¶"},
      // A word of letters that both alphabets share reads as Latin.
      {CodesOf("ТАК СОК", cyrillic), cyrillic, std::nullopt, "TAK COK"},
      // One letter only Latin has keeps the word Latin.
      {CodesOf("Fиat", cyrillic), cyrillic, std::nullopt, "Fиat"},
      // Digits and signs end a word.
      {CodesOf("П1РО-МЫ", cyrillic), cyrillic, std::nullopt, "П1PO-МЫ"},
      // Rows cut the lines, not the words.
      {CodesOf("12ПРИВЕТ", cyrillic), cyrillic, LcdGeometry{4, 2}, "12ПР\nИВЕТ"},
      {std::string(20, 'a'), cyrillic, LcdGeometry{16, 2}, "aaaaaaaaaaaaaaaa\naaaa"},
      {"\xB1\xF2", CharacterRom::A00, std::nullopt, "ｱθ"},
      {"\x92\xD8\x5C", CharacterRom::A02, std::nullopt, "ГФ\\"},
      {"", cyrillic, LcdGeometry{16, 2}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeLcdCodes(c.codes, c.rom, c.geometry), c.text) << c.text;
}

TEST(DecodeImageFile, ReadsTheChosenBytesOfBinAndHexFiles) {
  testing::TempDir dir;
  const std::string bin = dir.Path("hello.bin");
  testing::WriteBytes(bin, CodesOf("Привет", CharacterRom::Cyrillic));
  HexFile file;
  PutInLayout(
      file.image,
      [] {
        SparseImage image;
        image.Put(0, "AB");
        image.Put(10, "CD");
        return image;
      }(),
      HexLayout::Pic16Eeprom);
  const std::string hex = dir.Path("eeprom.hex");
  testing::WriteBytes(hex, WriteIntelHex(file));
  const std::string bad = dir.Path("bad.hex");
  testing::WriteBytes(bad, ":0200000041427B\r\n:00000001FE\r\n");
  const auto error = [](const std::string& text) {
    return std::vector<Message>{
        {"Ошибка", text, MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}};
  };
  const ImageFileFormat kBin = ImageFileFormat::Bin;
  const ImageFileFormat kHex = ImageFileFormat::IntelHex;
  const struct {
    std::string path;
    ImageDecoding how;
    std::optional<std::string> text;
    std::vector<Message> shown;
  } cases[] = {
      {bin, {.format = kBin}, "Привет", {}},
      // A word cut short still reads by its letters.
      {bin, {.format = kBin, .from = 1, .length = 3}, "рив", {}},
      {bin, {.format = kBin, .from = 6, .length = 10}, "", {}},
      // Gaps hold nothing and give nothing.
      {hex, {.format = kHex, .layout = HexLayout::Pic16Eeprom}, "ABCD", {}},
      {hex, {.format = kHex, .layout = HexLayout::Pic16Eeprom, .from = 1, .length = 9}, "B", {}},
      {hex, {.format = kHex}, "A⟨0⟩B⟨0⟩C⟨0⟩D⟨0⟩", {}},
      {bad,
       {.format = kHex},
       std::nullopt,
       error("Строка 2 файла \"" + bad + "\": неверная контрольная сумма")},
      {dir.Path("none.hex"),
       {.format = kHex},
       std::nullopt,
       error("Не удалось открыть файл \n\"" + dir.Path("none.hex") +
             "\"\nНет такого файла или папки.")},
  };
  for (const auto& c : cases) {
    const Result<std::string> decoded = DecodeImageFile(c.path, c.how);
    EXPECT_EQ(testing::ValueOf(decoded), c.text) << c.path;
    EXPECT_EQ(decoded ? std::vector<Message>{} : std::vector<Message>{decoded.Reason()}, c.shown)
        << c.path;
  }
  EXPECT_EQ(ImageFileFormatOfPath("/a.b/EEPROM.HEX"), kHex);
  EXPECT_EQ(ImageFileFormatOfPath("x.ihx"), kHex);
  EXPECT_EQ(ImageFileFormatOfPath("hex"), kBin);
  EXPECT_EQ(ImageFileFormatOfPath("x.hex.bin"), kBin);
}

}  // namespace
}  // namespace zeltrix
