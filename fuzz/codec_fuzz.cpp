// The single-byte and UTF-8 codecs against a plain UTF-8 decoder written
// from the table of well-formed byte sequences: validity, code points,
// round trips, and the lossy encoder agreeing with the checked one, for
// every code page; file names through UTF-16 and back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_names.h"
#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "fuzz_check.h"

namespace {

// The code points of well-formed UTF-8, or false.
bool Decode(std::string_view text, std::vector<char32_t>& points) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t b = byte(i);
    std::size_t more = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    char32_t point = 0;
    if (b < 0x80) {
      point = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      more = 1;
      point = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      more = 2;
      point = b & 0x0F;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      more = 3;
      point = b & 0x07;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + more >= text.size()) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      const std::uint8_t c = byte(i + k);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
      point = (point << 6) | (c & 0x3F);
    }
    points.push_back(point);
    i += more + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zeltrix::CodePage;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // The plain decoder's view of the bytes taken as UTF-8.
  std::vector<char32_t> points;
  const bool valid = Decode(bytes, points);
  Check(zeltrix::IsValidUtf8(bytes) == valid);

  for (const CodePage page : {CodePage::Cp1251, CodePage::Koi8r, CodePage::Cp866}) {
    // The page to UTF-8 (and UTF-32) and back gives every byte back, 0x98 of
    // Windows-1251 included.
    const std::string utf8 = zeltrix::CodePageToUtf8(page, bytes);
    std::vector<char32_t> decoded;
    Check(Decode(utf8, decoded) && decoded.size() == bytes.size());
    const std::u32string utf32 = zeltrix::CodePageToUtf32(page, bytes);
    Check(utf32.size() == bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const char32_t point =
          zeltrix::CodePageToCodePoint(page, static_cast<unsigned char>(bytes[i]));
      Check(decoded[i] == point && utf32[i] == point);
      Check(zeltrix::CodePointToCodePage(page, point) == bytes[i]);
    }
    Check(zeltrix::Utf8ToCodePageChecked(page, utf8) == bytes);
    Check(zeltrix::Utf8ToCodePage(page, utf8) == bytes);
    Check(zeltrix::CodePageHolds(page, utf8));

    // UTF-8 to the page: the checked encoder succeeds exactly when the plain
    // decoder does, and then writes each character's byte, as the lossy one does.
    const std::optional<std::string> checked = zeltrix::Utf8ToCodePageChecked(page, bytes);
    Check(checked.has_value() == valid);
    const std::string lossy = zeltrix::Utf8ToCodePage(page, bytes);
    bool holds = valid;
    if (valid) {
      Check(checked->size() == points.size());
      for (std::size_t i = 0; i < points.size(); ++i) {
        const char byte = zeltrix::CodePointToCodePage(page, points[i]);
        Check((*checked)[i] == byte);
        holds = holds && (byte != zeltrix::kSubstituteByte || points[i] == 0x1A);
      }
      Check(lossy == *checked);
    } else {
      // Every stray byte stands for one character; nothing is dropped whole.
      Check(lossy.size() <= bytes.size() && !lossy.empty());
    }
    Check(zeltrix::CodePageHolds(page, bytes) == holds);
  }
  // The Windows-1251 short names are the same codec.
  Check(zeltrix::Utf8ToCp1251(bytes) == zeltrix::Utf8ToCodePageChecked(CodePage::Cp1251, bytes));
  Check(zeltrix::Utf8ToCp1251Lossy(bytes) == zeltrix::Utf8ToCodePage(CodePage::Cp1251, bytes));

  if (valid) {
    std::size_t at = 0;
    for (const char32_t expected : points) {
      char32_t point = 0;
      const std::size_t length = zeltrix::DecodeUtf8(bytes, at, point);
      Check(length > 0 && point == expected);
      at += length;
    }
    Check(at == bytes.size());
  }

  // UTF-8 to UTF-32 and back, and any UTF-32 to valid UTF-8.
  const std::optional<std::u32string> utf32 = zeltrix::Utf8ToUtf32(bytes);
  Check(utf32.has_value() == valid);
  if (utf32) {
    Check(*utf32 == std::u32string(points.begin(), points.end()));
    Check(zeltrix::Utf32ToUtf8(*utf32) == bytes);
  }
  std::u32string raw(size / 4, U'\0');
  if (!raw.empty()) std::memcpy(raw.data(), data, raw.size() * 4);
  const std::string written = zeltrix::Utf32ToUtf8(raw);
  points.clear();
  Check(Decode(written, points) && points.size() == raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const bool character = raw[i] <= 0x10FFFF && (raw[i] < 0xD800 || raw[i] > 0xDFFF);
    Check(points[i] == (character ? raw[i] : zeltrix::kReplacementCharacter));
  }

  // Latin-1 through UTF-8 and back; UTF-8 of code points up to U+00FF only.
  Check(zeltrix::Utf8ToLatin1(zeltrix::Latin1ToUtf8(bytes)) == bytes);
  const std::optional<std::string> latin1 = zeltrix::Utf8ToLatin1(bytes);
  bool narrow = valid;
  if (utf32) {
    for (const char32_t point : *utf32) narrow = narrow && point <= 0xFF;
  }
  Check(latin1.has_value() == narrow);
  if (latin1) Check(zeltrix::Latin1ToUtf8(*latin1) == bytes);

  // Any bytes as a file name come back whole; a valid UTF-8 name reads as its
  // code points, with no escape in it.
  const std::u16string name = zeltrix::FileNameToUtf16(bytes);
  Check(zeltrix::FileNameFromUtf16(name) == bytes);
  if (utf32) {
    std::size_t units = 0;
    for (const char32_t point : *utf32) units += point >= 0x10000 ? 2 : 1;
    Check(name.size() == units);
  }
  return 0;
}
