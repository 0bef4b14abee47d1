#pragma once

#include <string>
#include <string_view>

namespace zeltrix {

/** The single-byte Cyrillic code pages a text file may be written in. */
enum class CodePage { Cp1251, Koi8r, Cp866 };

/**
 * Unicode code point of a byte of the code page. Every byte has one, so a
 * text decoded and encoded again keeps its bytes.
 */
char32_t CodePageToCodePoint(CodePage page, unsigned char byte);

/** The code page's byte for a code point, or 0x1A (SUB) when it has none. */
char CodePointToCodePage(CodePage page, char32_t codePoint);

/** Text in the code page to UTF-8. */
std::string CodePageToUtf8(CodePage page, std::string_view bytes);

/**
 * UTF-8 text to the code page; a character without a code, and every byte of
 * an invalid sequence, becomes 0x1A (SUB).
 */
std::string Utf8ToCodePage(CodePage page, std::string_view utf8);

/** True when every character of the UTF-8 text has a code in the code page. */
bool CodePageHolds(CodePage page, std::string_view utf8);

}  // namespace zeltrix
