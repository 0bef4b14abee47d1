// The BIN conversion dialog: its controls, options, Browse and Convert.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <filesystem>
#include <functional>

#include "core/image/image_reader.h"
#include "gui/image/bin_dialog.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/default_database.h"
#include "tests/support/rom_profiles.h"

namespace zeltrix::testing {
namespace {

const Message kSuccess{"Преобразование", "Преобразование успешно завершено.",
                       MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok};
const Message kNoPath{"Подготовка к преобразованию", "Не указан путь к файлу!",
                      MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
const Message kNoText{"Преобразование текста", "Отсутствует преобразуемый текст",
                      MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};

class BinDialogTest : public MainWindowTest {
 protected:
  /** Opens the dialog with Ctrl+B in the source editor, as the user does. */
  BinDialog* OpenDialog() {
    // Window shortcuts work in the active window only.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Key(Source(), Qt::Key_B, Qt::ControlModifier);
    const QList<BinDialog*> dialogs = Dialogs();
    EXPECT_EQ(dialogs.size(), 1);
    dialog = dialogs.value(0);
    return dialog;
  }

  /** The BIN dialogs that exist and are not yet destroyed. */
  static QList<BinDialog*> Dialogs() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<BinDialog*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<BinDialog*>(widget)) found << d;
    }
    return found;
  }

  template <class T>
  T* Child(const char* name) const {
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QLineEdit* PathEdit() const { return Child<QLineEdit>("pathEdit"); }
  QLineEdit* StartAddress() const { return Child<QLineEdit>("startAddressEdit"); }
  QComboBox* Combo(const char* name) const { return Child<QComboBox>(name); }
  QCheckBox* Check(const char* name) const { return Child<QCheckBox>(name); }
  QSpinBox* SpaceCount() const { return Child<QSpinBox>("spaceCountSpin"); }

  void Click(const char* button) { QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton); }

  /** Browses to that path; the dialog may complete it. */
  void BrowseTo(const std::string& path) {
    requester.answers.push_back(path);
    Click("browseButton");
  }

  /** Selects an entry of a closed drop-down list with the arrow keys. */
  static void Choose(QComboBox* combo, int index) {
    for (int i = 0; i < combo->count() && combo->currentIndex() != index; ++i) {
      QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }
    EXPECT_EQ(combo->currentIndex(), index) << combo->objectName().toStdString();
  }

  /** Replaces the start-address field's text by typing. */
  void TypeStartAddress(const QString& text) {
    QTest::keyClick(StartAddress(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(StartAddress(), Qt::Key_Backspace);
    QTest::keyClicks(StartAddress(), text);
  }

  const BinOutputOptions& Record() const {
    m_current = window->CurrentSettings().Bin;
    return m_current;
  }

  BinDialog* dialog = nullptr;

 private:
  mutable BinOutputOptions m_current;
};

TEST_F(BinDialogTest, FirstOpeningWithNoSettings) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Преобразование текста в BIN формат");
  EXPECT_EQ(dialog->size(), QSize(586, 308));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  EXPECT_EQ(dialog->parentWidget(), nullptr);
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // The main window and its editor stay usable.
  EXPECT_TRUE(window->isEnabled());

  struct Control {
    const char* name;
    QString text;
    QString tooltip;
    bool enabled;
  };
  const Control controls[] = {
      {"pathLabel", "Путь к файлу:", "", true},
      {"pathEdit", "", "", true},
      {"browseButton", "...", "Обзор", true},
      {"convertButton", "Преобразовать", "", true},
      {"cancelButton", "Отмена", "", true},
      {"optionsGroup", "Опции преобразования", "", true},
      {"removeUndisplayableCheck", "Удалять неотображаемые символы",
       "Удалить символы, которые индикатор не способен отобразить", true},
      {"removeSpacesCheck", "Удалять «ненужные» пробелы",
       "Удаление последовательно расположенных пробелов", true},
      {"spaceCountLabel", "Число последовательно расположенных пробелов", "", false},
      {"spaceCountSpin", "2",
       "Максимальное число последовательно расположенных пробелов, после которого начнётся "
       "удаление",
       false},
      {"fileGroup", "Файл", "", true},
      {"saveToLabel", "Сохранить в:", "", true},
      {"addLabel", "Добавить:", "", true},
      {"howLabel", "Как добавить данные:", "", true},
      {"startAddressEdit", "0", "", false},
      {"startAddressLabel", "Начальный адрес", "", false},
      {"formatGroup", "Формат файла", "", true},
      {"fileTypeLabel", "Тип файла:", "", true},
      {"layoutLabel", "Размещение данных в HEX:", "", false},
      {"recordLengthLabel", "Байт данных в записи HEX:", "", false},
      {"chipLabel", "Дополнить до размера микросхемы:", "", true},
  };
  for (const Control& c : controls) {
    QWidget* widget = Child<QWidget>(c.name);
    ASSERT_NE(widget, nullptr);
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
    if (auto* spin = qobject_cast<QSpinBox*>(widget)) text = spin->text();
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(widget->toolTip(), c.tooltip) << c.name;
    EXPECT_EQ(widget->isEnabled(), c.enabled) << c.name;
    // Clicks reach the control, not a frame drawn around it.
    if (qobject_cast<QGroupBox*>(widget) == nullptr) {
      QWidget* hit = dialog->childAt(widget->geometry().center());
      EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit)) << c.name;
    }
    // No caption is cut off.
    if (qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<QCheckBox*>(widget) != nullptr) {
      EXPECT_LE(widget->sizeHint().width(), widget->width()) << c.name;
    }
  }

  struct List {
    const char* name;
    QStringList items;
    bool enabled;
  };
  const QStringList chips = {"нет",
                             "24C01 (128 байт)",
                             "24C02 (256 байт)",
                             "24C04 (512 байт)",
                             "24C08 (1 Кбайт)",
                             "24C16 (2 Кбайт)",
                             "24C32 (4 Кбайт)",
                             "24C64 (8 Кбайт)",
                             "24C128 (16 Кбайт)",
                             "24C256 (32 Кбайт)",
                             "24C512 (64 Кбайт)"};
  for (const List& l :
       {List{"saveToCombo", {"новом файле", "существующем"}, true},
        List{"addCombo", {"в конец файла", "произвольно"}, false},
        List{"howCombo", {"вставить", "заменить"}, false},
        List{"fileTypeCombo", {"BIN", "Intel HEX"}, true},
        List{"layoutCombo", {"Обычный", "PIC16 EEPROM", "PIC18 EEPROM"}, false},
        List{"recordLengthCombo", {"16", "32"}, false}, List{"chipCombo", chips, true}}) {
    QComboBox* combo = Combo(l.name);
    ASSERT_NE(combo, nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, l.items) << l.name;
    EXPECT_FALSE(combo->isEditable()) << l.name;
    EXPECT_EQ(combo->currentIndex(), 0) << l.name;
    EXPECT_EQ(combo->isEnabled(), l.enabled) << l.name;
  }

  EXPECT_FALSE(Check("removeUndisplayableCheck")->isChecked());
  EXPECT_FALSE(Check("removeSpacesCheck")->isChecked());
  EXPECT_EQ(SpaceCount()->minimum(), 1);
  EXPECT_EQ(SpaceCount()->maximum(), 100);
  EXPECT_TRUE(PathEdit()->isReadOnly());
  EXPECT_EQ(StartAddress()->maxLength(), 8);
  EXPECT_TRUE(Child<QPushButton>("convertButton")->isDefault());
  EXPECT_EQ(Child<QLabel>("pathLabel")->palette().color(QPalette::WindowText), QColor(90, 10, 158));
  EXPECT_EQ(PathEdit()->palette().color(QPalette::Base), QColor(245, 245, 245));
  // Opening changes nothing in the record.
  EXPECT_EQ(Record(), BinOutputOptions{});
  // Centred over the main window.
  const QPoint offset = dialog->frameGeometry().center() - window->frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(BinDialogTest, NeverPlacedAboveOrLeftOfTheScreenOrigin) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  window->move(0, 0);
  window->resize(520, 304);
  ASSERT_NE(OpenDialog(), nullptr);
  // Centred, its top would lie 3 pixels above the screen, and its left edge,
  // wider than the window, left of it.
  EXPECT_EQ(dialog->pos(), QPoint(0, 0));
}

TEST_F(BinDialogTest, DigitsOnlyInTheStartAddress) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("12a-3 456789");
  EXPECT_EQ(StartAddress()->text(), "12345678");
  EXPECT_EQ(Record().StartAddress, 12345678);
}

TEST_F(BinDialogTest, EnableRulesFollowTheChoices) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  QComboBox* saveTo = Combo("saveToCombo");
  QComboBox* add = Combo("addCombo");
  QComboBox* how = Combo("howCombo");
  QCheckBox* spaces = Check("removeSpacesCheck");

  struct Step {
    const char* what;
    std::function<void()> act;
    // space caption and spin; add list; how list, start address and its caption
    bool spaceCount, addList, atAddress;
    BinOutputOptions record;
  };
  const auto options = [](int delSpace, int saveFile, int addFile, int asAddFile) {
    BinOutputOptions o;
    o.DelSpace = delSpace;
    o.SaveFile = saveFile;
    o.AddFile = addFile;
    o.AsAddFile = asAddFile;
    return o;
  };
  const Step steps[] = {
      {"check spaces", [&] { QTest::mouseClick(spaces, Qt::LeftButton); }, true, false, false,
       options(1, 0, 0, 0)},
      {"existing file", [&] { Choose(saveTo, 1); }, true, true, false, options(1, 1, 0, 0)},
      {"at an address", [&] { Choose(add, 1); }, true, true, true, options(1, 1, 1, 0)},
      {"replace", [&] { Choose(how, 1); }, true, true, true, options(1, 1, 1, 1)},
      {"new file", [&] { Choose(saveTo, 0); }, true, false, false, options(1, 0, 1, 1)},
      {"uncheck spaces", [&] { QTest::mouseClick(spaces, Qt::LeftButton); }, false, false, false,
       options(0, 0, 1, 1)},
      {"existing again", [&] { Choose(saveTo, 1); }, false, true, true, options(0, 1, 1, 1)},
      {"at the end", [&] { Choose(add, 0); }, false, true, false, options(0, 1, 0, 1)},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(Child<QLabel>("spaceCountLabel")->isEnabled(), step.spaceCount) << step.what;
    EXPECT_EQ(SpaceCount()->isEnabled(), step.spaceCount) << step.what;
    EXPECT_EQ(add->isEnabled(), step.addList) << step.what;
    EXPECT_EQ(how->isEnabled(), step.atAddress) << step.what;
    EXPECT_EQ(StartAddress()->isEnabled(), step.atAddress) << step.what;
    EXPECT_EQ(Child<QLabel>("startAddressLabel")->isEnabled(), step.atAddress) << step.what;
    for (const char* caption : {"saveToLabel", "addLabel", "howLabel"}) {
      EXPECT_TRUE(Child<QLabel>(caption)->isEnabled()) << step.what << " " << caption;
    }
    EXPECT_EQ(Record(), step.record) << step.what;
  }
  // Disabled lists keep their selections.
  EXPECT_EQ(how->currentIndex(), 1);
}

TEST_F(BinDialogTest, EveryChangeGoesIntoTheRecordAtOnce) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  QTest::mouseClick(Check("removeUndisplayableCheck"), Qt::LeftButton);
  EXPECT_EQ(Record().DelErrSunmol, 1);
  QTest::mouseClick(Check("removeSpacesCheck"), Qt::LeftButton);
  EXPECT_EQ(Record().DelSpace, 1);
  QTest::keyClick(SpaceCount(), Qt::Key_Up);
  EXPECT_EQ(Record().CountSpace, 3);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("");
  EXPECT_EQ(StartAddress()->text(), "");
  EXPECT_EQ(Record().StartAddress, 0);
  QTest::keyClicks(StartAddress(), "0042");
  EXPECT_EQ(Record().StartAddress, 42);
  QTest::mouseClick(Check("removeUndisplayableCheck"), Qt::LeftButton);
  EXPECT_EQ(Record().DelErrSunmol, 0);
}

TEST_F(BinDialogTest, StoredValuesOutOfRangeShowCorrectedAndStayUntilChanged) {
  struct Case {
    std::string stored;  // the BIN group's lines
    bool removeUndisplayable, removeSpaces;
    int spaceCount, saveTo, add, how;
    QString startAddress;
  };
  const Case cases[] = {
      {"DelErrSunmol = 2\r\nDelSpace = -1\r\nCountSpace = 0\r\nSaveFile = 5\r\n"
       "AddFile = -1\r\nAsAddFile = 2\r\nStartAddress = -1\r\n",
       false, false, 2, 0, 0, 0, "0"},
      {"CountSpace = 101\r\nStartAddress = 100000000\r\n", false, false, 2, 0, 0, 0, "0"},
      {"DelErrSunmol = 1\r\nDelSpace = 1\r\nCountSpace = 100\r\nSaveFile = 1\r\n"
       "AddFile = 1\r\nAsAddFile = 1\r\nStartAddress = 99999999\r\n",
       true, true, 100, 1, 1, 1, "99999999"},
      {"CountSpace = 1\r\nStartAddress = 0\r\n", false, false, 1, 0, 0, 0, "0"},
  };
  for (const Case& c : cases) {
    const std::string file = "[BIN]\r\n" + c.stored;
    WriteBytes(Paths().settings, file);
    ASSERT_NE(StartWithProfiles(), nullptr);
    const BinOutputOptions stored = Record();
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(Check("removeUndisplayableCheck")->isChecked(), c.removeUndisplayable) << file;
    EXPECT_EQ(Check("removeSpacesCheck")->isChecked(), c.removeSpaces) << file;
    EXPECT_EQ(SpaceCount()->value(), c.spaceCount) << file;
    EXPECT_EQ(Combo("saveToCombo")->currentIndex(), c.saveTo) << file;
    EXPECT_EQ(Combo("addCombo")->currentIndex(), c.add) << file;
    EXPECT_EQ(Combo("howCombo")->currentIndex(), c.how) << file;
    EXPECT_EQ(StartAddress()->text(), c.startAddress) << file;
    EXPECT_EQ(Record(), stored) << file;
    // Left alone, the stored values go back to the file unchanged.
    ASSERT_TRUE(Close());
    EXPECT_NE(ReadBytes(Paths().settings).find(c.stored), std::string::npos) << file;
    window.reset();
  }

  // A control that is changed stores its own value; the others keep theirs.
  ASSERT_NE(Start(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  QTest::keyClick(Combo("saveToCombo"), Qt::Key_Down);
  BinOutputOptions expected = Record();
  EXPECT_EQ(expected.SaveFile, 1);
  EXPECT_EQ(expected.StartAddress, 0);
  EXPECT_EQ(expected.CountSpace, 1);
  WriteBytes(Paths().settings, "[BIN]\r\nCountSpace = 0\r\nStartAddress = -1\r\n");
  window.reset();
  ASSERT_NE(Start(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  QTest::keyClicks(StartAddress(), "7");
  expected = Record();
  EXPECT_EQ(expected.StartAddress, 7);
  EXPECT_EQ(expected.CountSpace, 0);
}

TEST_F(BinDialogTest, BrowseAddsBinToANameWithoutExtension) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  struct Case {
    std::string chosen, shown;
  };
  for (const Case& c :
       // A .hex name chooses Intel HEX, whose names get .hex from then on.
       {Case{"/data/out", "/data/out.bin"}, Case{"/data/out.hex", "/data/out.hex"},
        Case{"/data/dir.d/out", "/data/dir.d/out.hex"}, Case{"/data/out.", "/data/out..hex"},
        Case{"/data/Файл", "/data/Файл.hex"}}) {
    BrowseTo(c.chosen);
    EXPECT_EQ(PathEdit()->text().toStdString(), c.shown) << c.chosen;
  }
  // Cancelled: the path stays.
  Click("browseButton");
  EXPECT_EQ(PathEdit()->text(), "/data/Файл.hex");

  ASSERT_EQ(requester.asked.size(), 6u);
  const FileRequest& request = requester.asked[0];
  EXPECT_EQ(request.mode, FileRequest::Mode::Save);
  EXPECT_EQ(request.title, "");
  EXPECT_EQ(request.folder, "");
  ASSERT_EQ(request.filters.size(), 3u);
  EXPECT_EQ(request.filters[0].label, "Двоичные файлы (*.bin)");
  EXPECT_EQ(request.filters[0].pattern, "*.bin");
  EXPECT_EQ(request.filters[1].label, "Файлы Intel HEX (*.hex *.ihx)");
  EXPECT_EQ(request.filters[1].pattern, "*.hex *.ihx");
  EXPECT_EQ(request.filters[2].label, "Все файлы");
  EXPECT_EQ(request.filters[2].pattern, "*.*");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(BinDialogTest, ConvertRefusesWhatCannotBeWritten) {
  struct Case {
    const char* what;
    QString text;  // typed into the source editor
    bool browse;   // whether a path is chosen
    bool removeUndisplayable;
    Message message;
  };
  const Case cases[] = {
      {"no path", "AB", false, false, kNoPath},
      {"no text", "", true, false, kNoText},
      {"nothing displayable, removed", "€€", true, true, kNoText},
  };
  for (const Case& c : cases) {
    ASSERT_NE(StartWithProfiles(), nullptr);
    Type(Source(), c.text);
    ASSERT_NE(OpenDialog(), nullptr);
    if (c.browse) BrowseTo(dir.Path("out"));
    if (c.removeUndisplayable) QTest::mouseClick(Check("removeUndisplayableCheck"), Qt::LeftButton);
    Click("convertButton");
    ASSERT_EQ(prompter.shown.size(), 1u) << c.what;
    EXPECT_EQ(prompter.shown[0], c.message) << c.what;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.bin"))) << c.what;
    EXPECT_TRUE(dialog->isVisible()) << c.what;
    prompter.shown.clear();
    window.reset();
  }
}

TEST_F(BinDialogTest, TwoLinesWithCrLfBecomeThreeBytes) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "A");
  Key(Source(), Qt::Key_Return);
  Type(Source(), "B");
  ASSERT_EQ(Source()->Cp1251Text(), "A\r\nB");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  Click("convertButton");
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A B");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], kSuccess);
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(BinDialogTest, CleaningOptionsApplyToTheWrittenCodes) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  // TAB, five spaces and a euro sign the display cannot show.
  Source()->SetCp1251Text("A\t     \x88\xC1");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  Click("convertButton");
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A      \xA0");
  QTest::mouseClick(Check("removeSpacesCheck"), Qt::LeftButton);
  QTest::mouseClick(Check("removeUndisplayableCheck"), Qt::LeftButton);
  Click("convertButton");
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A  \xA0");
  EXPECT_EQ(prompter.shown, (std::vector<Message>{kSuccess, kSuccess}));
}

TEST_F(BinDialogTest, InsertAndReplaceAtTheStartAddress) {
  struct Case {
    const char* what;
    int how;
    QString address;
    QString text;
    std::string result;
  };
  const Case cases[] = {
      {"insert at 0", 0, "0", "AB", std::string("AB\x01\x02\x03\x04")},
      {"insert at 3", 0, "3", "AB",
       std::string("\x01\x02\x03"
                   "AB\x04")},
      {"replace at 2", 1, "2", "ABCDE",
       std::string("\x01\x02"
                   "ABCDE")},
      {"replace at 1", 1, "1", "A",
       std::string("\x01"
                   "A\x03\x04")},
  };
  for (const Case& c : cases) {
    const std::string target = dir.Path("image.bin");
    WriteBytes(target, "\x01\x02\x03\x04");
    ASSERT_NE(StartWithProfiles(), nullptr);
    Type(Source(), c.text);
    ASSERT_NE(OpenDialog(), nullptr);
    BrowseTo(target);
    Choose(Combo("saveToCombo"), 1);
    Choose(Combo("addCombo"), 1);
    Choose(Combo("howCombo"), c.how);
    TypeStartAddress(c.address);
    Click("convertButton");
    EXPECT_EQ(ReadBytes(target), c.result) << c.what;
    EXPECT_EQ(prompter.shown, std::vector<Message>{kSuccess}) << c.what;
    prompter.shown.clear();
    window.reset();
  }
}

TEST_F(BinDialogTest, AnAddressAtTheEndAsksBeforeAppending) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string target = dir.Path("image.bin");
  WriteBytes(target, "xy");
  Type(Source(), "A");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(target);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("2");
  prompter.answers = {MessageAnswer::No};
  Click("convertButton");
  EXPECT_EQ(ReadBytes(target), "xy");
  prompter.answers = {MessageAnswer::Yes};
  Click("convertButton");
  EXPECT_EQ(ReadBytes(target), "xyA");
  const Message question{
      "Преобразование",
      "Начальный адрес больше текущего размера файла!\nДобавить данные в конец файла?",
      MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
  EXPECT_EQ(prompter.shown,
            (std::vector<Message>{question,
                                  {"Преобразование", "Преобразование не производилось",
                                   MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok},
                                  question,
                                  kSuccess}));
}

// "Сохранить в: существующем" with a file that is not there: the question says
// so, and No leaves no empty file behind; appending makes the file.
TEST_F(BinDialogTest, AMissingFileIsNamedAndMadeOnlyWithTheCodes) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string target = dir.Path("image.bin");
  Type(Source(), "AB");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(target);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("4096");
  prompter.answers = {MessageAnswer::No};
  Key(StartAddress(), Qt::Key_Return);
  EXPECT_FALSE(std::filesystem::exists(target));
  const Message question{
      "Преобразование",
      "Файл \n\"" + target + "\"\nне существует!\nСоздать его и записать в него данные?",
      MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
  const Message notDone{"Преобразование", "Преобразование не производилось", MessageIcon::Warning,
                        MessageButtons::Ok, MessageAnswer::Ok};
  EXPECT_EQ(prompter.shown, (std::vector<Message>{question, notDone}));
  prompter.shown.clear();

  Choose(Combo("addCombo"), 0);
  Click("convertButton");
  EXPECT_EQ(ReadBytes(target), "AB");
  EXPECT_EQ(prompter.shown, std::vector<Message>{kSuccess});
}

TEST_F(BinDialogTest, AnEmptyStartAddressIsRefusedByTheWriter) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string target = dir.Path("image.bin");
  WriteBytes(target, "old");
  Type(Source(), "A");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(target);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("");
  EXPECT_EQ(Record().StartAddress, 0);
  Click("convertButton");
  EXPECT_EQ(prompter.shown,
            (std::vector<Message>{{"Предупреждение",
                                   "Поле  \"Начальный адрес\"  не заполенно\nНужно указать "
                                   "начальный адрес добавляемых данных в файл.",
                                   MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok}}));
  EXPECT_EQ(ReadBytes(target), "old");
}

TEST_F(BinDialogTest, EnterConvertsWhateverControlHasTheFocus) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "A");
  ASSERT_NE(OpenDialog(), nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  WriteBytes(dir.Path("out.bin"), "x");
  BrowseTo(dir.Path("out"));
  // Every control enabled: replace at address 0.
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  Choose(Combo("howCombo"), 1);
  QTest::mouseClick(Check("removeSpacesCheck"), Qt::LeftButton);
  struct Press {
    const char* control;
    Qt::Key key;
  };
  const Press presses[] = {
      {"startAddressEdit", Qt::Key_Return},  {"pathEdit", Qt::Key_Return},
      {"browseButton", Qt::Key_Return},      {"cancelButton", Qt::Key_Enter},
      {"removeSpacesCheck", Qt::Key_Return}, {"spaceCountSpin", Qt::Key_Enter},
      {"saveToCombo", Qt::Key_Return},       {"howCombo", Qt::Key_Return},
      {"convertButton", Qt::Key_Return},
  };
  std::size_t runs = 0;
  for (const Press& p : presses) {
    QWidget* control = Child<QWidget>(p.control);
    ASSERT_TRUE(control->isEnabled()) << p.control;
    control->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), control) << p.control;
    QTest::keyClick(control, p.key);
    ASSERT_EQ(prompter.shown.size(), ++runs) << p.control;
    EXPECT_EQ(prompter.shown.back(), kSuccess) << p.control;
  }
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A");
  // Neither Browse nor Cancel took the key.
  EXPECT_EQ(requester.asked.size(), 1u);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(Check("removeSpacesCheck")->isChecked());
}

TEST_F(BinDialogTest, EnterInTheStartAddressConverts) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "AB");
  const std::string target = dir.Path("image.bin");
  WriteBytes(target, "1234");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(target);
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  StartAddress()->setFocus();
  TypeStartAddress("1");
  QTest::keyClick(StartAddress(), Qt::Key_Return);
  EXPECT_EQ(ReadBytes(target), "1AB234");
  EXPECT_EQ(prompter.shown, std::vector<Message>{kSuccess});
}

TEST_F(BinDialogTest, EachConvertTakesTheTextOfThatMoment) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "A");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  Click("convertButton");
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A");
  // The main window goes on working while the dialog is open.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Type(Source(), "Б");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_NE(OutputText().find("0xA0"), std::string::npos);
  Click("convertButton");
  EXPECT_EQ(ReadBytes(dir.Path("out.bin")), "A\xA0");
}

TEST_F(BinDialogTest, OptionsSurviveARestart) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  QTest::mouseClick(Check("removeUndisplayableCheck"), Qt::LeftButton);
  QTest::mouseClick(Check("removeSpacesCheck"), Qt::LeftButton);
  SpaceCount()->selectAll();
  QTest::keyClicks(SpaceCount(), "15");
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  Choose(Combo("howCombo"), 1);
  TypeStartAddress("1234");
  const QPointer<BinDialog> open = dialog;
  ASSERT_TRUE(Close());
  // Leaving the program takes the dialog along.
  EXPECT_TRUE(Dialogs().isEmpty());
  EXPECT_TRUE(open.isNull());
  EXPECT_NE(ReadBytes(Paths().settings)
                .find("[BIN]\r\nDelErrSunmol = 1\r\nDelSpace = 1\r\nCountSpace = 15\r\n"
                      "SaveFile = 1\r\nAddFile = 1\r\nAsAddFile = 1\r\nStartAddress = 1234\r\n"),
            std::string::npos)
      << ReadBytes(Paths().settings);

  window.reset();
  ASSERT_NE(Start(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  EXPECT_TRUE(Check("removeUndisplayableCheck")->isChecked());
  EXPECT_TRUE(Check("removeSpacesCheck")->isChecked());
  EXPECT_EQ(SpaceCount()->value(), 15);
  EXPECT_TRUE(SpaceCount()->isEnabled());
  EXPECT_EQ(Combo("saveToCombo")->currentIndex(), 1);
  EXPECT_EQ(Combo("addCombo")->currentIndex(), 1);
  EXPECT_EQ(Combo("howCombo")->currentIndex(), 1);
  EXPECT_TRUE(Combo("howCombo")->isEnabled());
  EXPECT_EQ(StartAddress()->text(), "1234");
  // The path is not kept.
  EXPECT_EQ(PathEdit()->text(), "");
}

TEST_F(BinDialogTest, ReopeningRestoresTheOpenDialogAsItWas) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  BinDialog* first = dialog;
  BrowseTo(dir.Path("out"));
  Choose(Combo("saveToCombo"), 1);
  dialog->showMinimized();
  ASSERT_TRUE(dialog->isMinimized());
  window->activateWindow();
  ASSERT_NE(OpenDialog(), nullptr);
  EXPECT_EQ(dialog, first);
  EXPECT_FALSE(dialog->isMinimized());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
  EXPECT_EQ(PathEdit()->text().toStdString(), dir.Path("out.bin"));
  EXPECT_EQ(Combo("saveToCombo")->currentIndex(), 1);
  EXPECT_TRUE(Combo("addCombo")->isEnabled());
}

TEST_F(BinDialogTest, CancelAndTheCloseBoxDestroyTheDialog) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  QTest::mouseClick(Check("removeSpacesCheck"), Qt::LeftButton);
  Click("cancelButton");
  EXPECT_TRUE(Dialogs().isEmpty());

  // Reopened: an empty path, the controls from the record.
  ASSERT_NE(OpenDialog(), nullptr);
  EXPECT_EQ(PathEdit()->text(), "");
  EXPECT_TRUE(Check("removeSpacesCheck")->isChecked());
  EXPECT_TRUE(dialog->close());
  EXPECT_TRUE(Dialogs().isEmpty());
  EXPECT_EQ(Record().DelSpace, 1);
  EXPECT_TRUE(prompter.shown.empty());

  // Escape, pressed wherever the focus is, closes it too; an open list takes it first.
  for (const char* focus : {"pathEdit", "startAddressEdit", "convertButton", "saveToCombo"}) {
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    Child<QWidget>(focus)->setFocus();
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
    EXPECT_TRUE(Dialogs().isEmpty()) << focus;
  }
  ASSERT_NE(OpenDialog(), nullptr);
  Combo("saveToCombo")->showPopup();
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  EXPECT_EQ(Dialogs().size(), 1);
}

// The frame of the options runs above the check boxes inside it, never through them.
TEST_F(BinDialogTest, OptionsFrameRunsAboveItsCheckBoxes) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  auto* frame = Child<QWidget>("optionsGroup");
  const QRect check = Check("removeUndisplayableCheck")->geometry();
  const QImage image = dialog->grab().toImage();
  const QRgb background = image.pixel(frame->x() - 5, frame->y() + 40);
  // Right of the title and of the check box's text: only the frame's top edge is there.
  const int x = frame->geometry().right() - 20;
  int top = -1;
  for (int y = frame->y(); y < frame->geometry().bottom() && top < 0; ++y) {
    if (qGray(image.pixel(x, y)) + 12 < qGray(background)) top = y;
  }
  ASSERT_GE(top, 0) << "no frame line";
  EXPECT_LT(top, check.top());
}

// A name that is not UTF-8 ("Привет" in Windows-1251) shows with U+FFFD and is
// written under its own bytes.
TEST_F(BinDialogTest, ABrowsedNameThatIsNotUtf8IsWrittenUnderItself) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "AB");
  ASSERT_NE(OpenDialog(), nullptr);
  const std::string target = dir.Path("\xcf\xf0\xe8\xe2\xe5\xf2.bin");
  BrowseTo(target);
  EXPECT_EQ(PathEdit()->text(), QString::fromStdString(target));
  Click("convertButton");
  EXPECT_EQ(ReadBytes(target), "AB");
  EXPECT_EQ(prompter.shown, std::vector<Message>{kSuccess});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 3);
}

// The file type follows a browsed name's extension, and the format's
// controls are enabled only where they count.
TEST_F(BinDialogTest, FileTypeFollowsTheExtensionAndEnablesItsControls) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  struct Step {
    const char* what;
    std::function<void()> act;
    int type;
    bool hexControls, startAddress;
  };
  const Step steps[] = {
      {"a .hex name", [&] { BrowseTo("/data/a.hex"); }, 1, true, true},
      {"another extension", [&] { BrowseTo("/data/b.rom"); }, 1, true, true},
      {"a .BIN name", [&] { BrowseTo("/data/c.BIN"); }, 0, false, false},
      {"an .IHX name", [&] { BrowseTo("/data/d.IHX"); }, 1, true, true},
      {"existing, at the end", [&] { Choose(Combo("saveToCombo"), 1); }, 1, true, false},
      {"at an address", [&] { Choose(Combo("addCombo"), 1); }, 1, true, true},
      {"BIN chosen", [&] { Choose(Combo("fileTypeCombo"), 0); }, 0, false, true},
      {"new BIN file", [&] { Choose(Combo("saveToCombo"), 0); }, 0, false, false},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(Combo("fileTypeCombo")->currentIndex(), step.type) << step.what;
    for (const char* name :
         {"layoutLabel", "layoutCombo", "recordLengthLabel", "recordLengthCombo"}) {
      EXPECT_EQ(Child<QWidget>(name)->isEnabled(), step.hexControls) << step.what << " " << name;
    }
    EXPECT_EQ(StartAddress()->isEnabled(), step.startAddress) << step.what;
    EXPECT_EQ(Child<QLabel>("startAddressLabel")->isEnabled(), step.startAddress) << step.what;
    EXPECT_TRUE(Combo("chipCombo")->isEnabled()) << step.what;
  }
  // The requester offers the chosen type's files first.
  ASSERT_EQ(requester.asked.size(), 4u);
  EXPECT_EQ(requester.asked[0].filters.at(0).pattern, "*.bin");
  EXPECT_EQ(requester.asked[1].filters.at(0).pattern, "*.hex *.ihx");
  EXPECT_EQ(requester.asked[1].filters.at(1).pattern, "*.bin");
  EXPECT_EQ(requester.asked[2].filters.at(0).pattern, "*.hex *.ihx");
  EXPECT_EQ(requester.asked[3].filters.at(0).pattern, "*.bin");
  // The format is no option of the record.
  BinOutputOptions expected;
  expected.AddFile = 1;
  EXPECT_EQ(Record(), expected);
}

// The profile's layout, the chosen layout, record length, chip and start
// address reach the file that Convert writes.
TEST_F(BinDialogTest, FormatChoicesReachTheWrittenFile) {
  std::string pic16Profiles = kDefaultDatabase;
  pic16Profiles.insert(pic16Profiles.find("CountSpace = 2\r\n") + 16, "Layout = PIC16\r\n");
  struct Case {
    const char* what;
    const std::string& profiles;
    int profileLayout;           // the layout list's row on opening
    std::string file, existing;  // existing: the file's bytes before, if any
    int saveTo, add, how;
    QString address, text;
    int layout, recordLength, chip;
    std::string written;
  };
  const Case cases[] = {
      {"PIC16 from the profile", pic16Profiles, 1, "pic16.hex", "", 0, 0, 0, "2", "AB", 1, 0, 0,
       ":044204004100420033\r\n:00000001FF\r\n"},
      {"PIC16, replaced at 1, LF kept", pic16Profiles, 1, "pic16.hex",
       ":044204004100420033\n:00000001FF\n", 1, 1, 1, "1", "C", 1, 0, 0,
       ":06420200430041004200F0\n:00000001FF\n"},
      {"PIC18 past 64 KiB", kDefaultDatabase, 0, "pic18.hex", "", 0, 0, 0, "16", "AB", 2, 0, 0,
       ":0200000400F00A\r\n:0200100041426B\r\n:00000001FF\r\n"},
      {"records of 16", kDefaultDatabase, 0, "plain.hex", "", 0, 0, 0, "0", "0123456789ABCDEFGHIJ",
       0, 0, 0,
       ":10000000303132333435363738394142434445464E\r\n:040010004748494ACA\r\n:00000001FF\r\n"},
      {"records of 32", kDefaultDatabase, 0, "plain.hex", "", 0, 0, 0, "0", "0123456789ABCDEFGHIJ",
       0, 1, 0, ":14000000303132333435363738394142434445464748494A28\r\n:00000001FF\r\n"},
      {"BIN the size of a 24C01", kDefaultDatabase, 0, "chip.bin", "", 0, 0, 0, "0", "AB", 0, 0, 1,
       "AB" + std::string(126, '\xFF')},
      {"BIN the size of a 24C02, appended", kDefaultDatabase, 0, "chip.bin", "xy", 1, 0, 0, "0",
       "AB", 0, 0, 2, "xyAB"},
  };
  for (const Case& c : cases) {
    const std::string target = dir.Path(c.file);
    std::filesystem::remove(target);
    if (!c.existing.empty()) WriteBytes(target, c.existing);
    WriteBytes(Paths().profiles, c.profiles);
    ASSERT_NE(Start(), nullptr);
    Type(Source(), c.text);
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(Combo("layoutCombo")->currentIndex(), c.profileLayout) << c.what;
    BrowseTo(target);
    Choose(Combo("saveToCombo"), c.saveTo);
    Choose(Combo("addCombo"), c.add);
    Choose(Combo("howCombo"), c.how);
    Choose(Combo("layoutCombo"), c.layout);
    Choose(Combo("recordLengthCombo"), c.recordLength);
    Choose(Combo("chipCombo"), c.chip);
    if (StartAddress()->isEnabled()) TypeStartAddress(c.address);
    Click("convertButton");
    EXPECT_EQ(ReadBytes(target), c.written) << c.what;
    EXPECT_EQ(prompter.shown, std::vector<Message>{kSuccess}) << c.what;
    prompter.shown.clear();
    window.reset();
  }
}

// A bad record and an image the chip cannot hold are refused with the
// program's message, and the file stays as it was.
TEST_F(BinDialogTest, RefusalsLeaveTheFileAsItWas) {
  struct Case {
    const char* what;
    std::string file, before;
    int saveTo, chip;
    QString text;
    MessageIcon icon;
    std::string title, text_;  // text_: the message, after the path in it is put in
  };
  const Case cases[] = {
      {"a bad checksum", "bad.hex", ":0100000041BF\r\n:00000001FF\r\n", 1, 0, "A",
       MessageIcon::Error, "Ошибка", "Строка 1 файла \"PATH\": неверная контрольная сумма"},
      {"a new image past the chip", "full.bin", "old", 0, 1, QString(131, 'x'),
       MessageIcon::Warning, "Преобразование",
       "Данные не помещаются в микросхему 24C01: не хватает 3 байт"},
      {"an appended image past the chip", "full.hex", ":0100000041BE\r\n:00000001FF\r\n", 1, 1,
       QString(128, 'x'), MessageIcon::Warning, "Преобразование",
       "Данные не помещаются в микросхему 24C01: не хватает 1 байта"},
  };
  for (const Case& c : cases) {
    const std::string target = dir.Path(c.file);
    WriteBytes(target, c.before);
    ASSERT_NE(StartWithProfiles(), nullptr);
    Type(Source(), c.text);
    ASSERT_NE(OpenDialog(), nullptr);
    BrowseTo(target);
    Choose(Combo("saveToCombo"), c.saveTo);
    Choose(Combo("chipCombo"), c.chip);
    Click("convertButton");
    std::string text = c.text_;
    if (const std::size_t at = text.find("PATH"); at != std::string::npos) {
      text.replace(at, 4, target);
    }
    EXPECT_EQ(
        prompter.shown,
        (std::vector<Message>{{c.title, text, c.icon, MessageButtons::Ok, MessageAnswer::Ok}}))
        << c.what;
    EXPECT_EQ(ReadBytes(target), c.before) << c.what;
    EXPECT_TRUE(dialog->isVisible()) << c.what;
    prompter.shown.clear();
    window.reset();
  }
}

// The format's controls lie inside its frame, clear of its edges and title
// (the fixed-pixel windows' check sees that no controls overlap).
TEST_F(BinDialogTest, FormatControlsLieInsideTheirFrame) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ASSERT_NE(OpenDialog(), nullptr);
  const QRect frame = Child<QWidget>("formatGroup")->geometry();
  for (const char* name : {"fileTypeLabel", "fileTypeCombo", "layoutLabel", "layoutCombo",
                           "recordLengthLabel", "recordLengthCombo", "chipLabel", "chipCombo"}) {
    EXPECT_TRUE(frame.adjusted(5, 15, -5, -5).contains(Child<QWidget>(name)->geometry())) << name;
  }
  for (const char* other : {"fileGroup", "optionsGroup"}) {
    EXPECT_FALSE(frame.intersects(Child<QWidget>(other)->geometry())) << other;
  }
}

// The codes are those of the current profile's display, taken at each run:
// Latin, German and Russian letters on each ROM, with look-alikes or not.
TEST_F(BinDialogTest, TheCodesAreThoseOfTheCurrentProfilesRom) {
  struct Case {
    RomProfile profile;
    std::string codes;
  };
  const Case cases[] = {
      {kCyrillicProfile,
       "Gre, \xA8p\xB8\xB3"
       "e\xBF"},
      {kA00Profile,
       "Gr\xF5"
       "e, "},
      {kA00LookAlikes,
       "Gr\xF5\xE2"
       "e, pe"},
      {kA02Profile,
       "Gr\xFC\xDF"
       "e, \x87"},
      {kA02LookAlikes,
       "Gr\xFC\xDF"
       "e, \x87pe"},
  };
  WriteBytes(Paths().profiles, kRomDatabase);
  ASSERT_NE(Start(), nullptr);
  Type(Source(), "Grüße, Привет");
  ASSERT_NE(OpenDialog(), nullptr);
  BrowseTo(dir.Path("out"));
  for (const Case& c : cases) {
    ChooseProfile(window->ProfileSelector(), c.profile);
    Click("convertButton");
    EXPECT_EQ(ReadBytes(dir.Path("out.bin")), c.codes) << c.profile;
  }
  EXPECT_EQ(prompter.shown, std::vector<Message>(std::size(cases), kSuccess));
}

}  // namespace
}  // namespace zeltrix::testing

namespace zeltrix::testing {
namespace {

// A profile with custom characters writes one record per screen: the 64
// CGRAM bytes, then the screen's 16x2 codes; to a BIN or HEX file alike,
// inserting only at a record's boundary.
TEST_F(BinDialogTest, ACgramProfileWritesScreenRecords) {
  WriteBytes(Paths().profiles, RomGroup("A00 CGRAM", "A00", false) + "Cgram = 1\r\n");
  ASSERT_NE(Start(), nullptr);
  Type(Source(), QString::fromUtf8("Тм"));
  Key(Source(), Qt::Key_Return);
  Type(Source(), QString::fromUtf8("п"));
  ASSERT_NE(OpenDialog(), nullptr);
  // Slots 0x08 and 0x09: м and п as the Cyrillic ROM draws them.
  std::string record(
      "\x00\x00\x11\x1B\x15\x11\x11\x00"
      "\x00\x00\x1F\x11\x11\x11\x11\x00",
      16);
  record += std::string(48, '\0') + "T\x08" + std::string(14, ' ') + "\x09" + std::string(15, ' ');
  const std::string bin = dir.Path("screens.bin");
  BrowseTo(bin);
  Click("convertButton");
  EXPECT_EQ(ReadBytes(bin), record);
  const std::vector<Message> success{kSuccess};
  EXPECT_EQ(prompter.shown, success);

  // A record is 96 bytes: 95 is not where a screen starts.
  prompter.shown.clear();
  Choose(Combo("saveToCombo"), 1);
  Choose(Combo("addCombo"), 1);
  TypeStartAddress("95");
  Click("convertButton");
  ASSERT_EQ(prompter.shown.size(), 1U);
  EXPECT_EQ(prompter.shown[0].title, "Предупреждение");
  EXPECT_EQ(prompter.shown[0].text,
            "Начальный адрес 95 не совпадает с началом записи экрана.\nЗапись экрана занимает 96 "
            "байт: укажите адрес, кратный 96, например 0 или 96.");
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
  EXPECT_EQ(ReadBytes(bin), record);
  prompter.shown.clear();
  // Inserted at 0, before the screen there.
  TypeStartAddress("0");
  Click("convertButton");
  EXPECT_EQ(ReadBytes(bin), record + record);
  EXPECT_EQ(prompter.shown, success);

  // The same record in a new Intel HEX file.
  prompter.shown.clear();
  Choose(Combo("saveToCombo"), 0);
  const std::string hex = dir.Path("screens.hex");
  BrowseTo(hex);
  TypeStartAddress("0");
  Click("convertButton");
  EXPECT_EQ(prompter.shown, success);
  const auto image = ReadImageFile(hex, ImageFileFormat::IntelHex, HexLayout::Plain);
  ASSERT_TRUE(image);
  EXPECT_EQ(SelectImageBytes(*image, 0, std::nullopt), record);
}

}  // namespace
}  // namespace zeltrix::testing
