// The menus and the focus as the user reaches them: real menu pop-ups opened
// from the menu bar, and the order Tab visits the controls in.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

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

TEST_F(MenusAndFocusTest, TabVisitsTheEditorsAndTheProfileSelectorInOrder) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->setFocus();
  EXPECT_EQ(Visit(Qt::Key_Tab, 3), "outputEditor, profileSelectorCombo, sourceEditor");
  EXPECT_EQ(Visit(Qt::Key_Backtab, 3), "profileSelectorCombo, outputEditor, sourceEditor");
  EXPECT_EQ(SourceUtf8(Source()), "");
}

}  // namespace
}  // namespace zeltrix::testing
