#include "core/lcd/code_decoder.h"

#include <array>
#include <cstdint>

#include "core/io/utf8.h"
#include "core/lcd/rom_characters.h"

namespace zeltrix {
namespace {

// What a code's character is to the word rule.
enum class Script : std::uint8_t {
  None,      // not a letter: it ends a word
  Latin,     // a letter only Latin has
  Cyrillic,  // a letter only Cyrillic has
  Shared,    // a Latin and a Cyrillic letter, read as the word says
  Other,     // a letter of another script: part of the word, no vote
};

bool IsLatinLetter(char32_t c) {
  return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x1E00 && c <= 0x1EFF);
}

bool IsCyrillicLetter(char32_t c) { return c >= 0x400 && c <= 0x52F; }

bool IsOtherLetter(char32_t c) { return c >= 0x386 && c <= 0x3FF && c != 0x387; }

struct CodeText {
  std::string latin;     // the text of the code; its Latin reading when shared
  std::string cyrillic;  // its Cyrillic reading when shared
  Script script = Script::None;
};

using DecodeTable = std::array<CodeText, 256>;

std::string Utf8Of(char32_t c) {
  std::string text;
  AppendUtf8(text, c);
  return text;
}

// The exact letter of the script that the ROM shows for the code, or 0.
char32_t ExactLetter(CharacterRom rom, std::uint8_t code, bool (*isScript)(char32_t)) {
  for (const RomCharacter& entry : RomCharacters(rom)) {
    if (entry.code == code && !entry.lookAlike && isScript(entry.character)) return entry.character;
  }
  return 0;
}

DecodeTable BuildTable(CharacterRom rom) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  DecodeTable table;
  const auto shown = RomShownCharacters(rom);
  for (int c = 0; c < 256; ++c) {
    const auto code = static_cast<std::uint8_t>(c);
    CodeText& entry = table[code];
    if (code < 0x10) {
      entry.latin = "⟨" + std::to_string(code & 7) + "⟩";
      continue;
    }
    const char32_t primary = shown[code];
    if (primary == 0) {
      entry.latin = std::string("\\x") + kDigits[code >> 4] + kDigits[code & 0xF];
      continue;
    }
    entry.latin = Utf8Of(primary);
    if (IsLatinLetter(primary)) {
      const char32_t cyrillic = ExactLetter(rom, code, IsCyrillicLetter);
      entry.script = cyrillic != 0 ? Script::Shared : Script::Latin;
      if (cyrillic != 0) entry.cyrillic = Utf8Of(cyrillic);
    } else if (IsCyrillicLetter(primary)) {
      const char32_t latin = ExactLetter(rom, code, IsLatinLetter);
      entry.script = latin != 0 ? Script::Shared : Script::Cyrillic;
      if (latin != 0) {
        entry.cyrillic = entry.latin;
        entry.latin = Utf8Of(latin);
      }
    } else if (IsOtherLetter(primary)) {
      entry.script = Script::Other;
    }
  }
  return table;
}

const DecodeTable& TableOf(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00: {
      static const DecodeTable kA00 = BuildTable(CharacterRom::A00);
      return kA00;
    }
    case CharacterRom::A02: {
      static const DecodeTable kA02 = BuildTable(CharacterRom::A02);
      return kA02;
    }
    case CharacterRom::Cyrillic:
      break;
  }
  static const DecodeTable kCyrillic = BuildTable(CharacterRom::Cyrillic);
  return kCyrillic;
}

}  // namespace

std::string DecodeLcdCodes(std::string_view codes, CharacterRom rom,
                           std::optional<LcdGeometry> geometry) {
  const DecodeTable& table = TableOf(rom);
  const auto entry = [&](std::size_t i) -> const CodeText& {
    return table[static_cast<unsigned char>(codes[i])];
  };
  const std::size_t columns =
      geometry && geometry->columns > 0 ? static_cast<std::size_t>(geometry->columns) : 0;
  std::string text;
  text.reserve(codes.size() * 2);
  bool cyrillicWord = false;
  std::size_t wordEnd = 0;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (columns != 0 && i != 0 && i % columns == 0) text += '\n';
    const CodeText& code = entry(i);
    if (code.script == Script::None) {
      text += code.latin;
      continue;
    }
    if (i >= wordEnd) {
      // A new word: it reads as Cyrillic when it has a letter only Cyrillic
      // has and none only Latin has.
      bool cyrillicOnly = false;
      bool latinOnly = false;
      for (wordEnd = i; wordEnd < codes.size() && entry(wordEnd).script != Script::None;
           ++wordEnd) {
        cyrillicOnly |= entry(wordEnd).script == Script::Cyrillic;
        latinOnly |= entry(wordEnd).script == Script::Latin;
      }
      cyrillicWord = cyrillicOnly && !latinOnly;
    }
    text += code.script == Script::Shared && cyrillicWord ? code.cyrillic : code.latin;
  }
  return text;
}

}  // namespace zeltrix
