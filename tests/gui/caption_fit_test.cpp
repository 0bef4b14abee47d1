// Every window of the program at its own size shows the whole text of every
// caption, button, number field (at its largest value) and toolbar item.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <iostream>

#include "gui/dialogs/about_window.h"
#include "gui/dialogs/bin_dialog.h"
#include "gui/dialogs/image_open_dialog.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/main/progress_window.h"
#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

// The text as drawn: mnemonic marks dropped, markup reduced to its words.
QString Shown(const QString& text, bool markup) {
  if (markup) return QTextDocumentFragment::fromHtml(text).toPlainText();
  QString shown = text;
  shown.replace("&&", "\x01").remove('&').replace('\x01', '&');
  return shown;
}

// Fails for each line of the text wider than the room; true when all fit.
bool Fits(const QWidget* widget, const QString& text, int room, const QString& window) {
  const QFontMetrics metrics(widget->font());
  bool fits = true;
  for (const QString& line : text.split('\n')) {
    const int width = metrics.horizontalAdvance(line);
    EXPECT_LE(width, room) << window.toStdString() << ": " << widget->metaObject()->className()
                           << " \"" << line.toStdString() << "\" ("
                           << widget->objectName().toStdString() << ")";
    fits = fits && width <= room;
  }
  return fits;
}

// Checks every captioned control of the window; returns how many it checked.
int CheckWindow(QWidget* top, const QString& name) {
  int checked = 0;
  for (QWidget* w : top->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(top) || w->window() != top) continue;
    QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w)) {
      const bool markup =
          label->textFormat() == Qt::RichText ||
          (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
      const QString text = Shown(label->text(), markup);
      if (text.isEmpty() || label->wordWrap()) continue;
      const int margins = 2 * label->margin() + std::max(0, label->indent());
      Fits(label, text, label->contentsRect().width() - margins, name);
      const int lines = static_cast<int>(text.count('\n')) + 1;
      EXPECT_LE(lines * QFontMetrics(label->font()).height() - 1, label->contentsRect().height())
          << name.toStdString() << ": label \"" << text.toStdString() << "\" is cut off below";
      ++checked;
    } else if (qobject_cast<QCheckBox*>(w) != nullptr ||
               qobject_cast<QRadioButton*>(w) != nullptr) {
      auto* button = static_cast<QAbstractButton*>(w);
      if (button->text().isEmpty()) continue;
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
      const QRect room = style->subElementRect(
          radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, button);
      Fits(button, Shown(button->text(), false), room.width(), name);
      ++checked;
    } else if (auto* push = qobject_cast<QPushButton*>(w)) {
      if (push->text().isEmpty()) continue;
      QStyleOptionButton option;
      option.initFrom(push);
      option.text = push->text();
      option.icon = push->icon();
      option.iconSize = push->iconSize();
      QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, push);
      int width = room.width();
      if (!push->icon().isNull()) width -= push->iconSize().width() + 4;
      Fits(push, Shown(push->text(), false), width, name);
      ++checked;
    } else if (auto* tool = qobject_cast<QToolButton*>(w)) {
      if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly || tool->text().isEmpty() ||
          tool->objectName() == "qt_toolbar_ext_button")
        continue;
      int width = tool->contentsRect().width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
      if (tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
        width -= tool->iconSize().width();
      Fits(tool, Shown(tool->text(), false), width, name);
      ++checked;
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
      spin->setValue(spin->maximum());
      QStyleOptionSpinBox option;
      option.initFrom(spin);
      option.frame = spin->hasFrame();
      option.buttonSymbols = spin->buttonSymbols();
      option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField |
                           QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
      const QRect field =
          style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, spin);
      // The edit line keeps a margin of two pixels at either side of its text.
      auto* line = spin->findChild<QLineEdit*>();
      const QMargins text = line->textMargins();
      Fits(line, spin->text(), field.width() - 4 - text.left() - text.right(), name);
      ++checked;
    } else if (auto* combo = qobject_cast<QComboBox*>(w);
               combo != nullptr && !combo->isEditable() &&
               combo->objectName() != "profileSelectorCombo") {
      // Every entry of a fixed list shows whole; profile names are the user's.
      QStyleOptionComboBox option;
      option.initFrom(combo);
      const QRect field =
          style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
      for (int i = 0; i < combo->count(); ++i) Fits(combo, combo->itemText(i), field.width(), name);
      ++checked;
    } else if (auto* bar = qobject_cast<QToolBar*>(w)) {
      auto* more = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
      EXPECT_TRUE(more == nullptr || !more->isVisible())
          << name.toStdString() << ": the toolbar hides items behind its extension button";
      for (QAction* action : bar->actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        QWidget* item = bar->widgetForAction(action);
        EXPECT_TRUE(item != nullptr && item->isVisible() && bar->rect().contains(item->geometry()))
            << name.toStdString() << ": toolbar item \"" << action->toolTip().toStdString()
            << "\" is not shown whole within " << bar->width() << " pixels";
        ++checked;
      }
    }
  }
  return checked;
}

class CaptionFitTest : public ProfileWindowTest {
 protected:
  /** The top-level window of that class opened last. */
  template <class T>
  T* Find() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    T* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) found = t;
    }
    for (T* w : window->findChildren<T*>()) {
      if (w->isVisible()) found = w;
    }
    return found;
  }
};

TEST_F(CaptionFitTest, EveryWindowShowsTheWholeTextOfItsControls) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  // The smallest width the main window lets itself be made.
  window->resize(516, window->height());
  QApplication::processEvents();
  ASSERT_EQ(window->width(), 516);

  struct Window {
    const char* name;
    std::function<QWidget*()> open;
    std::function<void(QWidget*)> close;
  };
  const auto destroy = [](QWidget* w) {
    w->close();
    delete w;
  };
  const std::vector<Window> windows = {
      {"main", [this] { return static_cast<QWidget*>(window.get()); }, [](QWidget*) {}},
      {"progress",
       [this] {
         auto* progress = new ProgressWindow(window.get(), prompter);
         progress->SetMaximum(1000);
         return static_cast<QWidget*>(progress);
       },
       [](QWidget* w) { delete w; }},
      {"profile",
       [this] {
         window->Execute(Command::ManageProfiles);
         manager = OpenWindow<ProfileWindow>("profileWindow");
         return static_cast<QWidget*>(manager);
       },
       [](QWidget* w) { w->close(); }},
      {"import",
       [this] {
         const std::string path = dir.Path("in.prof");
         WriteBytes(path, kDefaultDatabase);
         window->Execute(Command::ManageProfiles);
         manager = OpenWindow<ProfileWindow>("profileWindow");
         requester.answers = {path};
         Click("importButton");
         return static_cast<QWidget*>(Importer());
       },
       [this](QWidget* w) {
         w->close();
         manager->close();
       }},
      {"BIN",
       [this] {
         window->Execute(Command::ConvertToBin);
         return static_cast<QWidget*>(Find<BinDialog>());
       },
       destroy},
      {"Открыть образ",
       [this] {
         auto* dialog = new ImageOpenDialog(window.get(), "/data/образ.hex", CharacterRom::A02,
                                            HexLayout::Pic16Eeprom);
         dialog->show();
         return static_cast<QWidget*>(dialog);
       },
       destroy},
      {"About",
       [this] {
         window->Execute(Command::About);
         return static_cast<QWidget*>(Find<AboutWindow>());
       },
       [](QWidget* w) { static_cast<AboutWindow*>(w)->CloseWithoutFade(); }},
      {"LCD preview",
       [this] {
         window->Execute(Command::LcdPreview);
         return static_cast<QWidget*>(Find<LcdPreviewWindow>());
       },
       destroy},
  };
  int total = 0;
  for (const Window& entry : windows) {
    QWidget* top = entry.open();
    ASSERT_NE(top, nullptr) << entry.name;
    QApplication::processEvents();
    const int checked = CheckWindow(top, entry.name);
    EXPECT_GT(checked, 0) << entry.name;
    std::cout << "caption fit: " << entry.name << " window, " << checked << " widgets\n";
    total += checked;
    entry.close(top);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::cout << "caption fit: " << windows.size() << " windows, " << total << " widgets\n";
  RecordProperty("widgets", total);
}

}  // namespace
}  // namespace zeltrix::testing
