// zeltrix-cli: the command line's library run on the process's own arguments and streams.
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <csignal>
#include <filesystem>

#include "cli/cli_app.h"
#include "cli/console.h"
#include "core/io/file_names.h"
#include "core/settings/program_paths.h"

namespace {

std::string ExecutableDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? "." : exe.parent_path().string();
}

/** The same folder the desktop program keeps its profiles in. */
std::string ProgramFilesDirectory() {
  QCoreApplication::setApplicationName(
      QString::fromUtf8(zeltrix::kApplicationName.data(), zeltrix::kApplicationName.size()));
  const QString configuration = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return zeltrix::LocateProgramFiles(
             {ExecutableDirectory(), QFile::encodeName(configuration).toStdString()})
      .directory;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zeltrix::cli;
  // A write past "ulimit -f" then fails with its reason instead of killing the
  // program with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  // Qt's own decoding would turn a name that is not UTF-8 into another name.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments << QString::fromStdU16String(zeltrix::FileNameToUtf16(argv[i]));
  }
  StandardConsole console;
  Context context{console, ProgramFilesDirectory()};
  return RunCli(arguments, context);
}
