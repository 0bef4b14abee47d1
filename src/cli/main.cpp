// zeltrix-cli: the command line's library run on the process's own arguments and streams.
#include <QString>
#include <QStringList>
#include <filesystem>

#include "cli/cli_app.h"
#include "cli/console.h"

namespace {

std::string ProgramDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zeltrix::cli;
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  StandardConsole console;
  Context context{console, ProgramDirectory()};
  return RunCli(arguments, context);
}
