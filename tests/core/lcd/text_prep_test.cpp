#include "core/lcd/text_prep.h"

#include <gtest/gtest.h>

#include <vector>

namespace zeltrix {
namespace {

struct Case {
  std::string input;
  std::string expected;
};

TEST(BreaksToSpaces, PairsAndSingleBreaks) {
  const Case cases[] = {
      {"A\r\nB", "A B"},    {"A\n\rB", "A B"},  {"A\r\r\nB", "A  B"},   {"A\nB\r\nC", "A B C"},
      {"A\rB\nC", "A B C"}, {"A\n\nB", "A  B"}, {"A\r\n\r\nB", "A  B"}, {"\r\n", " "},
      {"AB\tC", "AB\tC"},   {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BreaksToSpaces(c.input), c.expected) << c.input;
}

TEST(BreaksToSpaces, TabsToo) { EXPECT_EQ(TabsAndBreaksToSpaces("a\tb\r\nc\n\rd\t"), "a b c d "); }

struct CleanCase {
  std::string input;
  int deleteSpace, countSpace, deleteSumbolError;
  std::string expected;
};

TEST(CleanText, RemovalRules) {
  const CleanCase cases[] = {
      {"a     b", 1, 2, 0, "a  b"},
      {"a     b     c", 1, 1, 0, "a b c"},
      {"x{y}", 0, 2, 1, "xy"},
      {"x\ty", 0, 2, 1, "x y"},
      {"x\ty", 0, 2, 0, "x\ty"},
      {"a\r\nb\r\n", 0, 2, 1, "a\nb\n"},
      {"a\fb", 0, 2, 1, "a\fb"},
      // A dropped character lengthens the run of spaces it stands in.
      {"a \x88  b", 1, 2, 1, "a b"},
      {"\x88\x88\x88", 0, 2, 1, ""},
      // Out-of-range parameters leave the text alone, whatever the flags say.
      {"x{  }    y", 1, 0, 1, "x{  }    y"},
      {"x{  }    y", 1, 200, 1, "x{  }    y"},
      {"x{ y", 2, 2, 1, "x{ y"},
      {"x{ y", 0, 2, 2, "x{ y"},
      {"", 1, 2, 1, ""},
      // A tab that became a space counts in the run.
      {"a \t \tb", 1, 2, 1, "a  b"},
  };
  for (const CleanCase& c : cases) {
    EXPECT_EQ(CleanText(c.input, c.deleteSpace, c.countSpace, c.deleteSumbolError), c.expected)
        << c.input << " / " << c.deleteSpace << "," << c.countSpace << "," << c.deleteSumbolError;
  }
}

TEST(FlattenChunk, BreaksAndTabs) {
  const Case cases[] = {
      {"AB\r\n", "AB "}, {"AB\r", "AB "}, {"A\tB", "A B"},    {"A\rB\n", "AB "},
      {"AB\n", "AB "},   {"", ""},        {"A\r\rB", "A  B"},
  };
  for (const Case& c : cases) EXPECT_EQ(FlattenChunk(c.input), c.expected) << c.input;
}

TEST(WordEnd, RunsThroughTheBlankAfterTheWordThatCrossesTheLimit) {
  const std::string text = "HELLO WORLD THIS IS A TEST";
  EXPECT_EQ(WordEnd(text, 1, 16), "HELLO WORLD THIS ");
  EXPECT_EQ(WordEnd(text, 1, 3), "HELLO ");
  EXPECT_EQ(WordEnd(text, 1, 5), "HELLO ");
  EXPECT_EQ(WordEnd(text, 7, 100), "WORLD THIS IS A TEST");
  EXPECT_EQ(WordEnd("ABCDEFGHIJ", 1, 4), "ABCDEFGHIJ");
  EXPECT_EQ(WordEnd("AB\tCD", 1, 1), "AB\t");
  EXPECT_EQ(WordEnd("AB", 5, 1), "");
}

std::vector<Chunk> AllChunks(const std::string& text, int countByte, int wrap) {
  std::vector<Chunk> chunks;
  for (std::size_t start = 1; start <= text.size();) {
    Chunk chunk = NextChunk(text, start, countByte, wrap);
    start += chunk.consumed;
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

std::vector<std::string> Texts(const std::vector<Chunk>& chunks) {
  std::vector<std::string> texts;
  for (const Chunk& c : chunks) texts.push_back(c.text);
  return texts;
}

TEST(NextChunk, FixedWidth) {
  const auto chunks = AllChunks("ABCDEFGHIJKLMNOPQRST", 8, 0);
  EXPECT_EQ(Texts(chunks), (std::vector<std::string>{"ABCDEFGH", "IJKLMNOP", "QRST"}));
}

TEST(NextChunk, LinesWithTheirBreaks) {
  const auto chunks = AllChunks("AB\r\nCD\r\nEF", 0, 0);
  EXPECT_EQ(Texts(chunks), (std::vector<std::string>{"AB ", "CD ", "EF"}));
  EXPECT_EQ(chunks[0].consumed, 4u);
  EXPECT_EQ(chunks[1].consumed, 4u);
  EXPECT_EQ(chunks[2].consumed, 2u);
}

TEST(NextChunk, TextEndingWithABreakGivesNoEmptyChunk) {
  EXPECT_EQ(Texts(AllChunks("AB\r\nCD\r\n", 0, 0)), (std::vector<std::string>{"AB ", "CD "}));
  EXPECT_EQ(Texts(AllChunks("AB\nCD\n", 0, 0)), (std::vector<std::string>{"AB ", "CD "}));
}

TEST(NextChunk, AnLfAnywhereLaterWinsOverAnEarlierCr) {
  // The single CR is swallowed by the chunk that runs to the first LF.
  const auto chunks = AllChunks("A\rB\nC\rD", 0, 0);
  EXPECT_EQ(Texts(chunks), (std::vector<std::string>{"AB ", "C ", "D"}));
}

TEST(NextChunk, CrOnlyLines) {
  EXPECT_EQ(Texts(AllChunks("AB\rCD\rE", 0, 0)), (std::vector<std::string>{"AB ", "CD ", "E"}));
}

TEST(NextChunk, WordWrap) {
  const auto chunks = AllChunks("HELLO WORLD THIS IS A TEST", 8, 1);
  EXPECT_EQ(Texts(chunks), (std::vector<std::string>{"HELLO WORLD ", "THIS IS A ", "TEST"}));
}

TEST(NextChunk, WordWrapKeepsALongWordWhole) {
  EXPECT_EQ(Texts(AllChunks("ABCDEFGHIJKLMNOP QR", 4, 1)),
            (std::vector<std::string>{"ABCDEFGHIJKLMNOP ", "QR"}));
}

TEST(NextChunk, StartPastTheEndIsEmpty) {
  const Chunk chunk = NextChunk("AB", 3, 8, 0);
  EXPECT_EQ(chunk.text, "");
  EXPECT_EQ(chunk.consumed, 0u);
  EXPECT_EQ(NextChunk("AB", 2, 8, 0).text, "B");
}

TEST(ChunkCutter, ManyLinesStayLinear) {
  // Only CR breaks: a naive search for an LF from every line would rescan the rest.
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "line\r";
  ChunkCutter cutter(text, 0, 0);
  std::size_t pos = 0, chunks = 0;
  while (pos < text.size()) {
    pos += cutter.Length(pos);
    ++chunks;
  }
  EXPECT_EQ(chunks, 200000u);
}

}  // namespace
}  // namespace zeltrix
