#include "core/io/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "core/io/utf8.h"

#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(FolderOf, KeepsTheTrailingSeparator) {
  EXPECT_EQ(FolderOf("/home/u/a.txt"), "/home/u/");
  EXPECT_EQ(FolderOf("a.txt"), "");
  EXPECT_EQ(FolderOf(""), "");
}

TEST(FileExists, FilesOfAnySizeButNotDirectories) {
  TempDir dir;
  EXPECT_FALSE(FileExists(dir.Path("none")));
  WriteBytes(dir.Path("empty"), "");
  EXPECT_TRUE(FileExists(dir.Path("empty")));
  EXPECT_FALSE(FileExists(dir.Root()));
  EXPECT_FALSE(FileExists(""));
}

TEST(AtomicFileWriter, ReplacesKeepingPermissionsAndLinks) {
  TempDir dir;
  const std::string target = dir.Path("t.txt");
  WriteBytes(target, "old");
  ::chmod(target.c_str(), 0640);
  ASSERT_EQ(::symlink("t.txt", dir.Path("link").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.Path("link"), std::string("new\0data", 8)));
  EXPECT_EQ(ReadBytes(target), std::string("new\0data", 8));
  struct stat st {};
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  ASSERT_EQ(::lstat(dir.Path("link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 2);
}

TEST(AtomicFileWriter, AbortLeavesTheOldFile) {
  TempDir dir;
  const std::string target = dir.Path("t.txt");
  WriteBytes(target, "old");
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin(target));
    ASSERT_TRUE(writer.Write("partial"));
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(AtomicFileWriter, FailsOnADirectoryOrAMissingFolder) {
  TempDir dir;
  EXPECT_FALSE(WriteFileAtomically(dir.Root(), "x"));
  EXPECT_FALSE(WriteFileAtomically(dir.Path("no/such/file"), "x"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 0);
}

TEST(AtomicFileWriter, AFullDiskLeavesTheOldFile) {
  TempDir dir;
  const std::string target = dir.Path("t.txt");
  WriteBytes(target, "old");
  {
    testing::FileSizeLimit full(1000);
    EXPECT_FALSE(WriteFileAtomically(target, std::string(5000, 'x')));
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(AtomicFileWriter, NothingIsWrittenAfterAnAbort) {
  TempDir dir;
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Begin(dir.Path("f")));
  writer.Abort();
  EXPECT_FALSE(writer.Write("x"));
  EXPECT_FALSE(writer.Commit());
  EXPECT_FALSE(std::filesystem::exists(dir.Path("f")));
}

TEST(ReadWholeFile, ReadsEverythingOrNothing) {
  TempDir dir;
  const std::string big(3 * 1024 * 1024 + 7, '\xC0');
  WriteBytes(dir.Path("big"), big);
  EXPECT_EQ(*ReadWholeFile(dir.Path("big")), big);
  EXPECT_FALSE(ReadWholeFile(dir.Path("none")));
  EXPECT_FALSE(ReadWholeFile(dir.Root()));
}

// From a file on the same file system the kernel copies; from another one
// (here memory-backed, where there is one) the bytes go through a buffer.
TEST(AtomicFileWriter, CopyFromTakesARangeOfAnotherFile) {
  TempDir dir;
  std::string source(3 * 1024 * 1024 + 5, '\0');
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>(i % 251);
  std::vector<std::string> places = {dir.Path("source")};
  if (std::filesystem::is_directory("/dev/shm"))
    places.push_back("/dev/shm/zeltrix-copy-test-" + std::to_string(::getpid()));
  for (const std::string& place : places) {
    WriteBytes(place, source);
    const int fd = ::open(place.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin(dir.Path("target")));
    EXPECT_TRUE(writer.Write("<"));
    EXPECT_TRUE(writer.CopyFrom(fd, 7, source.size() - 8));
    EXPECT_TRUE(writer.CopyFrom(fd, 0, 0));
    EXPECT_TRUE(writer.Commit());
    EXPECT_TRUE(ReadBytes(dir.Path("target")) == "<" + source.substr(7, source.size() - 8))
        << place;
    // A file shorter than the range fails the replacement.
    ASSERT_TRUE(writer.Begin(dir.Path("target")));
    EXPECT_FALSE(writer.CopyFrom(fd, 10, source.size()));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadBytes(dir.Path("target")).size(), source.size() - 7) << place;
    ::close(fd);
    if (place != dir.Path("source")) std::filesystem::remove(place);
  }
}

// The names of the temporary files in the folder.
std::vector<std::string> Temporaries(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Root())) {
    const std::string name = entry.path().filename().string();
    if (name.find(".zeltrix-") != std::string::npos) found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// A 240-byte name and the longest one the system allows are written under
// themselves; the temporaries' names fit too, and two names that differ only
// past the cut still get temporaries of their own.
TEST(AtomicFileWriter, LongNamesAreKeptAndTheirTemporariesFit) {
  TempDir dir;
  std::string cyrillic;
  while (cyrillic.size() < 236) cyrillic += "Ж";
  const std::vector<std::string> names = {std::string(236, 'a') + ".txt",
                                          std::string(236, 'a') + ".bin", cyrillic + ".txt",
                                          std::string(255, 'b')};
  {
    std::vector<std::unique_ptr<AtomicFileWriter>> writers;
    for (const std::string& name : names) {
      writers.push_back(std::make_unique<AtomicFileWriter>());
      const FileStatus begun = writers.back()->Begin(dir.Path(name));
      ASSERT_TRUE(begun) << begun.Reason();
      ASSERT_TRUE(writers.back()->Write(name));
    }
    const std::vector<std::string> temporaries = Temporaries(dir);
    ASSERT_EQ(temporaries.size(), names.size());
    std::vector<std::string> prefixes;
    for (const std::string& temporary : temporaries) {
      EXPECT_LE(temporary.size(), 255u) << temporary;
      const std::string prefix = temporary.substr(0, temporary.find(".zeltrix-"));
      EXPECT_TRUE(IsValidUtf8(prefix)) << prefix;
      EXPECT_GE(prefix.size(), 150u) << prefix;
      prefixes.push_back(prefix);
    }
    std::sort(prefixes.begin(), prefixes.end());
    EXPECT_EQ(std::unique(prefixes.begin(), prefixes.end()), prefixes.end());
    for (const auto& writer : writers) {
      const FileStatus committed = writer->Commit();
      EXPECT_TRUE(committed) << committed.Reason();
    }
  }
  for (const std::string& name : names) EXPECT_EQ(ReadBytes(dir.Path(name)), name);
  EXPECT_EQ(Temporaries(dir), std::vector<std::string>{});
}

// A process id that no process has now.
pid_t GonePid() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

// Temporaries of the kinds a replacement meets beside its target; only the
// one whose writer is certainly gone and that is over a minute old goes.
TEST(AtomicFileWriter, OnlyOldTemporariesOfGoneLocalWritersAreRemoved) {
  TempDir dir;
  const std::string target = dir.Path("t.txt");
  std::string live;
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin(target));
    ASSERT_EQ(Temporaries(dir).size(), 1u);
    live = Temporaries(dir).front();
  }
  // The live name up to its process id: the target's part and the writer's tag.
  std::string stem = live.substr(0, live.size() - 7);
  stem.erase(stem.find_last_not_of("0123456789") + 1);
  std::string otherMachine = stem;
  const std::size_t tag = stem.find(".zeltrix-") + 9;
  if (tag < otherMachine.size()) otherMachine[tag] = otherMachine[tag] == '0' ? '1' : '0';
  const std::string gone = std::to_string(GonePid());
  const std::string parent = std::to_string(::getppid());
  struct Case {
    const char* what;
    std::string name;
    bool old;
    bool removed;
  };
  const Case cases[] = {
      {"another machine's", otherMachine + gone + "-aaaaaa", true, false},
      {"a gone writer's, fresh", stem + gone + "-bbbbbb", false, false},
      {"a gone writer's, over a minute old", stem + gone + "-cccccc", true, true},
      {"a live writer's", stem + parent + "-dddddd", true, false},
      {"another target's", ".u" + stem.substr(2) + gone + "-eeeeee", true, false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteBytes(dir.Path(c.name), "partial"));
    if (!c.old) continue;
    const timespec times[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.Path(c.name).c_str(), times, 0), 0);
  }
  ASSERT_TRUE(WriteFileAtomically(target, "new"));
  EXPECT_EQ(ReadBytes(target), "new");
  for (const Case& c : cases) {
    EXPECT_EQ(std::filesystem::exists(dir.Path(c.name)), !c.removed) << c.what << ": " << c.name;
  }
}

// A link to a missing file is written through, creating that file, as the
// shell's "> link" does; a loop of links is refused and stays as it was.
TEST(AtomicFileWriter, DanglingLinksAreWrittenThroughAndLoopsRefused) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path("sub"));
  ASSERT_EQ(::symlink("sub/new.txt", dir.Path("dangling").c_str()), 0);
  ASSERT_EQ(::symlink("dangling", dir.Path("chain").c_str()), 0);
  ASSERT_EQ(::symlink(dir.Path("sub/absolute.txt").c_str(), dir.Path("absolute").c_str()), 0);
  for (const auto& [link, file] : {std::pair<std::string, std::string>{"chain", "sub/new.txt"},
                                   {"absolute", "sub/absolute.txt"}}) {
    EXPECT_TRUE(CheckReplaceable(dir.Path(link))) << link;
    const FileStatus status = WriteFileAtomically(dir.Path(link), "through " + link);
    EXPECT_TRUE(status) << link << ": " << status.Reason();
    EXPECT_EQ(ReadBytes(dir.Path(file)), "through " + link);
  }
  ASSERT_EQ(::symlink("loop2", dir.Path("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", dir.Path("loop2").c_str()), 0);
  ASSERT_EQ(::symlink("self", dir.Path("self").c_str()), 0);
  for (const std::string link : {"loop1", "self"}) {
    EXPECT_EQ(CheckReplaceable(dir.Path(link)).Reason(), "слишком много ссылок в пути") << link;
    const FileStatus status = WriteFileAtomically(dir.Path(link), "x");
    EXPECT_EQ(status.Reason(), "слишком много ссылок в пути") << link;
  }
  for (const char* link : {"dangling", "chain", "absolute", "loop1", "loop2", "self"}) {
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path(link))) << link;
  }
  EXPECT_EQ(Temporaries(dir), std::vector<std::string>{});
}

}  // namespace
}  // namespace zeltrix
