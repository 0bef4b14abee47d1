#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/io/single_byte_codec.h"

namespace zeltrix {

/** The encodings a text file is read and written in. */
enum class TextEncoding { Cp1251, Utf8, Koi8r, Cp866 };

/** Every encoding, in the order the program offers them. */
inline constexpr TextEncoding kTextEncodings[] = {TextEncoding::Cp1251, TextEncoding::Utf8,
                                                  TextEncoding::Koi8r, TextEncoding::Cp866};

/** How a text file is written: its encoding and, for UTF-8, whether a byte-order mark leads. */
struct TextFormat {
  TextEncoding encoding = TextEncoding::Cp1251;
  bool bom = false;
  bool operator==(const TextFormat&) const = default;
};

/** The UTF-8 byte-order mark. */
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

/** The code page of a single-byte encoding; Windows-1251 for UTF-8. */
CodePage CodePageOf(TextEncoding encoding);

/** The name the user sees: "Windows-1251", "UTF-8", "KOI8-R", "CP866". */
const char* EncodingName(TextEncoding encoding);

/**
 * The encoding of a file's bytes, decided from the bytes alone: valid UTF-8
 * that holds at least one byte above 0x7F (a leading byte-order mark is such
 * a byte) is UTF-8, with bom set when the mark leads; anything else is
 * Windows-1251. So pure ASCII is Windows-1251, a byte-order mark followed by
 * invalid UTF-8 is Windows-1251 (read byte for byte, nothing is lost), and
 * Windows-1251 text that happens to be valid UTF-8 (say "В«" as C2 AB) is
 * taken as UTF-8: real Russian text in Windows-1251 practically never is.
 * Zero bytes are ordinary bytes here; a caller that ends the text at the
 * first zero byte cuts it off first.
 */
TextFormat DetectTextFormat(std::string_view bytes);

/** A file's text as UTF-8, with the format that reads and writes it. */
struct DecodedText {
  std::string utf8;
  TextFormat format;
};

/**
 * Decodes a file's bytes in the encoding given, or in the detected one when
 * none is given. For UTF-8 a leading byte-order mark is dropped from the text
 * and noted in the format. Nothing when UTF-8 is asked for and the bytes are
 * not valid UTF-8; the single-byte encodings decode every byte.
 */
std::optional<DecodedText> DecodeText(std::string_view bytes,
                                      std::optional<TextEncoding> encoding = std::nullopt);

/**
 * The bytes of UTF-8 text in a format: the byte-order mark first when the
 * format has one; a character without a code in a single-byte encoding
 * becomes 0x1A (SUB). Decoding the result gives the text back whenever
 * TextFitsEncoding holds.
 */
std::string EncodeText(std::string_view utf8, TextFormat format);

/** True when every character of the UTF-8 text has a code in the encoding. */
bool TextFitsEncoding(std::string_view utf8, TextEncoding encoding);

}  // namespace zeltrix
