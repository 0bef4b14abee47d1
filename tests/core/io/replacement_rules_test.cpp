// Every place that replaces or reads a file keeps the same rules: a file the
// user may not write is left alone, a writable file in a closed folder is
// written in place, and only regular files are read or replaced.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/io/file_io.h"
#include "core/io/text_file.h"
#include "core/lcd/bin_writer.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "core/settings/app_settings.h"
#include "core/settings/settings_file.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// One replacement of a file as a place of the program makes it; the message
// shown through the prompter, if any, is the place's own.
struct Replacement {
  const char* what;
  std::function<bool(const std::string& path, Prompter& prompter)> run;
  const char* failureText;  // the start of the message shown when it fails; "" for none
};

std::vector<Replacement> Replacements() {
  const auto bin = [](BinTarget target, BinPlacement placement, BinManner manner) {
    return [=](const std::string& path, Prompter& prompter) {
      // The BIN writer returns its failure; its callers show it.
      const Status written = WriteBinImage(path, "AB", target, placement, manner, "1", prompter);
      if (!written) prompter.Show(written.Reason());
      return written.Ok();
    };
  };
  return {
      {"text save", [](const std::string& p, Prompter&) { return WriteTextFile(p, "new").Ok(); },
       ""},
      {"settings",
       [](const std::string& p, Prompter&) { return SaveSettings(p, AppSettings{}).Ok(); }, ""},
      {"profile database",
       [](const std::string& p, Prompter& prompter) {
         // The window shows why it failed.
         const Status saved = SaveProfile(p, "New", ProfileRecord{});
         if (!saved) prompter.Show(saved.Reason());
         return saved.Ok();
       },
       "Не удалось сохранить данные профиля"},
      {"profile export",
       [](const std::string& p, Prompter&) {
         return WriteProfileFile(p, {{"A", {}}}).Ok();
       },
       ""},
      {"bin new file", bin(kBinNewFile, kBinAtEnd, kBinInsert), "Не удалось создать файл"},
      {"bin append", bin(kBinExistingFile, kBinAtEnd, kBinInsert), "Не удалось открыть файл"},
      {"bin insert", bin(kBinExistingFile, kBinAtAddress, kBinInsert), "Не удалось открыть файл"},
      {"bin replace", bin(kBinExistingFile, kBinAtAddress, kBinReplace), "Не удалось открыть файл"},
  };
}

const std::string kOld = "[Old]\r\nOst1 = 1\r\n";

std::size_t EntriesIn(const std::string& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(ReplacementRules, AFileTheUserMayNotWriteIsLeftAloneWithThePlacesMessage) {
  for (const Replacement& r : Replacements()) {
    TempDir dir;
    ::chmod(dir.Root().c_str(), 0777);
    const std::string path = dir.Path("locked");
    WriteBytes(path, kOld);
    ::chmod(path.c_str(), 0444);
    testing::RecordingPrompter prompter;
    {
      testing::AsOrdinaryUser user;
      EXPECT_FALSE(r.run(path, prompter)) << r.what;
    }
    EXPECT_EQ(ReadBytes(path), kOld) << r.what;
    EXPECT_EQ(EntriesIn(dir.Root()), 1u) << r.what;
    if (*r.failureText != '\0') {
      ASSERT_FALSE(prompter.shown.empty()) << r.what;
      EXPECT_EQ(prompter.shown.front().text.rfind(r.failureText, 0), 0u)
          << r.what << ": " << prompter.shown.front().text;
    }
  }
}

TEST(ReplacementRules, AWritableFileInAClosedFolderIsWrittenInPlace) {
  for (const Replacement& r : Replacements()) {
    TempDir dir;
    const std::string path = dir.Path("open");
    WriteBytes(path, kOld);
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.Root().c_str(), 0555);
    testing::RecordingPrompter prompter;
    {
      testing::AsOrdinaryUser user;
      EXPECT_TRUE(r.run(path, prompter)) << r.what;
    }
    const std::string after = ReadBytes(path);
    EXPECT_NE(after, kOld) << r.what;
    EXPECT_EQ(EntriesIn(dir.Root()), 1u) << r.what;
  }
  // The whole content is written: a shorter one leaves no tail of the old.
  TempDir dir;
  const std::string path = dir.Path("t.txt");
  WriteBytes(path, "a much longer old text");
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.Root().c_str(), 0555);
  testing::AsOrdinaryUser user;
  EXPECT_TRUE(WriteTextFile(path, "short"));
  EXPECT_EQ(ReadBytes(path), "short");
}

// A pipe without a writer would block an open for reading for ever: the alarm
// ends the test then instead of hanging it.
class SpecialFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0666), 0);
    if (::geteuid() == 0) {
      ASSERT_EQ(::mknod(m_device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);  // null device
      m_paths.push_back(m_device);
    }
    ::alarm(20);
  }
  void TearDown() override { ::alarm(0); }

  static bool StillSpecial(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode));
  }

  TempDir m_dir;
  std::string m_fifo = m_dir.Path("fifo");
  std::string m_device = m_dir.Path("device");
  std::vector<std::string> m_paths = {m_fifo};
};

TEST_F(SpecialFiles, AreRefusedAtOnceAsTargetsAndLeftInPlace) {
  for (const std::string& path : m_paths) {
    for (const Replacement& r : Replacements()) {
      testing::RecordingPrompter prompter;
      EXPECT_FALSE(r.run(path, prompter)) << r.what << " " << path;
      EXPECT_TRUE(StillSpecial(path)) << r.what << " " << path;
      if (*r.failureText != '\0') {
        ASSERT_FALSE(prompter.shown.empty()) << r.what;
        EXPECT_EQ(prompter.shown.front().text.rfind(r.failureText, 0), 0u) << r.what;
      }
    }
    EXPECT_FALSE(WriteFileAtomically(path, "x").Ok());
  }
  EXPECT_EQ(WriteFileAtomically(m_fifo, "x").Reason(), "это не обычный файл");
}

TEST_F(SpecialFiles, AreNotReadAndGiveDefaults) {
  for (const std::string& path : m_paths) {
    const Result<std::string, FileStatus> bytes = ReadWholeFile(path);
    EXPECT_FALSE(bytes) << path;
    EXPECT_EQ(bytes.Reason().Reason(), "это не обычный файл");
    EXPECT_FALSE(ReadTextFile(path)) << path;
    SettingsFile file;
    EXPECT_FALSE(file.Open(path)) << path;
    file.Close();
    EXPECT_EQ(LoadSettings(path), AppSettings{}) << path;
    EXPECT_FALSE(ListProfiles(path)) << path;
    EXPECT_TRUE(StillSpecial(path)) << path;
  }
}

TEST(FileStatus, ReasonsInRussianAndTheSystemsTextForOthers) {
  EXPECT_TRUE(FileStatus().Ok());
  EXPECT_EQ(FileStatus().Reason(), "");
  EXPECT_EQ(FileStatus::FromErrno(ENOSPC).Reason(), "нет места на устройстве");
  EXPECT_EQ(FileStatus::FromErrno(EACCES).Reason(), "нет доступа");
  EXPECT_EQ(FileStatus::FromErrno(ENOENT).Reason(), "нет такого файла или папки");
  EXPECT_EQ(FileStatus::FromErrno(EXDEV).Reason(), std::strerror(EXDEV));
  EXPECT_FALSE(FileStatus::FromErrno(ENOSPC).Ok());
}

}  // namespace
}  // namespace zeltrix
