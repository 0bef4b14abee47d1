// The lock that writers of one file take in turn: who gets it, who waits,
// what a killed holder leaves, and that nothing stays behind.
#include "core/io/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <thread>

#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;
using testing::WriteBytes;

// What another program trying for the lock would get, with the wait given:
// the locks a thread holds are its own, so a fresh thread stands for it.
FileStatus TryElsewhere(const std::string& path, std::chrono::milliseconds wait = 0ms) {
  return std::async(std::launch::async, [&] { return FileLock(path, wait).Status(); }).get();
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileLock, OneHolderAtATimeNestedInAThreadAndNothingLeftBehind) {
  TempDir dir;
  const std::string path = dir.Path("Profile.prof");
  WriteBytes(path, "x");
  {
    const FileLock outer(path);
    ASSERT_TRUE(outer.Status());
    EXPECT_EQ(Entries(dir.Root()),
              (std::vector<std::string>{".Profile.prof.lock", "Profile.prof"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(TryElsewhere(path, 150ms).IsBusy());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    // Another name of the same file finds the same lock.
    std::filesystem::create_symlink(path, dir.Path("link"));
    EXPECT_TRUE(TryElsewhere(dir.Path("link")).IsBusy());
    std::filesystem::remove(dir.Path("link"));
    {
      // An operation that locks inside one that holds the lock goes on at once.
      const FileLock inner(path, 0ms);
      EXPECT_TRUE(inner.Status());
    }
    EXPECT_TRUE(TryElsewhere(path).IsBusy());
    // A file not yet there has its lock too.
    const FileLock other(dir.Path("new.bin"), 0ms);
    EXPECT_TRUE(other.Status());
    EXPECT_TRUE(TryElsewhere(dir.Path("new.bin")).IsBusy());
  }
  EXPECT_TRUE(TryElsewhere(path));
  EXPECT_EQ(Entries(dir.Root()), std::vector<std::string>{"Profile.prof"});

  // A waiter gets the lock as soon as the holder lets it go.
  auto holder = std::make_unique<FileLock>(path);
  auto waiter = std::async(std::launch::async, [&] { return FileLock(path, 5s).Status(); });
  std::this_thread::sleep_for(100ms);
  holder.reset();
  EXPECT_TRUE(waiter.get());
}

TEST(FileLock, AKilledHolderLeavesTheFileFreeForTheNext) {
  TempDir dir;
  const std::string path = dir.Path("out.bin");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const FileLock lock(path);
    const char byte = lock.Status() ? 1 : 0;
    if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);
  EXPECT_TRUE(TryElsewhere(path).IsBusy());
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  // Its lock file stays, unlocked; the next writer takes it and removes it.
  EXPECT_EQ(Entries(dir.Root()), std::vector<std::string>{".out.bin.lock"});
  {
    const FileLock next(path, 0ms);
    EXPECT_TRUE(next.Status());
  }
  EXPECT_EQ(Entries(dir.Root()), std::vector<std::string>{});
}

TEST(FileLock, InAFolderClosedToNewFilesTheFileItselfIsLocked) {
  TempDir dir;
  const std::string path = dir.Path("Preferences.ini");
  WriteBytes(path, "x");
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.Root().c_str(), 0555);
  const auto asOrdinaryUser = [&](std::chrono::milliseconds wait) {
    return std::async(std::launch::async,
                      [&] {
                        testing::AsOrdinaryUser user;
                        return FileLock(path, wait).Status();
                      })
        .get();
  };
  {
    testing::AsOrdinaryUser user;
    const FileLock lock(path);
    EXPECT_TRUE(lock.Status());
    EXPECT_TRUE(asOrdinaryUser(0ms).IsBusy());
  }
  EXPECT_TRUE(asOrdinaryUser(0ms));
  EXPECT_EQ(Entries(dir.Root()), std::vector<std::string>{"Preferences.ini"});
  // Nothing to lock where nothing can be written: the writer goes on and meets its own refusal.
  testing::AsOrdinaryUser user;
  EXPECT_TRUE(FileLock(dir.Path("missing"), 0ms).Status());
}

}  // namespace
}  // namespace zeltrix
