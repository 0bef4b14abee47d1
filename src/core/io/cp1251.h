#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeltrix {

/** Byte that stands for a character with no Windows-1251 code (SUB, never displayable). */
inline constexpr char kNoCp1251Code = '\x1A';

/** Unicode code point of a Windows-1251 byte (0x98, unassigned, maps to U+0098). */
char32_t Cp1251ToCodePoint(unsigned char byte);

/** Windows-1251 text to UTF-8. */
std::string Cp1251ToUtf8(std::string_view text);

/**
 * UTF-8 text to Windows-1251; a character without a Windows-1251 code becomes
 * kNoCp1251Code. Returns nothing when the input is not valid UTF-8.
 */
std::optional<std::string> Utf8ToCp1251(std::string_view text);

/**
 * UTF-8 text to Windows-1251 where the text may hold stray bytes: a character
 * without a code, and every byte of an invalid sequence, becomes kNoCp1251Code.
 */
std::string Utf8ToCp1251Lossy(std::string_view text);

/** Windows-1251 code of a Unicode code point, or kNoCp1251Code. */
char CodePointToCp1251(char32_t codePoint);

/**
 * Decodes the UTF-8 sequence at text[offset]: its length, or 0 when it is not
 * a valid shortest-form sequence.
 */
std::size_t DecodeUtf8(std::string_view text, std::size_t offset, char32_t& codePoint);

/** Appends the UTF-8 form of a code point of the Basic Multilingual Plane. */
void AppendUtf8(std::string& out, char32_t codePoint);

/** True when the text is valid UTF-8 (shortest forms, no surrogates). */
bool IsValidUtf8(std::string_view text);

/** Latin-1 (each byte its own code point) to UTF-8. */
std::string Latin1ToUtf8(std::string_view text);

/** UTF-8 to Latin-1; nothing when invalid or holding a code point above U+00FF. */
std::optional<std::string> Utf8ToLatin1(std::string_view text);

}  // namespace zeltrix

namespace zeltrix {

/**
 * The program's lower-case rule for comparing names: bytes 0x41 to 0x5A and
 * 0xC0 to 0xDE get 0x20 added, every other byte stays (so Я 0xDF and Ё 0xA8
 * keep their case).
 */
std::string ProgramLower(std::string_view text);

}  // namespace zeltrix
