// Runs the real zeltrix-cli preview and checks the dots, pictures and exit statuses it gives.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/io/single_byte_codec.h"
#include "core/lcd/module_image.h"
#include "tests/support/cli_runner.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class CliPreviewTest : public ::testing::Test {
 protected:
  testing::CliResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::vector<std::string> all = {"preview"};
    all.insert(all.end(), args.begin(), args.end());
    return m_cli.Run(all, input);
  }
  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

// The first cell of an 8x1 screen holding "Б", then a blank cell: every dot row.
std::string BeScreen(char lit, char dark) {
  const char* be[] = {"#####", "#...#", "#....", "####.", "#...#", "#...#", "####.", "....."};
  std::string out;
  for (const char* row : be) {
    std::string line = std::string(row) + std::string(42, '.') + "\n";
    for (char& c : line) c = c == '#' ? lit : c == '.' ? dark : c;
    out += line;
  }
  return out;
}

// Width and height of a PNG from its header.
std::pair<int, int> PngSize(const std::string& png) {
  const auto number = [&](std::size_t at) {
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i)
      value = value * 256 + static_cast<unsigned char>(png[i]);
    return value;
  };
  return {number(16), number(20)};
}

TEST_F(CliPreviewTest, DotsAsTextOrPbmForTheChosenScreen) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    std::string outFile;  // empty: standard output
    std::string expected;
  };
  const std::string be = "Б\r\n";
  const Case cases[] = {
      {{"--size", "8x1"}, be, "", BeScreen('#', '.')},
      {{"--size", "8x1", "--encoding", "cp1251"}, *Utf8ToCp1251(be), "", BeScreen('#', '.')},
      {{"--size", "8x1", "--format", "pbm"}, be, "", "P1\n47 8\n" + BeScreen('1', '0')},
      {{"--size", "8x1", "-o", "screen.pbm"}, be, "screen.pbm", "P1\n47 8\n" + BeScreen('1', '0')},
      {{"--size", "8x1", "--format", "text", "-o", "screen.pbm"},
       be,
       "screen.pbm",
       BeScreen('#', '.')},
      // The second screen of three lines on a 8x1 display is the line "Б".
      {{"--size", "8x1", "--page", "2", "in.txt"}, "", "", BeScreen('#', '.')},
  };
  WriteBytes(Path("in.txt"), "{\nБ\n~");
  for (const Case& c : cases) {
    std::filesystem::remove(Path("screen.pbm"));
    const testing::CliResult result = Run(c.args, c.input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(c.outFile.empty() ? result.out : ReadBytes(Path(c.outFile)), c.expected)
        << c.args.back();
  }
  // The default size is 16x2: 95 by 17 dots.
  EXPECT_EQ(Run({"--format", "pbm"}, "A").out.substr(0, 9), "P1\n95 17\n");
}

TEST_F(CliPreviewTest, PngIsTheDrawnModuleInTheChosenThemeAndScale) {
  ASSERT_EQ(Run({"-o", "a.png", "--size", "20x4"}, "Б").status, 0);
  ASSERT_EQ(
      Run({"-o", "b.png", "--size", "20x4", "--theme", "Янтарный", "--scale", "1"}, "Б").status, 0);
  const std::string a = ReadBytes(Path("a.png"));
  const std::string b = ReadBytes(Path("b.png"));
  ASSERT_EQ(a.substr(0, 8), "\x89PNG\r\n\x1A\n");
  const ModuleLayout three = LayOutModule({20, 4}, 3);
  const ModuleLayout one = LayOutModule({20, 4}, 1);
  EXPECT_EQ(PngSize(a), (std::pair{three.width, three.height}));
  EXPECT_EQ(PngSize(b), (std::pair{one.width, one.height}));
  EXPECT_EQ(Run({"--format", "png"}, "Б").out.substr(0, 4), "\x89PNG");
}

TEST_F(CliPreviewTest, MistakesAndMissingScreens) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"--page", "3", "-o", "x.pbm"}, 1, "zeltrix-cli: экрана 3 нет: текст занимает экранов: 2\n"},
      {{"--page", "0"},
       2,
       "zeltrix-cli: неверное число \"0\" у параметра --page (нужно от 1 до 1073741824)\n"},
      {{"--size", "16x3"},
       2,
       "zeltrix-cli: неверный размер экрана \"16x3\" у параметра --size (можно: 8x1, 8x2, 16x1, "
       "16x2, 16x4, 20x2, 20x4, 24x2, 40x2, 40x4)\n"},
      {{"--scale", "9"},
       2,
       "zeltrix-cli: неверное число \"9\" у параметра --scale (нужно от 1 до 8)\n"},
      {{"--theme", "green"},
       2,
       "zeltrix-cli: неизвестная тема \"green\" у параметра --theme (можно: yellow-green, blue, "
       "white-on-black, amber или название темы из окна)\n"},
      {{"--format", "gif"},
       2,
       "zeltrix-cli: неизвестный формат \"gif\" у параметра --format (можно: text, pbm, png)\n"},
      {{"missing.txt"},
       1,
       "zeltrix-cli: Не удалось открыть файл \"missing.txt\": нет такого файла или папки\n"},
  };
  for (const Case& c : cases) {
    const testing::CliResult result = Run(c.args, "1\r\n2\r\n3");
    EXPECT_EQ(result.status, c.status) << c.args[0];
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.pbm")));
}

}  // namespace
}  // namespace zeltrix
