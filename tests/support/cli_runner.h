#pragma once

#include <sys/wait.h>

#include <QString>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/console.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace zeltrix::testing {

/** What a run of zeltrix-cli left: exit status and the two streams. */
struct CliResult {
  int status;
  std::string out;
  std::string err;
};

/** Standard streams held in strings. */
class StringConsole : public cli::Console {
 public:
  explicit StringConsole(std::string input) : m_input(std::move(input)) {}
  std::optional<std::string> ReadAll() override { return m_input; }
  bool Out(std::string_view bytes) override {
    m_out.append(bytes);
    return true;
  }
  void Err(std::string_view bytes) override { m_err.append(bytes); }

  const std::string& OutText() const { return m_out; }
  const std::string& ErrText() const { return m_err; }

 private:
  std::string m_input;
  std::string m_out;
  std::string m_err;
};

/**
 * Runs zeltrix-cli's commands in the test's own process, inside a test
 * directory that stands for the program's directory and the current one, so
 * that the Profile.prof there is the test's own.
 */
class CliRunner {
 public:
  CliResult Run(const std::vector<std::string>& args, const std::string& input = "") const {
    return RunCommand(args, input, false);
  }

  /**
   * Runs the command as an ordinary user would (see AsOrdinaryUser). Only the
   * command itself runs so: the working folder the tests started in may be
   * closed to that user (a clone in root's home folder), and the way back
   * into it is taken with the test's own rights.
   */
  CliResult RunAsOrdinaryUser(const std::vector<std::string>& args,
                              const std::string& input = "") const {
    return RunCommand(args, input, true);
  }

  std::string Path(const std::string& name) const { return m_dir.Path(name); }
  const TempDir& Dir() const { return m_dir; }

 private:
  CliResult RunCommand(const std::vector<std::string>& args, const std::string& input,
                       bool asOrdinaryUser) const {
    StringConsole console(input);
    cli::Context context{console, m_dir.Root() + "/"};
    QStringList arguments;
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Root());
    int status = 0;
    {
      std::optional<AsOrdinaryUser> user;
      if (asOrdinaryUser) user.emplace();
      status = cli::RunCli(arguments, context);
    }
    std::filesystem::current_path(before);
    return {status, console.OutText(), console.ErrText()};
  }

  TempDir m_dir;
};

/**
 * Runs a copy of the real zeltrix-cli executable inside a test directory, so
 * that the Profile.prof beside it is the test's own, with the given standard
 * input.
 */
class CliProcessRunner {
 public:
  CliResult Run(const std::vector<std::string>& args, const std::string& input = "") const {
    const std::string exe = m_dir.Path("zeltrix-cli");
    if (!std::filesystem::exists(exe)) std::filesystem::copy_file(ZELTRIX_CLI, exe);
    WriteBytes(m_dir.Path("stdin"), input);
    std::string command = "cd " + Quote(m_dir.Root()) + " && " + Quote(exe);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " <stdin >stdout 2>stderr";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(m_dir.Path("stdout")),
            ReadBytes(m_dir.Path("stderr"))};
  }

  std::string Path(const std::string& name) const { return m_dir.Path(name); }
  const TempDir& Dir() const { return m_dir; }

 private:
  static std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

  TempDir m_dir;
};

}  // namespace zeltrix::testing
