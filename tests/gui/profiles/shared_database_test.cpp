// The windows and other programs (zeltrix-cli) on one profile database: what
// the others wrote is seen before names are checked and when a window comes
// to the front, and never overwritten; files that are not text are refused.
#include <QComboBox>
#include <QTableWidget>
#include <cstdlib>
#include <future>

#include "core/io/file_lock.h"
#include "core/profiles/profile_database.h"
#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

Message Msg(const char* title, const std::string& text, MessageIcon icon) {
  return {title, text, icon, MessageButtons::Ok, MessageAnswer::Ok};
}

const Message kRepeated =
    Msg("Повторное имя", "Пожалуйста, выберите другое имя для профиля.", MessageIcon::Warning);

class SharedDatabaseTest : public ProfileWindowTest {
 protected:
  /** Imports a profile of that name into the database with the real zeltrix-cli. */
  void ImportWithCli(const std::string& name) {
    const std::string exchange = dir.Path("shared.prof");
    WriteBytes(exchange, "[" + name + "]\r\nOst1 = 7\r\nDirective = [String]cli[/String]\r\n");
    const std::string command = std::string("'") + ZELTRIX_CLI + "' profiles import '" + exchange +
                                "' --profiles '" + Paths().profiles + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  /** Another window comes to the front, then this one again. */
  static void BringBack(QWidget* window) {
    QWidget other;
    other.show();
    other.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
  }

  std::vector<std::string> SelectorTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < window->ProfileSelector()->count(); ++i) {
      texts.push_back(window->ProfileSelector()->itemText(i).toStdString());
    }
    return texts;
  }
};

// A name that zeltrix-cli added while the window was open is a repeat, in a
// new profile and in an edited one, and what the CLI wrote stays.
TEST_F(SharedDatabaseTest, ANameAnotherProgramAddedIsARepeatedName) {
  ASSERT_NE(Open(), nullptr);
  const char* const starts[] = {"newButton", "editButton"};
  for (const char* start : starts) {
    const std::string name = std::string("Shared ") + start;
    ImportWithCli(name);
    const std::string written = ReadBytes(Paths().profiles);
    List()->setCurrentRow(0);
    Click(start);
    Retype(Name(), QString::fromStdString(name));
    EXPECT_EQ(NameColour(), QColor(207, 2, 2)) << start;
    prompter.shown.clear();
    Click("okButton");
    EXPECT_EQ(prompter.shown, std::vector<Message>{kRepeated}) << start;
    EXPECT_NE(manager->EditMode(), ProfileWindow::Mode::Idle);
    EXPECT_EQ(ReadBytes(Paths().profiles), written) << start;
    Click("cancelButton");
  }
  EXPECT_EQ(ListTexts(),
            (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC", "MikroBasic For PIC",
                                      "Shared newButton", "Shared editButton"}));
}

TEST_F(SharedDatabaseTest, ProfilesAddedOutsideAppearWhenAWindowComesToTheFront) {
  ASSERT_NE(Open(), nullptr);
  SelectRows({0, 2});
  ImportWithCli("From CLI");
  EXPECT_EQ(List()->count(), 3);
  BringBack(manager);
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC",
                                                   "MikroBasic For PIC", "From CLI"}));
  // The user's choice in the list stays.
  EXPECT_EQ(List()->currentRow(), 2);
  EXPECT_TRUE(List()->item(0)->isSelected());
  EXPECT_FALSE(List()->item(1)->isSelected());
  EXPECT_TRUE(List()->item(2)->isSelected());
  EXPECT_TRUE(prompter.shown.empty());

  // The main window's selector, with the profile window closed, keeps its choice too.
  EXPECT_TRUE(manager->close());
  EXPECT_EQ(window->ProfileSelector()->currentIndex(), 2);
  window->ProfileSelector()->setCurrentIndex(1);
  ImportWithCli("Second");
  EXPECT_EQ(window->ProfileSelector()->count(), 4);
  BringBack(window.get());
  EXPECT_EQ(SelectorTexts(),
            (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC", "MikroBasic For PIC",
                                      "From CLI", "Second"}));
  EXPECT_EQ(window->ProfileSelector()->currentText(), "ASM — DE For PIC");
  EXPECT_EQ(window->CurrentProfile().Directive, "De");
}

// The import window checks its names against the database again before it
// copies: a name that zeltrix-cli added meanwhile is not written over.
TEST_F(SharedDatabaseTest, TheImportWindowMarksNamesAddedMeanwhile) {
  ASSERT_NE(Open(), nullptr);
  const std::string path = dir.Path("in.prof");
  WriteBytes(path, "[Late]\r\nOst1 = 1\r\n[Other]\r\nOst1 = 2\r\n");
  requester.answers = {path};
  Click("importButton");
  ImportWindow* importer = Importer();
  ASSERT_NE(importer, nullptr);
  auto* rows = importer->findChild<QTableWidget*>("importList");
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->item(0, 0)->checkState(), Qt::Checked);
  ImportWithCli("Late");
  const std::string written = ReadBytes(Paths().profiles);
  importer->findChild<QPushButton*>("loadButton")->click();
  EXPECT_EQ(prompter.shown,
            std::vector<Message>{Msg("Повторное имя",
                                     "Пока окно было открыто, в базе появились профили с такими "
                                     "же именами.\nОни отмечены красным, и галочки с них сняты.",
                                     MessageIcon::Warning)});
  EXPECT_EQ(ReadBytes(Paths().profiles), written);
  EXPECT_EQ(rows->item(0, 0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(rows->item(0, 0)->foreground().color(), QColor(253, 2, 2));
  EXPECT_EQ(rows->item(1, 0)->checkState(), Qt::Checked);
  // Loading again copies the profile still ticked.
  importer->findChild<QPushButton*>("loadButton")->click();
  EXPECT_EQ(ListProfiles(Paths().profiles)->back(), "Other");
  EXPECT_EQ(ListTexts().back(), "Other");
}

// Another program holding the database past the wait: nothing is written,
// the user is told and the edit stays open.
TEST_F(SharedDatabaseTest, ADatabaseBusyElsewhereIsNotWritten) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  Type(Name(), "Mine");
  std::promise<void> taken;
  std::promise<void> done;
  auto holder = std::async(std::launch::async, [&] {
    const FileLock lock(Paths().profiles);
    taken.set_value();
    done.get_future().wait();
  });
  taken.get_future().wait();
  Click("okButton");
  done.set_value();
  holder.get();
  EXPECT_EQ(prompter.shown,
            std::vector<Message>{Msg("Ошибка",
                                     "Не удалось сохранить данные профиля\nФайл занят: его сейчас "
                                     "изменяет другая программа.",
                                     MessageIcon::Error)});
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::New);
  EXPECT_EQ(Name()->text(), "Mine");
}

// A Profile.prof in UTF-16 used to list as empty and be written over; now it
// is reported at the start and every write to it is refused.
TEST_F(SharedDatabaseTest, AProfileFileThatIsNotTextIsReportedAndNeverWritten) {
  const QString text = QString::fromStdString(Cp1251ToUtf8(kDefaultDatabase));
  std::string utf16 = "\xFF\xFE";
  for (const char16_t c : text.toStdU16String()) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  WriteBytes(Paths().profiles, utf16);
  ASSERT_NE(Start(), nullptr);
  const std::string why =
      "Файл записан в кодировке UTF-16, а программа читает только однобайтовый текст "
      "(Windows-1251) и UTF-8.";
  EXPECT_EQ(prompter.shown,
            std::vector<Message>{Msg("Ошибка",
                                     "Не удалось прочитать файл профилей\n" + Paths().profiles +
                                         "\n" + why + " Файл не будет изменён.",
                                     MessageIcon::Error)});
  EXPECT_EQ(window->ProfileSelector()->count(), 0);
  prompter.shown.clear();
  ASSERT_NE(Reopen(), nullptr);
  Click("newButton");
  Type(Name(), "New");
  Click("okButton");
  EXPECT_EQ(prompter.shown,
            std::vector<Message>{
                Msg("Ошибка", "Не удалось сохранить данные профиля\n" + why, MessageIcon::Error)});
  EXPECT_EQ(ReadBytes(Paths().profiles), utf16);
}

// Russian names saved by a UTF-8 editor with the byte-order mark cannot be
// read by the dialect: the user learns how many and why, once.
TEST_F(SharedDatabaseTest, NamesAUtf8FileCannotGiveAreCountedOnce) {
  const std::string file =
      "\xEF\xBB\xBF[Мой]\r\nOst1 = 1\r\n[Plain]\r\nOst1 = 2\r\n[Ещё]\r\nOst1 = 3\r\n";
  WriteBytes(Paths().profiles, file);
  ASSERT_NE(Start(), nullptr);
  const Message warning = Msg(
      "Внимание",
      "В файле профилей\n" + Paths().profiles +
          "\nне прочитано имён профилей: 2.\nФайл записан в UTF-8 с меткой порядка байтов, а в "
          "таком файле программа понимает в именах только латиницу и другие символы Latin-1, но "
          "не русские буквы; сохраните файл в кодировке Windows-1251, и эти профили появятся.",
      MessageIcon::Warning);
  EXPECT_EQ(prompter.shown, std::vector<Message>{warning});
  EXPECT_EQ(SelectorTexts(), std::vector<std::string>{"Plain"});
  ASSERT_NE(Reopen(), nullptr);
  EXPECT_EQ(ListTexts(), std::vector<std::string>{"Plain"});
  // A change from outside is read again, and the same problem is not told again,
  // least of all while the user types a name.
  ImportWithCli("Added");
  Click("newButton");
  Type(Name(), "Added");
  EXPECT_EQ(NameColour(), QColor(207, 2, 2));
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"Plain", "Added"}));
  Click("cancelButton");
  BringBack(manager);
  EXPECT_TRUE(manager->close());
  EXPECT_EQ(prompter.shown, std::vector<Message>{warning});
}

}  // namespace
}  // namespace zeltrix::testing
