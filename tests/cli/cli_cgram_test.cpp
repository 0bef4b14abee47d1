// zeltrix-cli with custom characters: --cgram and its options on convert, bin
// and preview, the records of BIN and Intel HEX images, the lines about
// screens that lack slots, and the custom letters' dots.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "core/image/intel_hex.h"
#include "core/lcd/module_image.h"
#include "tests/support/cli_runner.h"
#include "tests/support/default_database.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
using Result = testing::CliResult;

class CliCgramTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    return m_cli.Run(args, input);
  }
  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

// Two 8x1 screens on A00: Д and м need slots on the first, Ж and к on the
// second (о and у are A00's own o and y); the dash has a look-alike only.
const std::string kTwoScreens = "Дом—\nЖук";
const std::vector<std::string> kA00 = {"--rom", "a00", "--cgram", "--size", "8x1"};

// The Cyrillic ROM's rows of the letters (its table in resources/lcd-fonts).
const std::string kDe = "\x0F\x05\x05\x05\x09\x11\x1F\x11";
const std::string kEm = std::string("\x00\x00\x11\x1B\x15\x11\x11\x00", 8);
const std::string kZhe = std::string("\x15\x15\x15\x0E\x15\x15\x15\x00", 8);
const std::string kKa = std::string("\x00\x00\x12\x14\x18\x14\x12\x00", 8);

// A profile like "ASM — DT For PIC" without a byte limit, so that a row is
// one data line, with the keys given.
std::string A00Group(const std::string& name, const std::string& keys) {
  return testing::DefaultGroup(name, "4", "Dt", "", "", "0x", "[String]; [/String]", "0", "0") +
         "Rom = A00\r\n" + keys;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST_F(CliCgramTest, ConvertWritesEachScreenAfterItsCgramBlock) {
  WriteBytes(
      Path("Profile.prof"),
      A00Group("A00", "Cgram = 1\r\nSize = 8x1\r\n") + A00Group("A00-plain", "") +
          A00Group("A00-0", "LookAlikes = 1\r\nCgram = 1\r\nCgramCodes = 0\r\nSize = 8x1\r\n"));
  const std::string de = "    Dt    0x0F, 0x05, 0x05, 0x05, 0x09, 0x11, 0x1F, 0x11";
  const std::string em = "    Dt    0x00, 0x00, 0x11, 0x1B, 0x15, 0x11, 0x11, 0x00";
  const std::string zhe = "    Dt    0x15, 0x15, 0x15, 0x0E, 0x15, 0x15, 0x15, 0x00";
  const std::string ka = "    Dt    0x00, 0x00, 0x12, 0x14, 0x18, 0x14, 0x12, 0x00";
  const std::string withoutLookAlikes =
      Lines({"; CGRAM 0x08: Д, 0x09: м", de, em, "; Дом     ",
             "    Dt    0x08, 0x6F, 0x09, 0x20, 0x20, 0x20, 0x20, 0x20", "; CGRAM 0x0A: Ж, 0x0B: к",
             zhe, ka, "; Жук     ", "    Dt    0x0A, 0x79, 0x0B, 0x20, 0x20, 0x20, 0x20, 0x20"});
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  const Case cases[] = {
      {kA00, withoutLookAlikes},
      // The dash takes a cell as the look-alike "-".
      {With(kA00, {"--look-alikes"}),
       Lines({"; CGRAM 0x08: Д, 0x09: м", de, em, "; Дом—    ",
              "    Dt    0x08, 0x6F, 0x09, 0x2D, 0x20, 0x20, 0x20, 0x20",
              "; CGRAM 0x0A: Ж, 0x0B: к", zhe, ka, "; Жук     ",
              "    Dt    0x0A, 0x79, 0x0B, 0x20, 0x20, 0x20, 0x20, 0x20"})},
      {With(kA00, {"--cgram-codes", "0"}),
       Lines({"; CGRAM 0x00: Д, 0x01: м", de, em, "; Дом     ",
              "    Dt    0x00, 0x6F, 0x01, 0x20, 0x20, 0x20, 0x20, 0x20",
              "; CGRAM 0x02: Ж, 0x03: к", zhe, ka, "; Жук     ",
              "    Dt    0x02, 0x79, 0x03, 0x20, 0x20, 0x20, 0x20, 0x20"})},
      // The profile's keys, and the options over them.
      {{"-p", "a00"}, withoutLookAlikes},
      {{"-p", "A00-0", "--no-look-alikes", "--cgram-codes", "8"}, withoutLookAlikes},
      // 16x2: both lines on one screen, so one block of four slots.
      {{"-p", "a00", "--size", "16x2"},
       Lines({"; CGRAM 0x08: Д, 0x09: м, 0x0A: Ж, 0x0B: к", de, em, zhe, ka, "; Дом             ",
              "    Dt    0x08, 0x6F, 0x09, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, "
              "0x20, 0x20, 0x20, 0x20",
              "; Жук             ",
              "    Dt    0x0A, 0x79, 0x0B, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, "
              "0x20, 0x20, 0x20, 0x20"})},
  };
  for (const Case& c : cases) {
    const Result r = Run(With({"convert"}, c.args), kTwoScreens);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, c.expected) << ::testing::PrintToString(c.args);
  }
  // --no-cgram converts as a profile without custom characters does.
  const Result plain = Run({"convert", "-p", "A00-plain"}, kTwoScreens);
  const Result off = Run({"convert", "-p", "A00", "--no-cgram"}, kTwoScreens);
  EXPECT_EQ(off.status, 0);
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(off.out, plain.out);
  EXPECT_EQ(off.out.find("CGRAM"), std::string::npos);
}

TEST_F(CliCgramTest, BinWritesARecordPerScreenIntoBinAndIntelHexImages) {
  // 64 bytes of slots and 8 codes per screen; slots a screen does not use are 0.
  const std::string zeros(8, '\0');
  const std::string first =
      kDe + kEm + zeros + zeros + zeros + zeros + zeros + zeros + "\x08\x6F\x09     ";
  const std::string second =
      zeros + zeros + kZhe + kKa + zeros + zeros + zeros + zeros + "\x0A\x79\x0B     ";
  ASSERT_EQ(first.size(), 72U);
  ASSERT_EQ(second.size(), 72U);
  const std::string records = first + second;

  struct Case {
    std::vector<std::string> args;
    std::string out;     // "-": standard output
    std::string before;  // the file before the run; empty: none
    std::string image;   // the image after it (a HEX file's data bytes)
  };
  const Case cases[] = {
      {{}, "out.bin", "", records},
      {{}, "-", "", records},
      {{"--format", "hex"}, "out.hex", "", records},
      {{"--chip", "24c02"}, "out.bin", "", records + std::string(256 - 144, '\xFF')},
      {{"--append"}, "out.bin", first, first + records},
      // Inserting at a record boundary puts the screens between the records.
      {{"--insert", "72"}, "out.bin", records, first + records + second},
      {{"--replace", "0"}, "out.bin", second + second + second, records + second},
      {{"--insert", "72"},
       "out.hex",
       WriteIntelHex(
           [&] {
             HexFile file;
             file.image.Put(0, records);
             return file;
           }(),
           16),
       first + records + second},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Path(c.out));
    if (!c.before.empty()) WriteBytes(Path(c.out), c.before);
    const Result r = Run(With(With({"bin"}, kA00), With(c.args, {"-o", c.out})), kTwoScreens);
    const std::string shown = ::testing::PrintToString(c.args) + " " + c.out;
    EXPECT_EQ(r.status, 0) << shown << r.err;
    EXPECT_EQ(r.err, "") << shown;
    std::string image = c.out == "-" ? r.out : ReadBytes(Path(c.out));
    if (c.out.ends_with(".hex")) {
      const auto file = ReadIntelHex(image);
      ASSERT_TRUE(file) << shown;
      image = file->image.BytesIn(file->image.Begin(), file->image.End());
    }
    EXPECT_EQ(image, c.image) << shown;
  }

  // An address inside a record is refused, and the file stays as it was.
  for (const std::string out : {"out.bin", "out.hex"}) {
    const std::string before = ReadBytes(Path(out));
    const Result r = Run(With(With({"bin"}, kA00), {"--replace", "100", "-o", out}), kTwoScreens);
    EXPECT_EQ(r.status, 1) << out;
    EXPECT_EQ(r.err,
              "zeltrix-cli: Начальный адрес 100 не совпадает с началом записи экрана. Запись "
              "экрана занимает 72 байт: укажите адрес, кратный 72, например 72 или 144.\n")
        << out;
    EXPECT_EQ(ReadBytes(Path(out)), before) << out;
  }
}

TEST_F(CliCgramTest, ScreensThatLackSlotsAreToldOnStandardError) {
  // On A00 "Дом" fits in the slots; the alphabet's line needs 15 glyphs.
  const std::string letters = "бвгджзийлпфцчшщ";
  const std::string text = "Дом\n" + letters;
  const auto line = [](int screen, int needed, const std::string& replaced) {
    return "zeltrix-cli: Экран " + std::to_string(screen) + ": нужно своих знаков " +
           std::to_string(needed) + ", помещается 8; заменены: " + replaced +
           "л→ﾊ, п→n, ф→¢, ц→µ, ч→4, ш→w; не показаны: щ\n";
  };
  const std::vector<std::string> a00 = {"--rom", "a00", "--cgram", "--size", "16x1"};
  struct Case {
    std::vector<std::string> args;
    std::string text;
    std::string err;
  };
  const Case cases[] = {
      {With({"convert"}, a00), text, line(2, 15, "")},
      {With({"bin", "-o", "out.bin"}, a00), text, line(2, 15, "")},
      {With({"preview", "--page", "2"}, a00), text, line(2, 15, "")},
      // Only the screen shown is told about.
      {With({"preview", "--page", "1"}, a00), text, ""},
      // One 16x2 screen: the 8 glyphs seen first are kept, as each is used once.
      {{"convert", "--rom", "a00", "--cgram"}, text, line(1, 17, "и→u, й→ü, ")},
      // Every screen that overflows, on its own line, in order.
      {With({"convert"}, a00), letters + "\nДом\n" + letters, line(1, 15, "") + line(3, 15, "")},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args, c.text);
    EXPECT_EQ(r.status, 0) << ::testing::PrintToString(c.args);
    EXPECT_EQ(r.err, c.err) << ::testing::PrintToString(c.args);
    EXPECT_EQ(c.args.front() == "bin" ? ReadBytes(Path("out.bin")).size() : r.out.size() > 0,
              c.args.front() == "bin" ? 2 * 80U : 1U);
  }
}

// The pixels of a PNG, as 0xAARRGGBB.
QImage Picture(const std::string& png) {
  QImage image;
  EXPECT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                 static_cast<int>(png.size()), "PNG"));
  return image.convertToFormat(QImage::Format_ARGB32);
}

TEST_F(CliCgramTest, PreviewDrawsCustomLettersWithTheCyrillicRomsGlyphs) {
  // Each A00 screen, its letters in slots, looks as the Cyrillic ROM shows the
  // same text: dots, PBM and the module's picture alike. The second screen's
  // slots are planned after the first's.
  for (const std::string page : {"1", "2"}) {
    for (const std::string format : {"text", "pbm", "png"}) {
      const std::vector<std::string> common = {"preview", "--size",   "8x1", "--page",
                                               page,      "--format", format};
      const Result custom = Run(With(common, {"--rom", "a00", "--cgram"}), kTwoScreens);
      const Result cyrillic = Run(With(common, {"--rom", "cyrillic"}), kTwoScreens);
      const Result plain = Run(With(common, {"--rom", "a00"}), kTwoScreens);
      EXPECT_EQ(custom.status, 0) << custom.err;
      EXPECT_EQ(custom.err, "");
      EXPECT_EQ(custom.out, cyrillic.out) << page << " " << format;
      EXPECT_NE(custom.out, plain.out) << page << " " << format;
    }
  }

  // --mark-cgram frames the cells of Д and м and nothing else: the picture
  // differs only in pixels of the theme's mark colour, around the first and
  // third cells.
  const std::vector<std::string> png = {"preview", "--size",  "8x1", "--format",
                                        "png",     "--scale", "2"};
  const QImage unmarked = Picture(Run(With(png, kA00), kTwoScreens).out);
  const QImage marked = Picture(Run(With(png, With(kA00, {"--mark-cgram"})), kTwoScreens).out);
  ASSERT_EQ(marked.size(), unmarked.size());
  const std::uint32_t mark = LcdThemes().front().mark;
  int changed = 0;
  int left = marked.width();
  int right = 0;
  for (int y = 0; y < marked.height(); ++y) {
    for (int x = 0; x < marked.width(); ++x) {
      if (marked.pixel(x, y) == unmarked.pixel(x, y)) continue;
      ++changed;
      left = std::min(left, x);
      right = std::max(right, x);
      ASSERT_EQ(marked.pixel(x, y), mark) << x << "," << y;
    }
  }
  EXPECT_GT(changed, 0);
  // The frames end before the middle of the 8-cell screen (cells 0 and 2).
  EXPECT_LT(right, marked.width() / 2);
  EXPECT_LT(left, marked.width() / 8);
}

TEST_F(CliCgramTest, WrongOptionsAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"convert", "--cgram", "--no-cgram"},
       "параметры --cgram и --no-cgram нельзя указывать вместе"},
      {{"bin", "--cgram-codes", "4", "-o", "x.bin"},
       "неверные коды своих знаков \"4\" у параметра --cgram-codes (можно: 0, 8)"},
      {{"convert", "--size", "17x2"},
       "неверный размер экрана \"17x2\" у параметра --size (можно: 8x1, 8x2, 16x1, 16x2, 16x4, "
       "20x2, 20x4, 24x2, 40x2, 40x4)"},
      {{"bin", "--cgram", "--remove-spaces", "2", "-o", "x.bin"},
       "параметр --remove-spaces не применим к своим знакам (--cgram или Cgram в профиле): "
       "записи экранов хранят текст как он есть"},
      {{"bin", "--cgram", "--remove-undisplayable", "-o", "x.bin"},
       "параметр --remove-undisplayable не применим к своим знакам (--cgram или Cgram в "
       "профиле): записи экранов хранят текст как он есть"},
      {{"preview", "--cgram", "--mark-cgram"},
       "параметр --mark-cgram применим только к рисунку png"},
      {{"preview", "--cgram", "--codes", "0-15"},
       "параметр --cgram нельзя указывать вместе с --codes"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args, "Дом");
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zeltrix-cli: " + c.err + "\n");
    EXPECT_FALSE(std::filesystem::exists(Path("x.bin")));
  }
}

}  // namespace
}  // namespace zeltrix
