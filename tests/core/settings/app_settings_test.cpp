#include "core/settings/app_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// What the first exit writes into the empty file that the first start made.
constexpr const char* kAllDefaults =
    "[Window]\r\nX = 50\r\nY = 20\r\nW = 700\r\nH = 500\r\nR = 200\r\n"
    "[Profile]\r\nPos = 0\r\n"
    "[BIN]\r\nDelErrSunmol = 0\r\nDelSpace = 0\r\nCountSpace = 2\r\nSaveFile = 0\r\n"
    "AddFile = 0\r\nAsAddFile = 0\r\nStartAddress = 0\r\n"
    "[RecentFiles]\r\nFile1 = \r\nFile2 = \r\nFile3 = \r\nFile4 = \r\nFile5 = \r\n"
    "File6 = \r\nFile7 = \r\nFile8 = \r\nFile9 = \r\nFile10 = \r\n"
    "[LCD]\r\nSize = 16x2\r\nZoom = 3\r\nTheme = yellow-green\r\nX = -1\r\nY = -1\r\nW = 0\r\n"
    "H = 0\r\n";

TEST(AppSettings, FirstStartCreatesAnEmptyFileThatTheExitFills) {
  TempDir dir;
  const std::string path = dir.Path("Preferences.ini");
  const AppSettings loaded = LoadSettings(path);
  EXPECT_EQ(loaded, AppSettings{});
  EXPECT_EQ(loaded.Bin, (BinOutputOptions{0, 0, 2, 0, 0, 0, 0}));
  ASSERT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_TRUE(SaveSettings(path, loaded));
  EXPECT_EQ(ReadBytes(path), kAllDefaults);
  EXPECT_EQ(LoadSettings(path), loaded);
}

TEST(AppSettings, NothingIsWrittenWhereNoRegularFileStands) {
  TempDir dir;
  const std::string path = dir.Path("Preferences.ini");
  // Deleted while the program ran: not recreated at exit.
  LoadSettings(path);
  std::filesystem::remove(path);
  EXPECT_FALSE(SaveSettings(path, AppSettings{}));
  EXPECT_FALSE(std::filesystem::exists(path));
  // A directory of that name: defaults, nothing created in or instead of it.
  std::filesystem::create_directory(path);
  EXPECT_EQ(LoadSettings(path), AppSettings{});
  EXPECT_FALSE(SaveSettings(path, AppSettings{}));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_TRUE(std::filesystem::is_empty(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(AppSettings, MissingKeysTakeDefaultsAndOddValuesAreKept) {
  TempDir dir;
  const std::string path = dir.Path("Preferences.ini");
  WriteBytes(path,
             "[window]\r\nx = -30\r\nW = abc\r\n[BIN]\r\nCountSpace = 101\r\nSaveFile = 5\r\n"
             "StartAddress = -1\r\n[RecentFiles]\r\nFile2 =   /tmp/a b.txt \t\r\nFile11 = x\r\n");
  AppSettings expected;
  expected.X = -30;
  expected.W = 0;  // not a number
  expected.Bin.CountSpace = 101;
  expected.Bin.SaveFile = 5;
  expected.Bin.StartAddress = -1;
  expected.RecentFiles[1] = "/tmp/a b.txt";
  EXPECT_EQ(LoadSettings(path), expected);
}

TEST(AppSettings, SaveKeepsCommentsAndForeignGroupsAndAddsWhatIsMissing) {
  TempDir dir;
  const std::string path = dir.Path("Preferences.ini");
  WriteBytes(path,
             "; settings of my machine\r\n[Other]\r\nkey = value\r\n"
             "[Window]\r\n; moved by hand\r\nY = 7\r\nR = 1\r\n[Profile]\r\nPos = 3\r\n");
  AppSettings settings = LoadSettings(path);
  EXPECT_EQ(settings.Y, 7);
  EXPECT_EQ(settings.R, 1);
  EXPECT_EQ(settings.Pos, 3);
  settings.X = -8;
  settings.Y = 1200;
  settings.W = 640;
  settings.H = 525;
  settings.R = 180;
  settings.Pos = -1;
  settings.Bin = {1, 1, 100, 1, 1, 1, 99999999};
  settings.RecentFiles = {"/home/u/new.txt", "", "/home/u/Old.TXT"};
  settings.Lcd = {"20x4", 5, "amber", 300, -4, 520, 260};
  ASSERT_TRUE(SaveSettings(path, settings));
  EXPECT_EQ(ReadBytes(path),
            "; settings of my machine\r\n[Other]\r\nkey = value\r\n"
            "[Window]\r\n; moved by hand\r\nY = 1200\r\nR = 180\r\nX = -8\r\nW = 640\r\n"
            "H = 525\r\n[Profile]\r\nPos = -1\r\n"
            "[BIN]\r\nDelErrSunmol = 1\r\nDelSpace = 1\r\nCountSpace = 100\r\nSaveFile = 1\r\n"
            "AddFile = 1\r\nAsAddFile = 1\r\nStartAddress = 99999999\r\n"
            "[RecentFiles]\r\nFile1 = /home/u/new.txt\r\nFile2 = \r\nFile3 = /home/u/Old.TXT\r\n"
            "File4 = \r\nFile5 = \r\nFile6 = \r\nFile7 = \r\nFile8 = \r\nFile9 = \r\n"
            "File10 = \r\n[LCD]\r\nSize = 20x4\r\nZoom = 5\r\nTheme = amber\r\nX = 300\r\n"
            "Y = -4\r\nW = 520\r\nH = 260\r\n");
  EXPECT_EQ(LoadSettings(path), settings);
}

}  // namespace
}  // namespace zeltrix
