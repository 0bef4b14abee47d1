#include "core/io/text_encoding.h"

#include <algorithm>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"

namespace zeltrix {
namespace {

bool StartsWithBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

}  // namespace

CodePage CodePageOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Koi8r:
      return CodePage::Koi8r;
    case TextEncoding::Cp866:
      return CodePage::Cp866;
    default:
      return CodePage::Cp1251;
  }
}

const char* EncodingName(TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return "UTF-8";
  // The descriptors' names are string literals, so they end in a zero.
  return DescriptorOf(CodePageOf(encoding)).name.data();
}

TextFormat DetectTextFormat(std::string_view bytes) {
  const bool nonAscii = std::any_of(bytes.begin(), bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (nonAscii && IsValidUtf8(bytes)) return {TextEncoding::Utf8, StartsWithBom(bytes)};
  return {TextEncoding::Cp1251, false};
}

std::optional<DecodedText> DecodeText(std::string_view bytes,
                                      std::optional<TextEncoding> encoding) {
  const TextFormat format =
      encoding ? TextFormat{*encoding, *encoding == TextEncoding::Utf8 && StartsWithBom(bytes)}
               : DetectTextFormat(bytes);
  if (format.encoding != TextEncoding::Utf8) {
    return DecodedText{CodePageToUtf8(CodePageOf(format.encoding), bytes), format};
  }
  if (format.bom) bytes.remove_prefix(kUtf8Bom.size());
  // Detection has checked the bytes already.
  if (encoding && !IsValidUtf8(bytes)) return std::nullopt;
  return DecodedText{std::string(bytes), format};
}

std::string EncodeText(std::string_view utf8, TextFormat format) {
  if (format.encoding != TextEncoding::Utf8)
    return Utf8ToCodePage(CodePageOf(format.encoding), utf8);
  std::string out;
  out.reserve(kUtf8Bom.size() + utf8.size());
  if (format.bom) out.append(kUtf8Bom);
  out.append(utf8);
  return out;
}

bool TextFitsEncoding(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return IsValidUtf8(utf8);
  return CodePageHolds(CodePageOf(encoding), utf8);
}

}  // namespace zeltrix
