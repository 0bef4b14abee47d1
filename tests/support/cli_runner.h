#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zeltrix::testing {

/** What a run of zeltrix-cli left: exit status and the two streams. */
struct CliResult {
  int status;
  std::string out;
  std::string err;
};

/**
 * Runs a copy of the real zeltrix-cli inside a test directory, so that the
 * Profile.prof beside it is the test's own, with the given standard input.
 */
class CliRunner {
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
