#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

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

}  // namespace
}  // namespace zeltrix
