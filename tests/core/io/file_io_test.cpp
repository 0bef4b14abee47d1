#include "core/io/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

}  // namespace
}  // namespace zeltrix
