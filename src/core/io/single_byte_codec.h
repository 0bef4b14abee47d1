#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zeltrix {

/**
 * ASCII SUB, "substitute": the byte written for a character that a code page
 * has no code for, and for each byte of invalid UTF-8. It is a control code,
 * so the display never shows it and a text holding it is known to be lossy.
 */
inline constexpr char kSubstituteByte = '\x1A';

/** The single-byte Cyrillic code pages a text may be held in. */
enum class CodePage { Cp1251, Koi8r, Cp866 };

/**
 * What defines a single-byte code page: bytes 0x00 to 0x7F are ASCII, and
 * every byte of the upper half has a code point of its own, so that a text
 * decoded and encoded again keeps its bytes. Both directions of the codec are
 * built from this alone.
 */
struct CodePageDescriptor {
  std::string_view name;                ///< as the user sees it: "Windows-1251", "KOI8-R", "CP866"
  std::array<char16_t, 128> upperHalf;  ///< code points of the bytes 0x80 to 0xFF
};

/** The descriptor of a code page. */
const CodePageDescriptor& DescriptorOf(CodePage page);

/** Unicode code point of a byte of the code page. */
char32_t CodePageToCodePoint(CodePage page, unsigned char byte);

/** The code page's byte for a code point, or kSubstituteByte when it has none. */
char CodePointToCodePage(CodePage page, char32_t codePoint);

/** Text in the code page to UTF-8. */
std::string CodePageToUtf8(CodePage page, std::string_view bytes);

/** Text in the code page to its characters, one per byte. */
std::u32string CodePageToUtf32(CodePage page, std::string_view bytes);

/**
 * UTF-8 text to the code page where the text may hold stray bytes: a
 * character without a code, and every byte of an invalid sequence, becomes
 * kSubstituteByte.
 */
std::string Utf8ToCodePage(CodePage page, std::string_view utf8);

/**
 * UTF-8 text to the code page; a character without a code becomes
 * kSubstituteByte. Nothing when the text is not valid UTF-8.
 */
std::optional<std::string> Utf8ToCodePageChecked(CodePage page, std::string_view utf8);

/** True when every character of the UTF-8 text has a code in the code page. */
bool CodePageHolds(CodePage page, std::string_view utf8);

// Windows-1251 is the program's own code page: the texts of the engine, the
// profiles and the settings are held in it, so it has short names.

/** Unicode code point of a Windows-1251 byte (0x98, unassigned, maps to U+0098). */
inline char32_t Cp1251ToCodePoint(unsigned char byte) {
  return CodePageToCodePoint(CodePage::Cp1251, byte);
}

/** Windows-1251 byte of a code point, or kSubstituteByte. */
inline char CodePointToCp1251(char32_t codePoint) {
  return CodePointToCodePage(CodePage::Cp1251, codePoint);
}

/** Windows-1251 text to UTF-8. */
inline std::string Cp1251ToUtf8(std::string_view text) {
  return CodePageToUtf8(CodePage::Cp1251, text);
}

/** Utf8ToCodePageChecked for Windows-1251. */
inline std::optional<std::string> Utf8ToCp1251(std::string_view text) {
  return Utf8ToCodePageChecked(CodePage::Cp1251, text);
}

/** Utf8ToCodePage for Windows-1251. */
inline std::string Utf8ToCp1251Lossy(std::string_view text) {
  return Utf8ToCodePage(CodePage::Cp1251, text);
}

}  // namespace zeltrix
