// The "Экран LCD" window over the real main window: opened by its menu item,
// button and key, following the typed text and the caret, paging, overflow
// marks, click to caret, PNG pictures and the settings it keeps.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

#include "core/lcd/module_image.h"
#include "core/lcd/rom_glyphs.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/lcd/lcd_screen_view.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/rom_profiles.h"

namespace zeltrix::testing {
namespace {

class LcdPreviewTest : public MainWindowTest {
 protected:
  /** Opens the window with Ctrl+L in the source editor, as the user does. */
  LcdPreviewWindow* OpenWithKey() {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Key(Source(), Qt::Key_L, Qt::ControlModifier);
    return Preview();
  }

  /** The preview window that exists, if any. */
  static LcdPreviewWindow* Preview() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    LcdPreviewWindow* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* w = qobject_cast<LcdPreviewWindow*>(widget)) {
        EXPECT_EQ(found, nullptr) << "two preview windows";
        found = w;
      }
    }
    return found;
  }

  template <class T>
  static T* Child(const char* name) {
    T* widget = Preview()->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static QString PageText() { return Child<QLabel>("lcdPageLabel")->text(); }
  static QString Status() { return Child<QLabel>("lcdStatusLabel")->text(); }
  static LcdScreenView* View() { return Child<LcdScreenView>("lcdScreenView"); }

  /** Waits out the redraw delay. */
  static void Settle() { QTest::qWait(LcdPreviewWindow::kRefreshDelayMs + 50); }

  /** The colour the user sees at the middle of a dot of the screen. */
  static QRgb DotColour(int dotX, int dotY) {
    const ModuleLayout& layout = View()->Layout();
    const QImage shot = View()->grab().toImage();
    return shot.pixel(layout.dotsLeft + dotX * layout.pitch + layout.dotSize / 2,
                      layout.dotsTop + dotY * layout.pitch + layout.dotSize / 2);
  }

  /** Clicks the middle of a cell. */
  static void ClickCell(int row, int column) {
    const ModuleLayout& layout = View()->Layout();
    const QPoint at(layout.dotsLeft + column * 6 * layout.pitch + 2 * layout.pitch,
                    layout.dotsTop + row * 9 * layout.pitch + 4 * layout.pitch);
    QTest::mouseClick(View(), Qt::LeftButton, {}, at);
  }
};

TEST_F(LcdPreviewTest, MenuItemButtonAndKeyOpenOneModelessWindow) {
  ASSERT_TRUE(StartWithProfiles());
  QAction* item = nullptr;
  for (QAction* menu : window->menuBar()->actions()) {
    if (menu->text() != "Преобразование") continue;
    for (QAction* action : menu->menu()->actions()) {
      if (action->text().startsWith("Экран LCD")) item = action;
    }
  }
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Экран LCD\tCtrl+L");
  item->trigger();
  LcdPreviewWindow* preview = Preview();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->isVisible());
  EXPECT_EQ(preview->windowTitle(), "Экран LCD");
  EXPECT_FALSE(preview->isModal());
  preview->close();
  ASSERT_EQ(Preview(), nullptr);

  // The toolbar button stands right after the Convert button.
  auto* toolbar = window->findChild<QToolBar*>("mainToolbar");
  const QList<QAction*> buttons = toolbar->actions();
  const qsizetype bin = buttons.indexOf(window->CommandAction(Command::Convert));
  ASSERT_GE(bin, 0);
  ASSERT_LT(bin + 1, buttons.size());
  QAction* button = buttons.at(bin + 1);
  EXPECT_FALSE(button->icon().isNull());
  EXPECT_EQ(button->toolTip(), "Экран LCD");
  QTest::mouseClick(toolbar->widgetForAction(button), Qt::LeftButton);
  ASSERT_NE(Preview(), nullptr);

  // Ctrl+L in the editor reaches the window, not the editor's own line cut,
  // and brings back the open window rather than a second one.
  Type(Source(), "abc");
  ASSERT_NE(OpenWithKey(), nullptr);
  EXPECT_EQ(Source()->text(), "abc");
}

TEST_F(LcdPreviewTest, FollowsTypingAndTheCaretAtMostEveryTenthOfASecond) {
  ASSERT_TRUE(StartWithProfiles());
  ASSERT_NE(OpenWithKey(), nullptr);
  const LcdTheme& theme = LcdThemes().front();
  EXPECT_EQ(PageText(), "Экран 1 из 1");
  EXPECT_EQ(DotColour(0, 0), theme.unlit);
  Source()->setFocus();
  Type(Source(), "Б");
  Key(Source(), Qt::Key_Return);
  Key(Source(), Qt::Key_Return);
  Type(Source(), "3");
  // Nothing is redrawn at once; the redraw follows within the delay.
  EXPECT_EQ(PageText(), "Экран 1 из 1");
  Settle();
  EXPECT_EQ(PageText(), "Экран 2 из 2");  // the caret is on the third line
  EXPECT_EQ(DotColour(0, 0), theme.lit);  // "3": a bar on top, then a dot at the right only
  EXPECT_EQ(DotColour(0, 1), theme.unlit);
  // Back on the first line, whose Б lights its top left dot.
  Key(Source(), Qt::Key_Home, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(PageText(), "Экран 1 из 2");
  EXPECT_EQ(DotColour(0, 0), theme.lit);
  EXPECT_EQ(DotColour(1, 1), theme.unlit);

  // PgDn and PgUp page through the screens; the buttons say where that ends.
  Preview()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Preview()));
  Key(View(), Qt::Key_PageDown);
  EXPECT_EQ(PageText(), "Экран 2 из 2");
  EXPECT_FALSE(Child<QPushButton>("lcdNextButton")->isEnabled());
  Key(View(), Qt::Key_PageUp);
  EXPECT_EQ(PageText(), "Экран 1 из 2");
  EXPECT_FALSE(Child<QPushButton>("lcdPreviousButton")->isEnabled());
  Child<QPushButton>("lcdNextButton")->click();
  EXPECT_EQ(PageText(), "Экран 2 из 2");
}

TEST_F(LcdPreviewTest, OverflowIsMarkedAndToldAndACellLeadsToItsCharacter) {
  ASSERT_TRUE(StartWithProfiles());
  Source()->SetCp1251Text(*Utf8ToCp1251("ab\r\n{П}ривет, мир! Как дела?\r\nend"));
  ASSERT_NE(OpenWithKey(), nullptr);
  Preview()->ShowScreen(0);
  EXPECT_EQ(Status(), "Строка 2 длиннее экрана на 6 знаков; пропущено знаков: 2");
  const QImage shot = View()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(View()->MarkArea(1).center()), QColor(0xD0, 0x10, 0x10));
  EXPECT_NE(shot.pixelColor(View()->MarkArea(0).center()), QColor(0xD0, 0x10, 0x10));

  // The second cell of the second row shows "р", the line's fourth character.
  ClickCell(1, 1);
  int line = -1;
  int index = -1;
  Source()->getCursorPosition(&line, &index);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(Source()->hasFocus());

  Source()->SetCp1251Text("fits");
  Preview()->Refresh();
  EXPECT_EQ(Status(), "Текст экрана помещается целиком");
  EXPECT_STREQ(CharactersWord(4), "знака");
  EXPECT_STREQ(CharactersWord(1), "знак");
  EXPECT_STREQ(CharactersWord(12), "знаков");
  EXPECT_STREQ(CharactersWord(23), "знака");
}

TEST_F(LcdPreviewTest, SavesTheScreenAsPngThroughTheFileRequester) {
  ASSERT_TRUE(StartWithProfiles());
  Source()->SetCp1251Text(*Utf8ToCp1251("Температура"));
  ASSERT_NE(OpenWithKey(), nullptr);
  requester.answers = {dir.Path("screen"), dir.Path("missing/screen.png")};
  Child<QPushButton>("lcdSaveImageButton")->click();
  ASSERT_EQ(requester.asked.size(), 1u);
  EXPECT_EQ(requester.asked[0].mode, FileRequest::Mode::Save);
  EXPECT_EQ(requester.asked[0].title, "Сохранить изображение");
  ASSERT_EQ(requester.asked[0].filters.size(), 1u);
  EXPECT_EQ(requester.asked[0].filters[0].pattern, "*.png");
  const QImage saved(QString::fromStdString(dir.Path("screen.png")));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_ARGB32),
            View()->ModuleImage().convertToFormat(QImage::Format_ARGB32));
  EXPECT_TRUE(prompter.shown.empty());

  Child<QPushButton>("lcdSaveImageButton")->click();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Ошибка");
  EXPECT_EQ(prompter.shown[0].text, "Не удалось сохранить файл\n" + dir.Path("missing/screen.png"));
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(LcdPreviewTest, SizeZoomThemeAndFrameComeBackAfterARestart) {
  ASSERT_TRUE(StartWithProfiles());
  Source()->SetCp1251Text("1\r\n2\r\n3\r\n4\r\n5");
  ASSERT_NE(OpenWithKey(), nullptr);
  EXPECT_EQ(Child<QComboBox>("lcdSizeCombo")->currentText(), "16×2");
  EXPECT_EQ(PageText(), "Экран 1 из 3");
  Child<QComboBox>("lcdSizeCombo")->setCurrentText("20×4");
  Child<QSpinBox>("lcdZoomSpin")->setValue(5);
  Child<QComboBox>("lcdThemeCombo")->setCurrentText("Синий");
  // The window grew for the larger module, but not past the screen.
  EXPECT_TRUE(Preview()->screen()->availableGeometry().contains(Preview()->frameGeometry()))
      << Preview()->frameGeometry().right();
  Preview()->move(130, 90);
  Preview()->resize(700, 500);
  EXPECT_EQ(PageText(), "Экран 1 из 2");
  EXPECT_EQ(View()->Layout().pitch, LayOutModule({20, 4}, 5).pitch);
  const QImage shot = View()->grab().toImage();
  EXPECT_EQ(shot.pixel(View()->Layout().glassLeft + 1, View()->Layout().glassTop + 1),
            FindLcdTheme("blue")->glass);
  prompter.answers = {MessageAnswer::No};  // the typed text is not kept
  ASSERT_TRUE(Close());
  ASSERT_EQ(Preview(), nullptr);
  const std::string ini = ReadBytes(Paths().settings);
  EXPECT_NE(ini.find("[LCD]\r\nSize = 20x4\r\nZoom = 5\r\nTheme = blue\r\n"), std::string::npos)
      << ini;

  window.reset();
  ASSERT_TRUE(StartWithProfiles());
  ASSERT_NE(OpenWithKey(), nullptr);
  EXPECT_EQ(Child<QComboBox>("lcdSizeCombo")->currentText(), "20×4");
  EXPECT_EQ(Child<QSpinBox>("lcdZoomSpin")->value(), 5);
  EXPECT_EQ(Child<QComboBox>("lcdThemeCombo")->currentText(), "Синий");
  EXPECT_EQ(Preview()->size(), QSize(700, 500));
}

// Where there is room the window opens beside the main window; where there
// is none it keeps off the menu bar and the toolbar. Either way it stays on
// the screen.
TEST_F(LcdPreviewTest, OpensBesideTheMainWindowOrAtLeastOffItsToolbar) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* what;
    QRect main;  // the main window's inner geometry
    bool room;   // whether the preview fits beside it
  };
  const Case cases[] = {
      {"small window in the top left corner", {area.left() + 2, area.top() + 2, 520, 304}, true},
      {"window as large as the screen",
       {area.left() + 2, area.top() + 2, area.width() - 4, area.height() - 4},
       false},
  };
  for (const Case& c : cases) {
    window.reset();
    ASSERT_TRUE(StartWithProfiles());
    window->setGeometry(c.main);
    QCoreApplication::processEvents();
    ASSERT_NE(OpenWithKey(), nullptr) << c.what;
    const QRect frame = Preview()->frameGeometry();
    const QRect mainFrame = window->frameGeometry();
    // From the top of the frame down to the editors: caption, menu bar and toolbar.
    const QRect bars(
        mainFrame.topLeft(),
        QPoint(mainFrame.right(), window->centralWidget()->mapToGlobal(QPoint(0, 0)).y() - 1));
    EXPECT_TRUE(area.contains(frame)) << c.what;
    EXPECT_FALSE(frame.intersects(bars)) << c.what;
    if (c.room) {
      EXPECT_FALSE(frame.intersects(mainFrame)) << c.what;
    }
    Preview()->close();
  }
}

// The window follows the module's size both ways, as far as the screen allows.
TEST_F(LcdPreviewTest, FitsTheModuleAgainWhenItGetsSmaller) {
  ASSERT_TRUE(StartWithProfiles());
  Source()->SetCp1251Text("Hello");
  ASSERT_NE(OpenWithKey(), nullptr);
  const QRect area = Preview()->screen()->availableGeometry();
  auto* sizes = Child<QComboBox>("lcdSizeCombo");
  auto* zoom = Child<QSpinBox>("lcdZoomSpin");
  zoom->setValue(1);
  const QSize fitted = Preview()->size();
  sizes->setCurrentText("40×4");
  zoom->setValue(8);
  EXPECT_TRUE(area.contains(Preview()->frameGeometry())) << Preview()->frameGeometry().right();
  EXPECT_GT(Preview()->width(), fitted.width());
  sizes->setCurrentText("16×2");
  zoom->setValue(1);
  EXPECT_EQ(Preview()->size(), fitted);
  // The module is whole in the window again, with no empty band above and below it.
  auto* scroll = Child<QWidget>("lcdScrollArea");
  EXPECT_TRUE(scroll->rect().contains(QRect(QPoint(0, 0), View()->size())));
  EXPECT_LE(scroll->height(), View()->height() + 4);
}

// The screen draws the glyphs of the current profile's ROM. The window's own
// ROM list starts at the profile's and follows the profile until the user
// picks another ROM there; picking the profile's again joins them again.
TEST_F(LcdPreviewTest, DrawsTheGlyphsOfTheProfilesRomOrOfTheRomChosenInTheWindow) {
  WriteBytes(Paths().profiles, kRomDatabase);
  ASSERT_TRUE(Start());
  ChooseProfile(window->ProfileSelector(), kA02Profile);
  Type(Source(), "üП");
  ASSERT_NE(OpenWithKey(), nullptr);
  auto* roms = Child<QComboBox>("lcdRomCombo");
  ASSERT_EQ(roms->count(), 3);
  EXPECT_EQ(roms->itemText(2), "A02 (английский, европейский)");
  struct Step {
    const char* what;
    int profile;  // chosen in the main window, or -1
    int picked;   // row picked in the window's list, or -1
    int shownRow;
    CharacterRom rom;
    int codes[2];  // of the first two cells; -1: dark
  };
  // ü has no code on the Cyrillic ROM, П none on A00.
  const Step steps[] = {
      {"opened", -1, -1, 2, CharacterRom::A02, {0xFC, 0x87}},
      {"Cyrillic picked", -1, 0, 0, CharacterRom::Cyrillic, {0xA8, -1}},
      {"profile changed", kA02LookAlikes, -1, 0, CharacterRom::Cyrillic, {0xA8, -1}},
      {"the profile's ROM picked", -1, 2, 2, CharacterRom::A02, {0xFC, 0x87}},
      {"profile changed again", kA00LookAlikes, -1, 1, CharacterRom::A00, {0xF5, -1}},
  };
  const LcdTheme& theme = LcdThemes().front();
  for (const Step& step : steps) {
    if (step.profile >= 0) ChooseProfile(window->ProfileSelector(), step.profile);
    if (step.picked >= 0) {
      roms->setFocus();
      while (roms->currentIndex() != step.picked)
        Key(roms, roms->currentIndex() < step.picked ? Qt::Key_Down : Qt::Key_Up);
    }
    Settle();
    EXPECT_EQ(roms->currentIndex(), step.shownRow) << step.what;
    for (int cell = 0; cell < 2; ++cell) {
      const int code = step.codes[cell];
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 5; ++x) {
          const bool lit =
              code >= 0 &&
              (RomGlyphs(step.rom)[static_cast<std::size_t>(code)][static_cast<std::size_t>(y)] >>
                   (4 - x) &
               1) != 0;
          EXPECT_EQ(DotColour(cell * 6 + x, y), lit ? theme.lit : theme.unlit)
              << step.what << ", cell " << cell << " dot " << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zeltrix::testing
