// What custom characters give: the data lines and BIN records of a Russian
// text on A00 byte for byte, and the placement of records in a file.
#include "core/lcd/cgram_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::W;

// Rows 0-7 of the Cyrillic ROM's glyphs, as resources/lcd-fonts/cyrillic.txt gives them.
const CustomGlyph kShcha = {0x15, 0x15, 0x15, 0x15, 0x15, 0x15, 0x1F, 0x01};       // Щ, E2
const CustomGlyph kI = {0x00, 0x00, 0x11, 0x13, 0x15, 0x19, 0x11, 0x00};           // и, B8
const CustomGlyph kLowQuote = {0x00, 0x00, 0x00, 0x00, 0x09, 0x12, 0x1B, 0x00};    // „, CA
const CustomGlyph kDe = {0x00, 0x00, 0x0F, 0x05, 0x09, 0x11, 0x1F, 0x11};          // д, E3
const CustomGlyph kQuote = {0x1B, 0x09, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00};       // “, CB
const CustomGlyph kShchaSmall = {0x00, 0x00, 0x15, 0x15, 0x15, 0x15, 0x1F, 0x01};  // щ, E6

// Three lines on a display of one row of 8: three screens. The second needs
// щ besides the glyphs the first loaded; the third needs none anew.
constexpr std::u32string_view kText = U"Щи „да“\r\nда, щи!\r\nи да";

ProfileRecord DtOnA00(bool lookAlikes) {
  ProfileRecord p;
  p.Ost1 = 4;
  p.Directive = "Dt";
  p.Ost2 = 1;
  p.StartData = "0x";
  p.SI = kHexadecimal;
  p.RazdelitelData = ",";
  p.Comment = "; ";
  p.CommentState = 1;
  p.Rom = CharacterRom::A00;
  p.LookAlikes = lookAlikes ? 1 : 0;
  p.Cgram = 1;
  p.Size = {8, 1};
  return p;
}

std::string Line(std::initializer_list<int> codes) {
  std::string line = "    Dt ";
  for (const int code : codes) {
    char datum[8];
    std::snprintf(datum, sizeof datum, "%s0x%02X", line.size() > 7 ? "," : "", code);
    line += datum;
  }
  return line + "\r\n";
}

std::string Line(const CustomGlyph& glyph) {
  return Line({glyph[0], glyph[1], glyph[2], glyph[3], glyph[4], glyph[5], glyph[6], glyph[7]});
}

// A record: the eight slots (nullptr for an unused one), then the codes.
std::string Record(std::array<const CustomGlyph*, 8> slots, std::string_view codes) {
  std::string record;
  for (const CustomGlyph* slot : slots) {
    record += slot != nullptr ? std::string(slot->begin(), slot->end()) : std::string(8, '\0');
  }
  return record.append(codes);
}

TEST(CgramOutput, DataLinesAndRecordsOfARussianTextOnA00) {
  struct Case {
    bool lookAlikes;
    std::string lines;
    std::string records;
  };
  const Case cases[] = {
      {false,
       "; CGRAM 0x08: Щ, 0x09: и, 0x0A: „, 0x0B: д, 0x0C: “\r\n" + Line(kShcha) + Line(kI) +
           Line(kLowQuote) + Line(kDe) + Line(kQuote) + "; Щи „да“ \r\n" +
           Line({0x08, 0x09, 0x20, 0x0A, 0x0B, 0x61, 0x0C, 0x20}) +
           "; CGRAM 0x09: и, 0x0B: д, 0x0D: щ\r\n" + Line(kI) + Line(kDe) + Line(kShchaSmall) +
           "; да, щи! \r\n" + Line({0x0B, 0x61, 0x2C, 0x20, 0x0D, 0x09, 0x21, 0x20}) +
           "; и да    \r\n" + Line({0x09, 0x20, 0x0B, 0x61, 0x20, 0x20, 0x20, 0x20}),
       Record({&kShcha, &kI, &kLowQuote, &kDe, &kQuote, nullptr, nullptr, nullptr},
              "\x08\x09\x20\x0A\x0B\x61\x0C\x20") +
           Record({nullptr, &kI, nullptr, &kDe, nullptr, &kShchaSmall, nullptr, nullptr},
                  "\x0B\x61\x2C\x20\x0D\x09\x21\x20") +
           Record({nullptr, &kI, nullptr, &kDe, nullptr, nullptr, nullptr, nullptr},
                  "\x09\x20\x0B\x61    ")},
      // The quotes are look-alikes of ": they take no slot.
      {true,
       "; CGRAM 0x08: Щ, 0x09: и, 0x0A: д\r\n" + Line(kShcha) + Line(kI) + Line(kDe) +
           "; Щи „да“ \r\n" + Line({0x08, 0x09, 0x20, 0x22, 0x0A, 0x61, 0x22, 0x20}) +
           "; CGRAM 0x09: и, 0x0A: д, 0x0B: щ\r\n" + Line(kI) + Line(kDe) + Line(kShchaSmall) +
           "; да, щи! \r\n" + Line({0x0A, 0x61, 0x2C, 0x20, 0x0B, 0x09, 0x21, 0x20}) +
           "; и да    \r\n" + Line({0x09, 0x20, 0x0A, 0x61, 0x20, 0x20, 0x20, 0x20}),
       Record({&kShcha, &kI, &kDe, nullptr, nullptr, nullptr, nullptr, nullptr},
              "\x08\x09\x20\x22\x0A\x61\x22\x20") +
           Record({nullptr, &kI, &kDe, &kShchaSmall, nullptr, nullptr, nullptr, nullptr},
                  "\x0A\x61\x2C\x20\x0B\x09\x21\x20") +
           Record({nullptr, &kI, &kDe, nullptr, nullptr, nullptr, nullptr, nullptr},
                  "\x09\x20\x0A\x61    ")},
  };
  for (const Case& c : cases) {
    const ProfileRecord profile = DtOnA00(c.lookAlikes);
    const std::string utf8 = Utf32ToUtf8(kText);
    // Characters give UTF-8 lines, Windows-1251 bytes Windows-1251 lines, through
    // ConvertText as through its own entry.
    EXPECT_EQ(ConvertText(kText, profile), c.lines) << c.lookAlikes;
    EXPECT_EQ(ConvertCgramText(kText, profile), c.lines) << c.lookAlikes;
    EXPECT_EQ(ConvertText(W(utf8.c_str()), profile), W(c.lines.c_str())) << c.lookAlikes;
    EXPECT_EQ(ConvertText(EngineText::FromUtf8(utf8), profile), W(c.lines.c_str()));

    const CgramSetup setup = CgramSetupOf(profile);
    EXPECT_EQ(CgramRecordSize(setup.geometry), 72u);
    EXPECT_EQ(MakeCgramRecords(EngineText::FromUtf8(utf8), setup), c.records) << c.lookAlikes;
    EXPECT_EQ(MakeCgramRecords(EngineText::FromCharacters(std::u32string(kText)), setup),
              c.records);
  }
}

class StringSink : public OutputSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

class StopAfter : public ConvertObserver {
 public:
  explicit StopAfter(int looks) : m_looks(looks) {}
  void SetMaximum(std::size_t maximum) override { this->maximum = maximum; }
  void SetValue(std::size_t value) override { values.push_back(value); }
  bool WantsToStop() override { return --m_looks < 0; }
  std::chrono::milliseconds PollInterval() const override { return {}; }
  std::size_t maximum = 0;
  std::vector<std::size_t> values;

 private:
  int m_looks;
};

// The profile's own format throughout: rows cut as it cuts text, no comment
// lines without a comment start, the byte-count note, codes 0x00-0x07, any
// size; a sink gets the same lines; Cancel leaves the lines written so far.
TEST(CgramOutput, RowsInTheProfilesFormat) {
  ProfileRecord p;
  p.Directive = ".db ";
  p.SI = kDecimal;
  p.RazdelitelData = ",";
  p.CountByte = 3;
  p.Rom = CharacterRom::A00;
  p.Cgram = 1;
  p.CgramCodes = 0;
  p.Size = {8, 2};
  const std::u32string text = U"Б1";
  const std::string glyph = "31,17,16,30,17,17,30,0";  // Б
  EXPECT_EQ(ConvertText(std::u32string_view(text), p),
            ".db " + glyph + "\r\n.db 0,49,32\r\n.db 32,32,32\r\n.db 32,32\r\n" +
                ".db 32,32,32\r\n.db 32,32,32\r\n.db 32,32\r\n");
  p.Comment = "' ";
  p.CountByteToComment = 1;
  p.CountByte = 0;
  EXPECT_EQ(ConvertText(std::u32string_view(text), p),
            "' CGRAM 0x00: Б\r\n.db " + glyph + " ' 8\r\n.db 0,49,32,32,32,32,32,32 ' 8\r\n" +
                ".db 32,32,32,32,32,32,32,32 ' 8\r\n");

  // Many screens: to a sink, and stopped.
  std::u32string longText;
  for (int i = 0; i < 3000; ++i) longText += U"Жёлтый щит\r\n";
  p.Size = {16, 2};
  const std::string whole = ConvertText(std::u32string_view(longText), p);
  StringSink sink;
  ConvertTextTo(std::u32string_view(longText), p, sink);
  EXPECT_EQ(sink.text, whole);
  StringSink owned;
  ConvertOwnedTextTo(EngineText::FromCharacters(longText), p, owned);
  EXPECT_EQ(owned.text, W(whole.c_str()));
  StopAfter observer(3);
  const std::string stopped = ConvertText(std::u32string_view(longText), p, &observer);
  EXPECT_EQ(observer.maximum, longText.size());
  EXPECT_GE(observer.values.size(), 4u);
  EXPECT_LT(stopped.size(), whole.size() / 10);
  EXPECT_TRUE(whole.starts_with(stopped));
  EXPECT_TRUE(stopped.ends_with("\r\n"));
}

TEST(CgramOutput, ReportsOfTheScreensThatOverflow) {
  ProfileRecord p = DtOnA00(false);
  p.Size = {16, 1};
  const std::u32string text = U"Щи да\r\nбвгджзийлп\r\nфы";
  std::vector<CgramReport> reports;
  ConvertText(std::u32string_view(text), p, nullptr, &reports);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(CgramMessage(reports[0]),
            "Экран 2: нужно своих знаков 10, помещается 8; заменены: л→ﾊ, п→n");
  std::vector<CgramReport> fromRecords;
  MakeCgramRecords(EngineText::FromCharacters(text), CgramSetupOf(p), &fromRecords);
  EXPECT_EQ(fromRecords, reports);
  // Without the option the lines are those of the plain run, and nothing is reported.
  p.Cgram = 0;
  reports.clear();
  ConvertText(std::u32string_view(text), p, nullptr, &reports);
  EXPECT_TRUE(reports.empty());
}

TEST(CgramRecords, PlacedOnWholeRecords) {
  using testing::ReadBytes;
  using testing::WriteBytes;
  testing::TempDir dir;
  const std::string path = dir.Path("screens.bin");
  const CgramSetup setup{CharacterMap(CharacterRom::A00, false, true), {8, 1}, 8};
  const std::string records = MakeCgramRecords(EngineText::FromCharacters(U"Б\nГ"), setup);
  ASSERT_EQ(records.size(), 2 * 72u);
  const std::string old(144, 'x');
  ASSERT_TRUE(WriteBytes(path, old));

  testing::RecordingPrompter prompter;
  // The outcome shown through the prompter after each run, as the BIN dialog shows it.
  const auto shown = [&](const Status& outcome) {
    prompter.Show(outcome ? BinWrittenMessage() : outcome.Reason());
    return outcome.Ok();
  };
  const auto shownIfRefused = [&](Result<std::string> prepared) {
    if (!prepared) prompter.Show(prepared.Reason());
    return prepared;
  };
  EXPECT_FALSE(shown(WriteCgramRecords(path, records, setup.geometry, kBinExistingFile,
                                       kBinAtAddress, kBinInsert, "100", prompter)));
  const Message refusal = {"Предупреждение",
                           "Начальный адрес 100 не совпадает с началом записи экрана.\n"
                           "Запись экрана занимает 72 байт: укажите адрес, кратный 72, "
                           "например 72 или 144.",
                           MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
  EXPECT_EQ(prompter.shown, std::vector<Message>{refusal});
  EXPECT_EQ(ReadBytes(path), old);

  prompter.shown.clear();
  EXPECT_TRUE(shown(WriteCgramRecords(path, records, setup.geometry, kBinExistingFile,
                                      kBinAtAddress, kBinInsert, "72", prompter)));
  EXPECT_EQ(ReadBytes(path), old.substr(0, 72) + records + old.substr(72));
  EXPECT_TRUE(shown(WriteCgramRecords(path, records.substr(0, 72), setup.geometry, kBinExistingFile,
                                      kBinAtAddress, kBinReplace, " 0", prompter)));
  EXPECT_EQ(ReadBytes(path), records.substr(0, 72) + records + old.substr(72));
  EXPECT_TRUE(shown(WriteCgramRecords(path, records, setup.geometry, kBinNewFile, kBinAtAddress,
                                      kBinInsert, "5", prompter)));
  EXPECT_EQ(ReadBytes(path), records);
  EXPECT_EQ(prompter.shown.size(), 3u);  // three successes

  // The dialog's checks, and a text without a character to show.
  prompter.shown.clear();
  EXPECT_FALSE(shownIfRefused(PrepareCgramRecords("", EngineText::FromCharacters(U"Б"), setup)));
  EXPECT_FALSE(shownIfRefused(PrepareCgramRecords(path, EngineText(), setup)));
  const Result<std::string> nothing =
      shownIfRefused(PrepareCgramRecords(path, EngineText::FromCharacters(U"€\r\n"), setup));
  ASSERT_TRUE(nothing);
  EXPECT_TRUE(nothing->empty());
  EXPECT_FALSE(shown(WriteCgramRecords(path, *nothing, setup.geometry, kBinNewFile, kBinAtEnd,
                                       kBinInsert, "", prompter)));
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[0].text, "Не указан путь к файлу!");
  EXPECT_EQ(prompter.shown[1].text, "Отсутствует преобразуемый текст");
  EXPECT_EQ(prompter.shown[2].text, "Не удалось выполнить преобразование!");
  EXPECT_EQ(ReadBytes(path), records);
}

}  // namespace
}  // namespace zeltrix
