// zeltrix-cli run as a process on the paths the shell hands it: names that
// are not UTF-8, names near the system's limit, links, "-" for standard
// output, and a limit on the size of the files it may write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// "Привет" in Windows-1251, as a name from an old archive has it.
const std::string kCp1251Name = "\xcf\xf0\xe8\xe2\xe5\xf2";

class CliPathsTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(Path("in.txt"), "AB"); }

  std::string Path(const std::string& name) const { return m_cli.Path(name); }

  // What stands in the folder besides the runner's own files.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_cli.Dir().Root())) {
      const std::string name = entry.path().filename().string();
      if (name != "zeltrix-cli" && name != "stdin" && name != "stdout" && name != "stderr")
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::CliProcessRunner m_cli;
};

TEST_F(CliPathsTest, NamesAreTheBytesTheShellGave) {
  const testing::CliResult reference = m_cli.Run({"convert", "in.txt"});
  ASSERT_EQ(reference.status, 0) << reference.err;
  std::string cyrillic;
  while (cyrillic.size() < 236) cyrillic += "Ж";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string written;
    std::string expected;
  };
  const Case cases[] = {
      {"a Windows-1251 name read and written",
       {"convert", "-o", kCp1251Name + ".asm", kCp1251Name + ".txt"},
       kCp1251Name + ".asm",
       reference.out},
      {"a Windows-1251 name as the binary file",
       {"bin", "-o", kCp1251Name + ".bin", kCp1251Name + ".txt"},
       kCp1251Name + ".bin",
       "AB"},
      {"a 240-byte name",
       {"convert", "-o", cyrillic + ".asm", "in.txt"},
       cyrillic + ".asm",
       reference.out},
      {"a 255-byte name",
       {"bin", "-o", std::string(255, 'b'), "in.txt"},
       std::string(255, 'b'),
       "AB"},
  };
  WriteBytes(Path(kCp1251Name + ".txt"), "AB");
  for (const Case& c : cases) {
    std::vector<std::string> before = Entries();
    const testing::CliResult r = m_cli.Run(c.args);
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.err, "") << c.what;
    EXPECT_EQ(ReadBytes(Path(c.written)), c.expected) << c.what;
    // Nothing else appears: no file under a mangled name, no temporary.
    before.push_back(c.written);
    std::sort(before.begin(), before.end());
    EXPECT_EQ(Entries(), before) << c.what;
  }
}

TEST_F(CliPathsTest, DashAsTheBinaryFileIsStandardOutput) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {{"bin", "-o", "-", "in.txt"}, "", 0, "AB", ""},
      {{"bin", "--remove-spaces", "1", "-o", "-"}, "A   B\r\n", 0, "A B ", ""},
      {{"bin", "-o", "-"},
       "\x01\x02",
       1,
       "",
       "zeltrix-cli: Не удалось выполнить преобразование!\n"},
      {{"bin", "--append", "-o", "-", "in.txt"},
       "",
       2,
       "",
       "zeltrix-cli: параметр --append не применим к стандартному выводу (-o -)\n"},
      {{"bin", "--insert", "0", "-o", "-", "in.txt"},
       "",
       2,
       "",
       "zeltrix-cli: параметр --insert не применим к стандартному выводу (-o -)\n"},
      {{"bin", "--replace", "0", "-o", "-", "in.txt"},
       "",
       2,
       "",
       "zeltrix-cli: параметр --replace не применим к стандартному выводу (-o -)\n"},
  };
  for (const Case& c : cases) {
    const testing::CliResult r = m_cli.Run(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_EQ(r.out, c.out) << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[1];
    EXPECT_FALSE(std::filesystem::exists(Path("-"))) << c.args[1];
  }
}

TEST_F(CliPathsTest, ALinkAsTheOutputIsWrittenThroughAndALoopRefused) {
  const testing::CliResult reference = m_cli.Run({"convert", "in.txt"});
  std::filesystem::create_directory(Path("sub"));
  ASSERT_EQ(::symlink("sub/real.asm", Path("out.asm").c_str()), 0);
  ASSERT_EQ(::symlink("sub/real.bin", Path("out.bin").c_str()), 0);
  ASSERT_EQ(::symlink("loop2", Path("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", Path("loop2").c_str()), 0);

  testing::CliResult r = m_cli.Run({"convert", "-o", "out.asm", "in.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(Path("sub/real.asm")), reference.out);
  r = m_cli.Run({"bin", "-o", "out.bin", "in.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(Path("sub/real.bin")), "AB");

  r = m_cli.Run({"convert", "-o", "loop1", "in.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "zeltrix-cli: Не удалось записать файл \"loop1\": слишком много ссылок в пути\n");
  r = m_cli.Run({"bin", "-o", "loop1", "in.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zeltrix-cli: Не удалось создать файл \"loop1\"\n");
  for (const char* link : {"out.asm", "out.bin", "loop1", "loop2"}) {
    EXPECT_TRUE(std::filesystem::is_symlink(Path(link))) << link;
  }
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{"in.txt", "loop1", "loop2", "out.asm", "out.bin", "sub"}));
}

// Runs the real zeltrix-cli in the folder with the size of the files it writes
// limited to limit bytes, as "ulimit -f" does, and the signal that limit sends
// at its default (the test's own process may ignore it).
testing::CliResult RunWithFileSizeLimit(const std::string& folder,
                                        const std::vector<std::string>& args, rlim_t limit) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    const int out = ::open("stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open("stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::signal(SIGXFSZ, SIG_DFL);
    const rlimit size{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &size);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    std::string program = ZELTRIX_CLI;
    argv.push_back(program.data());
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw), ReadBytes(folder + "/stdout"),
          ReadBytes(folder + "/stderr")};
}

// Past the limit the write fails like that on a full disk: the old file stays,
// the temporary goes, and the reason is told.
TEST_F(CliPathsTest, AFileSizeLimitIsReportedAndLeavesNoTemporary) {
  std::string text;
  while (text.size() < 100000) text += "Строка текста\r\n";
  WriteBytes(Path("in.txt"), text);
  WriteBytes(Path("out.asm"), "old");
  WriteBytes(Path("out.bin"), "old");
  testing::CliResult r =
      RunWithFileSizeLimit(m_cli.Dir().Root(), {"convert", "-o", "out.asm", "in.txt"}, 4096);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zeltrix-cli: Не удалось записать файл \"out.asm\": файл слишком велик\n");
  r = RunWithFileSizeLimit(m_cli.Dir().Root(), {"bin", "-o", "out.bin", "in.txt"}, 4096);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zeltrix-cli: Не удалось записать файл \"out.bin\"\n");
  EXPECT_EQ(ReadBytes(Path("out.asm")), "old");
  EXPECT_EQ(ReadBytes(Path("out.bin")), "old");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"in.txt", "out.asm", "out.bin"}));
}

}  // namespace
}  // namespace zeltrix
