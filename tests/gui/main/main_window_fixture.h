#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTest>
#include <memory>

#include "core/io/single_byte_codec.h"
#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "tests/support/default_database.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/scripted_requester.h"
#include "tests/support/temp_dir.h"

namespace zeltrix::testing {

/** Starts the real main window in a fresh program directory. */
class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { window.reset(); }

  /** Start-up as the program does it, with the given command line after the program name. */
  MainWindow* Start(const QStringList& arguments = {}) {
    window = StartUp(Paths(), QStringList{"zeltrix"} + arguments, prompter, requester);
    if (window) {
      window->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    return window.get();
  }

  /** Starts with the default profile database already in place. */
  MainWindow* StartWithProfiles(const QStringList& arguments = {}) {
    WriteBytes(Paths().profiles, kDefaultDatabase);
    return Start(arguments);
  }

  /** Closes the window as the user does; true when it closed. */
  bool Close() { return window->close(); }

  ProgramPaths Paths() const { return ProgramPaths::InDirectory(dir.Root()); }

  CodeEditor* Source() const { return window->SourceEditor(); }
  CodeEditor* Output() const { return window->OutputEditor(); }

  static std::string SourceUtf8(CodeEditor* editor) { return editor->text().toStdString(); }

  /** The output editor's text in Windows-1251, as the conversion made it. */
  std::string OutputText() const { return Output()->Cp1251Text(); }

  /** Types the text key by key; letters beyond ASCII come as keys that carry only their text. */
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClicks(widget, QString(c));
        continue;
      }
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &press);
      QApplication::sendEvent(widget, &release);
    }
  }
  /** Types UTF-8 text line by line, breaking the lines with Return. */
  static void TypeLines(QWidget* widget, const char* text) {
    const QStringList lines = QString::fromUtf8(text).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(widget, Qt::Key_Return);
      Type(widget, lines[i]);
    }
  }
  static void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(widget, key, modifiers);
  }

  TempDir dir;
  RecordingPrompter prompter;
  ScriptedRequester requester;
  std::unique_ptr<MainWindow> window;
};

}  // namespace zeltrix::testing
