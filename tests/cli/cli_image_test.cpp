// zeltrix-cli bin writing Intel HEX and chip-size images, and decode reading
// images back as the text they show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::W;
using testing::WriteBytes;
using Result = testing::CliResult;

std::string Hex2(unsigned byte) {
  const char* digits = "0123456789ABCDEF";
  return {digits[(byte >> 4) & 15], digits[byte & 15]};
}

// Intel HEX records of the bytes from the 16-bit address on, each ending at a
// multiple of the record length, with their checksums: what a file holds.
std::string Records(unsigned address, const std::string& bytes, int length = 16, int type = 0,
                    const char* end = "\r\n") {
  std::string out;
  for (std::size_t at = 0; at < bytes.size() || (at == 0 && type != 0);) {
    const std::size_t n =
        std::min<std::size_t>(bytes.size() - at, length - (address + at) % length);
    std::string record = {static_cast<char>(n), static_cast<char>((address + at) >> 8),
                          static_cast<char>(address + at), static_cast<char>(type)};
    record += bytes.substr(at, n);
    unsigned sum = 0;
    out += ':';
    for (const char c : record) {
      sum += static_cast<unsigned char>(c);
      out += Hex2(static_cast<unsigned char>(c));
    }
    out += Hex2(0x100 - (sum & 0xFF)) + end;
    at += n == 0 ? 1 : n;
  }
  return out;
}
const std::string kEnd = ":00000001FF\r\n";
const std::string kFf(128, '\xFF');

class CliImageTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    return m_cli.Run(args, input);
  }
  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

TEST_F(CliImageTest, BinWritesTheImageTheOptionsSay) {
  WriteBytes(Path("p.prof"), "[P16]\r\nLayout = PIC16\r\n[P18]\r\nLayout = pic18-eeprom\r\n");
  // A file with LF line ends and a gap: "0123" at 0x10, "XY" at 0x30.
  const std::string gapped =
      Records(0x10, "0123", 16, 0, "\n") + Records(0x30, "XY", 16, 0, "\n") + ":00000001FF\n";
  const std::string pic16 = Records(0x4200, std::string("A\0B\0", 4));
  struct Case {
    std::vector<std::string> args;  // after "bin"; output out.hex unless -o is given
    std::string input;
    std::optional<std::string> before;
    std::string after;  // of the output, or standard output for -o -
  };
  const Case cases[] = {
      {{}, "AB", std::nullopt, Records(0, "AB") + kEnd},
      {{"--format", "HEX", "-o", "out.bin"}, "AB", std::nullopt, Records(0, "AB") + kEnd},
      {{"--format", "bin"}, "AB", std::nullopt, "AB"},
      {{"--address", "4096"}, "AB", std::nullopt, Records(0x1000, "AB") + kEnd},
      {{"--record-length", "32"},
       std::string(40, 'A'),
       std::nullopt,
       Records(0, std::string(40, 'A'), 32) + kEnd},
      {{"--layout", "pic16-eeprom", "--address", "1"},
       "AB",
       std::nullopt,
       Records(0x4202, std::string("A\0B\0", 4)) + kEnd},
      {{"--layout", "PIC18-EEPROM"},
       "AB",
       std::nullopt,
       Records(0, std::string("\x00\xF0", 2), 16, 4) + Records(0, "AB") + kEnd},
      // The profile's layout, and --layout over it.
      {{"--profiles", "p.prof", "-p", "p16"}, "AB", std::nullopt, pic16 + kEnd},
      {{"--profiles", "p.prof", "-p", "p18", "--layout", "plain"},
       "AB",
       std::nullopt,
       Records(0, "AB") + kEnd},
      {{"--chip", "24C01", "-o", "out.bin"}, "AB", std::nullopt, "AB" + kFf.substr(2)},
      {{"--chip", "24c01"}, "AB", std::nullopt, Records(0, "AB" + kFf.substr(2)) + kEnd},
      {{"--chip", "24c01", "--address", "126", "--format", "hex", "-o", "-"},
       "AB",
       std::nullopt,
       Records(0, kFf.substr(2) + "AB") + kEnd},
      {{"--chip", "24c01", "-o", "-"}, "AB", std::nullopt, "AB" + kFf.substr(2)},
      {{"--layout", "pic16-eeprom", "-o", "-", "--format", "hex"},
       "AB",
       std::nullopt,
       pic16 + kEnd},
      // Placements change the image and keep every other byte, the gap and the line ends.
      {{"--append"},
       "AB",
       gapped,
       Records(0x10, "0123", 16, 0, "\n") + Records(0x30, "XYAB", 16, 0, "\n") + ":00000001FF\n"},
      {{"--insert", "17"},
       "AB",
       gapped,
       Records(0x10, "0AB123", 16, 0, "\n") + Records(0x32, "XY", 16, 0, "\n") + ":00000001FF\n"},
      {{"--replace", "49"},
       "AB",
       gapped,
       Records(0x10, "0123", 16, 0, "\n") + Records(0x30, "XAB", 16, 0, "\n") + ":00000001FF\n"},
      {{"--append", "--profiles", "p.prof", "-p", "P16"},
       "C",
       pic16 + kEnd,
       Records(0x4200, std::string("A\0B\0C\0", 6)) + kEnd},
      {{"--append", "--chip", "24c01", "-o", "out.bin"}, "AB", "12", "12AB"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"bin"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto o = std::find(args.begin(), args.end(), "-o");
    const std::string out = o == args.end() ? "out.hex" : *(o + 1);
    if (o == args.end()) args.insert(args.end(), {"-o", out});
    std::filesystem::remove(Path(out));
    if (c.before) WriteBytes(Path(out), *c.before);
    const Result r = Run(args, c.input);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, 0) << shown << r.err;
    EXPECT_EQ(out == "-" ? r.out : ReadBytes(Path(out)), c.after) << shown;
  }
}

TEST_F(CliImageTest, RefusalsLeaveTheFileAsItWas) {
  const std::string good = Records(0, "AB") + kEnd;
  const std::string badSum = Records(0, "AB") + ":0200100041426A\r\n" + kEnd;
  const std::string word = Records(0x4200, "AB") + kEnd;  // high byte 'B' is not 0
  const std::string hexOnly = " применим только к файлу Intel HEX (--format hex или ВЫХОД .hex)";
  struct Case {
    std::vector<std::string> args;  // after "bin -o out.hex"; input "AB"
    std::string before;
    int status;
    std::string message;  // after "zeltrix-cli: "
  };
  const Case cases[] = {
      {{"--append"}, badSum, 1, "Строка 2 файла \"out.hex\": неверная контрольная сумма"},
      {{"--insert", "0", "--layout", "pic16-eeprom"},
       word,
       1,
       "Файл \"out.hex\" не подходит для размещения «PIC16 EEPROM»: по адресу 0x4201 старший "
       "байт слова равен 0x42, а должен быть 0"},
      {{"--insert", "2"},
       good,
       1,
       "Начальный адрес не меньше конца данных файла; с параметром --yes данные будут добавлены "
       "после последнего байта"},
      {{"--chip", "24c01", "--address", "127"},
       good,
       1,
       "Данные не помещаются в микросхему 24C01: не хватает 1 байта"},
      {{"--chip", "24c01", "--address", "127", "--format", "hex", "-o", "-"},
       good,
       1,
       "Данные не помещаются в микросхему 24C01: не хватает 1 байта"},
      {{"--format", "ihex"},
       good,
       2,
       "неизвестный формат \"ihex\" у параметра --format (можно: bin, hex)"},
      {{"--record-length", "24"},
       good,
       2,
       "неверная длина записи \"24\" у параметра --record-length (можно: 16, 32)"},
      {{"--layout", "pic17"},
       good,
       2,
       "неизвестное размещение \"pic17\" у параметра --layout (можно: plain, pic16-eeprom, "
       "pic18-eeprom)"},
      {{"--chip", "24c03"},
       good,
       2,
       "неизвестная микросхема \"24c03\" у параметра --chip (можно: 24c01, 24c02, 24c04, 24c08, "
       "24c16, 24c32, 24c64, 24c128, 24c256, 24c512)"},
      {{"--address", "0x10"},
       good,
       2,
       "неверный начальный адрес \"0x10\" у параметра --address (нужно от 0 до 99999999)"},
      {{"--append", "--address", "1"},
       good,
       2,
       "параметр --address задаёт начало нового файла; с --append, --insert и --replace он не "
       "применим"},
      {{"--format", "bin", "--layout", "plain"}, good, 2, "параметр --layout" + hexOnly},
      {{"--format", "bin", "--address", "1"}, good, 2, "параметр --address" + hexOnly},
  };
  for (const Case& c : cases) {
    WriteBytes(Path("out.hex"), c.before);
    std::vector<std::string> args = {"bin", "-o", "out.hex"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Run(args, "AB");
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_EQ(r.err, "zeltrix-cli: " + c.message + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadBytes(Path("out.hex")), c.before) << c.message;
  }
}

// What bin writes, decode reads back as the text the display shows, for each
// ROM, in every format and layout.
TEST_F(CliImageTest, DecodeGivesTheDisplayedTextBack) {
  const struct {
    const char* rom;
    std::string text;
  } texts[] = {
      {"cyrillic", "Привет, Hello! Ёлка 123"},
      {"a00", "Hello ｱｲｳ ¥→"},
      {"a02", "Grüße, Straße ñ"},
  };
  // bin's options and decode's; LENGTH stands for the text's length.
  const std::pair<std::vector<std::string>, std::vector<std::string>> ways[] = {
      {{"-o", "t.bin"}, {"t.bin"}},
      {{"-o", "t.hex", "--address", "70000", "--record-length", "32"},
       {"t.hex", "--from", "70000"}},
      // A chip's erased bytes are no text.
      {{"-o", "t.hex", "--layout", "pic16-eeprom", "--chip", "24c02"},
       {"t.hex", "--layout", "pic16-eeprom", "--length", "LENGTH"}},
      {{"-o", "t.img", "--layout", "pic18-eeprom", "--format", "hex"},
       {"t.img", "--format", "hex", "--layout", "pic18-eeprom"}},
  };
  for (const auto& t : texts) {
    const auto length =
        std::count_if(t.text.begin(), t.text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    for (const auto& [binArgs, decodeArgs] : ways) {
      std::vector<std::string> bin = {"bin", "--rom", t.rom};
      bin.insert(bin.end(), binArgs.begin(), binArgs.end());
      ASSERT_EQ(Run(bin, t.text).status, 0) << t.text;
      std::vector<std::string> decode = {"decode", "--rom", t.rom};
      for (const std::string& arg : decodeArgs) {
        decode.push_back(arg == "LENGTH" ? std::to_string(length) : arg);
      }
      const Result r = Run(decode);
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, t.text + "\n") << ::testing::PrintToString(decode);
    }
  }
}

TEST_F(CliImageTest, DecodeShowsRowsCodesAndRefusals) {
  WriteBytes(Path("t.bin"), std::string("\xA8\x70\xB8\xB3\x65\xBF, Hello\x00\x0F\x10", 16));
  WriteBytes(Path("bad.hex"), Records(0, "AB") + Records(0x10, "AB"));
  WriteBytes(Path("p.prof"), "[A02 PIC18]\r\nRom = A02\r\nLayout = PIC18\r\n");
  WriteBytes(Path("a02.hex"),
             Records(0, std::string("\x00\xF0", 2), 16, 4) + Records(0, "\xDF") + kEnd);
  struct Case {
    std::vector<std::string> args;  // after "decode"
    int status;
    std::string out;  // or, for a failure, the message after "zeltrix-cli: "
  };
  const Case cases[] = {
      {{"t.bin"}, 0, "Привет, Hello⟨0⟩⟨7⟩\\x10\n"},
      {{"t.bin", "--size", "8x2"}, 0, "Привет, \nHello⟨0⟩⟨7⟩\\x10\n"},
      {{"t.bin", "--from", "8", "--length", "5"}, 0, "Hello\n"},
      {{"t.bin", "--length", "6", "--output-encoding", "cp1251"}, 0, W("Привет") + "\n"},
      {{"--profiles", "p.prof", "a02.hex"}, 0, "ß\n"},
      {{"-p", "a02 pic18", "--profiles", "p.prof", "--rom", "cyrillic", "a02.hex"}, 0, "·\n"},
      {{"t.bin", "--from", "16"},
       1,
       "адрес 16 за концом образа в файле \"t.bin\" (последний адрес образа 15)"},
      {{"t.bin", "--from", "10", "--length", "7"},
       1,
       "адреса с 10 по 16 выходят за конец образа в файле \"t.bin\" (последний адрес образа 15)"},
      {{"t.bin", "--output-encoding", "koi8-r"},
       1,
       "кодировка KOI8-R не может записать символ «⟨» (U+27E8) в строке 1 вывода; укажите "
       "--output-encoding utf-8"},
      {{"bad.hex"},
       1,
       "Строка 2 файла \"bad.hex\": файл кончается без записи конца файла (:00000001FF)"},
      {{"missing.bin"}, 1, "Не удалось открыть файл \"missing.bin\": нет такого файла или папки"},
      {{}, 2, "не указан файл образа"},
      {{"t.bin", "--rom", "a01"},
       2,
       "неизвестное ПЗУ \"a01\" у параметра --rom (можно: cyrillic, a00, a02)"},
      {{"t.bin", "--length", "0"},
       2,
       "неверное число \"0\" у параметра --length (нужно от 1 до 4294967295)"},
      {{"t.bin", "--from", "-1"},
       2,
       "неверное число \"-1\" у параметра --from (нужно от 0 до 4294967295)"},
      {{"t.bin", "--layout", "pic16-eeprom"},
       2,
       "параметр --layout применим только к файлу Intel HEX (--format hex или ВЫХОД .hex)"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"decode"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Run(args);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, c.status) << shown << r.err;
    EXPECT_EQ(c.status == 0 ? r.out : r.err, c.status == 0 ? c.out : "zeltrix-cli: " + c.out + "\n")
        << shown;
  }
  // -o writes the file.
  ASSERT_EQ(Run({"decode", "t.bin", "--length", "6", "-o", "out.txt"}).status, 0);
  EXPECT_EQ(ReadBytes(Path("out.txt")), "Привет\n");
}

// objcopy, of GNU binutils, reads our HEX file as the bytes of our BIN file.
TEST_F(CliImageTest, ObjcopyReadsTheHexAsTheBin) {
  if (std::system("objcopy --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "objcopy (GNU binutils) is not installed";
  }
  const std::string text = "Привет, Hello! " + std::string(100, 'x');
  ASSERT_EQ(Run({"bin", "-o", "t.bin"}, text).status, 0);
  ASSERT_EQ(Run({"bin", "--format", "hex", "--address", "4096", "-o", "t.img"}, text).status, 0);
  ASSERT_EQ(
      std::system(
          ("objcopy -I ihex -O binary '" + Path("t.img") + "' '" + Path("o.bin") + "'").c_str()),
      0);
  EXPECT_EQ(ReadBytes(Path("o.bin")), ReadBytes(Path("t.bin")));
}

}  // namespace
}  // namespace zeltrix
