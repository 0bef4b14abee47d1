#include "core/lcd/engine_text.h"

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"

namespace zeltrix {
namespace {

// The Windows-1251 byte of a character; false when it has none. SUB is a
// character of its own, though it is also the byte of a character without one.
bool ByteOf(char32_t c, char& byte) {
  byte = CodePointToCp1251(c);
  return byte != kSubstituteByte || c == 0x1A;
}

}  // namespace

EngineText EngineText::FromCp1251(std::string bytes) {
  EngineText text;
  text.m_text = std::move(bytes);
  return text;
}

EngineText EngineText::FromCharacters(std::u32string characters) {
  // Looked through before the bytes are made, so that a long text beyond
  // Windows-1251 takes no room for bytes it will never have.
  char byte = 0;
  for (const char32_t c : characters) {
    if (!ByteOf(c, byte)) {
      EngineText text;
      text.m_text = std::move(characters);
      return text;
    }
  }
  std::string bytes(characters.size(), '\0');
  for (std::size_t i = 0; i < characters.size(); ++i) ByteOf(characters[i], bytes[i]);
  return FromCp1251(std::move(bytes));
}

EngineText EngineText::FromUtf8(std::string_view utf8) {
  if (CodePageHolds(CodePage::Cp1251, utf8)) return FromCp1251(*Utf8ToCp1251(utf8));
  std::u32string characters;
  characters.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(utf8, i, c);
    characters.push_back(length == 0 ? kReplacementCharacter : c);
    i += length == 0 ? 1 : length;
  }
  EngineText text;
  text.m_text = std::move(characters);
  return text;
}

std::string EngineText::ToUtf8() const {
  if (const std::string* bytes = Bytes()) return Cp1251ToUtf8(*bytes);
  return Utf32ToUtf8(*Characters());
}

}  // namespace zeltrix
