// The menus and the focus as the user reaches them: real menu pop-ups opened
// from the menu bar, and the order Tab visits the controls in.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "gui/image/bin_dialog.h"
#include "gui/lcd/lcd_preview_window.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

class MenusAndFocusTest : public MainWindowTest {
 protected:
  /** Clicks a menu's title in the menu bar and returns the menu that pops up. */
  QMenu* ClickMenu(const QString& title) {
    QMenuBar* bar = window->menuBar();
    for (QAction* action : bar->actions()) {
      if (action->text() != title) continue;
      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(action).center());
      QMenu* menu = action->menu();
      EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); })) << title.toStdString();
      return menu;
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    return nullptr;
  }

  /**
   * A key as the windowing system delivers it: to the window that has the
   * keyboard, through the shortcut map, to whichever widget Qt gives it.
   */
  static void SystemKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* target = QGuiApplication::focusWindow();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
  }

  /**
   * The offscreen platform makes a pop-up menu the active window and leaves it
   * so when it closes; X11 never moves the activation to a pop-up. The main
   * window gets it back, as it has it there.
   */
  void GiveBackActivation() {
    window->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), window.get());
  }

  /** The top-level window of that class that is shown, if any. */
  template <class W>
  static W* Shown() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* w = qobject_cast<W*>(widget); w != nullptr && w->isVisible()) return w;
    }
    return nullptr;
  }

  /** The enabled state of each item of a menu, by its text. */
  static std::map<std::string, bool> Enabled(const QMenu* menu) {
    std::map<std::string, bool> enabled;
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) enabled[action->text().toStdString()] = action->isEnabled();
    }
    return enabled;
  }

  /** The object names of the controls Tab (or Shift+Tab) visits, starting from the focused one. */
  static std::string Visit(Qt::Key key, int steps) {
    QStringList visited;
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), key,
                      key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
      visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                              : QString("(none)"));
    }
    return visited.join(", ").toStdString();
  }
};

TEST_F(MenusAndFocusTest, EditMenuFollowsTheEditorThatHadTheFocus) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "abc");
  QMenu* file = ClickMenu("Файл");
  ASSERT_NE(file, nullptr);
  QTest::keyClick(file, Qt::Key_Escape);
  QMenu* edit = ClickMenu("Правка");
  ASSERT_NE(edit, nullptr);
  const std::map<std::string, bool> expected = {
      {"Отменить\tCtrl+Z", true},   {"Повторить\tCtrl+Y", false}, {"Вырезать\tCtrl+X", true},
      {"Копировать\tCtrl+C", true}, {"Вставить\tCtrl+V", true},   {"Выделить всё\tCtrl+A", true}};
  EXPECT_EQ(Enabled(edit), expected);
  // The toolbar's buttons follow the same rule.
  auto* toolbar = window->findChild<QToolBar*>("mainToolbar");
  for (const Command command : {Command::Cut, Command::Copy, Command::Paste}) {
    EXPECT_TRUE(toolbar->widgetForAction(window->CommandAction(command))->isEnabled())
        << static_cast<int>(command);
  }
  // Choosing Select all there acts on that editor.
  for (QAction* action : edit->actions()) {
    if (action->text().startsWith("Выделить всё")) {
      QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(action).center());
    }
  }
  EXPECT_EQ(Source()->selectedText(), "abc");
  EXPECT_FALSE(edit->isVisible());
}

// A menu opened with the mouse and closed with Escape hands the keyboard back:
// every key of the window reaches its command and typed letters the editor.
TEST_F(MenusAndFocusTest, KeysWorkAfterAMenuIsClosedWithEscape) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  struct Case {
    const char* menu;
    Qt::Key key;
    std::function<bool()> ran;
  };
  const Case cases[] = {
      {"Файл", Qt::Key_A, [this] { return Source()->selectedText() == Source()->text(); }},
      {"Правка", Qt::Key_T, [this] { return OutputText().find("Dt") != std::string::npos; }},
      {"Преобразование", Qt::Key_L, [] { return Shown<LcdPreviewWindow>() != nullptr; }},
      {"Справка", Qt::Key_B, [] { return Shown<BinDialog>() != nullptr; }},
  };
  std::string typed;
  for (const Case& c : cases) {
    const std::string what =
        std::string(c.menu) + " Ctrl+" + QKeySequence(c.key).toString().toStdString();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get())) << what;
    Source()->setFocus();
    Source()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QMenu* menu = ClickMenu(QString::fromUtf8(c.menu));
    ASSERT_NE(menu, nullptr);
    SystemKey(Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible()) << what;
    GiveBackActivation();
    // The editor has the keyboard again: its caret line shows and letters land in it.
    EXPECT_EQ(QApplication::focusWidget(), Source()) << what;
    SystemKey(Qt::Key_X);
    typed += "x";
    EXPECT_EQ(SourceUtf8(Source()), typed) << what;
    EXPECT_FALSE(c.ran()) << what;
    SystemKey(c.key, Qt::ControlModifier);
    EXPECT_TRUE(c.ran()) << what;
  }
}

// Alt alone lets the menu bar take the keyboard, as it should; the window's
// keys go on working there.
TEST_F(MenusAndFocusTest, WindowKeysWorkWhileTheMenuBarHoldsTheKeyboard) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "abc");
  SystemKey(Qt::Key_Alt, Qt::AltModifier);
  ASSERT_EQ(QApplication::focusWidget(), window->menuBar());
  SystemKey(Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(OutputText(), "; abc\r\n    Dt    0x61, 0x62, 0x63\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MenusAndFocusTest, TabVisitsTheEditorsAndTheProfileSelectorInOrder) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->setFocus();
  EXPECT_EQ(Visit(Qt::Key_Tab, 3), "outputEditor, profileSelectorCombo, sourceEditor");
  EXPECT_EQ(Visit(Qt::Key_Backtab, 3), "profileSelectorCombo, outputEditor, sourceEditor");
  EXPECT_EQ(SourceUtf8(Source()), "");
}

}  // namespace
}  // namespace zeltrix::testing
