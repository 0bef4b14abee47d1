// Every window of the program at its own size shows the whole text of every
// caption, button, number field (at its largest value) and toolbar item; the
// windows whose controls sit at fixed pixel places keep their size, and their
// controls lie inside them, none drawn over another.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
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
#include <optional>

#include "gui/about/about_window.h"
#include "gui/image/bin_dialog.h"
#include "gui/image/image_open_dialog.h"
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

// The controls of a fixed-pixel window: its children, and the children of
// the plain areas and frames that hold some of them (the profile editor's
// frame, the progress window's own area), those areas too. The inner parts
// of a control (a list's scroll bars, a number field's edit line) are its own.
QList<QWidget*> Controls(QWidget* top) {
  QList<QWidget*> controls;
  std::function<void(QWidget*)> collect = [&](QWidget* parent) {
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->isWindow() || !w->isVisibleTo(top)) continue;
      controls << w;
      const QMetaObject* kind = w->metaObject();
      if (kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject) collect(w);
    }
  };
  collect(top);
  return controls;
}

// What a control draws, in its window's coordinates: a caption its text (or
// picture), a check box its box and text, any other control all of its place.
// A caption's or check box's place may reach into its neighbour's where it
// draws nothing.
QRect Drawn(QWidget* control) {
  QStyle* style = control->style();
  QRect drawn = control->rect();
  if (auto* label = qobject_cast<QLabel*>(control); label != nullptr && !label->wordWrap()) {
    const QRect room = label->contentsRect().marginsRemoved(
        QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    if (!label->pixmap().isNull()) {
      drawn = style->itemPixmapRect(room, static_cast<int>(label->alignment()), label->pixmap());
    } else if (!label->text().isEmpty()) {
      drawn = style->itemTextRect(label->fontMetrics(), room, static_cast<int>(label->alignment()),
                                  label->isEnabled(), label->text());
    }
  } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect text = style->itemTextRect(
        box->fontMetrics(), style->subElementRect(QStyle::SE_CheckBoxContents, &option, box),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->isEnabled(), box->text());
    drawn = style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).united(text);
  }
  return QRect(control->mapTo(control->window(), drawn.topLeft()), drawn.size());
}

QRect Place(const QWidget* control) {
  return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

QString Named(const QWidget* control) {
  if (!control->objectName().isEmpty()) return control->objectName();
  if (const auto* label = qobject_cast<const QLabel*>(control)) return "\"" + label->text() + "\"";
  return control->metaObject()->className();
}

// A caption laid over the first words of another at the same place, so that
// they read in its own colour (the About window's title).
bool CoversFirstWords(const QWidget* upper, const QWidget* lower) {
  const auto* title = qobject_cast<const QLabel*>(upper);
  const auto* text = qobject_cast<const QLabel*>(lower);
  return title != nullptr && text != nullptr && title->pos() == text->pos() &&
         !title->text().isEmpty() && text->text().startsWith(title->text()) &&
         title->font() == text->font();
}

// Checks that each control lies inside the window and that no two draw over
// each other; a frame (QGroupBox) may lie under the controls inside it only.
// With boxesApart even the places of captions and check boxes never meet.
// Returns how many controls it checked.
int CheckPlaces(QWidget* top, const QString& name, bool boxesApart) {
  const QList<QWidget*> controls = Controls(top);
  for (qsizetype i = 0; i < controls.size(); ++i) {
    QWidget* a = controls[i];
    EXPECT_TRUE(top->rect().contains(Place(a)))
        << name.toStdString() << ": " << Named(a).toStdString() << " sticks out of the window";
    for (qsizetype j = i + 1; j < controls.size(); ++j) {
      QWidget* b = controls[j];
      if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
      const bool aFrame = qobject_cast<QGroupBox*>(a) != nullptr;
      const bool bFrame = qobject_cast<QGroupBox*>(b) != nullptr;
      if ((aFrame && !bFrame && Place(a).contains(Place(b))) ||
          (bFrame && !aFrame && Place(b).contains(Place(a)))) {
        continue;
      }
      if (CoversFirstWords(a, b) || CoversFirstWords(b, a)) continue;
      const bool meet = aFrame || bFrame || boxesApart ? Place(a).intersects(Place(b))
                                                       : Drawn(a).intersects(Drawn(b));
      EXPECT_FALSE(meet) << name.toStdString() << ": " << Named(a).toStdString() << " and "
                         << Named(b).toStdString() << " overlap";
    }
  }
  return static_cast<int>(controls.size());
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

  struct Window {
    const char* name;
    std::function<QWidget*()> open;
    std::function<void(QWidget*)> close;
    /** A window whose controls sit at fixed pixel places: its size. */
    std::optional<QSize> fixedSize = std::nullopt;
    /** How many controls such a window places. */
    int controls = 0;
    /** Whether even the places of its captions and check boxes never meet. */
    bool boxesApart = true;
  };

  /** Every window of the program, opened from the main window as the user does. */
  std::vector<Window> Windows() {
    const auto destroy = [](QWidget* w) {
      w->close();
      delete w;
    };
    return {
        {"main", [this] { return static_cast<QWidget*>(window.get()); }, [](QWidget*) {}},
        {"progress",
         [this] {
           auto* progress = new ProgressWindow(window.get(), prompter);
           progress->SetMaximum(1000);
           return static_cast<QWidget*>(progress);
         },
         [](QWidget* w) { delete w; }, QSize(212, 108), 5},
        // The editor's rows stand 16 pixels apart, its check boxes 17 high.
        {"profile",
         [this] {
           window->Execute(Command::ManageProfiles);
           manager = OpenWindow<ProfileWindow>("profileWindow");
           return static_cast<QWidget*>(manager);
         },
         [](QWidget* w) { w->close(); }, QSize(281, 670), 49, false},
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
         },
         QSize(320, 427), 8},
        {"BIN",
         [this] {
           window->Execute(Command::ConvertToBin);
           return static_cast<QWidget*>(Find<BinDialog>());
         },
         destroy, QSize(586, 308), 28},
        {"Открыть образ",
         [this] {
           auto* dialog = new ImageOpenDialog(window.get(), "/data/образ.hex", CharacterRom::A02,
                                              HexLayout::Pic16Eeprom);
           dialog->show();
           return static_cast<QWidget*>(dialog);
         },
         destroy, QSize(390, 262), 16},
        {"About",
         [this] {
           window->Execute(Command::About);
           return static_cast<QWidget*>(Find<AboutWindow>());
         },
         [](QWidget* w) { static_cast<AboutWindow*>(w)->CloseWithoutFade(); }, QSize(258, 220), 8},
        {"LCD preview",
         [this] {
           window->Execute(Command::LcdPreview);
           return static_cast<QWidget*>(Find<LcdPreviewWindow>());
         },
         destroy},
    };
  }
};

TEST_F(CaptionFitTest, EveryWindowShowsTheWholeTextOfItsControls) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  // The smallest width the main window lets itself be made.
  window->resize(516, window->height());
  QApplication::processEvents();
  ASSERT_EQ(window->width(), 516);

  const std::vector<Window> windows = Windows();
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

// Each window whose controls sit at fixed pixel places keeps its size, which
// the user cannot change; every control lies inside it, and none is drawn over
// another: a frame lies under the controls inside it only.
TEST_F(CaptionFitTest, FixedPixelWindowsKeepTheirSizeAndTheirControlsApart) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  int checked = 0;
  for (const Window& entry : Windows()) {
    if (!entry.fixedSize) continue;
    QWidget* top = entry.open();
    ASSERT_NE(top, nullptr) << entry.name;
    QApplication::processEvents();
    EXPECT_EQ(top->size(), *entry.fixedSize) << entry.name;
    EXPECT_EQ(top->minimumSize(), *entry.fixedSize) << entry.name;
    EXPECT_EQ(top->maximumSize(), *entry.fixedSize) << entry.name;
    EXPECT_EQ(CheckPlaces(top, entry.name, entry.boxesApart), entry.controls) << entry.name;
    ++checked;
    entry.close(top);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  EXPECT_EQ(checked, 6);
}

}  // namespace
}  // namespace zeltrix::testing
