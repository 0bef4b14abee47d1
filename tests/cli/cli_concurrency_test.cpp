// Runs two real zeltrix-cli at once on one file, round after round: each
// writer works on the other's result, so both writes are always in the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/io/file_lock.h"
#include "core/profiles/profile_database.h"
#include "tests/support/default_database.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

constexpr int kRounds = 50;

class ConcurrencyTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return m_dir.Path(name); }

  // Starts zeltrix-cli in the test folder, its output and errors kept in files.
  pid_t Start(const std::vector<std::string>& args, const std::string& streams) const {
    const std::string out = Path(streams + ".out");
    const std::string err = Path(streams + ".err");
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(m_dir.Root().c_str()) != 0) ::_exit(127);
      const int null = ::open("/dev/null", O_RDONLY);
      const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(null, 0);
      ::dup2(outFd, 1);
      ::dup2(errFd, 2);
      std::vector<char*> argv;
      std::string program = ZELTRIX_CLI;
      argv.push_back(program.data());
      std::vector<std::string> copies = args;
      for (std::string& a : copies) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    return pid;
  }

  static int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Runs the two commands at once and returns how many exited with 0.
  int RunTogether(const std::vector<std::string>& first, const std::vector<std::string>& second) {
    const pid_t a = Start(first, "a");
    const pid_t b = Start(second, "b");
    const int statusA = Wait(a);
    const int statusB = Wait(b);
    EXPECT_EQ(statusA, 0) << ReadBytes(Path("a.err"));
    EXPECT_EQ(statusB, 0) << ReadBytes(Path("b.err"));
    return (statusA == 0) + (statusB == 0);
  }

  testing::TempDir m_dir;
};

TEST_F(ConcurrencyTest, TwoImportsIntoOneDatabaseKeepBothProfiles) {
  // A database of some size, so that each import takes a while.
  std::string database = testing::kDefaultDatabase;
  for (int i = 0; database.size() < (1u << 20); ++i) {
    database += "[Old " + std::to_string(i) + "]\r\nOst1 = 1\r\nDirective = db\r\n";
  }
  int lost = 0;
  for (int round = 0; round < kRounds; ++round) {
    WriteBytes(Path("Profile.prof"), database);
    const std::string a = "A " + std::to_string(round);
    const std::string b = "B " + std::to_string(round);
    WriteBytes(Path("a.prof"), "[" + a + "]\r\nOst1 = 5\r\n");
    WriteBytes(Path("b.prof"), "[" + b + "]\r\nOst1 = 6\r\n");
    RunTogether({"profiles", "import", "a.prof", "--profiles", "Profile.prof"},
                {"profiles", "import", "b.prof", "--profiles", "Profile.prof"});
    const std::vector<std::string> names =
        ListProfiles(Path("Profile.prof")).value_or(std::vector<std::string>{});
    const bool hasA = std::find(names.begin(), names.end(), a) != names.end();
    const bool hasB = std::find(names.begin(), names.end(), b) != names.end();
    if (!hasA || !hasB) ++lost;
  }
  EXPECT_EQ(lost, 0) << "rounds that lost a profile, of " << kRounds;
}

// Two bin runs on one file of 2 MB: the result must hold both blocks of codes,
// in one order or the other.
TEST_F(ConcurrencyTest, TwoInsertsAndTwoAppendsIntoOneFileKeepBothBlocks) {
  const std::string head = std::string(1u << 20, 'x');
  const std::string tail = std::string(1u << 20, 'y');
  const std::string old = head + tail;
  WriteBytes(Path("a.txt"), "AAAA");
  WriteBytes(Path("b.txt"), "BBBB");
  const std::string address = std::to_string(head.size());
  struct Case {
    std::vector<std::string> extra;
    std::string aThenB, bThenA;
  };
  const Case cases[] = {
      {{"--insert", address}, head + "BBBBAAAA" + tail, head + "AAAABBBB" + tail},
      {{"--append"}, old + "AAAABBBB", old + "BBBBAAAA"},
  };
  for (const Case& c : cases) {
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
      WriteBytes(Path("out.bin"), old);
      std::vector<std::string> first = {"bin"};
      first.insert(first.end(), c.extra.begin(), c.extra.end());
      std::vector<std::string> second = first;
      for (auto* args : {&first, &second}) args->insert(args->end(), {"-o", "out.bin"});
      first.push_back("a.txt");
      second.push_back("b.txt");
      RunTogether(first, second);
      const std::string after = ReadBytes(Path("out.bin"));
      if (after != c.aThenB && after != c.bThenA) ++lost;
    }
    EXPECT_EQ(lost, 0) << c.extra.front() << ": rounds that lost a block, of " << kRounds;
  }
}

// Another program holding the lock past the wait: the command fails with a
// message and leaves the file as it was; one that lets go in time is waited for.
TEST_F(ConcurrencyTest, AWriterWaitsForTheLockAndGivesUpAfterAFewSeconds) {
  WriteBytes(Path("a.prof"), "[A]\r\nOst1 = 5\r\n");
  WriteBytes(Path("a.txt"), "AB");
  struct Case {
    std::vector<std::string> args;
    std::string target, old, busy;
  };
  const std::string busy = "файл занят: его сейчас изменяет другая программа";
  const Case cases[] = {
      {{"profiles", "import", "a.prof", "--profiles", "Profile.prof"},
       "Profile.prof",
       testing::kDefaultDatabase,
       "zeltrix-cli: Не удалось записать файл \"Profile.prof\": " + busy + "\n"},
      {{"bin", "--append", "-o", "out.bin", "a.txt"},
       "out.bin",
       "old",
       "zeltrix-cli: Не удалось открыть файл \"out.bin\" Файл занят: его сейчас изменяет другая "
       "программа.\n"},
  };
  for (const Case& c : cases) {
    WriteBytes(Path(c.target), c.old);
    {
      const FileLock held(Path(c.target));
      ASSERT_TRUE(held.Status());
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(Wait(Start(c.args, "a")), 1);
      EXPECT_GE(std::chrono::steady_clock::now() - start, FileLock::kWait);
      EXPECT_EQ(ReadBytes(Path("a.err")), c.busy);
      EXPECT_EQ(ReadBytes(Path(c.target)), c.old);
    }
    auto held = std::make_unique<FileLock>(Path(c.target));
    const pid_t pid = Start(c.args, "a");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(ReadBytes(Path(c.target)), c.old);
    held.reset();
    EXPECT_EQ(Wait(pid), 0) << ReadBytes(Path("a.err"));
    EXPECT_NE(ReadBytes(Path(c.target)), c.old);
  }
}

}  // namespace
}  // namespace zeltrix
