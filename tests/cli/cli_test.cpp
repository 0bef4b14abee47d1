// Runs zeltrix-cli and checks its output, messages and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command.h"
#include "core/io/single_byte_codec.h"
#include "core/io/text_encoding.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"
#include "core/version.h"
#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

using Result = testing::CliResult;

class CliTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    return m_cli.Run(args, input);
  }

  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

using testing::W;

ProfileRecord DefaultProfile(const std::string& name) {
  SettingsFile file;
  file.OpenBuffer("");
  WriteDefaultProfiles(file);
  ProfileRecord record;
  EXPECT_TRUE(LoadProfileFrom(file, name, record));
  return record;
}

TEST_F(CliTest, ConvertAgreesWithTheEngineForEveryDefaultProfile) {
  const std::string text = ReadBytes(ZELTRIX_EXAMPLES "/privet.txt");
  ASSERT_FALSE(text.empty());
  WriteBytes(Path("in.txt"), text);
  const char* names[] = {"ASM — DT For PIC", "ASM — DE For PIC", "MikroBasic For PIC"};
  for (const char* name : names) {
    const Result r = Run({"convert", "-p", name, "in.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, ConvertText(text, DefaultProfile(W(name)))) << name;
  }
  // Without -p: the first profile; from standard input too.
  EXPECT_EQ(Run({"convert"}, text).out, ConvertText(text, DefaultProfile(W(names[0]))));
  EXPECT_EQ(Run({"convert", "-"}, text).out, ConvertText(text, DefaultProfile(W(names[0]))));
}

TEST_F(CliTest, Utf8InputGivesUtf8OutputUnlessToldOtherwise) {
  const Result utf8 = Run({"convert"}, "Привет");
  EXPECT_EQ(utf8.out, "; Привет\r\n    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n");
  const Result cp = Run({"convert", "--output-encoding", "cp1251"}, "Привет");
  EXPECT_EQ(cp.out, W("; Привет\r\n    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n"));
  // Forced Windows-1251: the UTF-8 bytes are taken as Windows-1251 characters.
  const Result forced = Run({"convert", "--encoding", "cp1251", "-p", "mikrobasic for pic"}, "П");
  EXPECT_EQ(forced.out, "' \xD0\x9F\r\n const    As Byte[] = ($50 ) ' 1\r\n");
  // A character with no Windows-1251 code is one the Cyrillic ROM cannot show;
  // Windows-1251 lines cannot hold it either, so nothing is written.
  const Result emoji = Run({"convert", "--output-encoding", "cp1251"}, "A\xF0\x9F\x98\x80");
  EXPECT_EQ(emoji.status, 1);
  EXPECT_EQ(emoji.out, "");
  EXPECT_EQ(emoji.err,
            "zeltrix-cli: кодировка Windows-1251 не может записать символ «\xF0\x9F\x98\x80» "
            "(U+1F600) в строке 1 вывода; укажите --output-encoding utf-8\n");
  EXPECT_EQ(Run({"convert"}, "A\xF0\x9F\x98\x80").out, "; A\xF0\x9F\x98\x80\r\n    Dt    0x41\r\n");
}

// The same text in each encoding gives the same data lines; those go out in
// the input's encoding unless another is asked for.
TEST_F(CliTest, EveryInputEncodingGivesTheSameLines) {
  const std::string lines = "; Привет\r\n    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string out;
  } cases[] = {
      {{"convert"}, "\xEF\xBB\xBFПривет", lines},
      {{"convert", "--encoding", "koi8-r"},
       "\xF0\xD2\xC9\xD7\xC5\xD4",
       EncodeText(lines, {TextEncoding::Koi8r})},
      {{"convert", "--encoding", "CP866", "--output-encoding", "cp1251"},
       "\x8F\xE0\xA8\xA2\xA5\xE2",
       W(lines.c_str())},
      {{"convert", "--encoding", "cp1251", "--output-encoding", "cp866"},
       W("Привет"),
       EncodeText(lines, {TextEncoding::Cp866})},
      {{"convert", "--output-encoding", "utf-8"}, W("Привет"), lines},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.args, c.input);
    EXPECT_EQ(r.status, 0) << c.args.back() << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.back();
  }
}

TEST_F(CliTest, ProfilesFromAFileAndTheirNames) {
  WriteBytes(Path("my.prof"),
             W("[Мой]\r\nDirective = db\r\nSI = 1\r\nRazdelitelData = [String],[/String]\r\n"
               "[Second]\r\n"));
  const Result names = Run({"profiles", "--profiles", "my.prof"});
  EXPECT_EQ(names.status, 0);
  EXPECT_EQ(names.out, "Мой\nSecond\n");
  const Result lines = Run({"convert", "--profiles", "my.prof", "-o", "out.asm"}, "AB");
  EXPECT_EQ(lines.status, 0) << lines.err;
  EXPECT_EQ(lines.out, "");
  EXPECT_EQ(ReadBytes(Path("out.asm")), "  db  65,66\r\n");
  EXPECT_EQ(Run({"profiles"}).out, "ASM — DT For PIC\nASM — DE For PIC\nMikroBasic For PIC\n");
  // The default database beside the program is used when present.
  WriteBytes(Path("Profile.prof"), "[Only]\r\n");
  EXPECT_EQ(Run({"profiles"}).out, "Only\n");
  EXPECT_FALSE(std::filesystem::exists(Path("Preferences.ini")));
}

TEST_F(CliTest, ExitStatusesAndMessages) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  WriteBytes(Path("in.txt"), "A");
  const Case cases[] = {
      {{}, 2, "zeltrix-cli: не указана команда (справка: zeltrix-cli --help)\n"},
      {{"frobnicate"},
       2,
       "zeltrix-cli: неизвестная команда \"frobnicate\" (справка: zeltrix-cli --help)\n"},
      {{"convert", "--bogus"}, 2, "zeltrix-cli: неизвестный параметр \"--bogus\"\n"},
      {{"convert", "-o"}, 2, "zeltrix-cli: не указано значение параметра \"-o\"\n"},
      {{"convert", "--encoding", "koi8"},
       2,
       "zeltrix-cli: неизвестная кодировка \"koi8\" у параметра --encoding\n"},
      {{"convert", "a", "b"}, 2, "zeltrix-cli: лишний аргумент \"b\"\n"},
      {{"convert", "missing.txt"},
       1,
       "zeltrix-cli: Не удалось открыть файл \"missing.txt\": нет такого файла или папки\n"},
      {{"convert", "-p", "Нет", "in.txt"}, 1, "zeltrix-cli: Профиль \"Нет\" не найден!\n"},
      {{"convert", "-p", "", "in.txt"}, 1, "zeltrix-cli: Профиль \"\" не найден!\n"},
      {{"convert", "--profile=", "in.txt"}, 1, "zeltrix-cli: Профиль \"\" не найден!\n"},
      {{"convert", "-p", "\xF0\x9F\x98\x80", "in.txt"},
       1,
       "zeltrix-cli: Профиль \"\xF0\x9F\x98\x80\" не найден!\n"},
      {{"convert", "--profiles", "none.prof", "in.txt"},
       1,
       "zeltrix-cli: Файл профилей \"none.prof\" не найден\n"},
      {{"convert", "--encoding", "utf-8", "in-bad.txt"},
       1,
       "zeltrix-cli: входной текст не является текстом в кодировке UTF-8\n"},
      {{"convert", "-o", "no/such/dir/out", "in.txt"},
       1,
       "zeltrix-cli: Не удалось записать файл \"no/such/dir/out\": нет такого файла или папки\n"},
      {{"profiles", "extra"}, 2, "zeltrix-cli: лишний аргумент \"extra\"\n"},
  };
  WriteBytes(Path("in-bad.txt"), "\xCF\xF0");
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << (c.args.empty() ? "" : c.args.back());
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(CliTest, FailedRunLeavesTheOutputFileAlone) {
  WriteBytes(Path("out.asm"), "previous");
  EXPECT_EQ(Run({"convert", "-p", "none", "-o", "out.asm"}, "A").status, 1);
  EXPECT_EQ(ReadBytes(Path("out.asm")), "previous");
  EXPECT_EQ(Run({"convert", "-o", "fresh.asm", "missing.txt"}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(Path("fresh.asm")));
}

TEST_F(CliTest, HelpListsEveryCommandAndOption) {
  const Result r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"convert", "profiles", "--profiles", "--encoding", "--output-encoding",
                           "-p", "-o", "--help", "--version", "decode", "--format", "--layout",
                           "--record-length", "--address", "--chip", "--from", "--length"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(Run({"convert", "--help"}).out, r.out);
  const Result version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("zeltrix-cli (Zeltrix) ") + kProgramVersion + "\n");
  EXPECT_EQ(version.err, "");
}

// The help, the manual page and the bash completion name every command and
// every option each command takes, and the page renders cleanly.
TEST_F(CliTest, HelpManualAndCompletionNameEveryCommandAndOption) {
  const std::string help = Run({"--help"}).out;
  const std::string source = ZELTRIX_SOURCE_DIR;
  const std::string manual = ReadBytes(source + "/resources/man/zeltrix-cli.1.in");
  const std::string completion = ReadBytes(source + "/resources/completion/zeltrix-cli");
  ASSERT_FALSE(manual.empty());
  ASSERT_FALSE(completion.empty());
  // troff wants every hyphen of an option escaped.
  const auto roff = [](const std::string& option) {
    std::string escaped;
    for (const char c : option) escaped += c == '-' ? "\\-" : std::string(1, c);
    return escaped;
  };
  // The first line of every item of OPTIONS: the options it describes.
  std::string items;
  const std::size_t options = manual.find("\n.SH OPTIONS\n");
  const std::size_t optionsEnd = manual.find("\n.SH ", options + 1);
  for (std::size_t at = manual.find("\n.TP\n", options); at < optionsEnd;
       at = manual.find("\n.TP\n", at + 1)) {
    items += manual.substr(at + 5, manual.find('\n', at + 5) - at - 5) + "\n";
  }
  for (const cli::Command& command : cli::Commands()) {
    const std::string name = command.name.toStdString();
    // Every synopsis of the command, up to the line break after it.
    std::string synopses;
    const std::string start = ".B zeltrix-cli " + name;
    for (std::size_t at = manual.find(start); at != std::string::npos;
         at = manual.find(start, at + 1)) {
      synopses += manual.substr(at, manual.find("\n.br\n", at) - at);
    }
    EXPECT_FALSE(synopses.empty()) << name;
    // The help's forms of the command, each up to the blank line after it.
    std::string helped;
    for (std::size_t at = help.find("\n  zeltrix-cli " + name + " "); at != std::string::npos;
         at = help.find("\n  zeltrix-cli " + name + " ", at + 1)) {
      helped += help.substr(at, help.find("\n\n", at) - at);
    }
    // The command's case of the completion, up to the next command's.
    const std::size_t block = completion.find("\n        " + name + ")\n");
    ASSERT_NE(block, std::string::npos) << name;
    const std::string offered =
        completion.substr(block, completion.find("\n        ;;\n", block) - block) + " ";
    for (const QCommandLineOption& option : command.options()) {
      bool inSynopsis = false;
      for (const QString& n : option.names()) {
        const std::string dashed = (n.size() == 1 ? "-" : "--") + n.toStdString();
        inSynopsis = inSynopsis || synopses.find(roff(dashed)) != std::string::npos;
        if (n.size() > 1) {
          const std::string line = "\n      --" + n.toStdString();
          const bool helpedHere = helped.find(line + " ") != std::string::npos ||
                                  helped.find(line + "\n") != std::string::npos ||
                                  helped.find(", --" + n.toStdString() + " ") != std::string::npos;
          EXPECT_TRUE(helpedHere) << name << " " << dashed << ": not in the help";
          const bool described = items.find(roff(dashed) + " ") != std::string::npos ||
                                 items.find(roff(dashed) + "\n") != std::string::npos;
          EXPECT_TRUE(described) << name << " " << dashed << ": not described";
        }
        const bool named = offered.find(" " + dashed + " ") != std::string::npos ||
                           offered.find("'" + dashed + " ") != std::string::npos ||
                           offered.find(" " + dashed + "\n") != std::string::npos;
        EXPECT_TRUE(named) << name << " " << dashed << ": not completed";
      }
      EXPECT_TRUE(inSynopsis) << name << " " << option.names().join(", ").toStdString();
    }
  }
  // The commands offered first: the line that ends with the general options.
  const std::size_t general = completion.find(" --help --version'");
  ASSERT_NE(general, std::string::npos);
  const std::string words = "compgen -W '";
  const std::size_t first = completion.rfind(words, general);
  const std::string offeredCommands =
      " " + completion.substr(first + words.size(), general - first - words.size()) + " ";
  for (const cli::Command& command : cli::Commands()) {
    EXPECT_NE(offeredCommands.find(" " + command.name.toStdString() + " "), std::string::npos)
        << command.name.toStdString() << ": not completed";
  }

  if (std::system("command -v groff >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "groff is missing: the page was not rendered";
  }
  const std::string warnings = Path("warnings");
  EXPECT_EQ(std::system(("groff -k -Tutf8 -ww -z -man " + source +
                         "/resources/man/zeltrix-cli.1.in 2>" + warnings)
                            .c_str()),
            0);
  EXPECT_EQ(ReadBytes(warnings), "");
}

}  // namespace
}  // namespace zeltrix
