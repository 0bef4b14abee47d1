// The About window: one instance, its texts, colours and links, fading.
#include <QAction>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolTip>
#include <memory>

#include "gui/about/about_window.h"
#include "gui/support/owned_window.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/recording_link_opener.h"

namespace zeltrix::testing {
namespace {

class AboutWindowTest : public MainWindowTest {
 protected:
  MainWindow* StartWithLinks() {
    if (StartWithProfiles() != nullptr) window->SetLinkOpener(links);
    return window.get();
  }

  /** Chooses "О программе" as the menu item or the toolbar button does. */
  AboutWindow* OpenAbout() {
    window->CommandAction(Command::About)->trigger();
    const QList<AboutWindow*> found = Windows();
    EXPECT_EQ(found.size(), 1);
    about = found.value(0);
    return about;
  }

  /** The About windows that exist and are not yet destroyed. */
  QList<AboutWindow*> Windows() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<AboutWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* about = qobject_cast<AboutWindow*>(widget)) found.append(about);
    }
    return found;
  }

  template <class T>
  T* Child(const char* name) const {
    T* widget = about->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  RecordingLinkOpener links;
  AboutWindow* about = nullptr;
};

// Whether a pixel is clearly of the blue title or of the red description.
bool Bluish(QRgb p) { return qBlue(p) > qRed(p) + 40; }
bool Reddish(QRgb p) { return qRed(p) > qBlue(p) + 40; }

int Count(const QImage& image, const QRect& area, bool (*kind)(QRgb)) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) n += kind(image.pixel(x, y));
  }
  return n;
}

TEST_F(AboutWindowTest, OpensOnceAndIsOnlyRaisedWhenChosenAgain) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(about));
  EXPECT_EQ(about->windowTitle(), "О программе");
  EXPECT_EQ(about->size(), QSize(258, 220));
  EXPECT_EQ(about->minimumSize(), about->maximumSize());
  // Not a Qt child of the main window, so disabling that one leaves it usable.
  EXPECT_EQ(about->parentWidget(), nullptr);
  EXPECT_TRUE(about->isWindow());
  window->setEnabled(false);
  EXPECT_TRUE(about->isEnabled());
  window->setEnabled(true);
  const Qt::WindowFlags flags = about->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // No fade where the platform cannot blend windows.
  EXPECT_EQ(about->windowOpacity(), 1.0);
  // Modeless: the main window goes on working.
  EXPECT_TRUE(window->isEnabled());
  EXPECT_FALSE(about->isModal());
  const QPoint offset = about->frameGeometry().center() - window->frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();

  AboutWindow* first = about;
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_NE(OpenAbout(), nullptr);
  EXPECT_EQ(about, first);
  EXPECT_TRUE(QTest::qWaitForWindowActive(about));
  EXPECT_TRUE(links.opened.empty());
}

TEST_F(AboutWindowTest, TextsTooltipsAndColours) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  struct Control {
    const char* name;
    QString text;
    QString tooltip;
  };
  const Control controls[] = {
      {"okButton", "Ok", "Закрыть окно"},
      {"creditsBanner", "",
       "Эта программа разработана в системе программирования \"C++20 и Qt 6\""},
      {"textGroup", "", ""},
      {"descriptionLabel",
       "Zeltrix  v1.1   — конвертер текста для индикаторов на основе контроллера HD44780 или "
       "аналогичного",
       ""},
      {"titleLabel", "Zeltrix  v1.1", ""},
      {"authorLabel", "Автор:          Проект Zeltrix", ""},
      {"emailCaptionLabel", "E-mail:", ""},
      {"emailLink", "info@zeltrix.org", "Связаться с автором"},
  };
  for (const Control& c : controls) {
    QWidget* widget = Child<QWidget>(c.name);
    ASSERT_NE(widget, nullptr);
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(widget->toolTip(), c.tooltip) << c.name;
    // No text is cut off.
    auto* label = qobject_cast<QLabel*>(widget);
    if (label != nullptr && label->wordWrap()) {
      EXPECT_LE(label->heightForWidth(widget->width()), widget->height()) << c.name;
    } else if (label != nullptr) {
      EXPECT_LE(label->sizeHint().width(), widget->width()) << c.name;
    }
  }

  struct Colour {
    const char* name;
    QColor text;
  };
  for (const Colour& c : {Colour{"descriptionLabel", {171, 6, 84}},
                          Colour{"titleLabel", {1, 90, 175}}, Colour{"emailLink", {58, 2, 197}}}) {
    EXPECT_EQ(Child<QWidget>(c.name)->palette().color(QPalette::WindowText), c.text) << c.name;
  }
  EXPECT_TRUE(Child<QLabel>("descriptionLabel")->wordWrap());
  const QPixmap banner = Child<QLabel>("creditsBanner")->pixmap();
  EXPECT_EQ(banner.size(), QSize(168, 35));

  // As drawn, the name and version read in the title's colour, the rest of
  // the description in its own.
  const QImage image = about->grab().toImage();
  auto* title = Child<QLabel>("titleLabel");
  const QRect titleText =
      QRect(title->pos(),
            QSize(title->fontMetrics().horizontalAdvance(title->text()), title->height()))
          .intersected(title->geometry());
  EXPECT_GT(Count(image, titleText, Bluish), 20);
  EXPECT_EQ(Count(image, titleText, Reddish), 0);
  const QRect rest =
      Child<QLabel>("descriptionLabel")->geometry().adjusted(0, title->height(), 0, 0);
  EXPECT_GT(Count(image, rest, Reddish), 20);
  EXPECT_EQ(Count(image, rest, Bluish), 0);
}

TEST_F(AboutWindowTest, BannerAndEmailLinkGoToTheDesktop) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  auto* banner = Child<QLabel>("creditsBanner");
  auto* mail = Child<QLabel>("emailLink");
  EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(mail->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(about->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(Child<QWidget>("descriptionLabel")->cursor().shape(), Qt::ArrowCursor);

  QTest::mouseClick(banner, Qt::LeftButton);
  QTest::mouseClick(mail, Qt::LeftButton);
  // Other buttons, and a press that leaves the link before its release, open nothing.
  QTest::mouseClick(banner, Qt::RightButton);
  QTest::mousePress(mail, Qt::LeftButton);
  QTest::mouseRelease(mail, Qt::LeftButton, {}, QPoint(-5, -5));
  EXPECT_EQ(links.opened,
            (std::vector<std::string>{"https://zeltrix.org/", "mailto:info@zeltrix.org"}));
  // Neither closes the window.
  EXPECT_EQ(Windows().size(), 1);
  EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutWindowTest, EmailLinkTakesTheHoverColourUnderThePointer) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(about));
  auto* mail = Child<QLabel>("emailLink");
  // Moved through the window system, so the widgets see the pointer enter and leave.
  QWindow* handle = about->windowHandle();
  QTest::mouseMove(handle, QPoint(20, 200));
  QTest::mouseMove(handle, mail->geometry().center());
  EXPECT_EQ(mail->palette().color(QPalette::WindowText), QColor(2, 131, 253));
  QTest::mouseMove(handle, QPoint(20, 200));
  EXPECT_EQ(mail->palette().color(QPalette::WindowText), QColor(58, 2, 197));
}

TEST_F(AboutWindowTest, OkAndTheCloseBoxDestroyTheWindow) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  QTest::mouseClick(Child<QPushButton>("okButton"), Qt::LeftButton);
  EXPECT_TRUE(Windows().isEmpty());

  ASSERT_NE(OpenAbout(), nullptr);
  EXPECT_TRUE(about->close());
  EXPECT_TRUE(Windows().isEmpty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(AboutWindowTest, LeavingTheProgramClosesItsWindows) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  window->Execute(Command::ConvertToBin);
  QWidget* bin = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "binDialog") bin = widget;
  }
  ASSERT_NE(bin, nullptr);
  const QPointer<QWidget> binDialog = bin;
  const QPointer<QWidget> aboutWindow = about;
  ASSERT_TRUE(Close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(binDialog.isNull());
  EXPECT_TRUE(aboutWindow.isNull());
}

// Resting the pointer on a control shows its balloon: a rounded box with a
// stem, pale yellow, at most 250 pixels wide, with a title and the
// information icon where the control has one; Qt's plain tip stays away.
TEST_F(AboutWindowTest, HoveringAControlShowsItsBalloon) {
  ASSERT_NE(StartWithLinks(), nullptr);
  ASSERT_NE(OpenAbout(), nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(about));
  const auto balloon = [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "balloonTip" && widget->isVisible()) return widget;
    }
    return static_cast<QWidget*>(nullptr);
  };
  struct Case {
    const char* control;
    QString title;  // none: no title and no icon
    QString text;
  };
  const Case cases[] = {
      {"creditsBanner", "На чём написана программа",
       "Эта программа разработана в системе программирования \"C++20 и Qt 6\""},
      {"emailLink", "E-mail автора программы", "Связаться с автором"},
      {"okButton", "", "Закрыть окно"},
  };
  QWindow* handle = about->windowHandle();
  for (const Case& c : cases) {
    const std::string what = c.control;
    QTest::mouseMove(handle, QPoint(4, 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon() == nullptr; })) << what;
    QTest::mouseMove(handle, Child<QWidget>(c.control)->geometry().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon() != nullptr; })) << what;
    QWidget* shown = balloon();
    EXPECT_FALSE(QToolTip::isVisible()) << what;
    EXPECT_LE(shown->width(), 250) << what;
    auto* title = shown->findChild<QLabel*>("balloonTitle");
    auto* icon = shown->findChild<QLabel*>("balloonIcon");
    auto* text = shown->findChild<QLabel*>("balloonText");
    ASSERT_TRUE(title != nullptr && icon != nullptr && text != nullptr) << what;
    EXPECT_EQ(text->text(), c.text) << what;
    EXPECT_EQ(title->isVisible(), !c.title.isEmpty()) << what;
    EXPECT_EQ(icon->isVisible(), !c.title.isEmpty()) << what;
    if (!c.title.isEmpty()) {
      EXPECT_EQ(title->text(), c.title) << what;
      EXPECT_TRUE(title->font().bold()) << what;
      EXPECT_FALSE(icon->pixmap().isNull()) << what;
    }
    // Every line of the text within the balloon.
    EXPECT_LE(text->geometry().right(), shown->width() - 1) << what;
    EXPECT_GE(text->heightForWidth(text->width()), text->fontMetrics().height()) << what;
    const QImage image = shown->grab().toImage();
    EXPECT_EQ(image.pixelColor(text->geometry().center().x(), text->geometry().bottom() + 2),
              QColor(255, 254, 218))
        << what;
    // The box is rounded: its corners are not part of it.
    EXPECT_FALSE(shown->mask().isEmpty()) << what;
    EXPECT_FALSE(shown->mask().contains(QPoint(0, 0))) << what;
    EXPECT_FALSE(shown->mask().contains(QPoint(shown->width() - 1, shown->height() - 1))) << what;
  }
  // It goes with the pointer.
  QTest::mouseMove(handle, QPoint(4, 4));
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloon() == nullptr; }));
}

// Swallows the warnings of platforms that cannot blend windows.
void QuietAboutOpacity(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (!message.contains("opacity")) fprintf(stderr, "%d: %s\n", type, qPrintable(message));
}

TEST_F(AboutWindowTest, FadesInAndOutBeforeItIsDestroyed) {
  ASSERT_NE(StartWithLinks(), nullptr);
  const QtMessageHandler previous = qInstallMessageHandler(QuietAboutOpacity);
  // Held the way the main window holds it: let go when it reports itself closed.
  std::unique_ptr<AboutWindow> owned = std::make_unique<AboutWindow>(links, true);
  ReleaseWhenClosed(window.get(), owned);
  QPointer<AboutWindow> fading = owned.get();
  QElapsedTimer clock;
  clock.start();
  fading->Open(window.get());
  EXPECT_TRUE(fading->isVisible());
  EXPECT_LT(fading->windowOpacity(), 0.5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return fading->windowOpacity() == 1.0; }, 10000));
  EXPECT_GE(clock.elapsed(), 790);

  // Closing waits for the fade-out; choosing the window again meanwhile keeps it.
  fading->close();
  QTest::qWait(200);
  ASSERT_FALSE(fading.isNull());
  EXPECT_TRUE(fading->isVisible());
  EXPECT_LT(fading->windowOpacity(), 1.0);
  fading->Activate();
  QTest::qWait(1200);
  ASSERT_FALSE(fading.isNull());
  EXPECT_EQ(fading->windowOpacity(), 1.0);

  clock.restart();
  QTest::mouseClick(fading->findChild<QPushButton*>("okButton"), Qt::LeftButton);
  // A second close while fading out changes nothing.
  fading->close();
  EXPECT_FALSE(fading.isNull());
  EXPECT_EQ(owned.get(), fading.data());
  EXPECT_TRUE(QTest::qWaitFor([&] { return fading.isNull(); }, 10000));
  EXPECT_GE(clock.elapsed(), 990);
  EXPECT_EQ(owned, nullptr);
  qInstallMessageHandler(previous);
}

}  // namespace
}  // namespace zeltrix::testing
