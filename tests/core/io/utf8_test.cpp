#include "core/io/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zeltrix {
namespace {

TEST(Utf8, Validity) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8(std::string(100, 'a') + "\xD0\x9F" + std::string(9, 'b')));
  EXPECT_FALSE(IsValidUtf8(std::string(17, 'a') + "\xFF"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

TEST(Utf8, Latin1RoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(*Utf8ToLatin1(Latin1ToUtf8(all)), all);
  EXPECT_FALSE(Utf8ToLatin1("\xD0\x9F"));  // U+041F is beyond Latin-1
}

// Every length of form, the edges of the code space, and what is no character.
TEST(Utf8, CodePointsToUtf8AndBack) {
  const struct {
    char32_t codePoint;
    std::string utf8;
  } cases[] = {
      {U'\0', std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x41F, "\xD0\x9F"},  // П
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},  // euro
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x1F600, "\xF0\x9F\x98\x80"},  // emoji
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& [codePoint, utf8] : cases) {
    std::string out = "<";
    AppendUtf8(out, codePoint);
    EXPECT_EQ(out, "<" + utf8) << std::hex << std::uint32_t{codePoint};
    char32_t back = 0;
    EXPECT_EQ(DecodeUtf8(utf8, 0, back), utf8.size()) << std::hex << std::uint32_t{codePoint};
    EXPECT_EQ(std::uint32_t{back}, std::uint32_t{codePoint});
  }
  // A surrogate or a value beyond Unicode cannot be written; U+FFFD stands for it.
  for (const char32_t none : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
    std::string out;
    AppendUtf8(out, none);
    EXPECT_EQ(out, "\xEF\xBF\xBD") << std::hex << std::uint32_t{none};
  }
}

TEST(Utf8, CharactersOfATextAndBack) {
  // ASCII runs longer than eight bytes around every length of form.
  const std::string utf8 = "Temperature: \xD0\x9F 20\xE2\x82\xAC \xF0\x9F\x98\x80 end of line";
  const std::u32string characters = U"Temperature: \u041F 20\u20AC \U0001F600 end of line";
  EXPECT_EQ(Utf8ToUtf32(utf8), characters);
  EXPECT_EQ(Utf32ToUtf8(characters), utf8);
  EXPECT_EQ(Utf8ToUtf32(""), std::u32string());
  EXPECT_EQ(Utf32ToUtf8(U"a\xD800"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
  for (const std::string invalid :
       {"0123456789\xD0", "0123456789\xCF\xF0", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
    EXPECT_FALSE(Utf8ToUtf32(invalid)) << invalid;
  }
}

}  // namespace
}  // namespace zeltrix
