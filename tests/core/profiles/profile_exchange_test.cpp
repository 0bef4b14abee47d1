// Names compared for repeats, and the profile files that carry profiles between databases.
#include "core/profiles/profile_exchange.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/default_database.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/profile_loaded.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::DefaultGroup;
using testing::kDefaultDatabase;
using testing::Loaded;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

using testing::W;

const std::string kDt = W("ASM — DT For PIC");
const std::string kDe = W("ASM — DE For PIC");
const std::string kBasic = "MikroBasic For PIC";

// A default profile as an exchange file holds it: every text wrapped.
std::string ExportedGroup(const std::string& name, const std::string& ost1,
                          const std::string& directive, const std::string& block,
                          const std::string& blockEnd, const std::string& data,
                          const std::string& comment, const std::string& countByte,
                          const std::string& countToComment) {
  const auto wrap = [](const std::string& text) { return "[String]" + text + "[/String]"; };
  std::string group = DefaultGroup(name, ost1, wrap(directive), wrap(block), wrap(blockEnd),
                                   wrap(data), wrap(comment), countByte, countToComment);
  const std::string endData = "\r\nEndData = \r\n";
  group.replace(group.find(endData), endData.size(), "\r\nEndData = [String][/String]\r\n");
  return group;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ProgramLower, LatinAndCyrillicCapitalsButNotYaOrYo) {
  EXPECT_EQ(ProgramLower("ABZ az \xC0\xDE\xDF\xA8\xE0"), "abz az \xE0\xFE\xDF\xA8\xE0");
}

TEST(ProfileNames, RepeatsFollowTheProgramLowerCaseRule) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"Abc", "aBC", true},        {"ASM — DT For PIC", "asm — dt for pic", true},
      {"Тест", "тЕСТ", true},      {"АБВЮ", "абвю", true},
      {"Яблоко", "яблоко", false}, {"Ёж", "ёж", false},
      {"a", "a ", false},          {"Z[", "z{", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameProfileName(W(c.a), W(c.b)), c.same) << c.a << " / " << c.b;
  }
  const std::vector<std::string> lowered = LoweredNames({W("Мой"), "", "ABC"});
  EXPECT_EQ(lowered, (std::vector<std::string>{"abc", W("мой")}));
  EXPECT_TRUE(RepeatsName(W("мОЙ"), lowered));
  EXPECT_TRUE(RepeatsName("aBc", lowered));
  EXPECT_FALSE(RepeatsName("", lowered));
  EXPECT_FALSE(RepeatsName("abcd", lowered));
}

TEST(ProfileNames, AnImportPlanTakesEachNameOnce) {
  const std::vector<std::string> existing = {"Abc", W("Мой")};
  const std::vector<std::string> names = {"aBC", "New", W("мОЙ"), "NEW", W("Яд")};
  const ImportPlan skip = PlanImport(names, existing, false);
  ASSERT_EQ(skip.imports.size(), 2u);
  EXPECT_EQ(skip.imports[0].to, "New");
  EXPECT_EQ(skip.imports[1].to, W("Яд"));
  ASSERT_EQ(skip.skipped.size(), 3u);
  EXPECT_EQ(skip.skipped[0].existing, "Abc");
  EXPECT_EQ(skip.skipped[1].existing, W("Мой"));
  EXPECT_EQ(skip.skipped[2].existing, "New") << "a repeat within the list counts as existing";
  const ImportPlan over = PlanImport(names, existing, true);
  EXPECT_TRUE(over.skipped.empty());
  std::vector<std::string> targets;
  for (const ProfileImport& i : over.imports) targets.push_back(i.to);
  EXPECT_EQ(targets, (std::vector<std::string>{"Abc", "New", W("Мой"), "New", W("Яд")}));
}

TEST(ProfileFiles, TheDatabaseIsRecognisedUnderEveryName) {
  TempDir dir;
  const std::string database = dir.Path("Profile.prof");
  WriteBytes(database, kDefaultDatabase);
  std::filesystem::create_directory(dir.Path("sub"));
  std::filesystem::create_symlink(database, dir.Path("link.prof"));
  EXPECT_TRUE(IsProfileDatabase(database, database));
  EXPECT_TRUE(IsProfileDatabase(dir.Path("PROFILE.PROF"), database));
  EXPECT_TRUE(IsProfileDatabase(dir.Path("sub/../Profile.prof"), database));
  EXPECT_TRUE(IsProfileDatabase(dir.Path("link.prof"), database));
  EXPECT_FALSE(IsProfileDatabase(dir.Path("Profile.prof.bak"), database));
  EXPECT_FALSE(IsProfileDatabase(dir.Path("sub/Profile.prof"), database));
}

TEST(ProfileFiles, ExportWritesTheChosenProfilesWrappedInTheGivenOrder) {
  TempDir dir;
  const std::string database = dir.Path("Profile.prof");
  WriteBytes(database, kDefaultDatabase);
  const std::string target = dir.Path("out.prof");
  WriteBytes(target, "old content that must go\r\n[Old]\r\n");
  SettingsFile file;
  ASSERT_TRUE(file.Open(database));
  const NamedProfilesRead read = LoadNamedProfiles(file, {kBasic, "", "Missing", kDt});
  const std::vector<NamedProfile>& profiles = read.profiles;
  ASSERT_EQ(read.missing.size(), 1u);
  EXPECT_EQ(read.missing[0], (Message{"Ошибка", "Профиль \"Missing\" не найден!",
                                      MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  ASSERT_EQ(profiles.size(), 2u);
  EXPECT_EQ(profiles[0].name, kBasic);
  EXPECT_EQ(profiles[1].name, kDt);
  EXPECT_EQ(profiles[1].record.RazdelitelData, ", ");

  ASSERT_TRUE(WriteProfileFile(target, profiles));
  EXPECT_EQ(ReadBytes(target),
            ExportedGroup(kBasic, "1", "const", "As Byte[] = (", " )", "$", "' ", "100", "1") +
                ExportedGroup(kDt, "4", "Dt", "", "", "0x", "; ", "8", "0"));
  EXPECT_EQ(ReadBytes(database), kDefaultDatabase);
}

TEST(ProfileFiles, AnExportThatCannotBeWrittenLeavesTheOldFile) {
  TempDir dir;
  const std::vector<NamedProfile> profiles = {{"A", {}}};
  EXPECT_FALSE(WriteProfileFile(dir.Path("missing/out.prof"), profiles));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("missing")));
  const std::string target = dir.Path("out.prof");
  WriteBytes(target, "previous");
  {
    testing::FileSizeLimit limit(40);
    EXPECT_FALSE(WriteProfileFile(target, profiles));
  }
  EXPECT_EQ(ReadBytes(target), "previous");
}

// Saves every profile of the file back into it, loaded as it stands.
void LoadAndSaveEach(const std::string& database) {
  const std::vector<std::string> names =
      ListProfiles(database).value_or(std::vector<std::string>{});
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    ProfileRecord record;
    ASSERT_TRUE(Loaded(LoadProfile(database, name, record)));
    ASSERT_TRUE(SaveProfile(database, name, record));
  }
}

std::string WithoutMarkers(std::string text) {
  for (const std::string marker : {"[String]", "[/String]"}) {
    for (std::size_t at; (at = text.find(marker)) != std::string::npos;)
      text.erase(at, marker.size());
  }
  return text;
}

// Profile files written before the ROM keys existed save, export and import
// byte for byte as before.
TEST(ProfileFiles, ExistingFilesSaveExportAndImportUnchanged) {
  TempDir dir;
  // As the program writes profiles, in the database and in an exchange file alike.
  const std::string written =
      ExportedGroup(kDt, "4", "Dt", "", "", "0x", "; ", "8", "0") +
      ExportedGroup(kBasic, "1", "const", "As Byte[] = (", " )", "$", "' ", "100", "1");
  const std::string database = dir.Path("Profile.prof");
  WriteBytes(database, written);
  LoadAndSaveEach(database);
  EXPECT_EQ(ReadBytes(database), written);

  const std::string exchange = dir.Path("out.prof");
  SettingsFile file;
  ASSERT_TRUE(file.Open(database));
  const NamedProfilesRead read = LoadNamedProfiles(file, {kDt, kBasic});
  EXPECT_TRUE(read.missing.empty());
  ASSERT_TRUE(WriteProfileFile(exchange, read.profiles));
  EXPECT_EQ(ReadBytes(exchange), written);
  const std::string second = dir.Path("second.prof");
  WriteBytes(second, "");
  const ImportResult imported = ImportProfiles(exchange, {{kDt, kDt}, {kBasic, kBasic}}, second);
  ASSERT_TRUE(imported);
  ASSERT_EQ(imported->copied, 2u);
  EXPECT_TRUE(imported->missing.empty());
  EXPECT_EQ(ReadBytes(second), written);

  // Files written by hand or by the first start: saving wraps their texts and changes nothing else.
  const std::string others[] = {kDefaultDatabase,
                                ReadBytes(ZELTRIX_SOURCE_DIR "/examples/sample-profiles.prof")};
  for (const std::string& original : others) {
    ASSERT_FALSE(original.empty());
    WriteBytes(database, original);
    LoadAndSaveEach(database);
    EXPECT_EQ(WithoutMarkers(ReadBytes(database)), WithoutMarkers(original));
  }
}

TEST(ProfileFiles, TheRomAndLookAlikesTravelWithTheProfile) {
  TempDir dir;
  const std::string database = dir.Path("Profile.prof");
  WriteBytes(database, kDefaultDatabase);
  ProfileRecord record;
  ASSERT_TRUE(Loaded(LoadProfile(database, kDt, record)));
  record.Rom = CharacterRom::A02;
  record.LookAlikes = 1;
  ASSERT_TRUE(SaveProfile(database, "Western", record));

  const std::string exchange = dir.Path("out.prof");
  SettingsFile file;
  ASSERT_TRUE(file.Open(database));
  ASSERT_TRUE(WriteProfileFile(exchange, LoadNamedProfiles(file, {"Western"}).profiles));
  EXPECT_TRUE(ReadBytes(exchange).ends_with("CountSpace = 2\r\nRom = A02\r\nLookAlikes = 1\r\n"));
  const std::string second = dir.Path("second.prof");
  WriteBytes(second, kDefaultDatabase);
  const ImportResult copied = ImportProfiles(exchange, {{"Western", "Western"}}, second);
  ASSERT_TRUE(copied);
  ASSERT_EQ(copied->copied, 1u);
  ProfileRecord imported;
  ASSERT_TRUE(Loaded(LoadProfile(second, "Western", imported)));
  EXPECT_EQ(imported, record);
}

class ImportProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(m_database, kDefaultDatabase);
    WriteBytes(m_source, W("[New One]\r\nDirective = db\r\nSI = 1\r\n"
                           "[asm — de for pic]\r\nOst1 = 9\r\nDirective = [String]xx[/String]\r\n"
                           "[мой]\r\nOst2 = 7\r\n"));
  }
  ImportResult Import(const std::vector<ProfileImport>& profiles) {
    return ImportProfiles(m_source, profiles, m_database);
  }

  TempDir m_dir;
  std::string m_database = m_dir.Path("Profile.prof");
  std::string m_source = m_dir.Path("in.prof");
};

TEST_F(ImportProfilesTest, NewNamesAreAppendedAndLatinCaseRepeatsOverwriteKeepingTheHeader) {
  const ImportResult outcome =
      Import({{"New One", "New One"}, {W("asm — de for pic"), W("asm — de for pic")}});
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->copied, 2u);
  EXPECT_TRUE(outcome->missing.empty());
  std::string expected = Replace(kDefaultDatabase,
                                 "Ost1 = 4\r\nOst2 = 4\r\nDirective = De\r\n"
                                 "StartDataBlok = \r\nEndDataBlok = \r\nStartData = 0x\r\n"
                                 "SI = 2\r\nEndData = \r\nRazdelitelData = [String], [/String]\r\n"
                                 "Comment = [String]; [/String]\r\nCommentState = 1\r\n"
                                 "CountByte = 8\r\n",
                                 "Ost1 = 9\r\nOst2 = 2\r\nDirective = [String]xx[/String]\r\n"
                                 "StartDataBlok = [String][/String]\r\n"
                                 "EndDataBlok = [String][/String]\r\n"
                                 "StartData = [String][/String]\r\nSI = 2\r\n"
                                 "EndData = [String][/String]\r\n"
                                 "RazdelitelData = [String][/String]\r\n"
                                 "Comment = [String][/String]\r\nCommentState = 0\r\n"
                                 "CountByte = 0\r\n");
  expected +=
      "[New One]\r\nOst1 = 2\r\nOst2 = 2\r\nDirective = [String]db[/String]\r\n"
      "StartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
      "StartData = [String][/String]\r\nSI = 1\r\nEndData = [String][/String]\r\n"
      "RazdelitelData = [String][/String]\r\nComment = [String][/String]\r\n"
      "CommentState = 0\r\nCountByte = 0\r\nPerenosPoSlovam = 0\r\nCountByteToComment = 0\r\n"
      "DeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n";
  EXPECT_EQ(ReadBytes(m_database), expected);
  // The DE header kept its letters.
  EXPECT_EQ(*ListProfiles(m_database), (std::vector<std::string>{kDt, kDe, kBasic, "New One"}));
}

TEST_F(ImportProfilesTest, CyrillicCaseRepeatsAddASecondProfileAndTargetsCanBeRenamed) {
  WriteBytes(m_database, kDefaultDatabase + W("[Мой]\r\n"));
  // Saving under another name puts the profile over the one of that name.
  const ImportResult outcome = Import({{W("мой"), W("мой")}, {"New One", kBasic}});
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->copied, 2u);
  EXPECT_EQ(*ListProfiles(m_database),
            (std::vector<std::string>{kDt, kDe, kBasic, W("Мой"), W("мой")}));
  ProfileRecord basic;
  ASSERT_TRUE(Loaded(LoadProfile(m_database, kBasic, basic)));
  EXPECT_EQ(basic.Directive, "db");
  EXPECT_EQ(basic.SI, kDecimal);
}

TEST_F(ImportProfilesTest, AProfileMissingFromTheFileIsReportedAndNothingStaleIsSaved) {
  const ImportResult outcome = Import({{"Gone", "Gone"}, {"", ""}, {"New One", "New One"}});
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->copied, 1u);
  ASSERT_EQ(outcome->missing.size(), 1u);
  EXPECT_EQ(outcome->missing[0].text, "Профиль \"Gone\" не найден!");
  EXPECT_EQ(*ListProfiles(m_database), (std::vector<std::string>{kDt, kDe, kBasic, "New One"}));
}

TEST_F(ImportProfilesTest, AFailedWriteStillTellsTheProfilesThatWereMissing) {
  testing::FileSizeLimit limit(kDefaultDatabase.size());
  const ImportResult outcome = Import({{"Gone", "Gone"}, {"New One", "New One"}});
  ASSERT_FALSE(outcome);
  ASSERT_EQ(outcome.Reason().missing.size(), 1u);
  EXPECT_EQ(outcome.Reason().missing[0].text, "Профиль \"Gone\" не найден!");
  EXPECT_EQ(outcome.Reason().message.text, "Не удалось сохранить данные профиля");
}

TEST_F(ImportProfilesTest, UnreadableFilesAndAFailedWriteLeaveTheDatabaseAlone) {
  const Message notSaved{"Ошибка", "Не удалось сохранить данные профиля", MessageIcon::Error,
                         MessageButtons::Ok, MessageAnswer::Ok};
  std::filesystem::remove(m_source);
  const ImportResult noSource = Import({{"New One", "New One"}});
  ASSERT_FALSE(noSource);
  EXPECT_EQ(noSource.Reason().message,
            (Message{"Ошибка", "Не удалось открыть файл\n" + m_source, MessageIcon::Error,
                     MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_TRUE(noSource.Reason().write);
  SetUp();
  std::filesystem::remove(m_database);
  std::filesystem::create_directory(m_database);
  const ImportResult noDatabase = Import({{"New One", "New One"}});
  ASSERT_FALSE(noDatabase);
  EXPECT_EQ(noDatabase.Reason().message, notSaved);
  EXPECT_TRUE(noDatabase.Reason().write);
  std::filesystem::remove(m_database);
  SetUp();
  {
    testing::FileSizeLimit limit(kDefaultDatabase.size());
    const ImportResult unwritten = Import({{"New One", "New One"}});
    ASSERT_FALSE(unwritten);
    EXPECT_EQ(unwritten.Reason().message, notSaved);
    EXPECT_FALSE(unwritten.Reason().write);
    EXPECT_TRUE(unwritten.Reason().missing.empty());
  }
  EXPECT_EQ(ReadBytes(m_database), kDefaultDatabase);
}

}  // namespace
}  // namespace zeltrix
