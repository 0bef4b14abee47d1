// The Windows-1251 and UTF-8 codecs against a plain UTF-8 decoder written
// from the table of well-formed byte sequences: validity, code points,
// round trips, and the lossy decoder agreeing with the strict one; file names
// through UTF-16 and back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/cp1251.h"
#include "core/io/file_names.h"
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
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Windows-1251 to UTF-8 and back gives every byte back, 0x98 included.
  const std::string utf8 = zeltrix::Cp1251ToUtf8(bytes);
  std::vector<char32_t> points;
  Check(Decode(utf8, points) && points.size() == bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    Check(points[i] == zeltrix::Cp1251ToCodePoint(static_cast<unsigned char>(bytes[i])));
  }
  Check(zeltrix::Utf8ToCp1251(utf8) == bytes);

  // UTF-8 to Windows-1251: valid exactly when the plain decoder says so.
  points.clear();
  const bool valid = Decode(bytes, points);
  Check(zeltrix::IsValidUtf8(bytes) == valid);
  const std::optional<std::string> cp1251 = zeltrix::Utf8ToCp1251(bytes);
  Check(cp1251.has_value() == valid);
  const std::string lossy = zeltrix::Utf8ToCp1251Lossy(bytes);
  if (valid) {
    Check(cp1251->size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      Check((*cp1251)[i] == zeltrix::CodePointToCp1251(points[i]));
    }
    Check(lossy == *cp1251);
    std::size_t at = 0;
    for (const char32_t expected : points) {
      char32_t point = 0;
      const std::size_t length = zeltrix::DecodeUtf8(bytes, at, point);
      Check(length > 0 && point == expected);
      at += length;
    }
    Check(at == bytes.size());
  } else {
    // Every stray byte stands for one character; nothing is dropped whole.
    Check(lossy.size() <= bytes.size() && !lossy.empty());
  }

  // Latin-1 through UTF-8 and back; UTF-8 of code points up to U+00FF only.
  Check(zeltrix::Utf8ToLatin1(zeltrix::Latin1ToUtf8(bytes)) == bytes);
  const std::optional<std::string> latin1 = zeltrix::Utf8ToLatin1(bytes);
  bool narrow = valid;
  for (const char32_t point : points) narrow = narrow && point <= 0xFF;
  Check(latin1.has_value() == narrow);
  if (latin1) Check(zeltrix::Latin1ToUtf8(*latin1) == bytes);

  // Any bytes as a file name come back whole; a valid UTF-8 name reads as its
  // code points, with no escape in it.
  const std::u16string name = zeltrix::FileNameToUtf16(bytes);
  Check(zeltrix::FileNameFromUtf16(name) == bytes);
  if (valid) {
    std::size_t units = 0;
    for (const char32_t point : points) units += point >= 0x10000 ? 2 : 1;
    Check(name.size() == units);
  }
  return 0;
}
