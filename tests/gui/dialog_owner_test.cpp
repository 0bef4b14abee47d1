// Messages and file dialogs belong to the window that asked: they are shown
// over it, and it is the active window again when they close. The real
// message boxes and file dialogs, answered as they come up.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "gui/image/bin_dialog.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "gui/support/qt_file_requester.h"
#include "gui/support/qt_prompter.h"
#include "tests/gui/real_dialogs.h"
#include "tests/support/default_database.h"
#include "tests/support/temp_dir.h"

namespace zeltrix::testing {
namespace {

class DialogOwnerTest : public ::testing::Test {
 protected:
  /** Starts the program as main() does, with its real prompter and requester. */
  void Start(const std::string& settings = {}) {
    WriteBytes(Paths().profiles, kDefaultDatabase);
    if (!settings.empty()) WriteBytes(Paths().settings, settings);
    window = StartUp(Paths(), {"zeltrix"}, prompter, requester);
    ASSERT_NE(window, nullptr);
    prompter.SetParent(window.get());
    requester.SetParent(window.get());
    ActivateMain();
  }
  void TearDown() override { window.reset(); }

  ProgramPaths Paths() const { return ProgramPaths::InDirectory(dir.Root()); }

  /** The user clicks into the main window. */
  void ActivateMain() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  /** A key as the windowing system delivers it to the active window. */
  void SystemKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QGuiApplication::focusWindow(), key, modifiers);
  }

  template <class W>
  static W* Shown() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* w = qobject_cast<W*>(widget); w != nullptr && w->isVisible()) return w;
    }
    return nullptr;
  }

  /** The window that has the keyboard once the program has handled what is pending. */
  static QWidget* ActiveAfterwards() {
    QCoreApplication::processEvents();
    return QApplication::activeWindow();
  }

  static void Click(QWidget* window, const char* button) {
    auto* found = window->findChild<QPushButton*>(button);
    ASSERT_NE(found, nullptr) << button;
    QTest::mouseClick(found, Qt::LeftButton);
  }

  TempDir dir;
  QtPrompter prompter;
  QtFileRequester requester;
  RealDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

TEST_F(DialogOwnerTest, BinDialogKeepsItsFileDialogAndMessagesInFront) {
  const std::string file = dir.Path("data.bin");
  WriteBytes(file, "abc");
  // An existing file, at an address past its end: Convert asks whether to append.
  Start("[BIN]\r\nSaveFile = 1\r\nAddFile = 1\r\nStartAddress = 99\r\n");
  window->SourceEditor()->setText("Hello");
  SystemKey(Qt::Key_B, Qt::ControlModifier);
  auto* bin = Shown<BinDialog>();
  ASSERT_NE(bin, nullptr);
  // The user was back in the main window, then clicks "..." on the dialog.
  ActivateMain();
  dialogs.files = {QString::fromStdString(file)};
  Click(bin, "browseButton");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].parent, bin) << "file dialog";
  EXPECT_EQ(ActiveAfterwards(), bin) << "after the file dialog";

  // No to appending, then the message that nothing was converted.
  dialogs.buttons = {QMessageBox::No, QMessageBox::Ok};
  Click(bin, "convertButton");
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[1].text,
            "Начальный адрес больше текущего размера файла!\nДобавить данные в конец файла?");
  EXPECT_EQ(dialogs.shown[2].text, "Преобразование не производилось");
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(dialogs.shown[i].parent, bin) << dialogs.shown[i].text.toStdString();
  }
  EXPECT_EQ(ActiveAfterwards(), bin) << "after the messages";
  EXPECT_EQ(ReadBytes(file), "abc");
}

TEST_F(DialogOwnerTest, LcdWindowKeepsItsFileDialogAndMessageInFront) {
  Start();
  window->SourceEditor()->setText("Hello");
  SystemKey(Qt::Key_L, Qt::ControlModifier);
  auto* lcd = Shown<LcdPreviewWindow>();
  ASSERT_NE(lcd, nullptr);
  ActivateMain();
  // A file inside a file cannot be written.
  const std::string blocker = dir.Path("plain.txt");
  WriteBytes(blocker, "x");
  dialogs.files = {QString::fromStdString(blocker + "/screen.png")};
  dialogs.buttons = {QMessageBox::Ok};
  Click(lcd, "lcdSaveImageButton");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text.toStdString(),
            "Не удалось сохранить файл\n" + blocker + "/screen.png");
  for (const RealDialogs::Shown& shown : dialogs.shown) {
    EXPECT_EQ(shown.parent, lcd) << shown.title.toStdString();
  }
  EXPECT_EQ(ActiveAfterwards(), lcd);
}

}  // namespace
}  // namespace zeltrix::testing
