#include "core/settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Opens a file with the given content, applies an edit and closes it; returns what is on disk.
template <typename Edit>
std::string Rewrite(const std::string& content, Edit edit) {
  TempDir dir;
  const std::string path = dir.Path("s.ini");
  WriteBytes(path, content);
  {
    SettingsFile file;
    EXPECT_TRUE(file.Open(path));
    edit(file);
    EXPECT_TRUE(file.Close());
  }
  return ReadBytes(path);
}

TEST(SettingsFile, LineKindsAndTheirRewrite) {
  struct Case {
    std::string input, expected;
  };
  const Case cases[] = {
      // Any line end parses; the rewrite uses CR LF throughout.
      {"[G]\nk=1\rj =2\r\n\r\n\n", "[G]\r\nk = 1\r\nj = 2\r\nx = 9\r\n"},
      // Text behind "]" is lost; a header without "]" keeps the rest, spaces included.
      {"[G] tail\r\n", "[G]\r\nx = 9\r\n"},
      // ... and so does not match "G".
      {"  \t[G  \r\n", "[G  ]\r\n[G]\r\nx = 9\r\n"},
      // Comments get "; " in front; two spaces after ";" stay as they are.
      {";note\r\n;  two\r\n; one\r\n[G]\r\n", "; note\r\n;  two\r\n; one\r\n[G]\r\nx = 9\r\n"},
      // Values keep trailing spaces and any "=", ";" or "[" after the first "=".
      {"[G]\r\n  key \t=\t a=b;[c]  \r\n", "[G]\r\nkey = a=b;[c]  \r\nx = 9\r\n"},
      // A key without "=" has an empty value; a line of blanks is dropped.
      {"[G]\r\nlonely\r\n   \t \r\n", "[G]\r\nlonely = \r\nx = 9\r\n"},
      // An empty key.
      {"[G]\r\n=v\r\n", "[G]\r\n = v\r\nx = 9\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rewrite(c.input,
                      [](SettingsFile& f) {
                        f.SelectGroup("G");
                        f.WriteNumber("x", 9);
                      }),
              c.expected)
        << c.input;
  }
}

TEST(SettingsFile, ClosingWithoutAWriteLeavesTheFileByteForByte) {
  const std::string content = "[G]\n  k=1   \r\r;x\n[H] junk\n";
  EXPECT_EQ(Rewrite(content,
                    [](SettingsFile& f) {
                      EXPECT_FALSE(f.SelectGroup("missing"));
                      EXPECT_EQ(f.ReadNumber("k", 5), 5);
                    }),
            content);
}

TEST(SettingsFile, LookupIgnoresCaseOfLatinLettersOnly) {
  SettingsFile f;
  f.OpenBuffer("[Group]\r\nKey = 1\r\n[\xC0\xE1]\r\nk = 2\r\n");
  EXPECT_TRUE(f.SelectGroup("gROUP"));
  EXPECT_EQ(f.ReadNumber("kEY", 0), 1);
  EXPECT_TRUE(f.SelectGroup("\xC0\xE1"));
  EXPECT_EQ(f.ReadNumber("K", 0), 2);
  EXPECT_FALSE(f.SelectGroup("\xE0\xE1"));  // Cyrillic case is exact
}

TEST(SettingsFile, FirstOfRepeatedGroupsAndKeysWins) {
  const std::string out = Rewrite("[A]\r\nk = 1\r\nk = 2\r\n[a]\r\nk = 3\r\n", [](SettingsFile& f) {
    EXPECT_EQ(f.GroupNames(), (std::vector<std::string>{"A", "a"}));
    f.SelectGroup("a");
    EXPECT_EQ(f.ReadNumber("k", 0), 1);
    f.WriteText("K", "x");
    f.RemoveGroup("A");
  });
  EXPECT_EQ(out, "[a]\r\nk = 3\r\n");
}

TEST(SettingsFile, WriteReplacesInPlaceWithTheNewLettersOrAppendsToTheGroup) {
  EXPECT_EQ(Rewrite("[A]\r\nkey = 1\r\nother = 2\r\n[B]\r\n",
                    [](SettingsFile& f) {
                      f.SelectGroup("A");
                      f.WriteText("KEY", "v");
                      f.WriteNumber("new", -42);
                    }),
            "[A]\r\nKEY = v\r\nother = 2\r\nnew = -42\r\n[B]\r\n");
}

TEST(SettingsFile, PendingGroupIsCreatedAtTheEndByTheFirstWrite) {
  EXPECT_EQ(Rewrite("[A]\r\nk = 1\r\n",
                    [](SettingsFile& f) {
                      f.SelectGroup("A");
                      EXPECT_FALSE(f.SelectGroup("B"));
                      // While B is pending, reads give defaults although A is still current.
                      EXPECT_EQ(f.ReadNumber("k", 7), 7);
                      f.WriteText("k", "b");
                      EXPECT_TRUE(f.SelectGroup("B"));
                    }),
            "[A]\r\nk = 1\r\n[B]\r\nk = b\r\n");
}

TEST(SettingsFile, ReadingNumbersAndTexts) {
  SettingsFile f;
  f.OpenBuffer(
      "[G]\r\na = 42xy\r\nb = xy\r\nc = -17\r\nd = +5\r\ne = 99999999999\r\n"
      "f = -99999999999\r\ng = text  \t\r\nh =\r\n");
  f.SelectGroup("G");
  EXPECT_EQ(f.ReadNumber("a", 1), 42);
  EXPECT_EQ(f.ReadNumber("b", 1), 0);
  EXPECT_EQ(f.ReadNumber("c", 1), -17);
  EXPECT_EQ(f.ReadNumber("d", 1), 5);
  EXPECT_EQ(f.ReadNumber("e", 1), 2147483647);
  EXPECT_EQ(f.ReadNumber("f", 1), -2147483647 - 1);
  EXPECT_EQ(f.ReadNumber("missing", 3), 3);
  EXPECT_EQ(f.ReadText("g", "d"), "text");
  EXPECT_EQ(f.ReadText("h", "d"), "");
  EXPECT_EQ(f.ReadText("missing", "d"), "d");
}

TEST(SettingsFile, RemoveGroupTakesCommentsAndMakesTheGlobalAreaCurrent) {
  EXPECT_EQ(Rewrite("[A]\r\n; c\r\nk = 1\r\n[B]\r\nk = 2\r\n",
                    [](SettingsFile& f) {
                      f.SelectGroup("A");
                      f.RemoveGroup("a");
                      f.RemoveGroup("none");
                      EXPECT_EQ(f.ReadNumber("k", 5), 5);
                      f.SelectGroup("B");
                      f.WriteNumber("j", 3);
                    }),
            "[B]\r\nk = 2\r\nj = 3\r\n");
}

TEST(SettingsFile, Utf8ModeConvertsAtTheEdges) {
  // "[Ä]" and a value with "é" in UTF-8, and a value that is not valid UTF-8.
  const std::string out =
      Rewrite("\xEF\xBB\xBF[\xC3\x84]\nv = \xC3\xA9t\xC3\xA9\nbad = \xFF\n", [](SettingsFile& f) {
        EXPECT_EQ(f.GroupNames(), std::vector<std::string>{"\xC4"});
        EXPECT_TRUE(f.SelectGroup("\xC4"));
        EXPECT_EQ(f.ReadText("v", ""), "\xE9t\xE9");
        EXPECT_EQ(f.ReadText("bad", "d"), "");
        f.WriteText("w", "\xFF");
        f.RemoveGroup("\xC4");
        f.SelectGroup("N");
        f.WriteText("k", "\xE0");
      });
  EXPECT_EQ(out, "\xEF\xBB\xBF\r\n[N]\r\nk = \xC3\xA0\r\n");
}

TEST(SettingsFile, ARewriteKeepsTheFileMode) {
  // An 8-bit file whose first key line starts with the bytes of the
  // byte-order mark, behind a blank line; its profile names are Windows-1251.
  const std::string name = "\xCC\xEE\xE9";  // "Мой"
  for (const std::string& start : {std::string("\r\n\xEF\xBB\xBFk = 1\r\n"),
                                   std::string("\xEF\xBB\xBF\r\n\xEF\xBB\xBFk = 1\r\n")}) {
    const bool utf8 = start.front() != '\r';
    const std::string out = Rewrite(start, [&](SettingsFile& f) {
      f.SelectGroup(name);
      f.WriteText("v", "x");
    });
    SettingsFile again;
    again.OpenBuffer(out);
    // A UTF-8 file, and only such a file, starts with the byte-order mark.
    EXPECT_EQ(out.starts_with("\xEF\xBB\xBF"), utf8);
    EXPECT_EQ(again.GroupNames(), std::vector<std::string>{name});
    EXPECT_EQ(again.Render(), out) << "render, re-read and render again give the same bytes";
  }
}

TEST(SettingsFile, EmptyListRewritesToNothingOrToTheMark) {
  EXPECT_EQ(Rewrite("[A]\r\n", [](SettingsFile& f) { f.RemoveGroup("A"); }), "");
  EXPECT_EQ(Rewrite("\xEF\xBB\xBF[A]\r\n", [](SettingsFile& f) { f.RemoveGroup("A"); }),
            "\xEF\xBB\xBF\r\n");
}

TEST(SettingsFile, MissingFileIsCreatedOnlyWhenWritten) {
  TempDir dir;
  const std::string path = dir.Path("new.ini");
  {
    SettingsFile f;
    EXPECT_FALSE(f.Open(path));
    EXPECT_TRUE(f.SelectGroup(""));
    EXPECT_EQ(f.ReadText("k", "d"), "d");
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  {
    SettingsFile f;
    EXPECT_FALSE(f.Open(path));
    f.SelectGroup("G");
    f.WriteNumber("k", 1);
  }
  EXPECT_EQ(ReadBytes(path), "[G]\r\nk = 1\r\n");
}

TEST(SettingsFile, CreateStartsEmptyAndAFailedCreateIgnoresWrites) {
  TempDir dir;
  const std::string path = dir.Path("c.ini");
  WriteBytes(path, "[Old]\r\nk = 1\r\n");
  SettingsFile f;
  ASSERT_TRUE(f.Create(path));
  EXPECT_EQ(f.GroupNames(), std::vector<std::string>{});
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(ReadBytes(path), "");

  EXPECT_FALSE(f.Create(dir.Path("no/such/dir.ini")));
  // No file is open: the write goes nowhere and the read gives the default.
  f.SelectGroup("G");
  f.WriteNumber("k", 1);
  EXPECT_EQ(f.ReadNumber("k", 5), 5);
  EXPECT_EQ(f.Render(), "");
  EXPECT_TRUE(f.Close());
}

TEST(SettingsFile, OpeningAnotherFileWritesTheFirstBack) {
  TempDir dir;
  SettingsFile f;
  f.Open(dir.Path("a.ini"));
  f.SelectGroup("A");
  f.WriteNumber("k", 1);
  f.Open(dir.Path("b.ini"));
  EXPECT_EQ(ReadBytes(dir.Path("a.ini")), "[A]\r\nk = 1\r\n");
}

TEST(SettingsFile, ADirectoryIsNeitherReadNorReplaced) {
  TempDir dir;
  const std::string path = dir.Path("d.ini");
  std::filesystem::create_directory(path);
  SettingsFile f;
  EXPECT_FALSE(f.Open(path));
  f.SelectGroup("G");
  f.WriteNumber("k", 1);
  EXPECT_FALSE(f.Close());
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(SettingsFile, ReadOnlyFileStaysAsItWas) {
  TempDir dir;
  ::chmod(dir.Root().c_str(), 0777);
  const std::string path = dir.Path("ro.ini");
  WriteBytes(path, "[G]\r\n");
  ::chmod(path.c_str(), 0444);
  testing::AsOrdinaryUser user;
  SettingsFile f;
  EXPECT_TRUE(f.Open(path));
  f.SelectGroup("G");
  f.WriteNumber("k", 1);
  EXPECT_FALSE(f.Close());
  EXPECT_EQ(ReadBytes(path), "[G]\r\n");
}

TEST(SettingsFile, HostileBytesParseAndRewrite) {
  // A file with zero bytes is refused (below); the parser itself takes any bytes.
  std::string hostile = std::string("[\0G]\r\n\0k\0=\0v\0\r\n", 15) + "[\r\n=\r\n[" +
                        std::string(1 << 20, 'x') + "\r\n\xEF\xBB";
  SettingsFile f;
  f.OpenBuffer(hostile);
  EXPECT_EQ(f.GroupNames().size(), 3u);
  f.SelectGroup(std::string("\0G", 2));
  EXPECT_EQ(f.ReadText(std::string("\0k\0", 3), ""), std::string("\0v\0", 3));
  f.SelectGroup("Z");
  f.WriteNumber("n", 1);
  const std::string out = f.Render();
  EXPECT_EQ(out.substr(0, 14), std::string("[\0G]\r\n\0k\0 = \0v", 14));
  EXPECT_EQ(out.substr(out.size() - 14), "\r\n[Z]\r\nn = 1\r\n");
}

TEST(SettingsFile, TextOfAnotherKindIsRefusedUnreadAndNeverWritten) {
  const std::string only = ", а программа читает только однобайтовый текст (Windows-1251) и UTF-8";
  const std::string utf16 = "файл записан в кодировке UTF-16" + only;
  const std::string utf32 = "файл записан в кодировке UTF-32" + only;
  const std::string zeros =
      "в файле есть нулевые байты: это не однобайтовый текст (Windows-1251) и не UTF-8";
  struct Case {
    std::string bytes, refusal;
  };
  const Case cases[] = {
      {std::string("\xFF\xFE[\0G\0]\0\r\0\n\0", 12), utf16},
      {std::string("\xFE\xFF\0[\0G\0]\0\r\0\n", 12), utf16},
      {std::string("\xFF\xFE\0\0[\0\0\0", 8), utf32},
      {std::string("\0\0\xFE\xFF\0\0\0[", 8), utf32},
      {std::string("[G]\r\nk = a\0b\r\n", 14), zeros},
      {std::string("\xEF\xBB\xBF[G]\r\n\0", 9), zeros},
      // A UTF-16 file without its mark holds zero bytes all the same.
      {std::string("[\0G\0]\0", 6), zeros},
  };
  TempDir dir;
  const std::string path = dir.Path("s.prof");
  for (const Case& c : cases) {
    WriteBytes(path, c.bytes);
    SettingsFile f;
    const SettingsReadStatus names = f.OpenGroupNames(path);
    ASSERT_FALSE(names);
    EXPECT_EQ(names.Reason().refusal, c.refusal);
    const SettingsReadStatus group = f.OpenGroup(path, "G");
    ASSERT_FALSE(group);
    EXPECT_EQ(group.Reason().refusal, c.refusal);
    const SettingsReadStatus whole = f.Open(path);
    ASSERT_FALSE(whole);
    EXPECT_EQ(whole.Reason().refusal, c.refusal);
    // The bytes were read: they were refused, not missed.
    EXPECT_TRUE(whole.Reason().read);
    EXPECT_EQ(f.GroupNames(), std::vector<std::string>{});
    EXPECT_FALSE(f.SelectGroup("G"));
    f.WriteNumber("k", 1);
    f.RemoveGroup("G");
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadBytes(path), c.bytes);
  }
  // Text the dialect reads is not refused; the refusal is forgotten by the next open.
  WriteBytes(path, "\xFF=\xFE\r\n[G]\r\n");
  SettingsFile f;
  WriteBytes(dir.Path("refused.prof"), std::string("[\0G\0]\0", 6));
  EXPECT_FALSE(f.Open(dir.Path("refused.prof")));
  EXPECT_TRUE(f.Open(path));
  EXPECT_TRUE(f.SelectGroup("G"));
  // Bytes held in memory are parsed as they are, zero bytes and all.
  f.OpenBuffer(std::string("[G]\r\n\0", 6));
  EXPECT_TRUE(f.SelectGroup("G"));
}

TEST(SettingsFile, AFileThatCannotBeReadSaysWhy) {
  TempDir dir;
  SettingsFile f;
  const SettingsReadStatus missing = f.Open(dir.Path("none.ini"));
  ASSERT_FALSE(missing);
  EXPECT_FALSE(missing.Reason().read);
  EXPECT_EQ(missing.Reason().refusal, "");
  const SettingsReadStatus folder = f.OpenGroupNames(dir.Root());
  ASSERT_FALSE(folder);
  EXPECT_FALSE(folder.Reason().read);
  EXPECT_EQ(folder.Reason().refusal, "");
}

TEST(SettingsFile, NamesThatUtf8CannotGiveAreCounted) {
  // As a UTF-8 editor saves Russian names: they read as empty names.
  SettingsFile f;
  f.OpenBuffer(
      "\xEF\xBB\xBF[\xD0\x9C\xD0\xBE\xD0\xB9]\r\n[Plain]\r\n[\xC3\x9C]\r\n[\xFF]\r\n[]\r\n");
  EXPECT_EQ(f.GroupNames(), (std::vector<std::string>{"", "Plain", "\xDC", "", ""}));
  EXPECT_EQ(f.UnreadableGroupNames(), 2u);
  f.RemoveGroup("Plain");
  EXPECT_EQ(f.UnreadableGroupNames(), 2u);
  // In an 8-bit file every name reads.
  f.OpenBuffer("[\xD0\x9C\xD0\xBE\xD0\xB9]\r\n[\xFF]\r\n");
  EXPECT_EQ(f.UnreadableGroupNames(), 0u);
}

// The partial opens must read what the whole open reads: the names, and
// every key of the group asked for, whatever the file around it holds.
TEST(SettingsFile, PartialOpensReadWhatTheWholeFileSays) {
  const std::string files[] = {
      "k = top\r\n;c\r\n[A]\r\nk = 1\r\n[b]\r\nk = 2\r\n[a]\r\nk = 3\r\n  [C] "
      "x\r\n\r\nk=4\r\n[]\r\n",
      "\xEF\xBB\xBF\r\n[\xC3\x9C]\r\nk = \xC3\xA9\r\n[\xD0\x9C]\r\nk = 5\r\n[Z]\r\n",
      "[only\r\nk\r\n",
      "",
  };
  const std::string names[] = {"", "a", "B", "C", "\xDC", "Z", "only", "missing"};
  TempDir dir;
  const std::string path = dir.Path("s.prof");
  for (const std::string& bytes : files) {
    WriteBytes(path, bytes);
    SettingsFile whole;
    ASSERT_TRUE(whole.Open(path));
    SettingsFile part;
    ASSERT_TRUE(part.OpenGroupNames(path));
    EXPECT_EQ(part.GroupNames(), whole.GroupNames()) << bytes;
    EXPECT_EQ(part.UnreadableGroupNames(), whole.UnreadableGroupNames()) << bytes;
    for (const std::string& name : names) {
      ASSERT_TRUE(part.OpenGroup(path, name));
      const bool selected = whole.SelectGroup(name);
      EXPECT_EQ(part.SelectGroup(name), selected) << bytes << name;
      if (selected) {
        EXPECT_EQ(part.CurrentGroupName(), whole.CurrentGroupName()) << bytes << name;
      }
      EXPECT_EQ(part.ReadText("k", "none"), whole.ReadText("k", "none")) << bytes << name;
      // Only read: nothing written to it reaches the file.
      part.WriteText("k", "new");
      part.RemoveGroup(name);
      EXPECT_TRUE(part.Close());
      EXPECT_EQ(ReadBytes(path), bytes);
    }
  }
}

}  // namespace
}  // namespace zeltrix
