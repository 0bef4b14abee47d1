#include "core/io/text_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

TEST(CompleteExtension, OnlyTheLastPathComponentCounts) {
  struct Case {
    const char* chosen;
    const char* saved;
  };
  const Case cases[] = {
      {"notes", "notes.txt"},
      {"notes.md", "notes.md"},
      {"notes.", "notes..txt"},
      {"/home/u/my.dir/notes", "/home/u/my.dir/notes.txt"},
      {"/home/u/my.dir/notes.asm", "/home/u/my.dir/notes.asm"},
      {".hidden", ".hidden"},
      {"/a/b.c/", "/a/b.c/.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(CompleteExtension(c.chosen), c.saved) << c.chosen;
  EXPECT_EQ(CompleteExtension("image", ".bin"), "image.bin");
}

TEST(TextFile, BytesGoInAndOutUnchangedUpToAZero) {
  testing::TempDir dir;
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  all += "\r\n\n\r";
  ASSERT_TRUE(WriteTextFile(dir.Path("a.txt"), all));
  EXPECT_EQ(*ReadTextFile(dir.Path("a.txt")), all);
  testing::WriteBytes(dir.Path("z.txt"), std::string("ab\0cd", 5));
  EXPECT_EQ(*ReadTextFile(dir.Path("z.txt")), "ab");
  ASSERT_TRUE(WriteTextFile(dir.Path("w.txt"), std::string("xy\0z", 4)));
  EXPECT_EQ(testing::ReadBytes(dir.Path("w.txt")), "xy");
  EXPECT_FALSE(ReadTextFile(dir.Path("missing.txt")));
  EXPECT_FALSE(IsNonEmptyRegularFile(dir.Root()));
  testing::WriteBytes(dir.Path("empty.txt"), "");
  EXPECT_FALSE(IsNonEmptyRegularFile(dir.Path("empty.txt")));
  EXPECT_TRUE(IsNonEmptyRegularFile(dir.Path("a.txt")));
}

TEST(TextFile, AFileThatCannotBeReadGivesTheReason) {
  testing::TempDir dir;
  const Result<std::string, FileStatus> missing = ReadTextFile(dir.Path("missing.txt"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Reason().Reason(), "нет такого файла или папки");
  const Result<std::string, FileStatus> folder = ReadTextFile(dir.Root());
  ASSERT_FALSE(folder);
  EXPECT_FALSE(folder.Reason().Reason().empty());
}

}  // namespace
}  // namespace zeltrix
