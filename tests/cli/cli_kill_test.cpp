// Kills the real zeltrix-cli at random moments while it replaces files of a
// few megabytes: the target must always hold exactly its old or its new
// content, and the next complete run must leave no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>
#include <thread>

#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

constexpr int kTrialsPerOperation = 20;

struct Operation {
  const char* what;
  std::vector<std::string> args;
  std::string target;
};

class KillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A text of a few megabytes, and old targets of that order too.
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i) text += "Строка " + std::to_string(i) + "\r\n";
    WriteBytes(Path("in.txt"), text);
    m_oldBin = std::string(2u << 20, '\x41');
    m_oldLines = std::string(1u << 20, 'x');
    std::string database = "[Base]\r\nOst1 = 1\r\n";
    std::string source = "[Imported]\r\nOst1 = 2\r\n";
    for (int i = 0; database.size() < (3u << 20); ++i) {
      database += "; " + std::string(100, 'c') + std::to_string(i) + "\r\n";
    }
    for (int i = 0; source.size() < (1u << 20); ++i) {
      source += "Key" + std::to_string(i) + " = " + std::string(60, 'v') + "\r\n";
    }
    m_oldDatabase = database;
    WriteBytes(Path("in.prof"), source);
  }

  std::string Path(const std::string& name) const { return m_dir.Path(name); }

  // Starts zeltrix-cli in the test folder with its streams sent nowhere.
  pid_t Start(const std::vector<std::string>& args) const {
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(m_dir.Root().c_str()) != 0) ::_exit(127);
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
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
    return status;
  }

  void Restore(const std::string& target, const std::string& old) const {
    WriteBytes(Path(target), old);
  }

  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Root())) {
      const std::string name = entry.path().filename().string();
      if (name.find(".zeltrix-") != std::string::npos || name.rfind(".out", 0) == 0 ||
          name.rfind(".db", 0) == 0) {
        found.push_back(name);
      }
    }
    return found;
  }

  testing::TempDir m_dir;
  std::string m_oldBin;
  std::string m_oldLines;
  std::string m_oldDatabase;
};

TEST_F(KillTest, ATargetIsAlwaysTheOldOrTheNewFile) {
  const Operation operations[] = {
      {"convert -o", {"convert", "-o", "out.asm", "in.txt"}, "out.asm"},
      {"bin new file", {"bin", "-o", "out.bin", "in.txt"}, "out.bin"},
      {"bin --append", {"bin", "--append", "-o", "out.bin", "in.txt"}, "out.bin"},
      {"bin --insert", {"bin", "--insert", "1000", "-o", "out.bin", "in.txt"}, "out.bin"},
      {"bin --replace", {"bin", "--replace", "1000", "-o", "out.bin", "in.txt"}, "out.bin"},
      {"profiles import",
       {"profiles", "import", "in.prof", "--overwrite", "--profiles", "db.prof"},
       "db.prof"},
  };
  std::mt19937 random(20261207);
  int torn = 0;
  int killedMidway = 0;
  for (const Operation& op : operations) {
    const std::string old = op.target == "out.asm"   ? m_oldLines
                            : op.target == "db.prof" ? m_oldDatabase
                                                     : m_oldBin;
    // The new content and how long a whole run takes.
    Restore(op.target, old);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(Start(op.args)), 0) << op.what;
    const auto took = std::chrono::steady_clock::now() - begin;
    const std::string fresh = ReadBytes(Path(op.target));
    ASSERT_NE(fresh, old) << op.what;

    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
    // Half the kills fall anywhere in a run, half in its later part, where
    // the target is written.
    std::uniform_int_distribution<long long> anywhere(0, span + span / 5);
    std::uniform_int_distribution<long long> late(span / 2, span + span / 20);
    for (int trial = 0; trial < kTrialsPerOperation; ++trial) {
      Restore(op.target, old);
      const pid_t pid = Start(op.args);
      std::this_thread::sleep_for(
          std::chrono::microseconds(trial % 2 == 0 ? anywhere(random) : late(random)));
      ::kill(pid, SIGKILL);
      const int status = Wait(pid);
      killedMidway += WIFSIGNALED(status) ? 1 : 0;
      const std::string after = ReadBytes(Path(op.target));
      if (after != old && after != fresh) {
        ++torn;
        ADD_FAILURE() << op.what << ": trial " << trial << " left " << after.size()
                      << " bytes (old " << old.size() << ", new " << fresh.size() << ")";
      }
    }
    // The next complete run removes what the killed ones left once it is
    // over a minute old; a fresh one might still be written.
    Restore(op.target, old);
    for (const std::string& temporary : Temporaries()) {
      const timespec times[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, Path(temporary).c_str(), times, 0), 0) << temporary;
    }
    ASSERT_EQ(Wait(Start(op.args)), 0) << op.what;
    EXPECT_EQ(ReadBytes(Path(op.target)), fresh) << op.what;
    EXPECT_EQ(Temporaries(), std::vector<std::string>{}) << op.what;
  }
  EXPECT_EQ(torn, 0);
  // Most kills must land while a run is going on, or the test proves nothing.
  EXPECT_GT(killedMidway, static_cast<int>(std::size(operations)) * kTrialsPerOperation / 2);
}

}  // namespace
}  // namespace zeltrix
