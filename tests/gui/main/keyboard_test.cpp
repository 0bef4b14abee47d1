// Shortcuts, the editing commands and the focus.
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

long Selection(CodeEditor* editor) {
  return editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND) -
         editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
}

TEST_F(MainWindowTest, EditingShortcutsReachTheFocusedEditorThroughTheCommands) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "abc");
  Key(Source(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selection(Source()), 3);
  Key(Source(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "abc");
  Key(Source(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "");
  Key(Source(), Qt::Key_V, Qt::ControlModifier);
  Key(Source(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "abcabc");
  Key(Source(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "abc");
  Key(Source(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "abcabc");
}

TEST_F(MainWindowTest, UndoNeverActsOnTheOutputEditor) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "s");
  Output()->setFocus();
  Type(Output(), "out");
  EXPECT_FALSE(window->CommandAction(Command::Undo)->isEnabled());
  EXPECT_FALSE(window->CommandAction(Command::Redo)->isEnabled());
  EXPECT_TRUE(window->CommandAction(Command::Copy)->isEnabled());
  Key(Output(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Output()), "out");
  EXPECT_EQ(SourceUtf8(Source()), "s");
  Key(Output(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selection(Output()), 3);
}

void PressCombined(QWidget* widget, int combined) {
  const QKeyCombination key = QKeyCombination::fromCombined(combined);
  QTest::keyClick(widget, key.key(), key.keyboardModifiers());
}

// Every key the editor component binds, checked against the window's command
// rules: the window's keys reach the commands, and no key of the component
// undoes or redoes on its own (Undo and Redo never act on the output editor).
TEST_F(MainWindowTest, EditorKeysFollowTheCommandRules) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  QList<int> windowKeys;
  for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
    windowKeys << shortcut->key()[0].toCombined();
  }
  ASSERT_GE(windowKeys.size(), 12);
  // The keys the component gives Undo and Redo when left as it comes.
  QsciScintilla plain;
  QList<int> historyKeys;
  for (QsciCommand* command : plain.standardCommands()->commands()) {
    if (command->command() != QsciCommand::Undo && command->command() != QsciCommand::Redo)
      continue;
    for (int key : {command->key(), command->alternateKey()})
      if (key != 0) historyKeys << key;
  }
  ASSERT_TRUE(historyKeys.contains(Qt::ALT | Qt::Key_Backspace));

  int bound = 0;
  for (CodeEditor* editor : {Source(), Output()}) {
    for (QsciCommand* command : editor->standardCommands()->commands()) {
      for (int key : {command->key(), command->alternateKey()}) {
        if (key == 0) continue;
        ++bound;
        const std::string what =
            editor->objectName().toStdString() + " " + QKeySequence(key).toString().toStdString();
        EXPECT_FALSE(windowKeys.contains(key)) << what << " is a window key";
        EXPECT_NE(command->command(), QsciCommand::Undo) << what;
        EXPECT_NE(command->command(), QsciCommand::Redo) << what;
      }
    }
  }
  EXPECT_GT(bound, 100);

  // Pressed, those keys step back neither through conversions nor through typing.
  Type(Source(), "one");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  Key(Source(), Qt::Key_A, Qt::ControlModifier);
  Type(Source(), "two");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  const std::string output = OutputText();
  EXPECT_FALSE(Output()->CanUndo());
  Output()->setFocus();
  for (int key : historyKeys) PressCombined(Output(), key);
  EXPECT_EQ(OutputText(), output);
  Source()->setFocus();
  for (int key : historyKeys) {
    if (!windowKeys.contains(key)) PressCombined(Source(), key);
  }
  EXPECT_EQ(SourceUtf8(Source()), "two");
}

TEST_F(MainWindowTest, WithTheFocusInTheSelectorEditingCommandsAreOff) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "abc");
  QApplication::clipboard()->setText("clip");
  QComboBox* selector = window->ProfileSelector();
  selector->setFocus();
  for (Command command : {Command::Undo, Command::Redo, Command::Cut, Command::Copy, Command::Paste,
                          Command::SelectAll}) {
    EXPECT_FALSE(window->CommandAction(command)->isEnabled()) << static_cast<int>(command);
  }
  Key(selector, Qt::Key_A, Qt::ControlModifier);
  Key(selector, Qt::Key_C, Qt::ControlModifier);
  Key(selector, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "clip");
  EXPECT_EQ(SourceUtf8(Source()), "abc");
  // Convert works from anywhere in the window.
  Key(selector, Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(OutputText(), "; abc\r\n    Dt    0x61, 0x62, 0x63\r\n");
}

TEST_F(MainWindowTest, ConvertShortcutWorksInTheOutputEditor) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "z");
  Output()->setFocus();
  Key(Output(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(OutputText(), "; z\r\n    Dt    0x7A\r\n");
}

TEST_F(MainWindowTest, TabMovesTheFocusAndNeverInsertsATab) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "a");
  Key(Source(), Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), Source());
  EXPECT_EQ(SourceUtf8(Source()), "a");
  Output()->setFocus();
  Key(Output(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_NE(QApplication::focusWidget(), Output());
  EXPECT_EQ(SourceUtf8(Output()), "");
}

TEST_F(MainWindowTest, CharactersTypedWithARefreshBetweenThemUndoOneAtATime) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  for (const char* c : {"a", "b", "c"}) {
    Type(Source(), c);
    Source()->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
  }
  Key(Source(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "ab");
  Key(Source(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Source()), "a");
}

TEST_F(MainWindowTest, ModifiedIndicatorFollowsTheSavePoint) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  auto* indicator = window->findChild<QWidget*>("modifiedIndicator");
  ASSERT_NE(indicator, nullptr);
  EXPECT_FALSE(indicator->isVisible());
  Type(Source(), "a");
  EXPECT_TRUE(indicator->isVisible());
  EXPECT_EQ(indicator->toolTip(), "Признак того, что текст в редакторе был изменён");
  Key(Source(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(indicator->isVisible());
}

TEST_F(MainWindowTest, ToolbarTooltips) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  EXPECT_EQ(window->CommandAction(Command::Save)->toolTip(), "Сохранить");
  EXPECT_EQ(window->CommandAction(Command::Convert)->toolTip(), "Преобразовать");
  EXPECT_EQ(window->CommandAction(Command::ManageProfiles)->toolTip(), "Управление профилями");
  EXPECT_EQ(window->ProfileSelector()->toolTip(), "Выбор профиля");
  EXPECT_EQ(window->CommandAction(Command::SaveAs)->text(), "Сохранить как...\tCtrl+Shift+S");
}

}  // namespace
}  // namespace zeltrix::testing

namespace zeltrix::testing {
namespace {

TEST_F(MainWindowTest, RightClickFocusesTheEditorAndShowsTheContextMenu) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "abc");
  ASSERT_EQ(QApplication::focusWidget(), Source());
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                          Output()->viewport()->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(Output()->viewport(), &click);
  EXPECT_EQ(QApplication::focusWidget(), Output());
  auto* menu = window->findChild<QMenu*>("editorContextMenu");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  QStringList texts;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  EXPECT_EQ(texts, (QStringList{"Отменить\tCtrl+Z", "Повторить\tCtrl+Y", "Вырезать\tCtrl+X",
                                "Копировать\tCtrl+C", "Вставить\tCtrl+V", "Выделить всё\tCtrl+A",
                                "Сохранить в файле"}));
  // Undo and Redo are off for the output editor; the rest never is.
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    const bool history =
        action->text().startsWith("Отменить") || action->text().startsWith("Повторить");
    EXPECT_EQ(action->isEnabled(), !history) << action->text().toStdString();
  }
  menu->hide();
}

}  // namespace
}  // namespace zeltrix::testing
