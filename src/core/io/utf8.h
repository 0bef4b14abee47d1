#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zeltrix {

/** What a character that cannot be written in UTF-8 (a surrogate, or above U+10FFFF) becomes. */
inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

/**
 * Decodes the UTF-8 sequence at text[offset]: its length, or 0 when it is not
 * a valid shortest-form sequence (surrogates and code points above U+10FFFF
 * are not valid).
 */
std::size_t DecodeUtf8(std::string_view text, std::size_t offset, char32_t& codePoint);

/**
 * Appends the UTF-8 form of a code point, in one to four bytes; a value that
 * is no Unicode character (a surrogate, or above U+10FFFF) is written as
 * kReplacementCharacter, so that the output stays valid UTF-8.
 */
void AppendUtf8(std::string& out, char32_t codePoint);

/** True when the text is valid UTF-8 (shortest forms, no surrogates). */
bool IsValidUtf8(std::string_view text);

/** The characters of UTF-8 text, one element each; nothing when it is not valid UTF-8. */
std::optional<std::u32string> Utf8ToUtf32(std::string_view utf8);

/** Characters to UTF-8, each as AppendUtf8 writes it. */
std::string Utf32ToUtf8(std::u32string_view text);

/** Latin-1 (each byte its own code point) to UTF-8. */
std::string Latin1ToUtf8(std::string_view text);

/** UTF-8 to Latin-1; nothing when invalid or holding a code point above U+00FF. */
std::optional<std::string> Utf8ToLatin1(std::string_view text);

}  // namespace zeltrix
