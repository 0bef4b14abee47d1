#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

#include "core/settings/program_paths.h"
#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "gui/support/app_identity.h"
#include "gui/support/qt_file_requester.h"
#include "gui/support/qt_prompter.h"

int main(int argc, char** argv) {
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
      {QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
       QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
           .toStdString()});
  // A failure shows when the first file is created there.
  zeltrix::EnsureProgramDirectory(paths);
  zeltrix::QtPrompter prompter;
  zeltrix::QtFileRequester requester;
  const std::unique_ptr<zeltrix::MainWindow> window =
      zeltrix::StartUp(paths, app.arguments(), prompter, requester);
  if (!window) return 1;
  prompter.SetParent(window.get());
  requester.SetParent(window.get());
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(window.get(), &zeltrix::MainWindow::closed, &app, &QApplication::quit);
  return app.exec();
}
