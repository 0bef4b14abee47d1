// Runs zeltrix-cli bin and checks the file it leaves, its messages and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "core/io/single_byte_codec.h"
#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

using Result = testing::CliResult;

class CliBinTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::vector<std::string> all = {"bin"};
    all.insert(all.end(), args.begin(), args.end());
    return m_cli.Run(all, input);
  }

  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  testing::CliRunner m_cli;
};

using testing::W;

TEST_F(CliBinTest, WritesTheCodesWhereTheOptionsSay) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    std::optional<std::string> before;  // of out.bin; nothing: no file
    std::string after;
  };
  const std::string old = "\x01\x02\x03\x04";
  const Case cases[] = {
      // UTF-8 input is recognised; line breaks and TABs become spaces.
      {{"-o", "out.bin"}, "Да\r\nда\t!", std::nullopt, "\xE0\x61\x20\xE3\x61\x20\x21"},
      {{"--encoding", "cp1251", "-o", "out.bin"}, W("Да"), std::nullopt, "\xE0\x61"},
      {{"--encoding", "koi8-r", "-o", "out.bin"}, "\xE4\xC1", std::nullopt, "\xE0\x61"},
      {{"--encoding", "cp866", "-o", "out.bin"}, "\x84\xA0", std::nullopt, "\xE0\x61"},
      {{"-o", "out.bin", "in.txt"}, "", std::nullopt, "AB"},
      {{"-o", "out.bin"}, "AB", old, "AB"},
      {{"--append", "-o", "out.bin"}, "AB", old, old + "AB"},
      {{"--append", "-o", "out.bin"}, "AB", std::nullopt, "AB"},
      {{"--insert", "0", "-o", "out.bin"}, "AB", old, "AB" + old},
      {{"--insert", "00000003", "-o", "out.bin"}, "AB", old, "\001\002\003AB\004"},
      {{"--replace", "2", "-o", "out.bin"}, "ABCDE", old, "\001\002ABCDE"},
      {{"--insert", "4", "--yes", "-o", "out.bin"}, "AB", old, old + "AB"},
      {{"--replace", "0", "--yes", "-o", "out.bin"}, "AB", std::nullopt, "AB"},
      // Undisplayable characters leave no byte, with or without their removal.
      {{"-o", "out.bin"}, "A{\x88}B", std::nullopt, "AB"},
      {{"--remove-spaces", "1", "-o", "out.bin"}, "A  \t  B", std::nullopt, "A B"},
      {{"--remove-spaces", "001", "-o", "out.bin"}, "A  B", std::nullopt, "A B"},
      // A removed character counts in the run of spaces it stands in.
      {{"--remove-spaces", "2", "--remove-undisplayable", "-o", "out.bin"}, "A {  B", {}, "A B"},
      {{"--remove-undisplayable", "-o", "out.bin"}, "A {  B", std::nullopt, "A   B"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Path("out.bin"));
    if (c.before) WriteBytes(Path("out.bin"), *c.before);
    WriteBytes(Path("in.txt"), "AB");
    const Result r = Run(c.args, c.input);
    EXPECT_EQ(r.status, 0) << c.args.front() << " " << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadBytes(Path("out.bin")), c.after) << c.args.front() << " " << c.input;
  }
}

TEST_F(CliBinTest, FailuresLeaveTheFileAsItWas) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string message;  // after "zeltrix-cli: ", on one line
  };
  const std::string beyond =
      "Начальный адрес больше текущего размера файла; с параметром --yes данные будут добавлены "
      "в конец файла";
  const std::string together = "параметры --append, --insert и --replace нельзя указывать вместе";
  // clang-format off
  const Case cases[] = {
      // The dialog's question whether to append at the end cannot be asked.
      {{"--insert", "4", "-o", "out.bin"}, "AB", 1, beyond},
      {{"--replace", "99999999", "-o", "out.bin"}, "AB", 1, beyond},
      {{"-o", "out.bin"}, "", 1, "Отсутствует преобразуемый текст"},
      {{"--remove-undisplayable", "-o", "out.bin"}, "{}\x88", 1, "Отсутствует преобразуемый текст"},
      {{"-o", "out.bin"}, "{}\x88", 1, "Не удалось выполнить преобразование!"},
      {{"-o", "no/such/dir/out.bin"}, "AB", 1,
       "Не удалось создать файл \"no/such/dir/out.bin\""},
      {{"--append", "-o", "no/such/dir/out.bin"}, "AB", 1,
       "Не удалось создать файл \"no/such/dir/out.bin\""},
      {{"-o", "out.bin", "missing.txt"}, "", 1,
       "Не удалось открыть файл \"missing.txt\": нет такого файла или папки"},
      {{}, "AB", 2, "не указан файл результата (-o ВЫХОД)"},
      {{"-o", ""}, "AB", 2, "не указан файл результата (-o ВЫХОД)"},
      {{"--append", "--insert", "1", "-o", "out.bin"}, "AB", 2, together},
      {{"--insert", "1", "--replace", "1", "-o", "out.bin"}, "AB", 2, together},
      {{"--replace", "123456789", "-o", "out.bin"}, "AB", 2,
       "неверный начальный адрес \"123456789\" у параметра --replace (нужно от 0 до 99999999)"},
      {{"--insert", "", "-o", "out.bin"}, "AB", 2,
       "неверный начальный адрес \"\" у параметра --insert (нужно от 0 до 99999999)"},
      {{"--insert", "0x10", "-o", "out.bin"}, "AB", 2,
       "неверный начальный адрес \"0x10\" у параметра --insert (нужно от 0 до 99999999)"},
      {{"--remove-spaces", "0", "-o", "out.bin"}, "AB", 2,
       "неверное число пробелов \"0\" у параметра --remove-spaces (нужно от 1 до 100)"},
      {{"--remove-spaces", "101", "-o", "out.bin"}, "AB", 2,
       "неверное число пробелов \"101\" у параметра --remove-spaces (нужно от 1 до 100)"},
      // One rule for every number: decimal digits only.
      {{"--remove-spaces", " 7", "-o", "out.bin"}, "AB", 2,
       "неверное число пробелов \" 7\" у параметра --remove-spaces (нужно от 1 до 100)"},
      {{"--remove-spaces", "+7", "-o", "out.bin"}, "AB", 2,
       "неверное число пробелов \"+7\" у параметра --remove-spaces (нужно от 1 до 100)"},
      {{"--insert", " 5", "-o", "out.bin"}, "AB", 2,
       "неверный начальный адрес \" 5\" у параметра --insert (нужно от 0 до 99999999)"},
      {{"--insert", "5 ", "-o", "out.bin"}, "AB", 2,
       "неверный начальный адрес \"5 \" у параметра --insert (нужно от 0 до 99999999)"},
      {{"--encoding", "koi8", "-o", "out.bin"}, "AB", 2,
       "неизвестная кодировка \"koi8\" у параметра --encoding"},
      {{"--replace"}, "AB", 2, "не указано значение параметра \"--replace\""},
      {{"-o", "out.bin", "a", "b"}, "AB", 2, "лишний аргумент \"b\""},
  };
  // clang-format on
  const std::string old = "\x01\x02\x03\x04";
  for (const Case& c : cases) {
    WriteBytes(Path("out.bin"), old);
    const Result r = Run(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_EQ(r.err, "zeltrix-cli: " + c.message + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadBytes(Path("out.bin")), old) << c.message;
  }
  // No temporary file is left beside out.bin.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_cli.Dir().Root()), {}), 1);
}

// A file that does not exist is made only when the codes go into it: a
// refused or failed run leaves no file.
TEST_F(CliBinTest, AMissingFileIsNamedAndNeverLeftEmpty) {
  const std::string missing =
      "Файл \"new.bin\" не существует; с параметром --yes он будет создан с этими данными";
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;  // after "zeltrix-cli: "; empty: none
  };
  const Case cases[] = {
      {{"--insert", "4096"}, "AB", 1, missing},
      {{"--replace", "0"}, "AB", 1, missing},
      {{"--append"}, "\x88", 1, "Не удалось выполнить преобразование!"},
      {{"--insert", "0", "--yes"}, "AB", 0, ""},
      {{"--append"}, "AB", 0, ""},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Path("new.bin"));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", "new.bin"});
    const Result r = Run(args, c.input);
    EXPECT_EQ(r.status, c.status) << c.args.front();
    EXPECT_EQ(r.err, c.err.empty() ? "" : "zeltrix-cli: " + c.err + "\n") << c.args.front();
    // Written: the codes alone; refused: no file.
    EXPECT_EQ(ReadBytes(Path("new.bin")), c.status == 0 ? "AB" : "") << c.args.front();
    EXPECT_EQ(std::filesystem::exists(Path("new.bin")), c.status == 0) << c.args.front();
  }
  // An append that fails on a full disk leaves nothing either.
  std::filesystem::remove(Path("new.bin"));
  {
    testing::FileSizeLimit full(10);
    const Result r = Run({"--append", "-o", "new.bin"}, std::string(100, 'A'));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zeltrix-cli: Не удалось записать файл \"new.bin\"\n");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("new.bin")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_cli.Dir().Root()), {}), 0);
}

TEST_F(CliBinTest, HelpDescribesTheCommand) {
  const Result r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"zeltrix-cli bin", "--remove-undisplayable", "--remove-spaces",
                           "--append", "--insert", "--replace", "--yes"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace zeltrix
