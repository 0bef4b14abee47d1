#include "core/io/file_names.h"

#include "core/io/utf8.h"

namespace zeltrix {
namespace {

constexpr char16_t kByteEscape = 0xDC00;

void AppendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

}  // namespace

std::u16string FileNameToUtf16(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t codePoint = 0;
    const std::size_t length = DecodeUtf8(bytes, i, codePoint);
    if (length == 0) {
      // Bytes below 0x80 are always valid, so the escapes stay in U+DC80..U+DCFF.
      text.push_back(static_cast<char16_t>(kByteEscape + static_cast<unsigned char>(bytes[i])));
      ++i;
      continue;
    }
    AppendUtf16(text, codePoint);
    i += length;
  }
  return text;
}

std::string FileNameFromUtf16(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(bytes, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= kByteEscape + 0x80 && unit <= kByteEscape + 0xFF) {
      bytes.push_back(static_cast<char>(unit - kByteEscape));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(bytes, kReplacementCharacter);
    } else {
      AppendUtf8(bytes, unit);
    }
  }
  return bytes;
}

}  // namespace zeltrix
