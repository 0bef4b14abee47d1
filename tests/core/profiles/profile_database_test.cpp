#include "core/profiles/profile_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/settings/settings_file.h"
#include "tests/support/default_database.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/profile_loaded.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::kDefaultDatabase;
using testing::Loaded;
using testing::ReadBytes;
using testing::RecordingPrompter;
using testing::TempDir;
using testing::WriteBytes;

const Message kCreateQuestion{"Ошибка", "Файл, хранящий данные о профилях не найден!\nСоздать его?",
                              MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};

TEST(CreateDefaultProfiles, YesWritesTheExactDatabase) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::Yes};
  const Result<bool> present = CreateDefaultProfiles(path, prompter);
  ASSERT_TRUE(present);
  EXPECT_TRUE(*present);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], kCreateQuestion);
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes, kDefaultDatabase);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 54);
}

TEST(CreateDefaultProfiles, NoCreatesNothingAndAPresentFileIsNotTouched) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::No};
  const Result<bool> declined = CreateDefaultProfiles(path, prompter);
  ASSERT_TRUE(declined);
  EXPECT_FALSE(*declined);
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteBytes(path, "");
  const Result<bool> present = CreateDefaultProfiles(path, prompter);
  ASSERT_TRUE(present);
  EXPECT_TRUE(*present);
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(ReadBytes(path), "");
}

TEST(CreateDefaultProfiles, FailureIsFatal) {
  TempDir dir;
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::Yes};
  const Result<bool> fatal = CreateDefaultProfiles(dir.Path("missing/Profile.prof"), prompter);
  ASSERT_FALSE(fatal);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], kCreateQuestion);
  EXPECT_EQ(fatal.Reason(),
            (Message{"Фатальная ошибка", "Не удалось создать файл!\nРабота програмы прервана!",
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
}

TEST(ListProfiles, NamesInFileOrderWithoutEmptyOnes) {
  TempDir dir;
  const std::string path = dir.Path("p.prof");
  EXPECT_FALSE(ListProfiles(path));
  WriteBytes(path, "[B]\r\n[]\r\n[a]\r\n[B]\r\n");
  EXPECT_EQ(*ListProfiles(path), (std::vector<std::string>{"B", "a", "B"}));
  EXPECT_FALSE(ListProfiles(dir.Root()));
}

TEST(ReadProfileList, TellsWhyAFileWasNotReadAndWhatToShow) {
  TempDir dir;
  const std::string path = dir.Path("p.prof");
  const ProfileListRead missing = ReadProfileList(path);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Reason().refusal, "");
  // Only missing: nothing to tell.
  EXPECT_FALSE(ProfileListMessage(path, missing));

  WriteBytes(path, std::string("[\0A\0]\0", 6));
  const ProfileListRead refused = ReadProfileList(path);
  ASSERT_FALSE(refused);
  EXPECT_EQ(ProfileListMessage(path, refused),
            ErrorMessage("Ошибка", RefusedProfileFileText(path, refused.Reason().refusal)));

  WriteBytes(path, "\xEF\xBB\xBF[\xD0\x9C\xD0\xBE\xD0\xB9]\r\n[Plain]\r\n");
  const ProfileListRead partly = ReadProfileList(path);
  ASSERT_TRUE(partly);
  EXPECT_EQ(partly->names, std::vector<std::string>{"Plain"});
  EXPECT_EQ(partly->unreadable, 1u);
  EXPECT_EQ(ProfileListMessage(path, partly),
            WarningMessage("Внимание", UnreadableNamesText(path, 1)));
}

TEST(ProfileListReporter, TellsAProblemOnceAndAgainAfterItChanged) {
  TempDir dir;
  const std::string path = dir.Path("p.prof");
  ProfileListReporter reporter;
  WriteBytes(path, "[A]\r\n");
  EXPECT_FALSE(reporter.Untold(path, ReadProfileList(path)));
  WriteBytes(path, std::string("[\0A\0]\0", 6));
  EXPECT_TRUE(reporter.Untold(path, ReadProfileList(path)));
  EXPECT_FALSE(reporter.Untold(path, ReadProfileList(path)));
  WriteBytes(path, "[A]\r\n");
  EXPECT_FALSE(reporter.Untold(path, ReadProfileList(path)));
  WriteBytes(path, std::string("[\0A\0]\0", 6));
  EXPECT_TRUE(reporter.Untold(path, ReadProfileList(path)));
}

TEST(LoadProfile, DefaultProfilesReadBackAsDocumented) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, kDefaultDatabase);
  ProfileRecord dt;
  ASSERT_TRUE(Loaded(LoadProfile(path, "asm \x97 dt for pic", dt)));
  EXPECT_EQ(dt.Ost1, 4);
  EXPECT_EQ(dt.Directive, "Dt");
  EXPECT_EQ(dt.StartData, "0x");
  EXPECT_EQ(dt.RazdelitelData, ", ");
  EXPECT_EQ(dt.Comment, "; ");
  EXPECT_EQ(dt.CountByte, 8);
  EXPECT_EQ(dt.Name, "");

  ProfileRecord basic;
  ASSERT_TRUE(Loaded(LoadProfile(path, "MikroBasic For PIC", basic)));
  EXPECT_EQ(basic.StartDataBlok, "As Byte[] = (");
  EXPECT_EQ(basic.EndDataBlok, " )");
  EXPECT_EQ(basic.Comment, "' ");
  EXPECT_EQ(basic.CountByteToComment, 1);
}

TEST(LoadProfile, MissingNameIsReportedOnceAndLeavesTheRecord) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, kDefaultDatabase);
  ProfileRecord record;
  record.Directive = "untouched";
  const Result<bool> missing = LoadProfile(path, "\xCD\xE5\xF2", record);
  ASSERT_FALSE(missing);
  EXPECT_EQ(record.Directive, "untouched");
  EXPECT_EQ(missing.Reason(), (Message{"Ошибка", "Профиль \"Нет\" не найден!", MessageIcon::Error,
                                       MessageButtons::Ok, MessageAnswer::Ok}));
  // A missing file is no failure: the caller decides whether to tell it.
  const Result<bool> noFile = LoadProfile(dir.Path("none.prof"), "x", record);
  ASSERT_TRUE(noFile);
  EXPECT_FALSE(*noFile);
}

TEST(SaveProfile, OverwritesTheGroupOfTheSameNameKeepingItsHeader) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "; mine\r\n[MyProfile]\r\nOst1 = 1\r\nExtra = x\r\n[Other]\r\nOst1 = 3\r\n");
  ProfileRecord record;
  record.Ost1 = 9;
  record.Comment = "; ";
  EXPECT_TRUE(SaveProfile(path, "MYPROFILE", record));
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.substr(0, 50), "; mine\r\n[MyProfile]\r\nOst1 = 9\r\nExtra = x\r\nOst2 = 0");
  EXPECT_NE(bytes.find("Comment = [String]; [/String]\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("[Other]\r\nOst1 = 3\r\n"), std::string::npos);

  ProfileRecord reread;
  ASSERT_TRUE(Loaded(LoadProfile(path, "myprofile", reread)));
  EXPECT_EQ(reread, record);
}

TEST(SaveProfile, ReportsAFileThatCannotBeOpenedOrRewritten) {
  TempDir dir;
  const Message failure{"Ошибка", "Не удалось сохранить данные профиля", MessageIcon::Error,
                        MessageButtons::Ok, MessageAnswer::Ok};
  const Status missing = SaveProfile(dir.Path("none.prof"), "P", ProfileRecord());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Reason(), failure);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.prof")));
  // Opened, but the rewrite fails as on a full disk: the old file stays.
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "[P]\r\n");
  {
    testing::FileSizeLimit full(64);
    const Status unwritten = SaveProfile(path, "P", ProfileRecord());
    ASSERT_FALSE(unwritten);
    EXPECT_EQ(unwritten.Reason(), failure);
  }
  EXPECT_EQ(ReadBytes(path), "[P]\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(RenameProfile, ChangesOnlyTheHeaderLine) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  const std::string before = "[Other]\nComment = [Old]\n  [Old] tail \r\nOst1 = 4\n[Old]\n";
  WriteBytes(path, before);
  EXPECT_TRUE(RenameProfile(path, "Old", "\xCD\xEE\xE2\xFB\xE9"));
  EXPECT_EQ(ReadBytes(path),
            "[Other]\nComment = [Old]\n  [\xCD\xEE\xE2\xFB\xE9] tail \r\nOst1 = 4\n[Old]\n");
}

TEST(RenameProfile, FailuresAreReported) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  const Message failure{"Ошибка", "Не удалось переименовать профиль!", MessageIcon::Warning,
                        MessageButtons::Ok, MessageAnswer::Ok};
  const Status noFile = RenameProfile(path, "A", "B");
  ASSERT_FALSE(noFile);
  WriteBytes(path, "[a]\r\n");
  const Status otherCase = RenameProfile(path, "A", "B");  // header matched with case
  ASSERT_FALSE(otherCase);
  EXPECT_EQ(ReadBytes(path), "[a]\r\n");
  EXPECT_EQ(noFile.Reason(), failure);
  WriteBytes(path, "");
  EXPECT_TRUE(RenameProfile(path, "A", "B"));
}

TEST(DeleteProfiles, AsksAndRemovesTheWholeGroups) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "[A]\r\nk = 1\r\n; c\r\n[B]\r\nk = 2\r\n[\xC2]\r\nk = 3\r\n");
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
  const std::vector<std::string> names = {"A", "", "\xC2"};
  const Result<bool> declined = DeleteProfiles(path, names, prompter);
  ASSERT_TRUE(declined);
  EXPECT_FALSE(*declined);
  const Result<bool> deleted = DeleteProfiles(path, names, prompter);
  ASSERT_TRUE(deleted);
  EXPECT_TRUE(*deleted);
  EXPECT_EQ(ReadBytes(path), "[B]\r\nk = 2\r\n");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Вы уверены?", "Вы действительно хотите удалить профили\nA\nВ\n",
                     MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}));
}

TEST(DeleteProfiles, TheQuestionListsAtMostTwentyNames) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  struct Case {
    int chosen;
    const char* tail;  // after the twentieth name
  };
  for (const Case& c : {Case{20, ""}, Case{21, "… и ещё 1\n"}, Case{500, "… и ещё 480\n"}}) {
    std::vector<std::string> names;
    for (int i = 1; i <= c.chosen; ++i) names.push_back("P" + std::to_string(i));
    RecordingPrompter prompter;
    prompter.answers = {MessageAnswer::No};
    const Result<bool> declined = DeleteProfiles(path, names, prompter);
    ASSERT_TRUE(declined);
    EXPECT_FALSE(*declined);
    std::string expected = "Вы действительно хотите удалить профили\n";
    for (int i = 1; i <= 20; ++i) expected += "P" + std::to_string(i) + "\n";
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, expected + c.tail) << c.chosen;
  }
}

TEST(DeleteProfiles, NothingSelected) {
  TempDir dir;
  RecordingPrompter prompter;
  const Result<bool> nothing = DeleteProfiles(dir.Path("p"), {"", ""}, prompter);
  ASSERT_FALSE(nothing);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(nothing.Reason(),
            (Message{"Удаление профиля", "Не выбран профиль", MessageIcon::Warning,
                     MessageButtons::Ok, MessageAnswer::Ok}));
}

TEST(DeleteProfiles, ACheckForAChoiceComesBeforeTheQuestion) {
  EXPECT_FALSE(CheckProfilesToDelete({}));
  EXPECT_EQ(CheckProfilesToDelete({"", ""}).Reason(),
            (Message{"Удаление профиля", "Не выбран профиль", MessageIcon::Warning,
                     MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_TRUE(CheckProfilesToDelete({"", "A"}));
}

TEST(DeleteProfiles, AFileThatCannotBeRewrittenStaysAsItWas) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  const std::string before = "[A]\r\nk = 1\r\n[B]\r\nk = 2\r\n";
  WriteBytes(path, before);
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::Yes};
  {
    testing::FileSizeLimit full(8);
    const Result<bool> deleted = DeleteProfiles(path, {"A"}, prompter);
    ASSERT_FALSE(deleted);
    EXPECT_EQ(deleted.Reason(), (Message{"Ошибка", "Не удалось удалить профили", MessageIcon::Error,
                                         MessageButtons::Ok, MessageAnswer::Ok}));
  }
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(DeleteProfiles, ManyProfilesAtOnce) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  std::string content;
  std::vector<std::string> names;
  for (int i = 0; i < 10001; ++i) {
    names.push_back("P" + std::to_string(i));
    content += "[" + names.back() + "]\r\nOst1 = 1\r\n";
  }
  WriteBytes(path, content);
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::Yes};
  const Result<bool> deleted = DeleteProfiles(path, names, prompter);
  ASSERT_TRUE(deleted);
  EXPECT_TRUE(*deleted);
  // One deletion takes at most 10000 names.
  EXPECT_EQ(ReadBytes(path), "[P10000]\r\nOst1 = 1\r\n");
}

}  // namespace
}  // namespace zeltrix
