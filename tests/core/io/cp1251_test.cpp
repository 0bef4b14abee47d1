#include "core/io/cp1251.h"

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>

namespace zeltrix {
namespace {

// The editors convert with Qt's codec; the core with its own table. Both must agree on every byte.
TEST(Cp1251, AgreesWithQtForAllBytes) {
  QStringDecoder decoder("windows-1251");
  QStringEncoder encoder("windows-1251");
  ASSERT_TRUE(decoder.isValid());
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const QString qt = decoder.decode(QByteArray(byte.data(), 1));
    ASSERT_EQ(qt.size(), 1) << b;
    EXPECT_EQ(static_cast<char32_t>(qt.at(0).unicode()),
              Cp1251ToCodePoint(static_cast<unsigned char>(b)))
        << b;
    const std::string utf8 = Cp1251ToUtf8(byte);
    EXPECT_EQ(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), qt) << b;
    EXPECT_EQ(*Utf8ToCp1251(utf8), byte) << b;
    const QByteArray back = encoder.encode(qt);
    EXPECT_EQ(std::string(back.constData(), static_cast<std::size_t>(back.size())), byte) << b;
  }
}

TEST(Cp1251, CharactersWithoutACodeAndInvalidInput) {
  EXPECT_EQ(*Utf8ToCp1251("a\xE2\x82\xAC\xF0\x9F\x98\x80z"), "a\x88\x1Az");  // euro, emoji
  EXPECT_FALSE(Utf8ToCp1251("\xCF\xF0"));                                    // Windows-1251 bytes
  EXPECT_FALSE(Utf8ToCp1251("\xC0\x80"));                                    // overlong
  EXPECT_FALSE(Utf8ToCp1251("\xED\xA0\x80"));                                // surrogate
  EXPECT_FALSE(Utf8ToCp1251("\xE2\x82"));                                    // cut short
}

TEST(Cp1251, Utf8Validity) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8(std::string(100, 'a') + "\xD0\x9F" + std::string(9, 'b')));
  EXPECT_FALSE(IsValidUtf8(std::string(17, 'a') + "\xFF"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

TEST(Cp1251, Latin1RoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(*Utf8ToLatin1(Latin1ToUtf8(all)), all);
  EXPECT_FALSE(Utf8ToLatin1("\xD0\x9F"));  // U+041F is beyond Latin-1
}

TEST(ProgramLower, LatinAndCyrillicCapitalsButNotYaOrYo) {
  EXPECT_EQ(ProgramLower("ABZ az \xC0\xDE\xDF\xA8\xE0"), "abz az \xE0\xFE\xDF\xA8\xE0");
}

}  // namespace
}  // namespace zeltrix
