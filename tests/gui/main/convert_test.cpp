// The Convert command and its progress window.
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <set>

#include "core/lcd/formatter.h"
#include "gui/main/progress_window.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/cp1251_text.h"

namespace zeltrix::testing {
namespace {

TEST_F(MainWindowTest, TypedTextAndCtrlTGiveTheDataLines) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "Привет");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(OutputText(), W("; Привет\r\n    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n"));
  EXPECT_EQ(QApplication::focusWidget(), Source());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainWindowTest, AbsurdIndentsFromASharedProfileGiveABoundedOutput) {
  // Ost1 = Ost2 = 2147483647 would make 8 GB of a six-letter text.
  WriteBytes(Paths().profiles,
             "[Huge]\r\nOst1 = 2147483647\r\nOst2 = 2147483647\r\nDirective = Dt\r\n");
  ASSERT_NE(Start(), nullptr);
  Type(Source(), "Привет");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  const std::string spaces(static_cast<std::size_t>(kMaxIndent), ' ');
  EXPECT_EQ(OutputText(), spaces + "Dt" + spaces + "A870B8B365BF\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainWindowTest, TypedLineBreaksAreCrLf) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  window->ProfileSelector()->setCurrentIndex(2);
  Type(Source(), "AB");
  Key(Source(), Qt::Key_Return);
  Type(Source(), "C");
  EXPECT_EQ(Source()->Cp1251Text(), "AB\r\nC");
  window->Execute(Command::Convert);
  EXPECT_EQ(OutputText(), "' AB C\r\n const    As Byte[] = ($41, $42, $20, $43 ) ' 4\r\n");
}

TEST_F(MainWindowTest, ConvertChecksAndMessages) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Output()->SetCp1251Text("kept");
  window->Execute(Command::Convert);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Преобразование текста", "Отсутствует преобразуемый текст",
                     MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(OutputText(), "kept");

  // The database vanishes while the program runs.
  Type(Source(), "A");
  std::filesystem::remove(Paths().profiles);
  window->Execute(Command::Convert);
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1],
            (Message{"Ошибка", "Файл  \n\"" + Paths().profiles + "\"\nне обнаружен",
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(window->ProfileSelector()->count(), 0);
  EXPECT_TRUE(window->CommandAction(Command::Convert)->isEnabled());
  window->Execute(Command::Convert);
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[2],
            (Message{"Преобразование текста", "Не выбран профиль!", MessageIcon::Warning,
                     MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(OutputText(), "kept");
  EXPECT_EQ(QApplication::focusWidget(), Source());
}

TEST_F(MainWindowTest, AProfileRemovedFromTheFileIsReported) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  WriteBytes(Paths().profiles, "[Other]\r\n");
  Type(Source(), "A");
  window->Execute(Command::Convert);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "Профиль \"ASM — DT For PIC\" не найден!");
}

TEST_F(MainWindowTest, ChoosingAProfileLoadsItAndReturnsTheFocus) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  QComboBox* selector = window->ProfileSelector();
  selector->setFocus();
  selector->setCurrentIndex(1);
  emit selector->activated(1);
  EXPECT_EQ(window->CurrentProfile().Directive, "De");
  EXPECT_EQ(QApplication::focusWidget(), Source());
}

TEST_F(MainWindowTest, ProgressWindowOnlyAboveOneHundredCharacters) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  int opened = 0;
  QString title;
  QObject::connect(window.get(), &MainWindow::progressWindowOpened, [&](QWidget* progress) {
    ++opened;
    title = progress->windowTitle();
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(progress->windowFlags() & Qt::WindowCloseButtonHint);
    auto* bar = progress->findChild<QProgressBar*>("progressBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(progress->findChild<QPushButton*>("cancelButton")->text(), "Отмена");
  });
  Source()->SetCp1251Text(std::string(100, 'A'));
  window->Execute(Command::Convert);
  EXPECT_EQ(opened, 0);
  Source()->SetCp1251Text(std::string(101, 'A'));
  window->Execute(Command::Convert);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(title, "    Преобразование данных");
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(OutputText(), ConvertText(std::string(101, 'A'), window->CurrentProfile()));
}

// Clicks "Отмена" as soon as the progress window shows; the run looks at it a few milliseconds on.
class CancelTest : public MainWindowTest {
 protected:
  void ConvertAndCancel(MessageAnswer answer) {
    QObject::connect(window.get(), &MainWindow::progressWindowOpened, [](QWidget* progress) {
      progress->findChild<QPushButton*>("cancelButton")->click();
    });
    prompter.answers = {answer};
    window->Execute(Command::Convert);
  }

  std::string BigText(std::size_t size = 6 * 1024 * 1024) const {
    std::string text;
    while (text.size() < size) text += W("Съешь же ещё этих мягких булок. ");
    return text;
  }
};

TEST_F(CancelTest, NoLetsTheRunFinish) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string text = BigText();
  Source()->SetCp1251Text(text);
  ConvertAndCancel(MessageAnswer::No);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Преобразование текста",
                     "Вы действительно хотите остановить \nпреобразование текста?",
                     MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}));
  EXPECT_EQ(OutputText(), ConvertText(text, window->CurrentProfile()));
  EXPECT_TRUE(window->isEnabled());
}

TEST_F(CancelTest, YesKeepsThePartialOutput) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string text = BigText();
  Source()->SetCp1251Text(text);
  ConvertAndCancel(MessageAnswer::Yes);
  ASSERT_EQ(prompter.shown.size(), 1u);
  const std::string partial = OutputText();
  const std::string full = ConvertText(text, window->CurrentProfile());
  ASSERT_FALSE(partial.empty());
  ASSERT_LT(partial.size(), full.size());
  EXPECT_EQ(full.compare(0, partial.size(), partial), 0);
  EXPECT_TRUE(window->isEnabled());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), Source());
}

// Cancel is looked at until the last data line is in the editor: a click while
// the output goes in asks, and Yes stops there.
TEST_F(CancelTest, ALateCancelIsAnsweredToo) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string text = BigText(2 * 1024 * 1024);
  Source()->SetCp1251Text(text);
  const std::string full = ConvertText(text, window->CurrentProfile());
  const long fullLength = static_cast<long>(Cp1251ToUtf8(full).size());
  for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    QPointer<QWidget> progress;
    const auto opened = QObject::connect(window.get(), &MainWindow::progressWindowOpened,
                                         [&](QWidget* window) { progress = window; });
    // The user clicks once most of the output shows; the look at the editor
    // comes whenever the program lets events through.
    bool clicked = false;
    QTimer user;
    user.setInterval(0);
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (clicked || progress == nullptr || Output()->length() < fullLength * 85 / 100) return;
      clicked = true;
      progress->findChild<QPushButton*>("cancelButton")->click();
    });
    user.start();
    Output()->clear();
    prompter.shown.clear();
    prompter.answers = {answer};
    window->Execute(Command::Convert);
    QObject::disconnect(opened);
    const int n = static_cast<int>(answer);
    ASSERT_TRUE(clicked) << n;
    ASSERT_EQ(prompter.shown.size(), 1u) << n;
    EXPECT_EQ(prompter.shown[0].title, "Преобразование текста");
    const std::string output = OutputText();
    if (answer == MessageAnswer::No) {
      EXPECT_TRUE(output == full);
    } else {
      EXPECT_LT(output.size(), full.size());
      EXPECT_GE(output.size(), full.size() * 85 / 100);
      EXPECT_EQ(full.compare(0, output.size(), output), 0);
    }
    EXPECT_TRUE(window->isEnabled()) << n;
  }
}

// The progress window is up and drawn, over the disabled main window, before
// the text is even read.
TEST_F(MainWindowTest, TheProgressWindowIsDrawnBeforeTheWorkStarts) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->SetCp1251Text(std::string(1000, 'A'));
  std::set<QObject*> painted;
  struct PaintLog : QObject {
    explicit PaintLog(std::set<QObject*>& log) : log(log) {}
    bool eventFilter(QObject* object, QEvent* event) override {
      if (event->type() == QEvent::Paint) log.insert(object);
      return false;
    }
    std::set<QObject*>& log;
  } paintLog(painted);
  bool checked = false;
  QObject::connect(window.get(), &MainWindow::progressWindowOpened, [&](QWidget* progress) {
    checked = true;
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(progress->windowHandle()->isExposed());
    EXPECT_TRUE(painted.count(progress)) << "progress window";
    EXPECT_TRUE(painted.count(window.get())) << "main window, disabled";
    EXPECT_FALSE(window->isEnabled());
    // Whatever the editor holds from now on is what gets converted.
    Source()->SetCp1251Text(std::string(500, 'B'));
  });
  painted.clear();
  qApp->installEventFilter(&paintLog);
  window->Execute(Command::Convert);
  qApp->removeEventFilter(&paintLog);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(OutputText() == ConvertText(std::string(500, 'B'), window->CurrentProfile()));
}

// The desktop puts no frame and so no buttons on the progress window; it draws
// its own narrow title bar, and its controls sit in the 210 by 90 area below.
TEST_F(MainWindowTest, ProgressWindowShowsNoWindowButtons) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->SetCp1251Text(std::string(101, 'A'));
  bool checked = false;
  QObject::connect(window.get(), &MainWindow::progressWindowOpened, [&](QWidget* progress) {
    checked = true;
    const Qt::WindowFlags flags = progress->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    for (const Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                                        Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint}) {
      EXPECT_FALSE(flags.testFlag(button)) << button;
    }
    auto* title = progress->findChild<QLabel*>("progressTitleBar");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "    Преобразование данных");
    EXPECT_LE(title->sizeHint().width(), title->width());
    auto* client = progress->findChild<QWidget*>("progressClient");
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->size(), QSize(210, 90));
    EXPECT_GE(client->y(), title->geometry().bottom());
    EXPECT_EQ(progress->findChild<QWidget*>("cancelButton")->geometry(), QRect(64, 58, 70, 24));
    // Drawn: the title bar in the caption colour, with its text on it.
    const QImage image = progress->grab().toImage();
    const QColor caption = title->palette().color(QPalette::Window);
    int captionPixels = 0;
    int textPixels = 0;
    for (int x = title->x(); x <= title->geometry().right(); ++x) {
      for (int y = title->y(); y <= title->geometry().bottom(); ++y) {
        const QColor pixel = image.pixelColor(x, y);
        captionPixels += pixel == caption;
        textPixels += std::abs(pixel.lightness() - caption.lightness()) > 80;
      }
    }
    EXPECT_GT(captionPixels, title->width() * title->height() / 2);
    EXPECT_GT(textPixels, 30);
    EXPECT_NE(caption, progress->palette().color(QPalette::Window));
  });
  window->Execute(Command::Convert);
  EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace zeltrix::testing
