#include "core/image/intel_hex.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/result_value.h"

namespace zeltrix {
namespace {

using testing::ValueOf;

SparseImage ImageOf(const std::vector<std::pair<std::uint64_t, std::string>>& runs) {
  SparseImage image;
  for (const auto& [address, bytes] : runs) image.Put(address, bytes);
  return image;
}

// Checksums worked out by hand: every record's bytes sum to 0 modulo 256.
TEST(WriteIntelHex, RecordsAddressRecordsAndTheEnd) {
  HexFile file;
  file.image = ImageOf({{0, "ABC"}, {0x1FFFE, "\x01\x02\x03\x04"}});
  EXPECT_EQ(WriteIntelHex(file),
            ":0300000041424337\r\n"
            ":020000040001F9\r\n"
            ":02FFFE000102FE\r\n"
            ":020000040002F8\r\n"
            ":020000000304F7\r\n"
            ":00000001FF\r\n");
  // The start record of a file that had one goes before the end; LF lines stay LF.
  file.image = ImageOf({{0, "AB"}});
  file.lineEnd = LineEnd::Lf;
  file.start = HexStartRecord{5, 0x12345678};
  EXPECT_EQ(WriteIntelHex(file, 32), ":0200000041427B\n:0400000512345678E3\n:00000001FF\n");
  EXPECT_EQ(WriteIntelHex(HexFile{}), ":00000001FF\r\n");
}

TEST(IntelHex, WrittenFilesReadBackAsTheyWere) {
  std::string counting(300, '\0');
  for (std::size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<char>(i);
  const struct {
    const char* what;
    SparseImage image;
    std::size_t addressRecords;  // extended linear address records the file needs
  } cases[] = {
      {"one short run", ImageOf({{0, "Hello"}}), 0},
      {"runs with gaps", ImageOf({{3, counting}, {400, "x"}, {0x4200, "ABCD"}}), 0},
      {"across 64 KiB twice", ImageOf({{0xFFF5, counting}, {0x2FFFE, "abcd"}}), 3},
      {"far up, PIC18 EEPROM", ImageOf({{0xF00000, counting}, {0x300000, "\x22"}}), 2},
      {"the last addresses", ImageOf({{0xFFFFFFF0, std::string(16, '\xEE')}}), 1},
      {"empty", SparseImage(), 0},
  };
  for (const auto& c : cases) {
    for (const int length : {16, 32}) {
      for (const LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf}) {
        for (const auto& start :
             {std::optional<HexStartRecord>(), std::optional<HexStartRecord>({3, 0x00001234})}) {
          const HexFile file{c.image, lineEnd, start};
          const std::string text = WriteIntelHex(file, length);
          const Result<HexFile, HexFault> read = ReadIntelHex(text);
          EXPECT_EQ(ValueOf(read), file) << c.what << ": " << (read ? "" : read.Reason().reason);
          // Every record within its length and its 64 KiB, in upper case.
          std::size_t addressRecords = 0;
          const std::string_view end = lineEnd == LineEnd::Lf ? "\n" : "\r\n";
          for (std::size_t at = 0; at < text.size();) {
            const std::size_t next = text.find(end, at);
            ASSERT_NE(next, std::string::npos) << c.what;
            const std::string record = text.substr(at, next - at);
            ASSERT_EQ(record.find_first_not_of(":0123456789ABCDEF"), std::string::npos) << record;
            const std::size_t count = std::stoul(record.substr(1, 2), nullptr, 16);
            const std::size_t offset = std::stoul(record.substr(3, 4), nullptr, 16);
            if (record.substr(7, 2) == "00") {
              EXPECT_LE(count, static_cast<std::size_t>(length)) << record;
              EXPECT_LE(offset + count, 0x10000u) << record;
            }
            addressRecords += record.substr(7, 2) == "04";
            EXPECT_NE(record.substr(7, 2), "02") << record;
            at = next + end.size();
          }
          EXPECT_EQ(addressRecords, c.addressRecords) << c.what;
          EXPECT_TRUE(text.ends_with(std::string(":00000001FF") + std::string(end))) << c.what;
        }
      }
    }
  }
}

TEST(ReadIntelHex, WhatOtherToolsWriteIsRead) {
  // Lower-case digits, a segment record, blanks around records, blank lines.
  const std::string text =
      "  :0300000041424337 \n\n:020000021000ec\r\n:010010005a95\n\t:00000001FF\n\n";
  const Result<HexFile, HexFault> file = ReadIntelHex(text);
  ASSERT_TRUE(file) << file.Reason().reason;
  EXPECT_EQ(file->image, ImageOf({{0, "ABC"}, {0x10010, "Z"}}));
  EXPECT_EQ(file->lineEnd, LineEnd::Lf);
  // Nothing at all is an empty image; a text without records too.
  EXPECT_EQ(ValueOf(ReadIntelHex("")), HexFile{});
  EXPECT_EQ(ReadIntelHex("\r\n \r\n")->lineEnd, LineEnd::CrLf);
}

TEST(ReadIntelHex, ABadRecordIsRefusedWithItsLine) {
  const struct {
    std::string text;
    std::size_t line;
    const char* reason;
  } cases[] = {
      {":0300000041424338\n:00000001FF\n", 1, "неверная контрольная сумма"},
      {"\n:0300000041424337\r\n0300000041424337\r\n", 3, "запись не начинается с двоеточия"},
      {":03000000414G4337\n", 1, "недопустимый символ в позиции 13"},
      {":030000004142433\n", 1, "нечётное число шестнадцатеричных цифр"},
      {":00000001\n", 1, "запись слишком коротка"},
      {":0400000041424336\n", 1, "поле длины указывает 4 байта данных, а в записи 3 байта"},
      {":0300000041424337\n:00000006FA\n:00000001FF\n", 2, "неизвестный тип записи 06"},
      {":0300000041424337\n:00000001FF\n:0200000041427B\n", 3,
       "после записи конца файла есть ещё записи"},
      {":0300000041424337\n\n", 1, "файл кончается без записи конца файла (:00000001FF)"},
      {":0200000041427B\n:0300000041424337\n:00000001FF\n", 2,
       "данные для адреса 0x0000 и далее уже были заданы"},
      {":02000004FFFFFC\n:02FFFF0041427D\n:00000001FF\n", 2, "данные выходят за адрес 0xFFFFFFFF"},
      {":01000004FFFC\n:00000001FF\n", 1, "в записи адреса должно быть 2 байта данных"},
      {":010000017886\n", 1, "у записи конца файла не может быть данных"},
      {":0400000512345678E3\n:0400000300001234B3\n:00000001FF\n", 2,
       "второй начальный адрес, не такой, как первый"},
  };
  for (const auto& c : cases) {
    const Result<HexFile, HexFault> file = ReadIntelHex(c.text);
    ASSERT_FALSE(file) << c.text;
    EXPECT_EQ(file.Reason().line, c.line) << c.text;
    EXPECT_EQ(file.Reason().reason, c.reason) << c.text;
  }
  EXPECT_EQ(HexFaultText("/tmp/x.hex", {12, "неверная контрольная сумма"}),
            "Строка 12 файла \"/tmp/x.hex\": неверная контрольная сумма");
}

TEST(HexLayout, TheImageStandsWhereTheLayoutPutsIt) {
  const SparseImage image = ImageOf({{0, "AB"}, {5, "C"}});
  // Program memory and configuration stay where they are.
  const SparseImage outside = ImageOf({{0, "\x8A\x01"}, {0x400E, "\x3F\x3F"}});
  const struct {
    HexLayout layout;
    SparseImage hex;
  } cases[] = {
      // Plain: the whole file is the image.
      {HexLayout::Plain, image},
      {HexLayout::Pic16Eeprom, ImageOf({{0, "\x8A\x01"},
                                        {0x400E, "\x3F\x3F"},
                                        {0x4200, std::string("A\0B\0", 4)},
                                        {0x420A, std::string("C\0", 2)}})},
      {HexLayout::Pic18Eeprom,
       ImageOf({{0, "\x8A\x01"}, {0x400E, "\x3F\x3F"}, {0xF00000, "AB"}, {0xF00005, "C"}})},
  };
  for (const auto& c : cases) {
    SparseImage hex = outside;
    PutInLayout(hex, image, c.layout);
    EXPECT_EQ(hex, c.hex) << HexLayoutStoredName(c.layout);
    EXPECT_EQ(ValueOf(ImageInLayout(hex, c.layout)), image) << HexLayoutStoredName(c.layout);
  }
  EXPECT_EQ(HexLayoutLimit(HexLayout::Pic16Eeprom), (0x100000000 - 0x4200) / 2);
}

TEST(HexLayout, APic16WordMustBeWholeWithAZeroHighByte) {
  const struct {
    SparseImage hex;
    const char* reason;
  } cases[] = {
      {ImageOf({{0x4200, "A\x01"}}),
       "по адресу 0x4201 старший байт слова равен 0x01, а должен быть 0"},
      {ImageOf({{0x4200, std::string("A\0B", 3)}}), "по адресу 0x4203 нет старшего байта слова"},
      {ImageOf({{0x4203, std::string("\0", 1)}}), "по адресу 0x4202 нет младшего байта слова"},
  };
  for (const auto& c : cases) {
    const Result<SparseImage, std::string> image = ImageInLayout(c.hex, HexLayout::Pic16Eeprom);
    ASSERT_FALSE(image);
    EXPECT_EQ(image.Reason(), c.reason);
  }
  EXPECT_EQ(HexLayoutFaultText("e.hex", HexLayout::Pic16Eeprom,
                               "по адресу 0x4203 нет старшего байта слова"),
            "Файл \"e.hex\" не подходит для размещения «PIC16 EEPROM»: по адресу 0x4203 нет "
            "старшего байта слова");
}

TEST(HexLayout, NamesReadInEitherCase) {
  for (const HexLayout layout : kHexLayouts) {
    EXPECT_EQ(HexLayoutNamed(HexLayoutStoredName(layout)), layout);
    EXPECT_EQ(HexLayoutNamed(HexLayoutOptionName(layout)), layout);
  }
  EXPECT_EQ(HexLayoutNamed("pic16"), HexLayout::Pic16Eeprom);
  EXPECT_EQ(HexLayoutNamed("PIC18-EEPROM"), HexLayout::Pic18Eeprom);
  EXPECT_EQ(HexLayoutNamed("pic17"), std::nullopt);
  EXPECT_EQ(HexLayoutNamed(""), std::nullopt);
}

}  // namespace
}  // namespace zeltrix
