// Start-up, the profile selector, geometry and leaving the program.
#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>

#include "gui/support/app_identity.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

const Message kCreateQuestion{"Ошибка", "Файл, хранящий данные о профилях не найден!\nСоздать его?",
                              MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};

TEST_F(MainWindowTest, FirstStartYesCreatesTheDatabaseAndSelectsTheFirstProfile) {
  prompter.answers = {MessageAnswer::Yes};
  ASSERT_NE(Start(), nullptr);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], kCreateQuestion);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  // An empty settings file exists right after start-up.
  EXPECT_TRUE(std::filesystem::exists(Paths().settings));
  EXPECT_EQ(ReadBytes(Paths().settings), "");
  QComboBox* selector = window->ProfileSelector();
  ASSERT_EQ(selector->count(), 3);
  EXPECT_EQ(selector->itemText(0), "ASM — DT For PIC");
  EXPECT_EQ(selector->itemText(2), "MikroBasic For PIC");
  EXPECT_EQ(selector->currentIndex(), 0);
  EXPECT_TRUE(window->CommandAction(Command::Convert)->isEnabled());
  EXPECT_EQ(window->CurrentProfile().Directive, "Dt");
  EXPECT_EQ(QApplication::focusWidget(), Source());
  EXPECT_EQ(window->windowTitle(), "Zeltrix  v1.1");
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, FirstStartNoRunsWithoutProfiles) {
  prompter.answers = {MessageAnswer::No};
  ASSERT_NE(Start(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Paths().profiles));
  EXPECT_EQ(window->ProfileSelector()->count(), 0);
  EXPECT_FALSE(window->CommandAction(Command::Convert)->isEnabled());
  // Its shortcut is off too.
  Type(Source(), "A");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(OutputText(), "");
}

TEST_F(MainWindowTest, ADatabaseThatCannotBeCreatedEndsTheProgram) {
  prompter.answers = {MessageAnswer::Yes};
  window =
      StartUp(ProgramPaths::InDirectory(dir.Path("missing")), {"zeltrix"}, prompter, requester);
  EXPECT_EQ(window, nullptr);
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1],
            (Message{"Фатальная ошибка", "Не удалось создать файл!\nРабота програмы прервана!",
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
}

TEST_F(MainWindowTest, StoredPositionSelectsTheProfile) {
  struct Case {
    const char* pos;
    int selected;
  };
  for (const Case& c : {Case{"1", 1}, Case{"7", 2}, Case{"-1", 2}, Case{"x", 0}}) {
    WriteBytes(Paths().settings, std::string("[Profile]\r\nPos = ") + c.pos + "\r\n");
    ASSERT_NE(StartWithProfiles(), nullptr);
    EXPECT_EQ(window->ProfileSelector()->currentIndex(), c.selected) << c.pos;
    window.reset();
  }
}

TEST_F(MainWindowTest, GeometryDividerAndProfileSurviveARestart) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  window->move(120, 80);
  window->resize(800, 600);
  QTest::qWait(10);
  QSplitter* splitter = window->EditorSplitter();
  const QList<int> sizes = splitter->sizes();
  splitter->setSizes({150, sizes.value(0) + sizes.value(1) - 150});
  window->ProfileSelector()->setCurrentIndex(2);
  ASSERT_TRUE(Close());
  const std::string stored = ReadBytes(Paths().settings);
  EXPECT_NE(stored.find("[Window]\r\nX = 120\r\nY = 80\r\nW = 800\r\nH = 600\r\nR = 150\r\n"),
            std::string::npos)
      << stored;
  EXPECT_NE(stored.find("[Profile]\r\nPos = 2\r\n"), std::string::npos);
  EXPECT_NE(stored.find("[RecentFiles]\r\nFile1 = \r\n"), std::string::npos);

  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(window->pos(), QPoint(120, 80));
  EXPECT_EQ(window->size(), QSize(800, 600));
  EXPECT_EQ(window->EditorSplitter()->sizes().value(0), 150);
  EXPECT_EQ(window->ProfileSelector()->currentIndex(), 2);
  EXPECT_EQ(window->CurrentProfile().Directive, "const");
}

TEST_F(MainWindowTest, StoredGeometryOutsideItsRangesIsReplaced) {
  WriteBytes(Paths().settings, "[Window]\r\nX = -32000\r\nY = 1801\r\nW = 299\r\nH = 20\r\n");
  ASSERT_NE(StartWithProfiles(), nullptr);
  EXPECT_EQ(window->pos(), QPoint(10, 10));
  // 410 wide is then widened to 520 by the size rule.
  EXPECT_EQ(window->size(), QSize(520, 410));
}

TEST_F(MainWindowTest, HugeStoredSizeGivesAWindowThatFitsTheScreen) {
  // Such a window would take gigabytes of memory and seconds to react.
  for (const char* size : {"100000", "2147483647"}) {
    WriteBytes(Paths().settings, std::string("[Window]\r\nX = 1900\r\nY = 1700\r\nW = ") + size +
                                     "\r\nH = " + size + "\r\n");
    ASSERT_NE(StartWithProfiles(), nullptr);
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), std::max(screen.width(), 520)) << size;
    EXPECT_LE(window->height(), screen.height()) << size;
    EXPECT_TRUE(screen.intersects(window->frameGeometry())) << size;
    window.reset();
  }
}

TEST_F(MainWindowTest, SizeRule) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  struct Case {
    QSize asked, result;
  };
  for (const Case& c : {Case{{400, 250}, {520, 304}}, Case{{516, 300}, {516, 300}},
                        Case{{900, 299}, {900, 304}}, Case{{515, 700}, {520, 700}}}) {
    window->resize(c.asked);
    QTest::qWait(5);
    EXPECT_EQ(window->size(), c.result) << c.asked.width() << "x" << c.asked.height();
  }
}

TEST_F(MainWindowTest, SplitterKeepsTwoPixelMarginsAndFiftyPixelPanes) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  QSplitter* splitter = window->EditorSplitter();
  EXPECT_EQ(splitter->handleWidth(), 4);
  const QRect area = window->centralWidget()->rect();
  EXPECT_EQ(splitter->geometry(), area.adjusted(2, 2, -2, -2));
  splitter->setSizes({0, 10000});
  EXPECT_GE(splitter->sizes().value(0), 50);
}

TEST_F(MainWindowTest, RecentFilesSubmenuHasTenItemsAtStart) {
  WriteBytes(Paths().settings, "[RecentFiles]\r\nFile1 = /tmp/a.txt\r\nFile3 = /tmp/c.txt\r\n");
  ASSERT_NE(StartWithProfiles(), nullptr);
  auto* menu = window->findChild<QMenu*>("recentFilesMenu");
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 10);
  EXPECT_EQ(items[0]->text(), "1)  /tmp/a.txt");
  EXPECT_EQ(items[1]->text(), "2)  ");
  EXPECT_EQ(items[2]->text(), "3)  /tmp/c.txt");
  EXPECT_EQ(items[9]->text(), "10)  ");
}

TEST_F(MainWindowTest, LeavingUnmodifiedWritesSettingsWithoutAQuestion) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  EXPECT_TRUE(Close());
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_NE(ReadBytes(Paths().settings).find("[BIN]\r\nDelErrSunmol = 0"), std::string::npos);
}

TEST_F(MainWindowTest, CancelAtTheQuestionKeepsTheProgramAndWritesNothing) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "text");
  prompter.answers = {MessageAnswer::Cancel};
  window->Execute(Command::Leave);
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Zeltrix  v1.1", "Текст в файле был модифицирован.\nСохранить его?",
                     MessageIcon::Warning, MessageButtons::YesNoCancel, MessageAnswer::Yes}));
  EXPECT_EQ(ReadBytes(Paths().settings), "");
  // Asked again next time; No leaves without saving.
  prompter.answers = {MessageAnswer::No};
  EXPECT_TRUE(Close());
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_NE(ReadBytes(Paths().settings), "");
}

TEST_F(MainWindowTest, DeletedSettingsFileIsNotRecreatedAtExit) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  std::filesystem::remove(Paths().settings);
  EXPECT_TRUE(Close());
  EXPECT_FALSE(std::filesystem::exists(Paths().settings));
}

}  // namespace
}  // namespace zeltrix::testing

namespace zeltrix::testing {
namespace {

TEST(ApplicationIdentity, NamesTheDesktopEntryTheIconAndTheConfigurationFolder) {
  const QString name = QCoreApplication::applicationName();
  TempDir dir;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.Path("config")));
  SetUpApplicationIdentity(*qApp);
  // The desktop entry that the install rules put in place under this id.
  const std::string entry =
      ReadBytes(std::string(ZELTRIX_SOURCE_DIR "/resources/") +
                QGuiApplication::desktopFileName().toStdString() + ".desktop");
  EXPECT_NE(entry.find("\nIcon=org.zeltrix.Zeltrix\n"), std::string::npos);
  EXPECT_EQ(QGuiApplication::desktopFileName(), "org.zeltrix.Zeltrix");
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  // The folder zeltrix-cli takes its profiles from, too.
  EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString(),
            dir.Path("config/Zeltrix"));
  qunsetenv("XDG_CONFIG_HOME");
  QCoreApplication::setApplicationName(name);
}

/** The colour in the middle of an icon drawn at 32 pixels. */
QRgb IconMiddle(const QIcon& icon) { return icon.pixmap(32, 32).toImage().pixel(16, 16); }

TEST_F(MainWindowTest, WindowAndDialogsShowTheInstalledIconElseTheBuiltInOne) {
  const QStringList searchPaths = QIcon::themeSearchPaths();
  const QString themeName = QIcon::themeName();
  // An icon theme holding a plain red icon under the desktop entry's name.
  const std::string apps = dir.Path("icons/hicolor/scalable/apps");
  std::filesystem::create_directories(apps);
  WriteBytes(dir.Path("icons/hicolor/index.theme"),
             "[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n"
             "[scalable/apps]\nSize=48\nMinSize=1\nMaxSize=512\nType=Scalable\n");
  WriteBytes(apps + "/org.zeltrix.Zeltrix.svg",
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
             "<rect width=\"48\" height=\"48\" fill=\"#ff0000\"/></svg>");
  QIcon::setThemeSearchPaths({QString::fromStdString(dir.Path("icons"))});
  QIcon::setThemeName("hicolor");
  StartWithProfiles();
  EXPECT_EQ(IconMiddle(window->windowIcon()), qRgb(255, 0, 0));
  window->CommandAction(Command::About)->trigger();
  const QList<QWidget*> dialogs = QApplication::topLevelWidgets();
  const auto about = std::find_if(dialogs.begin(), dialogs.end(), [this](QWidget* w) {
    return w != window.get() && w->isVisible();
  });
  ASSERT_NE(about, dialogs.end());
  EXPECT_EQ(IconMiddle((*about)->windowIcon()), qRgb(255, 0, 0));
  window.reset();

  // Without an installed icon the window shows the one built into the program.
  std::filesystem::remove(apps + "/org.zeltrix.Zeltrix.svg");
  QIcon::setThemeSearchPaths({QString::fromStdString(dir.Path("icons"))});
  Start();
  const QImage shown = window->windowIcon().pixmap(32, 32).toImage();
  EXPECT_EQ(shown, QIcon(":/icons/zeltrix.svg").pixmap(32, 32).toImage());
  EXPECT_NE(shown.pixel(16, 16), qRgb(255, 0, 0));
  QIcon::setThemeSearchPaths(searchPaths);
  QIcon::setThemeName(themeName);
}

}  // namespace
}  // namespace zeltrix::testing
