#include "core/io/file_names.h"

#include <gtest/gtest.h>

#include <QString>

namespace zeltrix {
namespace {

// Every name comes back as the same bytes; a valid UTF-8 name reads as Qt
// reads it, and any other keeps each stray byte as its own escape.
TEST(FileNames, EveryNameRoundTripsAndUtf8ReadsAsText) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  const std::string names[] = {
      "plain.txt",
      "Привет.txt",
      "\xcf\xf0\xe8\xe2\xe5\xf2.txt",  // Windows-1251 "Привет"
      "/tmp/\xcf\xf0/Привет/\xff",     // mixed components
      "\xd0",                          // a UTF-8 sequence cut short
      "\xed\xa0\x80\xed\xb3\x8f",      // UTF-8 forms of surrogates
      "\xc0\xaf",                      // an overlong form of "/"
      "\xf0\x9f\x98\x80 smile",        // beyond the 16-bit plane
      everyByte,
  };
  for (const std::string& name : names) {
    const std::u16string text = FileNameToUtf16(name);
    EXPECT_EQ(FileNameFromUtf16(text), name) << name;
    const QString qt = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const bool validUtf8 = !qt.contains(QChar::ReplacementCharacter);
    if (validUtf8) {
      EXPECT_EQ(text, qt.toStdU16String()) << name;
    }
  }
  EXPECT_EQ(FileNameToUtf16("\xcf\xf0.txt"), (std::u16string{0xDCCF, 0xDCF0, '.', 't', 'x', 't'}));
  // Text typed by the user is written as UTF-8; a stray surrogate that no
  // decoding made becomes U+FFFD.
  EXPECT_EQ(FileNameFromUtf16(u"Я.txt"), "Я.txt");
  EXPECT_EQ(FileNameFromUtf16(std::u16string{0xD800, 'a', 0xDC10}),
            "\xef\xbf\xbd"
            "a\xef\xbf\xbd");
}

}  // namespace
}  // namespace zeltrix
