#include "core/profiles/profile_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/ini/settings_file.h"
#include "tests/support/default_database.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::kDefaultDatabase;
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
  EXPECT_EQ(CreateDefaultProfiles(path, prompter), CreateProfilesResult::Present);
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
  EXPECT_EQ(CreateDefaultProfiles(path, prompter), CreateProfilesResult::Declined);
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteBytes(path, "");
  EXPECT_EQ(CreateDefaultProfiles(path, prompter), CreateProfilesResult::Present);
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(ReadBytes(path), "");
}

TEST(CreateDefaultProfiles, FailureIsFatal) {
  TempDir dir;
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::Yes};
  EXPECT_EQ(CreateDefaultProfiles(dir.Path("missing/Profile.prof"), prompter),
            CreateProfilesResult::Fatal);
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1],
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

TEST(LoadProfile, DefaultProfilesReadBackAsDocumented) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, kDefaultDatabase);
  RecordingPrompter prompter;
  ProfileRecord dt;
  ASSERT_EQ(LoadProfile(path, "asm \x97 dt for pic", dt, prompter), kLoadDone);
  EXPECT_EQ(dt.Ost1, 4);
  EXPECT_EQ(dt.Directive, "Dt");
  EXPECT_EQ(dt.StartData, "0x");
  EXPECT_EQ(dt.RazdelitelData, ", ");
  EXPECT_EQ(dt.Comment, "; ");
  EXPECT_EQ(dt.CountByte, 8);
  EXPECT_EQ(dt.Name, "");

  ProfileRecord basic;
  ASSERT_EQ(LoadProfile(path, "MikroBasic For PIC", basic, prompter), kLoadDone);
  EXPECT_EQ(basic.StartDataBlok, "As Byte[] = (");
  EXPECT_EQ(basic.EndDataBlok, " )");
  EXPECT_EQ(basic.Comment, "' ");
  EXPECT_EQ(basic.CountByteToComment, 1);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST(LoadProfile, MissingNameIsReportedOnceAndLeavesTheRecord) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, kDefaultDatabase);
  RecordingPrompter prompter;
  ProfileRecord record;
  record.Directive = "untouched";
  EXPECT_EQ(LoadProfile(path, "\xCD\xE5\xF2", record, prompter), kLoadNotFound);
  EXPECT_EQ(record.Directive, "untouched");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], (Message{"Ошибка", "Профиль \"Нет\" не найден!", MessageIcon::Error,
                                        MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(LoadProfile(dir.Path("none.prof"), "x", record, prompter), kLoadNoFile);
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST(SaveProfile, OverwritesTheGroupOfTheSameNameKeepingItsHeader) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "; mine\r\n[MyProfile]\r\nOst1 = 1\r\nExtra = x\r\n[Other]\r\nOst1 = 3\r\n");
  RecordingPrompter prompter;
  ProfileRecord record;
  record.Ost1 = 9;
  record.Comment = "; ";
  EXPECT_TRUE(SaveProfile(path, "MYPROFILE", record, prompter));
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.substr(0, 50), "; mine\r\n[MyProfile]\r\nOst1 = 9\r\nExtra = x\r\nOst2 = 0");
  EXPECT_NE(bytes.find("Comment = [String]; [/String]\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("[Other]\r\nOst1 = 3\r\n"), std::string::npos);
  EXPECT_TRUE(prompter.shown.empty());

  ProfileRecord reread;
  ASSERT_EQ(LoadProfile(path, "myprofile", reread, prompter), kLoadDone);
  EXPECT_EQ(reread, record);
}

TEST(SaveProfile, ReportsAFileThatCannotBeOpenedOrRewritten) {
  TempDir dir;
  const Message failure{"Ошибка", "Не удалось сохранить данные профиля", MessageIcon::Error,
                        MessageButtons::Ok, MessageAnswer::Ok};
  RecordingPrompter prompter;
  EXPECT_FALSE(SaveProfile(dir.Path("none.prof"), "P", ProfileRecord(), prompter));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.prof")));
  // Opened, but the rewrite fails as on a full disk: the old file stays.
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "[P]\r\n");
  {
    testing::FileSizeLimit full(64);
    EXPECT_FALSE(SaveProfile(path, "P", ProfileRecord(), prompter));
  }
  EXPECT_EQ(ReadBytes(path), "[P]\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
  ASSERT_EQ(prompter.shown.size(), 2u);
  for (const Message& shown : prompter.shown) EXPECT_EQ(shown, failure);
}

TEST(RenameProfile, ChangesOnlyTheHeaderLine) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  const std::string before = "[Other]\nComment = [Old]\n  [Old] tail \r\nOst1 = 4\n[Old]\n";
  WriteBytes(path, before);
  RecordingPrompter prompter;
  EXPECT_TRUE(RenameProfile(path, "Old", "\xCD\xEE\xE2\xFB\xE9", prompter));
  EXPECT_EQ(ReadBytes(path),
            "[Other]\nComment = [Old]\n  [\xCD\xEE\xE2\xFB\xE9] tail \r\nOst1 = 4\n[Old]\n");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST(RenameProfile, FailuresAreReported) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  const Message failure{"Ошибка", "Не удалось переименовать профиль!", MessageIcon::Warning,
                        MessageButtons::Ok, MessageAnswer::Ok};
  RecordingPrompter prompter;
  EXPECT_FALSE(RenameProfile(path, "A", "B", prompter));  // no file
  WriteBytes(path, "[a]\r\n");
  EXPECT_FALSE(RenameProfile(path, "A", "B", prompter));  // header matched with case
  EXPECT_EQ(ReadBytes(path), "[a]\r\n");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0], failure);
  WriteBytes(path, "");
  EXPECT_TRUE(RenameProfile(path, "A", "B", prompter));
  EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST(DeleteProfiles, AsksAndRemovesTheWholeGroups) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "[A]\r\nk = 1\r\n; c\r\n[B]\r\nk = 2\r\n[\xC2]\r\nk = 3\r\n");
  RecordingPrompter prompter;
  prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
  const std::vector<std::string> names = {"A", "", "\xC2"};
  EXPECT_EQ(DeleteProfiles(path, names, prompter), DeleteResult::Declined);
  EXPECT_EQ(DeleteProfiles(path, names, prompter), DeleteResult::Deleted);
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
    EXPECT_EQ(DeleteProfiles(path, names, prompter), DeleteResult::Declined);
    std::string expected = "Вы действительно хотите удалить профили\n";
    for (int i = 1; i <= 20; ++i) expected += "P" + std::to_string(i) + "\n";
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, expected + c.tail) << c.chosen;
  }
}

TEST(DeleteProfiles, NothingSelected) {
  TempDir dir;
  RecordingPrompter prompter;
  EXPECT_EQ(DeleteProfiles(dir.Path("p"), {"", ""}, prompter), DeleteResult::NothingSelected);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Удаление профиля", "Не выбран профиль", MessageIcon::Warning,
                     MessageButtons::Ok, MessageAnswer::Ok}));
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
  EXPECT_EQ(DeleteProfiles(path, names, prompter), DeleteResult::Deleted);
  // One deletion takes at most 10000 names.
  EXPECT_EQ(ReadBytes(path), "[P10000]\r\nOst1 = 1\r\n");
}

}  // namespace
}  // namespace zeltrix
