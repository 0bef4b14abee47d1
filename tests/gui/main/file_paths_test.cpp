// File names that are not UTF-8 (a Windows-1251 name from an old archive) in
// the window: from the command line, a drop, a file dialog and the recent
// files, each found and written under the bytes the system gave. And the
// program's answer to a limit on file sizes.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <fstream>
#include <thread>

#include "core/settings/app_settings.h"
#include "gui/support/qt_file_names.h"
#include "gui/support/qt_file_requester.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

// "Папка", "Привет.txt" and "Копия.txt" in Windows-1251.
const std::string kFolder = "\xcf\xe0\xef\xea\xe0";
const std::string kName = "\xcf\xf0\xe8\xe2\xe5\xf2.txt";
const std::string kCopy = "\xca\xee\xef\xe8\xff.txt";

class FileNamesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.Path(kFolder));
    WriteBytes(Path(kName), "cp1251 name");
  }
  std::string Path(const std::string& name) const { return dir.Path(kFolder + "/" + name); }

  // Starts as main() does, with the arguments as the system hands them over.
  MainWindow* StartWithArguments(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    WriteBytes(Paths().profiles, kDefaultDatabase);
    return Start(FileNameArguments(static_cast<int>(argv.size()), argv.data()).mid(1));
  }

  std::string PathField() const {
    return window->findChild<QLabel*>("pathField")->text().toStdString();
  }
};

TEST_F(FileNamesTest, CommandLineFileIsOpenedSavedAndRemembered) {
  ASSERT_NE(StartWithArguments({"zeltrix", Path(kName)}), nullptr);
  EXPECT_EQ(SourceUtf8(Source()), "cp1251 name");
  // The field shows each stray byte as U+FFFD.
  EXPECT_EQ(PathField(), QString::fromStdString(Path(kName)).toStdString() + " — Windows-1251");
  requester.answers = {Path(kCopy)};
  window->Execute(Command::Save);
  ASSERT_EQ(requester.asked.size(), 1u);
  EXPECT_EQ(requester.asked[0].folder, dir.Path(kFolder + "/"));
  EXPECT_EQ(ReadBytes(Path(kCopy)), "cp1251 name");
  EXPECT_EQ(window->CurrentFileName(), Path(kCopy));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path(kFolder)), {}), 2);
  ASSERT_TRUE(Close());

  // Preferences.ini holds the names byte for byte, and the menu opens them.
  const std::string stored = ReadBytes(Paths().settings);
  EXPECT_NE(stored.find("File1 = " + Path(kCopy) + "\r\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("File2 = " + Path(kName) + "\r\n"), std::string::npos) << stored;
  window.reset();
  WriteBytes(Path(kCopy), "copy");
  ASSERT_NE(Start(), nullptr);
  window->findChild<QMenu*>("recentFilesMenu")->actions().at(0)->trigger();
  EXPECT_EQ(SourceUtf8(Source()), "copy");
  EXPECT_EQ(window->CurrentFileName(), Path(kCopy));
}

TEST_F(FileNamesTest, DroppedFileIsOpened) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  // A file manager sends the name's bytes percent-escaped.
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromEncoded("file://" +
                                   QByteArray::fromStdString(Path(kName)).toPercentEncoding("/"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Source()->viewport(), &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Source()->viewport(), &drop);
  delete mime;
  EXPECT_EQ(SourceUtf8(Source()), "cp1251 name");
  EXPECT_EQ(window->CurrentFileName(), Path(kName));
}

// A file dialog hands such a name over as Qt reads it, with U+FFFD in it; the
// file chosen is the one entry of its folder that reads so.
TEST_F(FileNamesTest, FileDialogChoiceIsFoundUnderItsBytes) {
  const auto shown = [](const std::string& path) { return QFile::decodeName(path.c_str()); };
  // Two names Qt shows alike are not guessed between.
  WriteBytes(dir.Path("\xcf.txt"), "");
  WriteBytes(dir.Path("\xf0.txt"), "");
  const struct {
    std::string path, chosen;
  } cases[] = {
      {Path(kName), Path(kName)},
      {Path("new.txt"), Path("new.txt")},
      {dir.Path("Привет.txt"), dir.Path("Привет.txt")},
      {dir.Path("\xcf.txt"), QFile::encodeName(shown(dir.Path("\xcf.txt"))).toStdString()},
  };
  for (const auto& c : cases) EXPECT_EQ(ChosenFileName(shown(c.path)), c.chosen) << c.path;

  // Through the real dialog, the name as Qt reads it (a desktop's own file
  // dialog hands it over that way).
  QtFileRequester fileRequester;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* nameField = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(nameField, nullptr);
    nameField->setText(shown(Path(kName)));
    QTest::keyClick(nameField, Qt::Key_Return);
  });
  FileRequest request;
  request.folder = dir.Path(kFolder);
  EXPECT_EQ(fileRequester.Choose(request), Path(kName));
}

// Past "ulimit -f" the system sends SIGXFSZ, which would end the program with
// the text unsaved; the program ignores it, so that the save fails with its
// reason as on a full disk (as the window's save tests show).
TEST(FileSizeSignal, TheProgramIgnoresIt) {
  TempDir folder;
  std::filesystem::copy_file(ZELTRIX_GUI, folder.Path("zeltrix"));
  WriteBytes(folder.Path("Profile.prof"), kDefaultDatabase);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    const std::string program = folder.Path("zeltrix");
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // The settings file appears once the program has started.
  for (int i = 0; i < 200 && !std::filesystem::exists(folder.Path("Preferences.ini")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  unsigned long long ignored = 0;
  while (std::getline(status, line)) {
    if (line.rfind("SigIgn:", 0) == 0) ignored = std::stoull(line.substr(7), nullptr, 16);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_TRUE(std::filesystem::exists(folder.Path("Preferences.ini")));
  EXPECT_TRUE(ignored & (1ull << (SIGXFSZ - 1)));
}

}  // namespace
}  // namespace zeltrix::testing
