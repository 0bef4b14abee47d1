#include "core/settings/recent_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace zeltrix {
namespace {

RecentFileList List(const std::vector<std::string>& entries) {
  RecentFileList list;
  for (std::size_t i = 0; i < entries.size(); ++i) list[i] = entries[i];
  return list;
}

TEST(RecordRecentFile, MovesAndDrops) {
  struct Case {
    const char* what;
    std::vector<std::string> before;
    std::vector<const char*> recorded;
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"a file further down moves to the top", {"A", "B", "C"}, {"C"}, {"C", "A", "B"}},
      {"then a new one", {"A", "B", "C"}, {"C", "D"}, {"D", "C", "A", "B"}},
      {"the top entry stays", {"A", "B"}, {"A"}, {"A", "B"}},
      {"into an empty list", {}, {"A"}, {"A"}},
      {"a full list drops its last entry",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
       {"new"},
       {"new", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {"entries below the one found keep their places",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
       {"4"},
       {"4", "1", "2", "3", "5", "6", "7", "8", "9", "10"}},
      {"the last entry of a full list",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
       {"10"},
       {"10", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {"gaps move like entries", {"A", "", "B"}, {"C"}, {"C", "A", "", "B"}},
      {"a gap at the end of a full list is dropped",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", ""},
       {"new"},
       {"new", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {"the first of two repeats is taken", {"A", "B", "A"}, {"A"}, {"A", "B", "A"}},
      {"a repeat below stays", {"A", "B", "A"}, {"B"}, {"B", "A", "A"}},
      {"letter case and separators count",
       {"/x/File.txt"},
       {"/x/file.txt", "/x//File.txt"},
       {"/x//File.txt", "/x/file.txt", "/x/File.txt"}},
  };
  for (const Case& c : cases) {
    RecentFileList list = List(c.before);
    for (const char* path : c.recorded) RecordRecentFile(list, path);
    EXPECT_EQ(list, List(c.after)) << c.what;
  }
}

TEST(RecentFileLabels, TwoSpacesWhenBuiltFourAfterEveryRecording) {
  RecentFileList list = List({"/home/u/a.txt", "", "/home/u/b.txt"});
  const RecentFileLabels built = RecentFileMenuLabels(list);
  EXPECT_EQ(built[0], "1)  /home/u/a.txt");
  EXPECT_EQ(built[1], "2)  ");
  EXPECT_EQ(built[2], "3)  /home/u/b.txt");
  EXPECT_EQ(built[9], "10)  ");
  // Recording the top entry again changes no order, only the labels.
  const RecentFileLabels relabelled = RecordRecentFile(list, "/home/u/a.txt");
  EXPECT_EQ(relabelled[0], "1)    /home/u/a.txt");
  EXPECT_EQ(relabelled[1], "2)    ");
  EXPECT_EQ(relabelled[2], "3)    /home/u/b.txt");
  EXPECT_EQ(relabelled[9], "10)    ");
  EXPECT_EQ(RecordRecentFile(list, "c")[0], "1)    c");
  EXPECT_EQ(RecordRecentFile(list, "c")[1], "2)    /home/u/a.txt");
}

}  // namespace
}  // namespace zeltrix
