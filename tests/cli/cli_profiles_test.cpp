// Runs zeltrix-cli profiles export and import and checks the files, messages and statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include <QString>

#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"
#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/default_database.h"
#include "tests/support/profile_loaded.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::kDefaultDatabase;
using testing::ReadBytes;
using testing::WriteBytes;

using Result = testing::CliResult;

using testing::W;

class CliProfilesTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::vector<std::string> all = {"profiles"};
    all.insert(all.end(), args.begin(), args.end());
    return m_cli.Run(all, input);
  }

  std::string Path(const std::string& name) const { return m_cli.Path(name); }
  std::vector<std::string> Names(const std::string& file) const {
    return ListProfiles(Path(file)).value_or(std::vector<std::string>{});
  }

  testing::CliRunner m_cli;
};

TEST_F(CliProfilesTest, ExportWritesTheNamedProfilesInTheGivenOrder) {
  WriteBytes(Path("Profile.prof"), kDefaultDatabase);
  WriteBytes(Path("out.prof"), "older");
  const Result r = Run({"export", "mikrobasic for pic", "ASM — DT For PIC", "-o", "out.prof"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Names("out.prof"),
            (std::vector<std::string>{"MikroBasic For PIC", W("ASM — DT For PIC")}));
  const std::string bytes = ReadBytes(Path("out.prof"));
  const std::string start =
      "[MikroBasic For PIC]\r\nOst1 = 1\r\nOst2 = 4\r\nDirective = [String]const[/String]\r\n";
  EXPECT_EQ(bytes.substr(0, start.size()), start);
  EXPECT_EQ(ReadBytes(Path("Profile.prof")), kDefaultDatabase);

  // Same bytes as the windows write: a second export of those profiles from the exported file.
  const Result again = Run({"export", "MikroBasic For PIC", "ASM — DT For PIC", "--profiles",
                            "out.prof", "-o", "again.prof"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(ReadBytes(Path("again.prof")), bytes);

  // Without Profile.prof the three default profiles are there to export.
  std::filesystem::remove(Path("Profile.prof"));
  EXPECT_EQ(Run({"export", "ASM — DE For PIC", "-o", "de.prof"}).status, 0);
  EXPECT_EQ(Names("de.prof"), (std::vector<std::string>{W("ASM — DE For PIC")}));
}

TEST_F(CliProfilesTest, ImportSkipsRepeatedNamesUnlessTold) {
  WriteBytes(Path("Profile.prof"), kDefaultDatabase + W("[Мой]\r\n"));
  WriteBytes(Path("in.prof"), W("[New One]\r\nDirective = db\r\n[asm — de for pic]\r\nOst1 = 9\r\n"
                                "[мОЙ]\r\nOst2 = 7\r\n[new one]\r\n"));
  const Result r = Run({"import", "in.prof"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "zeltrix-cli: Профиль \"asm — de for pic\" пропущен: в базе уже есть профиль \"ASM — "
            "DE For PIC\"\n"
            "zeltrix-cli: Профиль \"мОЙ\" пропущен: в базе уже есть профиль \"Мой\"\n"
            "zeltrix-cli: Профиль \"new one\" пропущен: в базе уже есть профиль \"New One\"\n");
  EXPECT_EQ(Names("Profile.prof"),
            (std::vector<std::string>{W("ASM — DT For PIC"), W("ASM — DE For PIC"),
                                      "MikroBasic For PIC", W("Мой"), "New One"}));
  ProfileRecord record;
  ASSERT_TRUE(testing::Loaded(LoadProfile(Path("Profile.prof"), "New One", record)));
  EXPECT_EQ(record.Directive, "db");
  ASSERT_TRUE(testing::Loaded(LoadProfile(Path("Profile.prof"), W("ASM — DE For PIC"), record)));
  EXPECT_EQ(record.Ost1, 4);

  // --overwrite puts the named ones over the profiles whose names they repeat.
  const Result o = Run({"import", "in.prof", "asm — de for pic", "мОЙ", "--overwrite"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(Names("Profile.prof"),
            (std::vector<std::string>{W("ASM — DT For PIC"), W("ASM — DE For PIC"),
                                      "MikroBasic For PIC", W("Мой"), "New One"}));
  ASSERT_TRUE(testing::Loaded(LoadProfile(Path("Profile.prof"), W("ASM — DE For PIC"), record)));
  EXPECT_EQ(record.Ost1, 9);
  ASSERT_TRUE(testing::Loaded(LoadProfile(Path("Profile.prof"), W("Мой"), record)));
  EXPECT_EQ(record.Ost2, 7);

  // Into another database, by name only: stored as the file spells the name.
  WriteBytes(Path("other.prof"), "");
  const Result named = Run({"import", "in.prof", "NEW ONE", "--profiles", "other.prof"});
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(Names("other.prof"), (std::vector<std::string>{"New One"}));
}

TEST_F(CliProfilesTest, ExitStatusesAndMessages) {
  WriteBytes(Path("Profile.prof"), kDefaultDatabase);
  WriteBytes(Path("in.prof"), "[A]\r\n");
  WriteBytes(Path("empty.prof"), "");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"export", "-o", "x.prof"}, 2, "zeltrix-cli: не указаны имена профилей\n"},
      {{"export", "A"}, 2, "zeltrix-cli: не указан файл профилей для записи (-o)\n"},
      {{"export", "A", "-o", "x.prof", "--overwrite"},
       2,
       "zeltrix-cli: параметр \"--overwrite\" допустим только с import\n"},
      {{"import"}, 2, "zeltrix-cli: не указан файл профилей для загрузки\n"},
      {{"import", "in.prof", "-o", "x.prof"},
       2,
       "zeltrix-cli: параметр \"-o\" допустим только с export\n"},
      {{"--overwrite"}, 2, "zeltrix-cli: параметр \"--overwrite\" допустим только с import\n"},
      {{"frob"}, 2, "zeltrix-cli: лишний аргумент \"frob\"\n"},
      {{"export", "Нет", "-o", "x.prof"}, 1, "zeltrix-cli: Профиль \"Нет\" не найден!\n"},
      {{"export", "MikroBasic For PIC", "Нет", "-o", "x.prof"},
       1,
       "zeltrix-cli: Профиль \"Нет\" не найден!\n"},
      {{"export", "MikroBasic For PIC", "-o", "Profile.prof"},
       1,
       "zeltrix-cli: Нет доступа к файлу \"Profile.prof\"\n"},
      {{"export", "MikroBasic For PIC", "-o", "no/dir/x.prof"},
       1,
       "zeltrix-cli: Не удалось создать файл \"no/dir/x.prof\": нет такого файла или папки\n"},
      {{"import", "missing.prof"}, 1, "zeltrix-cli: Файл профилей \"missing.prof\" не найден\n"},
      {{"import", "in.prof", "B"}, 1, "zeltrix-cli: Профиль \"B\" не найден!\n"},
      {{"import", "empty.prof"}, 1, "zeltrix-cli: В файле профилей нет ни одного профиля\n"},
      {{"import", "./Profile.prof", "--profiles", "Profile.prof"},
       1,
       "zeltrix-cli: Нет доступа к файлу \"./Profile.prof\"\n"},
      {{"import", "in.prof", "--profiles", "none.prof"},
       1,
       "zeltrix-cli: Файл профилей \"none.prof\" не найден\n"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.front() << " " << c.args.back();
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.prof")));
  EXPECT_EQ(ReadBytes(Path("Profile.prof")), kDefaultDatabase);
  // The list of names still works, from the default database or another file.
  EXPECT_EQ(Run({}).out, "ASM — DT For PIC\nASM — DE For PIC\nMikroBasic For PIC\n");
  EXPECT_EQ(Run({"--profiles", "in.prof"}).out, "A\n");
}

// On a fresh account the program's own database is made as the window's first
// start makes it, and the import goes into it; a refused import makes nothing.
TEST_F(CliProfilesTest, ImportWithoutTheDatabaseCreatesItFirst) {
  WriteBytes(Path("in.prof"), "[A]\r\nOst1 = 1\r\n");
  for (const std::vector<std::string>& refused :
       {std::vector<std::string>{"import", "missing.prof"},
        {"import", "in.prof", "B"},
        {"import", "in.prof", "--profiles", "none.prof"}}) {
    EXPECT_EQ(Run(refused).status, 1) << refused.back();
    EXPECT_FALSE(std::filesystem::exists(Path("Profile.prof"))) << refused.back();
  }
  EXPECT_FALSE(std::filesystem::exists(Path("none.prof")));

  const Result r = Run({"import", "in.prof"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "zeltrix-cli: Создан файл профилей \"" + Path("Profile.prof") +
                       "\" с тремя профилями по умолчанию\n");
  EXPECT_EQ(ReadBytes(Path("Profile.prof")).substr(0, kDefaultDatabase.size()), kDefaultDatabase);
  EXPECT_EQ(Names("Profile.prof"),
            (std::vector<std::string>{W("ASM — DT For PIC"), W("ASM — DE For PIC"),
                                      "MikroBasic For PIC", "A"}));
}

// A profile file in UTF-16 or with zero bytes used to list as empty and be
// rewritten as garbage by an import; now every command refuses it unread.
TEST_F(CliProfilesTest, ProfileFilesThatAreNotTextAreRefusedAndNeverWritten) {
  const QString text = QString::fromStdString(Cp1251ToUtf8(kDefaultDatabase));
  std::string utf16 = "\xFF\xFE";
  for (const char16_t c : text.toStdU16String()) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  const std::string only =
      ", а программа читает только однобайтовый текст (Windows-1251) и UTF-8\n";
  const std::string zeros = kDefaultDatabase + std::string("\0", 1);
  WriteBytes(Path("in.prof"), "[New]\r\nOst1 = 1\r\n");
  WriteBytes(Path("text.txt"), "AB");
  struct Case {
    std::string bytes;
    std::vector<std::string> args;
    std::string file;  // the refused one
    std::string why;
  };
  const std::string utf16Why = ": файл записан в кодировке UTF-16" + only;
  const std::string zerosWhy =
      ": в файле есть нулевые байты: это не однобайтовый текст (Windows-1251) и не UTF-8\n";
  const Case cases[] = {
      {utf16, {"profiles", "--profiles", "db.prof"}, "db.prof", utf16Why},
      {utf16, {"profiles", "import", "in.prof", "--profiles", "db.prof"}, "db.prof", utf16Why},
      {utf16, {"profiles", "import", "db.prof"}, "db.prof", utf16Why},
      {utf16,
       {"profiles", "export", "New", "-o", "x.prof", "--profiles", "db.prof"},
       "db.prof",
       utf16Why},
      {utf16, {"convert", "--profiles", "db.prof", "text.txt"}, "db.prof", utf16Why},
      {zeros,
       {"convert", "-p", "MikroBasic For PIC", "--profiles", "db.prof", "text.txt"},
       "db.prof",
       zerosWhy},
      {zeros, {"profiles", "import", "in.prof", "--profiles", "db.prof"}, "db.prof", zerosWhy},
  };
  for (const Case& c : cases) {
    WriteBytes(Path("Profile.prof"), kDefaultDatabase);
    WriteBytes(Path("db.prof"), c.bytes);
    const Result r = m_cli.Run(c.args);
    EXPECT_EQ(r.status, 1) << c.args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zeltrix-cli: Не удалось открыть файл профилей \"" + c.file + "\"" + c.why)
        << c.args[1];
    EXPECT_EQ(ReadBytes(Path("db.prof")), c.bytes);
    EXPECT_EQ(ReadBytes(Path("Profile.prof")), kDefaultDatabase);
    EXPECT_FALSE(std::filesystem::exists(Path("x.prof")));
  }
}

// Russian names saved by a UTF-8 editor (with the byte-order mark) cannot be
// read in the dialect's UTF-8, which gives only Latin-1: they are counted.
TEST_F(CliProfilesTest, NamesThatAUtf8FileCannotGiveAreCounted) {
  const std::string file =
      "\xEF\xBB\xBF[Мой]\r\nOst1 = 1\r\n[Plain]\r\nOst1 = 2\r\n[Ещё один]\r\nOst1 = 3\r\n";
  WriteBytes(Path("utf8.prof"), file);
  WriteBytes(Path("Profile.prof"), kDefaultDatabase);
  const std::string warning =
      "zeltrix-cli: в файле профилей \"utf8.prof\" не прочитано имён профилей: 2 - файл записан в "
      "UTF-8 с меткой порядка байтов, а в таком файле программа понимает в именах только латиницу "
      "и другие символы Latin-1, но не русские буквы; сохраните файл в кодировке Windows-1251, и "
      "эти профили появятся\n";
  const Result listed = Run({"--profiles", "utf8.prof"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "Plain\n");
  EXPECT_EQ(listed.err, warning);
  const Result imported = Run({"import", "utf8.prof"});
  EXPECT_EQ(imported.status, 0);
  EXPECT_EQ(imported.err, warning);
  EXPECT_EQ(Names("Profile.prof").back(), "Plain");
  EXPECT_EQ(ReadBytes(Path("utf8.prof")), file);
}

TEST_F(CliProfilesTest, HelpDescribesExportAndImport) {
  const Result r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* text : {"profiles export", "profiles import", "--overwrite"}) {
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace zeltrix
