#include "core/io/text_encoding.h"

#include <gtest/gtest.h>

namespace zeltrix {
namespace {

std::string AllBytes() {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  return all;
}

TEST(TextEncoding, DetectionTable) {
  const struct {
    const char* what;
    std::string bytes;
    TextFormat format;
  } cases[] = {
      {"empty", "", {TextEncoding::Cp1251, false}},
      {"ASCII only", "Hello\r\n", {TextEncoding::Cp1251, false}},
      {"UTF-8 Cyrillic",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
       {TextEncoding::Utf8, false}},
      {"byte-order mark and Cyrillic", "\xEF\xBB\xBF\xD0\x9F!", {TextEncoding::Utf8, true}},
      {"byte-order mark and ASCII",
       "\xEF\xBB\xBF"
       "abc",
       {TextEncoding::Utf8, true}},
      {"byte-order mark alone", "\xEF\xBB\xBF", {TextEncoding::Utf8, true}},
      // Without it nothing of the file could be shown as it is.
      {"byte-order mark and invalid UTF-8", "\xEF\xBB\xBF\xCF\xF0", {TextEncoding::Cp1251, false}},
      {"Windows-1251 Cyrillic", "\xCF\xF0\xE8\xE2\xE5\xF2", {TextEncoding::Cp1251, false}},
      // "В«" in Windows-1251 is C2 AB, which is also "«" in UTF-8: UTF-8 wins.
      {"Windows-1251 that is valid UTF-8", "\xC2\xAB", {TextEncoding::Utf8, false}},
      {"cut-off sequence", "ok\xD0", {TextEncoding::Cp1251, false}},
      {"overlong form", "\xC0\xAF", {TextEncoding::Cp1251, false}},
      {"surrogate", "\xED\xA0\x80", {TextEncoding::Cp1251, false}},
      {"stray continuation byte", "a\x80z", {TextEncoding::Cp1251, false}},
      {"zero byte in UTF-8", std::string("\xD0\x9F\0\xD0\x9F", 5), {TextEncoding::Utf8, false}},
      {"zero byte, invalid after it",
       std::string("\xD0\x9F\0\xFF", 4),
       {TextEncoding::Cp1251, false}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectTextFormat(c.bytes), c.format) << c.what;
    const std::optional<DecodedText> decoded = DecodeText(c.bytes);
    ASSERT_TRUE(decoded) << c.what;
    EXPECT_EQ(decoded->format, c.format) << c.what;
  }
}

// Decoding and encoding again gives the file's bytes back, in every encoding.
TEST(TextEncoding, RoundTripsAreByteIdentical) {
  const std::string utf8Text =
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x84\x96 1\r\n\xF0\x9F\x98\x80";
  const struct {
    std::optional<TextEncoding> asked;
    std::string bytes;
    TextFormat format;
  } cases[] = {
      {std::nullopt, utf8Text, {TextEncoding::Utf8, false}},
      {std::nullopt, std::string(kUtf8Bom) + utf8Text, {TextEncoding::Utf8, true}},
      {TextEncoding::Utf8, std::string(kUtf8Bom), {TextEncoding::Utf8, true}},
      {std::nullopt, AllBytes().substr(1), {TextEncoding::Cp1251, false}},
      {TextEncoding::Cp1251, AllBytes(), {TextEncoding::Cp1251, false}},
      {TextEncoding::Koi8r, AllBytes(), {TextEncoding::Koi8r, false}},
      {TextEncoding::Cp866, AllBytes(), {TextEncoding::Cp866, false}},
      // A byte-order mark means nothing to the single-byte encodings.
      {TextEncoding::Koi8r, std::string(kUtf8Bom) + "x", {TextEncoding::Koi8r, false}},
  };
  for (const auto& c : cases) {
    const std::optional<DecodedText> decoded = DecodeText(c.bytes, c.asked);
    ASSERT_TRUE(decoded) << c.bytes;
    EXPECT_EQ(decoded->format, c.format) << c.bytes;
    EXPECT_TRUE(TextFitsEncoding(decoded->utf8, c.format.encoding)) << c.bytes;
    EXPECT_EQ(EncodeText(decoded->utf8, decoded->format), c.bytes) << c.bytes;
  }
}

TEST(TextEncoding, CharactersAnEncodingCannotHold) {
  const std::string numero = "\xE2\x84\x96";  // №: Windows-1251 and CP866 have it, KOI8-R not
  const std::string boxes = "\xE2\x95\x90";   // ═: KOI8-R and CP866 have it, Windows-1251 not
  const std::string emoji = "\xF0\x9F\x98\x80";
  EXPECT_TRUE(TextFitsEncoding(numero, TextEncoding::Cp1251));
  EXPECT_TRUE(TextFitsEncoding(numero, TextEncoding::Cp866));
  EXPECT_FALSE(TextFitsEncoding(numero, TextEncoding::Koi8r));
  EXPECT_FALSE(TextFitsEncoding(boxes, TextEncoding::Cp1251));
  EXPECT_TRUE(TextFitsEncoding(boxes, TextEncoding::Koi8r));
  for (const TextEncoding e : {TextEncoding::Cp1251, TextEncoding::Koi8r, TextEncoding::Cp866}) {
    EXPECT_FALSE(TextFitsEncoding("a" + emoji, e)) << EncodingName(e);
    EXPECT_EQ(EncodeText("a" + emoji + "b", {e}),
              "a\x1A"
              "b")
        << EncodingName(e);
  }
  EXPECT_TRUE(TextFitsEncoding(emoji, TextEncoding::Utf8));
  // UTF-8 asked for on bytes that are not UTF-8: nothing, rather than a lossy text.
  EXPECT_FALSE(DecodeText("\xCF\xF0", TextEncoding::Utf8));
  EXPECT_FALSE(DecodeText(std::string(kUtf8Bom) + "\xFF", TextEncoding::Utf8));
}

}  // namespace
}  // namespace zeltrix
