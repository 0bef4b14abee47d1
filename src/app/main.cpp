#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/settings/program_paths.h"
#include "core/version.h"
#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "gui/support/app_identity.h"
#include "gui/support/qt_file_names.h"
#include "gui/support/qt_file_requester.h"
#include "gui/support/qt_prompter.h"

namespace {

// The executable's folder as the system names it; Qt's own reading would
// lose a folder name that is not UTF-8.
std::string ExecutableDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  return exe.parent_path().string();
}

constexpr const char* kHelp =
    "Использование: zeltrix [ФАЙЛ]\n"
    "Zeltrix: текст в коды символов ЖКИ HD44780 с кириллицей.\n"
    "\n"
    "Открывает окно программы; ФАЙЛ, если он указан, открывается в верхнем редакторе.\n"
    "\n"
    "  -h, --help   эта справка\n"
    "  --version    название и версия программы\n"
    "\n"
    "Преобразование из командной строки: zeltrix-cli --help\n";

// --help and --version are answered before Qt looks for a display, so that
// they work in a terminal without one. Any other first argument is the file
// to open.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  const std::string_view first = argv[1];
  const char* text = nullptr;
  if (first == "--help" || first == "-h") {
    text = kHelp;
  } else if (first == "--version") {
    text = "Zeltrix " ZELTRIX_VERSION "\n";
  } else {
    return std::nullopt;
  }
  return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
  // A save past "ulimit -f" then fails with its reason instead of ending the
  // program and losing the text.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  zeltrix::SetUpApplicationIdentity(app);
  // Standard buttons read "Да", "Нет", "Отмена".
  QTranslator translator;
  if (translator.load(QLocale(QLocale::Russian), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&translator);
  }
  zeltrix::RegisterEditorFontSubstitutes();

  const zeltrix::ProgramPaths paths = zeltrix::LocateProgramFiles(
      {ExecutableDirectory(),
       QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
           .toStdString()});
  // A failure shows when the first file is created there.
  zeltrix::EnsureProgramDirectory(paths);
  zeltrix::QtPrompter prompter;
  zeltrix::QtFileRequester requester;
  const std::unique_ptr<zeltrix::MainWindow> window =
      zeltrix::StartUp(paths, zeltrix::FileNameArguments(argc, argv), prompter, requester);
  if (!window) return 1;
  prompter.SetParent(window.get());
  requester.SetParent(window.get());
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(window.get(), &zeltrix::MainWindow::closed, &app, &QApplication::quit);
  return app.exec();
}
