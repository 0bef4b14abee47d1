#include "core/lcd/formatter.h"

#include <gtest/gtest.h>

#include "core/io/single_byte_codec.h"
#include "tests/support/cp1251_text.h"

namespace zeltrix {
namespace {

using testing::W;

ProfileRecord DtForPic() {
  ProfileRecord p;
  p.Ost1 = 4;
  p.Ost2 = 4;
  p.Directive = "Dt";
  p.StartData = "0x";
  p.SI = kHexadecimal;
  p.RazdelitelData = ", ";
  p.Comment = "; ";
  p.CommentState = 1;
  p.CountByte = 8;
  p.CountSpace = 2;
  return p;
}

ProfileRecord MikroBasic() {
  ProfileRecord p;
  p.Ost1 = 1;
  p.Ost2 = 4;
  p.Directive = "const";
  p.StartDataBlok = "As Byte[] = (";
  p.EndDataBlok = " )";
  p.StartData = "$";
  p.SI = kHexadecimal;
  p.RazdelitelData = ", ";
  p.Comment = "' ";
  p.CommentState = 1;
  p.CountByte = 100;
  p.CountByteToComment = 1;
  p.CountSpace = 2;
  return p;
}

// A bare profile: no head, no comment, decimal data separated by commas.
ProfileRecord Bare() {
  ProfileRecord p;
  p.SI = kDecimal;
  p.RazdelitelData = ",";
  p.CountByte = 8;
  return p;
}

TEST(ConvertText, WorkedExampleDt) {
  EXPECT_EQ(ConvertText(W("Привет"), DtForPic()),
            W("; Привет\r\n") + "    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n");
}

TEST(ConvertText, WorkedExampleMikroBasic) {
  EXPECT_EQ(ConvertText(W("Привет"), MikroBasic()),
            W("' Привет\r\n") + " const    As Byte[] = ($A8, $70, $B8, $B3, $65, $BF ) ' 6\r\n");
}

TEST(ConvertText, EightCharactersALineWithCrLfTurnedIntoSpaces) {
  EXPECT_EQ(ConvertText("ABCDEFGH\r\nIJ", DtForPic()),
            "; ABCDEFGH\r\n"
            "    Dt    0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48\r\n"
            ";  IJ\r\n"
            "    Dt    0x20, 0x49, 0x4A\r\n");
}

TEST(ConvertText, NumberBases) {
  struct Row {
    std::int32_t base;
    const char* text;
    std::string expected;
  };
  const Row rows[] = {
      {kBinary, "A", "01000001\r\n"},
      {kDecimal, "A", "65\r\n"},
      {kDecimal, "Я", "177\r\n"},
      {kHexadecimal, "A", "41\r\n"},
      {kHexadecimal, "Я", "B1\r\n"},
      {kHexadecimal, "€", ""},
      {7, "AB", ",\r\n"},
  };
  for (const Row& row : rows) {
    ProfileRecord p = Bare();
    p.SI = row.base;
    EXPECT_EQ(ConvertText(W(row.text), p), row.expected) << row.base << " " << row.text;
  }
}

TEST(ConvertText, EmptyHeadStillWritesTheFirstDatum) {
  EXPECT_EQ(ConvertText("AB", Bare()), "65,66\r\n");
}

TEST(ConvertText, CommentAndByteCountRules) {
  struct Row {
    const char* comment;
    std::uint8_t commentState;
    std::int32_t countToComment;
    std::string expected;
  };
  const Row rows[] = {
      {"", 1, 1, "65,66\r\n"},           {"; ", 0, 1, "65,66 ; 2\r\n"},
      {"; ", 1, 0, "; AB\r\n65,66\r\n"}, {"; ", 1, 1, "; AB\r\n65,66 ; 2\r\n"},
      {";", 1, 2, ";AB\r\n65,66\r\n"},
  };
  for (const Row& row : rows) {
    ProfileRecord p = Bare();
    p.Comment = row.comment;
    p.CommentState = row.commentState;
    p.CountByteToComment = row.countToComment;
    EXPECT_EQ(ConvertText("AB", p), row.expected) << row.comment << int(row.commentState);
  }
}

// The separator stands only between two data of a line, and a chunk without a
// datum gives no data line: an assembler refuses a trailing comma and a
// directive without data. The comment line of such a chunk stays.
TEST(ConvertText, SeparatorOnlyBetweenDataAndNoEmptyDataLines) {
  struct Row {
    const char* text;
    std::string dt;          // "ASM — DT For PIC"
    std::string mikroBasic;  // "MikroBasic For PIC"
  };
  const Row rows[] = {
      {"A€", "; A€\r\n    Dt    0x41\r\n", "' A€\r\n const    As Byte[] = ($41 ) ' 1\r\n"},
      {"€{A~°B}", "; €{A~°B}\r\n    Dt    0x41, 0x42\r\n",
       "' €{A~°B}\r\n const    As Byte[] = ($41, $42 ) ' 2\r\n"},
      {"€€", "; €€\r\n", "' €€\r\n"},
      // Chunks of 8: one of undisplayable characters alone between two others.
      {"ABCDEFG€{{{{{{{{Z",
       "; ABCDEFG€\r\n    Dt    0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47\r\n"
       "; {{{{{{{{\r\n; Z\r\n    Dt    0x5A\r\n",
       "' ABCDEFG€{{{{{{{{Z\r\n const    As Byte[] = ($41, $42, $43, $44, $45, $46, $47, $5A ) ' "
       "8\r\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ConvertText(W(row.text), DtForPic()), W(row.dt.c_str())) << row.text;
    EXPECT_EQ(ConvertText(W(row.text), MikroBasic()), W(row.mikroBasic.c_str())) << row.text;
  }
  // Without comment lines a chunk without a datum leaves nothing at all.
  ProfileRecord p = Bare();
  p.EndDataBlok = "]";
  p.Comment = ";";
  p.CountByteToComment = 1;
  EXPECT_EQ(ConvertText("A\x88", p), "65] ;1\r\n");
  EXPECT_EQ(ConvertText("\x88\x88", p), "");
  EXPECT_EQ(ConvertText("\x88\x88\x88\x88\x88\x88\x88\x88"
                        "A\x88",
                        p),
            "65] ;1\r\n");
}

// Data longer than the table's slots, and data of kilobytes written from
// their pieces, come out as the short ones do.
TEST(ConvertText, LongDataFollowTheSameLayout) {
  for (const std::size_t length : {std::size_t{2}, std::size_t{40}, std::size_t{5000}}) {
    ProfileRecord p = Bare();
    p.CountByte = 3;
    p.StartData = std::string(length, '<');
    p.EndData = ">";
    p.Comment = ";";
    p.CountByteToComment = 1;
    const std::string d = p.StartData;
    EXPECT_EQ(ConvertText("\x88"
                          "A\x88"
                          "\x88\x88\x88"
                          "BC",
                          p),
              d + "65> ;1\r\n" + d + "66>," + d + "67> ;2\r\n")
        << length;
  }
}

TEST(ConvertText, WordWrapEndsLinesWithTheSpace) {
  ProfileRecord p = Bare();
  p.SI = kHexadecimal;
  p.CountByte = 4;
  p.PerenosPoSlovam = 1;
  EXPECT_EQ(ConvertText("AAAA BB CC", p), "41,41,41,41,20\r\n42,42,20,43,43\r\n");
}

TEST(ConvertText, LineModeGivesOneDataLinePerTextLine) {
  ProfileRecord p = Bare();
  p.SI = kHexadecimal;
  p.CountByte = 0;
  EXPECT_EQ(ConvertText("AB\r\nC\r\nD", p), "41,42,20\r\n43,20\r\n44\r\n");
  EXPECT_EQ(ConvertText("A\tB\n", p), "41,20,42,20\r\n");
}

TEST(ConvertText, LineModeWithRemovalKeepsLfLinesButJoinsCrLines) {
  ProfileRecord p = Bare();
  p.SI = kHexadecimal;
  p.CountByte = 0;
  p.DeleteSumbolError = 1;
  EXPECT_EQ(ConvertText("AB\r\nC", p), "41,42,20\r\n43\r\n");
  EXPECT_EQ(ConvertText("AB\rC\rD", p), "41,42,43,44\r\n");
}

TEST(ConvertText, RemovalOfSurplusSpaces) {
  ProfileRecord p = Bare();
  p.SI = kHexadecimal;
  p.DeleteSpace = 1;
  p.CountSpace = 1;
  EXPECT_EQ(ConvertText("A    B", p), "41,20,42\r\n");
}

TEST(ConvertText, TextsThatLeaveNothing) {
  ProfileRecord p = DtForPic();
  EXPECT_EQ(ConvertText("", p), "");
  p.DeleteSumbolError = 1;
  EXPECT_EQ(ConvertText("\x88{}~", p), "");
}

TEST(ConvertText, OnlyBreaksInLineMode) {
  ProfileRecord p = Bare();
  p.CountByte = 0;
  p.SI = kHexadecimal;
  EXPECT_EQ(ConvertText("\r\n\r\n", p), "20\r\n20\r\n");
}

TEST(ConvertText, ExtremeCountsAndLongLines) {
  const std::string longLine(10 * 1024 * 1024, 'A');
  for (const std::int32_t countByte : {0, 1, 1024}) {
    ProfileRecord p = Bare();
    p.SI = kHexadecimal;
    p.CountByte = countByte;
    const std::string out = ConvertText(longLine, p);
    const std::size_t lines = countByte == 0 ? 1 : longLine.size() / countByte;
    // Every character gives "41", every line a CR LF, and all but the last datum of a line a ",".
    EXPECT_EQ(out.size(), longLine.size() * 3 - lines + lines * 2) << countByte;
  }
}

TEST(ConvertText, IndentsStopAtTheirBound) {
  // A shared profile may hold any number: the output must stay in proportion to the text.
  struct Case {
    std::int32_t indent;
    std::size_t spaces;
  };
  for (const Case c : {Case{-5, 0}, Case{30, 30}, Case{kMaxIndent, 1024},
                       Case{kMaxIndent + 1, 1024}, Case{2147483647, 1024}}) {
    ProfileRecord p = Bare();
    p.Ost1 = c.indent;
    p.Ost2 = c.indent;
    p.Directive = "Dt";
    EXPECT_EQ(ConvertText(W("Привет"), p), std::string(c.spaces, ' ') + "Dt" +
                                               std::string(c.spaces, ' ') +
                                               "168,112,184,179,101,191\r\n")
        << c.indent;
  }
}

TEST(ConvertText, LongFieldsLeaveTheFastPath) {
  ProfileRecord p = Bare();
  p.StartData = std::string(40, '<');
  p.EndData = ">";
  EXPECT_EQ(ConvertText("AB", p), std::string(40, '<') + "65>," + std::string(40, '<') + "66>\r\n");
}

class ScriptedObserver : public ConvertObserver {
 public:
  explicit ScriptedObserver(int stopAtPoll) : m_stopAtPoll(stopAtPoll) {}
  void SetMaximum(std::size_t maximum) override { this->maximum = maximum; }
  void SetValue(std::size_t value) override { lastValue = value; }
  bool WantsToStop() override {
    ++polls;
    return polls == m_stopAtPoll;
  }
  // Looks at every chance, so that the test does not depend on the clock.
  std::chrono::milliseconds PollInterval() const override { return std::chrono::milliseconds(0); }
  std::size_t maximum = 0;
  std::size_t lastValue = 0;
  int polls = 0;

 private:
  int m_stopAtPoll;
};

std::string BigText() {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += W("Привет, мир! Hello world!\r\n");
  return text;
}

TEST(ConvertText, ObserverThatNeverStopsChangesNothing) {
  const std::string text = BigText();
  ScriptedObserver observer(-1);
  const std::string watched = ConvertText(text, DtForPic(), &observer);
  EXPECT_EQ(watched, ConvertText(text, DtForPic()));
  EXPECT_EQ(observer.maximum, text.size());
  EXPECT_GT(observer.polls, 0);
  EXPECT_LE(observer.lastValue, text.size() + 2);
}

TEST(ConvertText, StoppingKeepsThePartialOutput) {
  const std::string text = BigText();
  const std::string full = ConvertText(text, DtForPic());
  ScriptedObserver observer(1);
  const std::string partial = ConvertText(text, DtForPic(), &observer);
  ASSERT_LT(partial.size(), full.size());
  EXPECT_EQ(full.compare(0, partial.size(), partial), 0);
  // Stopped between two characters of a line: the line is left open after its last datum.
  const std::string lastLine = partial.substr(partial.rfind("\r\n") + 2);
  EXPECT_EQ(lastLine.substr(0, 10), "    Dt    ") << lastLine;
  EXPECT_TRUE(lastLine.size() >= 14 && lastLine.compare(lastLine.size() - 4, 2, "0x") == 0)
      << lastLine;
}

TEST(ConvertText, PreviewRunsIgnoreTheObserver) {
  ProfileRecord p = DtForPic();
  p.Preview = 1;
  ScriptedObserver observer(1);
  EXPECT_EQ(ConvertText(BigText(), p, &observer), ConvertText(BigText(), DtForPic()));
  EXPECT_EQ(observer.polls, 0);
  EXPECT_EQ(observer.maximum, 0u);
}

// Codes given as they are make the data line that a text of those codes
// makes, in every base and with the noted count; its comment line is not made.
TEST(CodesDataLine, IsTheDataLineOfATextWithThoseCodes) {
  ProfileRecord noted = Bare();
  noted.Comment = "; ";
  noted.CountByteToComment = 1;
  ProfileRecord binary = DtForPic();
  binary.SI = kBinary;
  for (const ProfileRecord& p : {DtForPic(), MikroBasic(), Bare(), noted, binary}) {
    std::string lines = ConvertText(W("Привет"), p);
    if (p.CommentState == 1) lines.erase(0, lines.find("\r\n") + 2);
    EXPECT_EQ(CodesDataLine("\xA8\x70\xB8\xB3\x65\xBF", p), lines) << p.Directive;
    EXPECT_EQ(CodesDataLine("", p), "");
  }
}

}  // namespace
}  // namespace zeltrix
