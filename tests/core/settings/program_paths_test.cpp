// Where Profile.prof and Preferences.ini live.
#include "core/settings/program_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace zeltrix::testing {
namespace {

namespace fs = std::filesystem;

TEST(ProgramPaths, FolderChosenByWritabilityAndInstalledLayout) {
  struct Case {
    const char* what;
    bool writable;
    bool installedLayout;  // share/zeltrix beside the bin folder
    bool withConfiguration;
    bool besideExecutable;
  };
  const Case cases[] = {
      {"build tree or portable copy", true, false, true, true},
      {"read-only program folder", false, false, true, false},
      {"installed system-wide, run by a user", false, true, true, false},
      {"installed, folder writable (root, or ~/.local)", true, true, true, false},
      {"no configuration folder known", false, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    fs::create_directories(dir.Path("prefix/bin"));
    if (c.installedLayout) fs::create_directories(dir.Path("prefix/share/zeltrix"));
    const std::string bin = dir.Path("prefix/bin");
    std::vector<std::string> asked;
    const FileLocationInputs inputs{bin,
                                    c.withConfiguration ? dir.Path("home/.config/Zeltrix") : "",
                                    [&](const std::string& folder) {
                                      asked.push_back(folder);
                                      return c.writable;
                                    }};
    const ProgramPaths paths = LocateProgramFiles(inputs);
    const std::string expected = c.besideExecutable ? bin + "/" : dir.Path("home/.config/Zeltrix/");
    EXPECT_EQ(paths.directory, expected);
    EXPECT_EQ(paths.settings, expected + "Preferences.ini");
    EXPECT_EQ(paths.profiles, expected + "Profile.prof");
    if (c.withConfiguration) {
      EXPECT_EQ(asked, std::vector<std::string>{bin});
    }
    // Deciding creates nothing.
    EXPECT_FALSE(fs::exists(dir.Path("home")));
  }
}

TEST(ProgramPaths, RealReadOnlyFolderSendsTheFilesToTheConfigurationFolder) {
  TempDir dir;
  const std::string bin = dir.Path("bin");
  fs::create_directories(bin);
  EXPECT_TRUE(IsWritableFolder(bin));
  EXPECT_FALSE(IsWritableFolder(dir.Path("missing")));
  EXPECT_FALSE(IsWritableFolder(""));
  testing::WriteBytes(dir.Path("file"), "x");
  EXPECT_FALSE(IsWritableFolder(dir.Path("file")));

  fs::permissions(bin, fs::perms::owner_read | fs::perms::owner_exec);
  const FileLocationInputs inputs{bin, dir.Path("config/Zeltrix")};
  if (::geteuid() == 0) {
    // The administrator may write anywhere; only the injected check above covers this as root.
    EXPECT_EQ(LocateProgramFiles(inputs).directory, bin + "/");
  } else {
    EXPECT_FALSE(IsWritableFolder(bin));
    EXPECT_EQ(LocateProgramFiles(inputs).directory, dir.Path("config/Zeltrix/"));
  }
}

TEST(ProgramPaths, ConfigurationFolderIsCreatedWhenNeeded) {
  TempDir dir;
  const ProgramPaths paths = ProgramPaths::InDirectory(dir.Path("home/.config/Zeltrix"));
  EXPECT_TRUE(EnsureProgramDirectory(paths));
  EXPECT_TRUE(fs::is_directory(dir.Path("home/.config/Zeltrix")));
  EXPECT_TRUE(EnsureProgramDirectory(paths));  // already there
  testing::WriteBytes(dir.Path("blocked"), "");
  EXPECT_FALSE(EnsureProgramDirectory(ProgramPaths::InDirectory(dir.Path("blocked/Zeltrix"))));
}

}  // namespace
}  // namespace zeltrix::testing
