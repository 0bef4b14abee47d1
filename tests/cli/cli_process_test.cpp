// Runs the real zeltrix-cli executable: it behaves as the commands run in the tests' process.
#include <gtest/gtest.h>

#include <QCommandLineOption>
#include <QRegularExpression>

#include "cli/cli_app.h"
#include "cli/command.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

TEST(CliProcessTest, TheExecutableAgreesWithTheLibrary) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
      {{"--help"}, ""},
      {{"convert"}, "Привет"},
      {{"convert", "-p", "Нет"}, "A"},
      {{"convert", "-o"}, ""},
      {{"profiles"}, ""},
      {{"bin", "--insert", "9", "-o", "out.bin"}, "AB"},
      {{"convert", "--rom", "a02", "--output-encoding", "cp1251"}, "Straße"},
      {{"bin", "--rom", "a02", "-o", "-"}, "Straße"},
      {{"probe", "--size", "8x1", "--bin", "-"}, ""},
      {{}, ""},
  };
  testing::CliProcessRunner process;
  testing::CliRunner library;
  for (const auto& [args, input] : runs) {
    for (const std::string& dir : {process.Dir().Root(), library.Dir().Root()}) {
      WriteBytes(dir + "/Profile.prof", "[Beside]\r\nDirective = db\r\n");
      WriteBytes(dir + "/out.bin", "old");
    }
    const testing::CliResult real = process.Run(args, input);
    const testing::CliResult expected = library.Run(args, input);
    const std::string shown = args.empty() ? "(none)" : args.front();
    EXPECT_EQ(real.status, expected.status) << shown;
    EXPECT_EQ(real.out, expected.out) << shown;
    EXPECT_EQ(real.err, expected.err) << shown;
    EXPECT_EQ(ReadBytes(process.Path("out.bin")), ReadBytes(library.Path("out.bin"))) << shown;
  }
  // The profile file beside the real program is its own.
  EXPECT_EQ(process.Run({"profiles"}).out, "Beside\n");
}

TEST(CliHelpTest, NamesEveryOptionOfEveryCommandWithItsDescription) {
  const QString help = QString::fromStdString(cli::HelpText());
  int described = 0;
  for (const cli::Command& command : cli::Commands()) {
    EXPECT_TRUE(help.contains("zeltrix-cli " + command.name + " ")) << command.name.toStdString();
    for (const QCommandLineOption& option : command.options()) {
      const QString name = "--" + option.names().last();
      EXPECT_TRUE(help.contains(QRegularExpression("\\n      (-., )?" + name + "[ \\n]")))
          << name.toStdString();
      // The description's first words start the text beside or under the name.
      EXPECT_TRUE(help.contains(option.description().section(' ', 0, 2))) << name.toStdString();
      ++described;
    }
  }
  EXPECT_GE(described, 16);
}

}  // namespace
}  // namespace zeltrix
