// zeltrix-cli for the three character ROMs: --rom, the look-alike options and
// the profile's ROM on convert, bin and preview; output encodings that cannot
// hold a character; probe and preview --codes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "core/io/text_encoding.h"
#include "core/lcd/lcd_screen.h"
#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::W;
using testing::WriteBytes;
using Result = testing::CliResult;

class CliRomTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    return m_cli.Run(args, input);
  }
  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

std::string Hex(int code) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", code);
  return text;
}

// A screen as the PBM that preview writes.
std::string Pbm(const ScreenPage& page, LcdGeometry geometry, CharacterRom rom) {
  const DotBitmap bitmap = LcdScreen(geometry, rom).Render(page);
  std::string out =
      "P1\n" + std::to_string(bitmap.width) + " " + std::to_string(bitmap.height) + "\n";
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) out.push_back(bitmap.Lit(x, y) ? '1' : '0');
    out.push_back('\n');
  }
  return out;
}

ScreenPage Rows(const std::vector<std::string>& rows) {
  ScreenPage page;
  for (const std::string& codes : rows) page.rows.push_back({0, 0, 0, codes, 0, 0});
  return page;
}

constexpr int kNone = -1;
struct Mapped {
  const char* utf8;
  // Cyrillic; A00; A00 with look-alikes; A02; A02 with look-alikes.
  std::array<int, 5> codes;
};
// Latin, Russian, German, katakana, Greek and symbols.
constexpr Mapped kMixed[] = {
    {"A", {0x41, 0x41, 0x41, 0x41, 0x41}},    {"b", {0x62, 0x62, 0x62, 0x62, 0x62}},
    {" ", {0x20, 0x20, 0x20, 0x20, 0x20}},    {"П", {0xA8, kNone, kNone, 0x87, 0x87}},
    {"р", {0x70, kNone, 0x70, kNone, 0x70}},  {"Ä", {kNone, kNone, kNone, 0xC4, 0xC4}},
    {"ß", {kNone, kNone, 0xE2, 0xDF, 0xDF}},  {"ｱ", {kNone, 0xB1, 0xB1, kNone, kNone}},
    {"α", {kNone, 0xE0, 0xE0, 0x90, 0x90}},   {"→", {kNone, 0x7E, 0x7E, 0x1A, 0x1A}},
    {"—", {kNone, kNone, 0x2D, kNone, 0x2D}},
};

// One display reached every way the command line gives: options alone, a
// profile's stored keys, and options over another profile's.
TEST_F(CliRomTest, MixedTextOnEveryRomThroughConvertBinAndPreview) {
  const std::string format =
      "Ost1 = 0\r\nOst2 = 0\r\nSI = 2\r\nRazdelitelData = [String],[/String]\r\nComment = "
      "[String]; [/String]\r\n"
      "CommentState = 1\r\n";
  WriteBytes(Path("roms.prof"), "[Cyr]\r\n" + format + "[A00 look]\r\n" + format +
                                    "Rom = a00\r\nLookAlikes = 1\r\n[A02]\r\n" + format +
                                    "Rom = A02\r\n");
  const struct {
    std::vector<std::string> args;
    int display;
  } ways[] = {
      {{}, 0},
      {{"--rom", "CYRILLIC", "--look-alikes"}, 0},
      {{"--rom", "a00"}, 1},
      {{"--rom", "a00", "--look-alikes"}, 2},
      {{"--rom", "a02"}, 3},
      {{"--rom", "A02", "--look-alikes"}, 4},
      {{"-p", "a00 LOOK"}, 2},
      {{"-p", "A00 look", "--no-look-alikes"}, 1},
      {{"-p", "A02"}, 3},
      {{"-p", "A02", "--look-alikes"}, 4},
      {{"-p", "A02", "--rom", "cyrillic"}, 0},
      {{"-p", "Cyr", "--rom", "a02", "--look-alikes"}, 4},
  };
  std::string text;
  for (const Mapped& m : kMixed) text += m.utf8;
  for (const auto& way : ways) {
    std::string codes;
    std::string data;
    for (const Mapped& m : kMixed) {
      const int code = m.codes[static_cast<std::size_t>(way.display)];
      if (code == kNone) continue;
      codes.push_back(static_cast<char>(code));
      data += (data.empty() ? "" : ",") + Hex(code);
    }
    const std::string shown = ::testing::PrintToString(way.args);
    const auto with = [&](std::vector<std::string> args) {
      args.insert(args.begin() + 1, {"--profiles", "roms.prof"});
      args.insert(args.end(), way.args.begin(), way.args.end());
      return args;
    };
    const Result lines = Run(with({"convert"}), text);
    EXPECT_EQ(lines.status, 0) << shown << lines.err;
    EXPECT_EQ(lines.out, "; " + text + "\r\n" + data + "\r\n") << shown;

    const Result bin = Run(with({"bin", "-o", "-"}), text);
    EXPECT_EQ(bin.status, 0) << shown << bin.err;
    EXPECT_EQ(bin.out, codes) << shown;

    const CharacterRom rom = way.display == 0   ? CharacterRom::Cyrillic
                             : way.display <= 2 ? CharacterRom::A00
                                                : CharacterRom::A02;
    const Result screen = Run(with({"preview", "--size", "20x2", "--format", "pbm"}), text);
    EXPECT_EQ(screen.status, 0) << shown << screen.err;
    EXPECT_EQ(screen.out, Pbm(Rows({codes}), {20, 2}, rom)) << shown;
  }
  // Without -p and --profiles, bin and preview need no profile file: the
  // Cyrillic ROM, as before.
  EXPECT_EQ(Run({"bin", "-o", "-", "--profiles", "none.prof"}, "A").status, 1);
  EXPECT_EQ(Run({"bin", "-o", "-"}, text).out, "Ab \xA8\x70");
}

TEST_F(CliRomTest, MistakesInTheNewOptions) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"convert", "--rom", "a01"},
       "неизвестное ПЗУ \"a01\" у параметра --rom (можно: cyrillic, a00, a02)"},
      {{"bin", "-o", "out.bin", "--rom", ""},
       "неизвестное ПЗУ \"\" у параметра --rom (можно: cyrillic, a00, a02)"},
      {{"preview", "--rom", "кириллица"},
       "неизвестное ПЗУ \"кириллица\" у параметра --rom (можно: cyrillic, a00, a02)"},
      {{"preview", "--rom"}, "не указано значение параметра \"--rom\""},
      {{"convert", "--look-alikes", "--no-look-alikes"},
       "параметры --look-alikes и --no-look-alikes нельзя указывать вместе"},
      {{"preview", "--codes", "0x20-0x100"},
       "неверные коды \"0x20-0x100\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например "
       "0x20-0xFF)"},
      {{"preview", "--codes", "0xFF-0x20"},
       "неверные коды \"0xFF-0x20\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например "
       "0x20-0xFF)"},
      {{"preview", "--codes", "0x2G"},
       "неверные коды \"0x2G\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например "
       "0x20-0xFF)"},
      {{"preview", "--codes", "32-"},
       "неверные коды \"32-\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например "
       "0x20-0xFF)"},
      {{"preview", "--codes", "65", "in.txt"}, "параметр --codes нельзя указывать вместе с ВХОДОМ"},
      {{"probe", "in.txt"}, "лишний аргумент \"in.txt\""},
      {{"probe", "--bin", "x.bin", "-p", "A"},
       "параметр --bin нельзя указывать вместе с -p, --profiles и -o"},
      {{"probe", "--bin", "x.bin", "-o", "x.asm"},
       "параметр --bin нельзя указывать вместе с -p, --profiles и -o"},
      {{"probe", "--bin", ""}, "не указан двоичный файл (--bin ФАЙЛ)"},
      {{"probe", "--size", "17x2"},
       "неверный размер экрана \"17x2\" у параметра --size (можно: 8x1, 8x2, 16x1, 16x2, 16x4, "
       "20x2, 20x4, 24x2, 40x2, 40x4)"},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.args, "A");
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.err, "zeltrix-cli: " + c.err + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.bin")));
  // A failed profile is a failure, as for convert.
  const Result missing = Run({"preview", "-p", "Нет"}, "A");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "zeltrix-cli: Профиль \"Нет\" не найден!\n");
}

// Lines that the output's encoding cannot hold are not written at all: the
// message names the character and its line. UTF-8 holds every character.
TEST_F(CliRomTest, OutputEncodingThatLacksACharacterWritesNothing) {
  const std::string refusal = " вывода; укажите --output-encoding utf-8\n";
  // Over a megabyte of text and of lines before the character: the text is
  // read in pieces, and standard output gets none of the lines.
  std::string many;
  std::string manyLines;
  for (int i = 0; i < 300000; ++i) {
    many += "Яb\n";
    manyLines += "; Яb \r\n    Dt    0xB1, 0x62, 0x20\r\n";
  }
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string err;  // empty: succeeds
    std::string out;
  } cases[] = {
      {{"--profiles", "lines.prof", "--output-encoding", "cp1251"},
       "Ab\nStraße\n",
       "zeltrix-cli: кодировка Windows-1251 не может записать символ «ß» (U+00DF) в строке 3" +
           refusal,
       ""},
      {{"--profiles", "lines.prof", "--output-encoding", "cp1251", "--rom", "a02"},
       many + "ß",
       "zeltrix-cli: кодировка Windows-1251 не может записать символ «ß» (U+00DF) в строке 600001" +
           refusal,
       ""},
      {{"--profiles", "lines.prof"}, many + "ß", "", manyLines + "; ß\r\n"},
      {{"--profiles", "lines.prof", "--output-encoding", "koi8-r"},
       W("«Да»"),
       "zeltrix-cli: кодировка KOI8-R не может записать символ ««» (U+00AB) в строке 1" + refusal,
       ""},
      {{"--output-encoding", "cp866", "-p", "mikrobasic for pic", "--rom", "a00"},
       "ｱ",
       "zeltrix-cli: кодировка CP866 не может записать символ «ｱ» (U+FF71) в строке 1" + refusal,
       ""},
      {{"--profiles", "lines.prof", "--output-encoding", "utf-8", "--rom", "a02"},
       "Straße",
       "",
       "; Straße\r\n    Dt    0x53, 0x74, 0x72, 0x61, 0xDF, 0x65\r\n"},
      {{"--profiles", "lines.prof", "--rom", "a02"},
       "Straße",
       "",
       "; Straße\r\n    Dt    0x53, 0x74, 0x72, 0x61, 0xDF, 0x65\r\n"},
      // Characters beyond Windows-1251 in KOI8-R and CP866 texts reach the
      // output whole, in the input's encoding.
      {{"--profiles", "lines.prof", "--encoding", "koi8-r"},
       "\x80\xE1",
       "",
       "; \x80\xE1\r\n    Dt    0x41\r\n"},
      {{"--profiles", "lines.prof", "--encoding", "cp866", "--output-encoding", "utf-8"},
       "\xB0\x80",
       "",
       "; ░А\r\n    Dt    0x41\r\n"},
      // A character that no line holds is no refusal: here no comment lines.
      {{"--output-encoding", "cp1251", "--profiles", "bare.prof", "--rom", "a02"},
       "Aß",
       "",
       "  db  0x41, 0xDF\r\n"},
  };
  const std::string data = "StartData = 0x\r\nRazdelitelData = [String], [/String]\r\n";
  WriteBytes(Path("bare.prof"), "[Bare]\r\nOst1 = 2\r\nDirective = db\r\nOst2 = 2\r\n" + data);
  WriteBytes(Path("lines.prof"), "[Lines]\r\nOst1 = 4\r\nDirective = Dt\r\nOst2 = 4\r\n" + data +
                                     "Comment = [String]; [/String]\r\nCommentState = 1\r\n");
  for (const auto& c : cases) {
    for (const bool toFile : {false, true}) {
      std::vector<std::string> args = {"convert"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      if (toFile) args.insert(args.end(), {"-o", "out.asm"});
      WriteBytes(Path("out.asm"), "previous");
      const Result r = Run(args, c.input);
      const std::string shown = ::testing::PrintToString(args);
      EXPECT_EQ(r.status, c.err.empty() ? 0 : 1) << shown;
      EXPECT_EQ(r.err, c.err) << shown;
      // Compared whole but not printed: some outputs are megabytes.
      EXPECT_TRUE(r.out == (toFile ? "" : c.out)) << shown << r.out.size() << " bytes";
      EXPECT_EQ(ReadBytes(Path("out.asm")), toFile && c.err.empty() ? c.out : "previous") << shown;
    }
  }
}

// Every code from 0x20 to 0xFF, a display row at a time, as data lines and
// as a BIN file; preview --codes shows the same rows for a ROM.
TEST_F(CliRomTest, ProbeWritesEveryCodeRowByRowAndPreviewShowsThem) {
  for (const LcdGeometry size : {LcdGeometry{16, 2}, LcdGeometry{20, 4}, LcdGeometry{40, 2}}) {
    const std::string name = GeometryName(size);
    std::vector<std::string> rows;
    std::string lines;
    for (int code = 0x20; code <= 0xFF; code += size.columns) {
      std::string row;
      std::string data;
      for (int c = code; c < code + size.columns; ++c) {
        row.push_back(static_cast<char>(c <= 0xFF ? c : 0x20));
        data += (data.empty() ? "" : ", ") + std::string("0x") + Hex(c <= 0xFF ? c : 0x20);
      }
      rows.push_back(row);
      lines += "; 0x" + Hex(code) + "\r\n    Dt    " + data + "\r\n";
    }
    const Result probe = Run({"probe", "--size", name});
    EXPECT_EQ(probe.status, 0) << probe.err;
    EXPECT_EQ(probe.out, lines) << name;
    ASSERT_EQ(Run({"probe", "--size", name, "--bin", "probe.bin"}).status, 0);
    std::string bytes;
    for (const std::string& row : rows) bytes += row;
    EXPECT_EQ(ReadBytes(Path("probe.bin")), bytes) << name;
    EXPECT_EQ(bytes.size() % static_cast<std::size_t>(size.columns), 0u);

    // The last screen of the rows, on each ROM.
    const std::size_t screens = (rows.size() + size.rows - 1) / size.rows;
    const std::vector<std::string> last(rows.begin() + (screens - 1) * size.rows, rows.end());
    for (const CharacterRom rom : kCharacterRoms) {
      const Result screen =
          Run({"preview", "--codes", "0x20-0xff", "--size", name, "--page", std::to_string(screens),
               "--format", "pbm", "--rom", std::string(RomName(rom))});
      EXPECT_EQ(screen.status, 0) << screen.err;
      EXPECT_EQ(screen.out, Pbm(Rows(last), size, rom)) << name << " " << RomName(rom);
    }
    const Result past = Run(
        {"preview", "--codes", "32-255", "--size", name, "--page", std::to_string(screens + 1)});
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.err, "zeltrix-cli: экрана " + std::to_string(screens + 1) +
                            " нет: коды занимают экранов: " + std::to_string(screens) + "\n");
  }
  // The data lines of the profile named, without comment lines when it has no comment start.
  WriteBytes(Path("bare.prof"),
             "[Bare]\r\nOst1 = 0\r\nOst2 = 0\r\nSI = 1\r\nRazdelitelData = [String],[/String]\r\n");
  const Result bare = Run({"probe", "--size", "8x1", "--profiles", "bare.prof"});
  EXPECT_EQ(bare.out.substr(0, 31), "32,33,34,35,36,37,38,39\r\n40,41,");
  EXPECT_EQ(Run({"preview", "--codes", "0x41", "--size", "8x1"}).out,
            Run({"preview", "--size", "8x1"}, "A").out);
}

}  // namespace
}  // namespace zeltrix
