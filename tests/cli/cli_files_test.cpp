// zeltrix-cli with files it must not touch: pipes, devices, files the user may
// not write, and a disk that fills up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/cli_runner.h"
#include "tests/support/default_database.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

struct Case {
  std::vector<std::string> args;
  std::string err;  // after "zeltrix-cli: "
};

class CliFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::chmod(m_cli.Dir().Root().c_str(), 0777);
    WriteBytes(Path("in.txt"), "AB");
    WriteBytes(Path("in.prof"), "[A]\r\n");
    WriteBytes(Path("Profile.prof"), testing::kDefaultDatabase);
    ::chmod(Path("in.txt").c_str(), 0644);
    ::chmod(Path("in.prof").c_str(), 0644);
    ::chmod(Path("Profile.prof").c_str(), 0666);
  }
  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  void ExpectFailures(const std::vector<Case>& cases, const char* what,
                      bool asOrdinaryUser = false) {
    for (const Case& c : cases) {
      const testing::CliResult r =
          asOrdinaryUser ? m_cli.RunAsOrdinaryUser(c.args, "AB") : m_cli.Run(c.args, "AB");
      EXPECT_EQ(r.status, 1) << what << " " << c.err;
      EXPECT_EQ(r.err, "zeltrix-cli: " + c.err + "\n") << what;
    }
  }

  testing::CliRunner m_cli;
};

TEST_F(CliFilesTest, PipesAndDevicesAreRefusedAtOnceAndLeftInPlace) {
  std::vector<std::string> specials = {"fifo"};
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0666), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::mknod(Path("node").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    specials.push_back("node");
  }
  ::alarm(20);  // a blocked open ends the test instead of hanging it
  for (const std::string& s : specials) {
    const std::string q = "\"" + s + "\"";
    const std::string notRegular = ": это не обычный файл";
    ExpectFailures(
        {
            {{"convert", s}, "Не удалось открыть файл " + q + notRegular},
            {{"convert", "-o", s, "in.txt"}, "Не удалось записать файл " + q + notRegular},
            {{"convert", "--profiles", s, "in.txt"}, "Не удалось открыть файл профилей " + q},
            {{"profiles", "--profiles", s}, "Не удалось открыть файл профилей " + q},
            {{"profiles", "export", "A", "--profiles", "in.prof", "-o", s},
             "Не удалось создать файл " + q + notRegular},
            {{"profiles", "import", s}, "Не удалось открыть файл профилей " + q},
            {{"profiles", "import", "in.prof", "--profiles", s},
             "Не удалось открыть файл профилей " + q},
            {{"bin", "-o", s}, "Не удалось создать файл " + q},
            {{"bin", "--append", "-o", s}, "Не удалось открыть файл " + q},
            {{"bin", "--insert", "0", "-o", s}, "Не удалось открыть файл " + q},
        },
        s.c_str());
    struct stat st {};
    ASSERT_EQ(::lstat(Path(s).c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) << s;
  }
  ::alarm(0);
  // Standard output stays a place to write to.
  EXPECT_EQ(m_cli.Run({"convert", "-o", "-", "in.txt"}).out, m_cli.Run({"convert", "in.txt"}).out);
}

// Makes the folder the working one while it lives, then goes back.
class InWorkingFolder {
 public:
  explicit InWorkingFolder(const std::string& folder) : m_before(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InWorkingFolder() { std::filesystem::current_path(m_before); }
  InWorkingFolder(const InWorkingFolder&) = delete;
  InWorkingFolder& operator=(const InWorkingFolder&) = delete;

 private:
  std::filesystem::path m_before;
};

TEST_F(CliFilesTest, FilesTheUserMayNotWriteAreLeftAlone) {
  // The tests may be started from a folder that only its owner may enter (a
  // clone in root's home folder): mkdtemp makes such a folder.
  const testing::TempDir closed;
  const InWorkingFolder started(closed.Root());
  ::chmod(Path("Profile.prof").c_str(), 0444);
  WriteBytes(Path("locked"), "old");
  ::chmod(Path("locked").c_str(), 0444);
  ExpectFailures(
      {
          {{"convert", "-o", "locked", "in.txt"},
           "Не удалось записать файл \"locked\": нет доступа"},
          {{"profiles", "export", "A", "--profiles", "in.prof", "-o", "locked"},
           "Не удалось создать файл \"locked\": нет доступа"},
          {{"profiles", "import", "in.prof"},
           "Не удалось записать файл \"" + Path("Profile.prof") + "\": нет доступа"},
          {{"bin", "-o", "locked"}, "Не удалось создать файл \"locked\""},
          {{"bin", "--append", "-o", "locked"}, "Не удалось открыть файл \"locked\""},
      },
      "locked", true);
  EXPECT_EQ(ReadBytes(Path("locked")), "old");
  EXPECT_EQ(ReadBytes(Path("Profile.prof")), testing::kDefaultDatabase);
}

TEST_F(CliFilesTest, AFullDiskLeavesNoNewFileAndNamesTheReason) {
  const std::string many = std::string(200000, 'A');
  {
    testing::FileSizeLimit limit(100);
    const testing::CliResult convert = m_cli.Run({"convert", "-o", "new.asm"}, many);
    EXPECT_EQ(convert.status, 1);
    EXPECT_EQ(convert.err,
              "zeltrix-cli: Не удалось записать файл \"new.asm\": файл слишком велик\n");
    const testing::CliResult export_ =
        m_cli.Run({"profiles", "export", "ASM — DT For PIC", "-o", "new.prof"});
    EXPECT_EQ(export_.status, 1);
    EXPECT_EQ(export_.err,
              "zeltrix-cli: Не удалось создать файл \"new.prof\": файл слишком велик\n");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("new.asm")));
  EXPECT_FALSE(std::filesystem::exists(Path("new.prof")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_cli.Dir().Root()), {}), 3);
}

}  // namespace
}  // namespace zeltrix
