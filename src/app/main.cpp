#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "gui/support/qt_file_requester.h"
#include "gui/support/qt_prompter.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("Zeltrix");
  app.setDesktopFileName("zeltrix");
  // Standard buttons read "Да", "Нет", "Отмена".
  QTranslator translator;
  if (translator.load(QLocale(QLocale::Russian), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&translator);
  }
  zeltrix::RegisterEditorFontSubstitutes();

  const auto paths =
      zeltrix::ProgramPaths::InDirectory(QCoreApplication::applicationDirPath().toStdString());
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
