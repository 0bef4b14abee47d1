// `cmake --install` into a temporary DESTDIR: every file in its place, and the
// installed zeltrix-cli runs from there with the user's configuration folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zeltrix::testing {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

/** Runs a shell command line; its exit status, or -1 when it did not exit. */
int Shell(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

/** Width and height from a PNG file's header, or 0, 0 when it is none. */
std::pair<int, int> PngSize(const std::string& path) {
  const std::string bytes = ReadBytes(path);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
  const auto word = [&](std::size_t at) {
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i)
      value = value * 256 + static_cast<unsigned char>(bytes[i]);
    return value;
  };
  return {word(16), word(20)};
}

class InstallTest : public ::testing::Test {
 protected:
  // One installation serves every test of the suite.
  static void SetUpTestSuite() {
    root = std::make_unique<TempDir>();
    installed = Shell("DESTDIR=" + Quote(root->Path("dest")) + " " + Quote(ZELTRIX_CMAKE) +
                      " --install " + Quote(ZELTRIX_BUILD_DIR) + " --prefix /usr >" +
                      Quote(root->Path("install.log")) + " 2>&1") == 0;
  }
  static void TearDownTestSuite() { root.reset(); }

  void SetUp() override { ASSERT_TRUE(installed) << ReadBytes(root->Path("install.log")); }

  static std::string Usr(const std::string& path) { return root->Path("dest/usr/" + path); }

  /** Runs the installed zeltrix-cli with a home folder of the test's own; its exit status. */
  int RunInstalledCli(const std::vector<std::string>& args) const {
    return RunInstalled("bin/zeltrix-cli", args);
  }

  /**
   * Runs an installed program as from a terminal without a display, with a
   * home folder of the test's own; its exit status.
   */
  int RunInstalled(const std::string& program, const std::vector<std::string>& args) const {
    std::string command =
        "cd / && env -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=" +
        Quote(home.Root()) + " " + Quote(Usr(program));
    for (const std::string& arg : args) command += " " + Quote(arg);
    return Shell(command + " >" + Quote(home.Path("stdout")) + " 2>" + Quote(home.Path("stderr")));
  }

  static inline std::unique_ptr<TempDir> root;
  static inline bool installed = false;
  TempDir home;
};

TEST_F(InstallTest, EveryFileInItsPlace) {
  const char* const files[] = {
      "bin/zeltrix",
      "bin/zeltrix-cli",
      "share/applications/org.zeltrix.Zeltrix.desktop",
      "share/metainfo/org.zeltrix.Zeltrix.metainfo.xml",
      "share/icons/hicolor/scalable/apps/org.zeltrix.Zeltrix.svg",
      "share/man/man1/zeltrix.1.gz",
      "share/man/man1/zeltrix-cli.1.gz",
      "share/bash-completion/completions/zeltrix-cli",
      "share/doc/zeltrix/LICENSE",
      "share/doc/zeltrix/copyright",
      "share/doc/zeltrix/changelog.gz",
      "share/zeltrix/examples/privet.txt",
  };
  for (const char* file : files) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(fs::is_regular_file(Usr(file)));
    EXPECT_GT(fs::file_size(Usr(file)), 0u);
  }
  for (const char* program : {"bin/zeltrix", "bin/zeltrix-cli"}) {
    EXPECT_NE(fs::status(Usr(program)).permissions() & fs::perms::others_exec, fs::perms::none);
  }
  // Manual pages are compressed, so that man and Debian find them as they expect.
  EXPECT_EQ(Shell("gzip -t " + Quote(Usr("share/man/man1/zeltrix-cli.1.gz"))), 0);
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string dir = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(Usr("share/icons/hicolor/" + dir + "/apps/org.zeltrix.Zeltrix.png")),
              std::make_pair(size, size))
        << dir;
  }
  // The glyph tables' notice goes with them.
  EXPECT_EQ(fs::exists(Usr("share/doc/zeltrix/NOTICE")),
            fs::exists(ZELTRIX_SOURCE_DIR "/resources/lcd-fonts/NOTICE"));
  const std::string entry = ReadBytes(Usr("share/applications/org.zeltrix.Zeltrix.desktop"));
  EXPECT_NE(entry.find("\nIcon=org.zeltrix.Zeltrix\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=zeltrix %f\n"), std::string::npos);
  // The class of the window (Qt takes the application's name), so that docks
  // put the running window under the entry's icon.
  EXPECT_NE(entry.find("\nStartupWMClass=Zeltrix\n"), std::string::npos);
}

TEST_F(InstallTest, InstalledCliConvertsTheExampleWithTheDefaultProfiles) {
  ASSERT_EQ(RunInstalledCli({"convert", Usr("share/zeltrix/examples/privet.txt"), "-o",
                             home.Path("privet.asm")}),
            0)
      << ReadBytes(home.Path("stderr"));
  const std::string lines = ReadBytes(home.Path("privet.asm"));
  // The first default profile, in the input's Windows-1251: "; Привет, " and its codes.
  EXPECT_EQ(lines.substr(0, lines.find("\r\n", lines.find("\r\n") + 2)),
            "; \xcf\xf0\xe8\xe2\xe5\xf2, \r\n"
            "    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF, 0x2C, 0x20");
  // With no Profile.prof nothing is written, neither beside the program nor in the home folder.
  EXPECT_FALSE(fs::exists(Usr("bin/Profile.prof")));
  EXPECT_FALSE(fs::exists(home.Path(".config/Zeltrix")));
}

TEST_F(InstallTest, InstalledCliTakesItsProfilesFromTheConfigurationFolder) {
  fs::create_directories(home.Path(".config/Zeltrix"));
  WriteBytes(home.Path(".config/Zeltrix/Profile.prof"),
             "[Mine]\r\nOst1 = 0\r\nDirective = db\r\nStartData = 0x\r\nSI = 2\r\n"
             "RazdelitelData = [String],[/String]\r\nCountByte = 0\r\n");
  ASSERT_EQ(RunInstalledCli({"profiles"}), 0) << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(ReadBytes(home.Path("stdout")), "Mine\n");
  WriteBytes(home.Path("in.txt"), "AB");
  ASSERT_EQ(RunInstalledCli({"convert", home.Path("in.txt")}), 0) << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(ReadBytes(home.Path("stdout")), "db  0x41,0x42\r\n");
}

// The Debian package as `make package` builds it: its name and fields.
TEST_F(InstallTest, PackageNamesTheVersionAndOnlyRecommendsTheTranslations) {
  const std::string out = home.Path("package");
  ASSERT_EQ(Shell("cd " + Quote(ZELTRIX_BUILD_DIR) + " && " + Quote(ZELTRIX_CPACK) + " -G DEB -B " +
                  Quote(out) + " >" + Quote(home.Path("cpack.log")) + " 2>&1"),
            0)
      << ReadBytes(home.Path("cpack.log"));
  std::string deb;
  for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".deb")) deb = name;
  }
  EXPECT_EQ(deb.rfind(std::string("zeltrix_") + ZELTRIX_PROJECT_VERSION + "_", 0), 0u) << deb;
  ASSERT_EQ(Shell("dpkg-deb -f " + Quote(out + "/" + deb) + " Version Depends Recommends >" +
                  Quote(home.Path("fields"))),
            0);
  const std::string fields = "\n" + ReadBytes(home.Path("fields"));
  const auto field = [&](const std::string& name) {
    const std::size_t at = fields.find("\n" + name + ": ");
    if (at == std::string::npos) return std::string("(none)");
    const std::size_t from = at + name.size() + 3;
    return fields.substr(from, fields.find('\n', from) - from);
  };
  EXPECT_EQ(field("Version"), ZELTRIX_PROJECT_VERSION);
  // The program runs without the translations, with English standard buttons.
  EXPECT_EQ(field("Depends").find("qt6-translations-l10n"), std::string::npos) << fields;
  EXPECT_NE(field("Depends").find("libqt6svg6"), std::string::npos) << fields;
  EXPECT_NE(field("Recommends").find("qt6-translations-l10n"), std::string::npos) << fields;
  EXPECT_NE(field("Recommends").find("fonts-dejavu-core"), std::string::npos) << fields;
}

// `make install` into folders that are not there yet, then `make uninstall`:
// nothing of the install is left, and what was there before stays.
TEST_F(InstallTest, MakeUninstallRemovesTheFoldersThatMakeInstallCreated) {
  const std::string fresh = home.Path("fresh/prefix");
  const std::string shared = home.Path("shared");
  fs::create_directories(shared + "/share/applications");
  WriteBytes(shared + "/share/applications/other.desktop", "[Desktop Entry]\n");
  // The build is there: make is told not to configure or build it again.
  const std::string make = "make -s -C " + Quote(ZELTRIX_SOURCE_DIR) +
                           " -o build BUILD_DIR=" + Quote(ZELTRIX_BUILD_DIR) +
                           " INSTALLED=" + Quote(home.Path("files")) +
                           " INSTALLED_FOLDERS=" + Quote(home.Path("folders")) + " ";
  const std::string log = " >" + Quote(home.Path("make.log")) + " 2>&1";
  for (const std::string& prefix : {fresh, shared}) {
    ASSERT_EQ(Shell(make + "install PREFIX=" + Quote(prefix) + log), 0)
        << ReadBytes(home.Path("make.log"));
    EXPECT_TRUE(fs::is_regular_file(prefix + "/share/man/man1/zeltrix-cli.1.gz")) << prefix;
    ASSERT_EQ(Shell(make + "uninstall" + log), 0) << ReadBytes(home.Path("make.log"));
  }
  EXPECT_FALSE(fs::exists(home.Path("fresh")));
  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(shared)) {
    left.push_back(fs::relative(entry.path(), shared).string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"share", "share/applications",
                                            "share/applications/other.desktop"}));
}

// Optimised builds carry the Debian hardening: relocations read-only and bound
// at start, the stack protector, and the checked forms of the C library's calls.
TEST_F(InstallTest, OptimisedProgramsAreHardened) {
  if (!ZELTRIX_HARDENED) GTEST_SKIP() << "a build without the hardening flags";
  for (const char* program : {"bin/zeltrix", "bin/zeltrix-cli"}) {
    ASSERT_EQ(
        Shell("readelf -lW -dW --dyn-syms " + Quote(Usr(program)) + " >" + Quote(home.Path("elf"))),
        0);
    const std::string elf = ReadBytes(home.Path("elf"));
    EXPECT_NE(elf.find("GNU_RELRO"), std::string::npos) << program;
    EXPECT_NE(elf.find("BIND_NOW"), std::string::npos) << program;
    EXPECT_NE(elf.find("__stack_chk_fail@"), std::string::npos) << program;
    // __memcpy_chk and its kind; __stack_chk_fail has no "@" after "_chk".
    EXPECT_TRUE(std::regex_search(elf, std::regex("__[a-z0-9]+_chk@"))) << program;
  }
}

// The project's version is the one that every part of the package names.
TEST_F(InstallTest, ProgramsManualPagesMetadataAndChangelogNameTheProjectVersion) {
  const std::string version = ZELTRIX_PROJECT_VERSION;
  ASSERT_EQ(RunInstalledCli({"--version"}), 0) << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(ReadBytes(home.Path("stdout")), "zeltrix-cli (Zeltrix) " + version + "\n");
  // The window's program answers without a display.
  ASSERT_EQ(RunInstalled("bin/zeltrix", {"--version"}), 0) << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(ReadBytes(home.Path("stdout")), "Zeltrix " + version + "\n");
  EXPECT_EQ(ReadBytes(home.Path("stderr")), "");
  for (const char* help : {"--help", "-h"}) {
    ASSERT_EQ(RunInstalled("bin/zeltrix", {help}), 0) << ReadBytes(home.Path("stderr"));
    const std::string out = ReadBytes(home.Path("stdout"));
    EXPECT_EQ(out.rfind("Использование: zeltrix [ФАЙЛ]\n", 0), 0u) << out;
    EXPECT_NE(out.find("--version"), std::string::npos) << out;
    EXPECT_EQ(ReadBytes(home.Path("stderr")), "");
  }

  for (const char* page : {"zeltrix.1.gz", "zeltrix-cli.1.gz"}) {
    ASSERT_EQ(Shell("gzip -dc " + Quote(Usr(std::string("share/man/man1/") + page)) + " >" +
                    Quote(home.Path("page"))),
              0);
    const std::string text = ReadBytes(home.Path("page"));
    EXPECT_NE(text.substr(0, text.find('\n')).find(" \"Zeltrix " + version + "\" "),
              std::string::npos)
        << page;
    EXPECT_NE(text.find("\\-\\-version"), std::string::npos) << page;
  }
  EXPECT_NE(ReadBytes(Usr("share/metainfo/org.zeltrix.Zeltrix.metainfo.xml"))
                .find("<release version=\"" + version + "\""),
            std::string::npos);
  ASSERT_EQ(Shell("gzip -dc " + Quote(Usr("share/doc/zeltrix/changelog.gz")) + " >" +
                  Quote(home.Path("changelog"))),
            0);
  EXPECT_EQ(ReadBytes(home.Path("changelog")).rfind("zeltrix (" + version + ") ", 0), 0u);
}

// The README's first step on a fresh account: no configuration folder yet.
TEST_F(InstallTest, ImportOfTheExamplesOnAFreshAccountCreatesTheProfileFileFirst) {
  ASSERT_EQ(
      RunInstalledCli({"profiles", "import", Usr("share/zeltrix/examples/sample-profiles.prof")}),
      0)
      << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(ReadBytes(home.Path("stderr")), "zeltrix-cli: Создан файл профилей \"" +
                                                home.Path(".config/Zeltrix/Profile.prof") +
                                                "\" с тремя профилями по умолчанию\n");
  ASSERT_EQ(RunInstalledCli({"profiles"}), 0) << ReadBytes(home.Path("stderr"));
  EXPECT_EQ(
      ReadBytes(home.Path("stdout")),
      "ASM — DT For PIC\nASM — DE For PIC\nMikroBasic For PIC\nC Array Rows\nASM — DB For AVR\n"
      "Decimal Bytes\n");
}

TEST_F(InstallTest, BashCompletesCommandsOptionsAndTheInstalledProfilesNames) {
  const std::string library = "/usr/share/bash-completion/bash_completion";
  ASSERT_TRUE(fs::exists(library)) << "bash-completion is not installed";
  fs::create_directories(home.Path(".config/Zeltrix"));
  WriteBytes(home.Path(".config/Zeltrix/Profile.prof"),
             "[ASM \x97 DT]\r\nOst1 = 4\r\n[Asm wide]\r\nOst1 = 4\r\n[Basic]\r\nOst1 = 1\r\n");
  // Completes each line as bash does on Tab and prints the offers, one a line.
  WriteBytes(home.Path("complete.sh"),
             "source " + Quote(library) + "\nsource " +
                 Quote(Usr("share/bash-completion/completions/zeltrix-cli")) +
                 "\nwhile IFS= read -r line; do\n"
                 "  COMP_LINE=$line; COMP_POINT=${#line}; read -ra COMP_WORDS <<<\"$line\"\n"
                 "  [[ $line == *' ' ]] && COMP_WORDS+=('')\n"
                 "  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _zeltrix_cli\n"
                 "  printf '%s|' \"${COMPREPLY[@]}\"; echo\n"
                 "done\n");
  WriteBytes(home.Path("lines"),
             "zeltrix-cli \nzeltrix-cli convert --out\nzeltrix-cli bin --encoding \n"
             "zeltrix-cli profiles \nzeltrix-cli convert -p As\nzeltrix-cli preview --rom \n"
             "zeltrix-cli bin --rom a0\nzeltrix-cli convert --look\nzeltrix-cli preview --co\n"
             "zeltrix-cli probe -\nzeltrix-cli pr\nzeltrix-cli bin --format \n"
             "zeltrix-cli decode --l\nzeltrix-cli bin --chip 24c1\n");
  ASSERT_EQ(Shell("env -u XDG_CONFIG_HOME HOME=" + Quote(home.Root()) + " PATH=" +
                  Quote(Usr("bin")) + ":/usr/bin:/bin bash " + Quote(home.Path("complete.sh")) +
                  " <" + Quote(home.Path("lines")) + " >" + Quote(home.Path("offers")) + " 2>&1"),
            0);
  EXPECT_EQ(ReadBytes(home.Path("offers")),
            "convert|bin|decode|preview|probe|profiles|--help|--version|\n"
            "--output-encoding|--output|\n"
            "auto|cp1251|utf-8|koi8-r|cp866|\n"
            "export|import|\n"
            // The names of the profiles in the configuration folder, quoted for the shell.
            "Asm\\ wide|\n"
            "cyrillic|a00|a02|\n"
            "a00|a02|\n"
            "--look-alikes|\n"
            "--codes|\n"
            "--size|-p|--profile|--profiles|-o|--output|--bin|--help|\n"
            "preview|probe|profiles|\n"
            "bin|hex|\n"
            "--length|--layout|\n"
            "24c16|24c128|\n");
}

}  // namespace
}  // namespace zeltrix::testing
