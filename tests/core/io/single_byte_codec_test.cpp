#include "core/io/single_byte_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <QStringDecoder>
#include <QStringEncoder>

namespace zeltrix {
namespace {

// A single byte of the code page in UTF-8, by glibc.
std::string Iconv(const char* page, std::string byte) {
  const iconv_t cd = iconv_open("UTF-8", page);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  char out[8];
  char* in = byte.data();
  char* put = out;
  std::size_t inLeft = byte.size();
  std::size_t outLeft = sizeof out;
  EXPECT_NE(iconv(cd, &in, &inLeft, &put, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(cd);
  return std::string(out, static_cast<std::size_t>(put - out));
}

// The core's tables against Qt's (ICU) codecs, both ways, for every byte.
TEST(CodePages, AgreeWithQtForAllBytes) {
  const struct {
    CodePage page;
    const char* qtName;
  } pages[] = {
      {CodePage::Cp1251, "windows-1251"}, {CodePage::Koi8r, "KOI8-R"}, {CodePage::Cp866, "IBM866"}};
  for (const auto& [page, qtName] : pages) {
    QStringDecoder decoder(qtName);
    QStringEncoder encoder(qtName);
    ASSERT_TRUE(decoder.isValid() && encoder.isValid()) << qtName;
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      // ICU's IBM866 moves three control codes about (0x1A to U+001C, 0x1C to
      // U+007F, 0x7F to U+001A), as IBM's PC tables do; DOS, Windows and glibc
      // keep ASCII as it is, and so do we: 0x1A stays the substitute character.
      if (page == CodePage::Cp866 && (b == 0x1A || b == 0x1C || b == 0x7F)) {
        EXPECT_EQ(CodePageToCodePoint(page, static_cast<unsigned char>(b)), char32_t(b));
        EXPECT_EQ(Iconv("CP866", byte), byte);
        continue;
      }
      const QString qt = decoder.decode(QByteArray(byte.data(), 1));
      ASSERT_EQ(qt.size(), 1) << qtName << " " << b;
      EXPECT_EQ(static_cast<char32_t>(qt.at(0).unicode()),
                CodePageToCodePoint(page, static_cast<unsigned char>(b)))
          << qtName << " " << b;
      const std::string utf8 = CodePageToUtf8(page, byte);
      EXPECT_EQ(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), qt)
          << qtName << " " << b;
      EXPECT_EQ(Utf8ToCodePage(page, utf8), byte) << qtName << " " << b;
      EXPECT_EQ(Utf8ToCodePageChecked(page, utf8), byte) << qtName << " " << b;
      EXPECT_EQ(CodePageToUtf32(page, byte), qt.toStdU32String()) << qtName << " " << b;
      const QByteArray back = encoder.encode(qt);
      EXPECT_EQ(std::string(back.constData(), static_cast<std::size_t>(back.size())), byte)
          << qtName << " " << b;
    }
  }
}

// The Windows-1251 helpers the profiles and the engine use (Cp1251ToUtf8, Utf8ToCp1251) against
// Qt's codec as an independent reference, for every byte.
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

}  // namespace
}  // namespace zeltrix
