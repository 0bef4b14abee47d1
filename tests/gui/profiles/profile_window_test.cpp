// The profile management window: its controls, New, Edit, Delete, OK, Cancel and closing.
#include <QLabel>

#include "tests/gui/profiles/profile_window_fixture.h"
#include "tests/support/file_size_limit.h"

namespace zeltrix::testing {
namespace {

const char* const kEditorControls[] = {"nameEdit",
                                       "deleteSumbolErrorCheck",
                                       "deleteSpaceCheck",
                                       "countSpaceSpin",
                                       "ost1Spin",
                                       "ost2Spin",
                                       "directiveEdit",
                                       "startDataBlokEdit",
                                       "endDataBlokEdit",
                                       "startDataEdit",
                                       "baseCombo",
                                       "endDataEdit",
                                       "razdelitelDataEdit",
                                       "commentEdit",
                                       "commentStateCheck",
                                       "countByteSpin",
                                       "perenosPoSlovamCheck",
                                       "countByteToCommentCheck",
                                       "sampleBox",
                                       "okButton",
                                       "cancelButton"};
const char* const kListControls[] = {"profileList", "importButton", "exportButton",
                                     "newButton",   "editButton",   "deleteButton"};

// The group a new profile with only a name and a directive is saved as.
std::string NewGroup(const std::string& name, const std::string& directive) {
  return "[" + name + "]\r\nOst1 = 0\r\nOst2 = 0\r\nDirective = [String]" + directive +
         "[/String]\r\nStartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
         "StartData = [String][/String]\r\nSI = 2\r\nEndData = [String][/String]\r\n"
         "RazdelitelData = [String][/String]\r\nComment = [String][/String]\r\n"
         "CommentState = 0\r\nCountByte = 0\r\nPerenosPoSlovam = 0\r\nCountByteToComment = 0\r\n"
         "DeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n";
}

const Message kRepeated{"Повторное имя", "Пожалуйста, выберите другое имя для профиля.",
                        MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};

TEST_F(ProfileWindowTest, OpensOverTheDisabledMainWindowInTheIdleState) {
  ASSERT_NE(Open(kDefaultDatabase, 1), nullptr);
  EXPECT_EQ(manager->windowTitle(), "Управление профилями");
  // 552 high, 68 more for the character ROM's controls below the others and
  // 50 more for the custom characters' below those.
  EXPECT_EQ(manager->size(), QSize(281, 670));
  EXPECT_FALSE(window->isEnabled());
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC",
                                                   "MikroBasic For PIC"}));
  EXPECT_EQ(List()->currentRow(), 1);
  EXPECT_TRUE(List()->item(1)->isSelected());
  EXPECT_EQ(List()->selectionMode(), QAbstractItemView::ExtendedSelection);
  for (const char* name : kEditorControls) EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
  for (const char* name : kListControls) EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;

  struct Text {
    const char* name;
    const char* text;
    const char* tip;
  };
  const Text texts[] = {
      {"importButton", "Загрузить", "Загрузить профили из файла"},
      {"exportButton", "Сохранить", "Сохранить выделенные профили в файле"},
      {"newButton", "Новый", "Создать новый профиль"},
      {"editButton", "Изменить", "Изменить данные в выбранном профиле"},
      {"deleteButton", "Удалить", "Удалить выделенные профили"},
      {"okButton", "Ок", ""},
      {"cancelButton", "Отмена", ""},
      {"deleteSumbolErrorCheck", "Удалять неотображаемые символы",
       "Удалить символы, которые индикатор не способен отобразить"},
      {"deleteSpaceCheck", "Удалять «ненужные» пробелы",
       "Удаление последовательно расположенных пробелов"},
      {"commentStateCheck", "Конвертируемый  текст в комментарий", ""},
      {"perenosPoSlovamCheck", "Перенос...", "Перенос по словам"},
      {"countByteToCommentCheck", "Сообщить число байт..",
       "Добавить в комментарий сведения о числе байт в строке"},
  };
  for (const Text& t : texts) {
    auto* button = Get<QAbstractButton>(t.name);
    EXPECT_EQ(button->text().toStdString(), t.text);
    EXPECT_EQ(button->toolTip().toStdString(), t.tip);
  }
  struct Range {
    const char* name;
    int min, max, value;
    const char* tip;
  };
  const Range ranges[] = {
      {"ost1Spin", 0, 30, 2, "Длина отступа от начала строки, до директивы"},
      {"ost2Spin", 0, 30, 2, "Длина отступа от директивы, до блока данных"},
      {"countByteSpin", 0, 1024, 0, ""},
      {"countSpaceSpin", 1, 100, 2,
       "Максимальное число последовательно расположенных пробелов, после которого начнётся "
       "удаление"},
  };
  for (const Range& r : ranges) {
    QSpinBox* spin = Spin(r.name);
    EXPECT_EQ(spin->minimum(), r.min) << r.name;
    EXPECT_EQ(spin->maximum(), r.max) << r.name;
    EXPECT_EQ(spin->value(), r.value) << r.name;
    EXPECT_EQ(spin->toolTip().toStdString(), r.tip);
  }
  ASSERT_EQ(Base()->count(), 3);
  EXPECT_EQ(Base()->itemText(0), "двоичная");
  EXPECT_EQ(Base()->itemText(1), "десятичная");
  EXPECT_EQ(Base()->currentText(), "шестнадцатиричная");
  std::vector<std::string> labels;
  for (const QLabel* label : manager->findChildren<QLabel*>()) {
    labels.push_back(label->text().toStdString());
  }
  for (const char* text :
       {"Профили", "Имя профиля:", "Отступ 1:", "Отступ 2:", "Директива:", "Начало блока данных:",
        "Конец блока данных:", "Начало данных:", "Система исчисления:", "Окончание  данных:",
        "Разделитель данных:", "Начало комментария:", "Число байт в строке:", "Текущий формат:"}) {
    EXPECT_NE(std::find(labels.begin(), labels.end(), text), labels.end()) << text;
  }
  EXPECT_EQ(Get<QLabel>("formatLabel")->palette().color(QPalette::WindowText), QColor(78, 4, 150));
  auto* sample = Get<QPlainTextEdit>("sampleBox");
  EXPECT_EQ(sample->toPlainText(), "");
  EXPECT_EQ(sample->font().family(), "Lucida Console");
  EXPECT_EQ(sample->font().pointSize(), 8);
  EXPECT_EQ(sample->size(), QSize(245, 58));
  EXPECT_FALSE(sample->isReadOnly());
  // Opening it again while it is open brings back the same window.
  EXPECT_EQ(Reopen(), manager);
}

TEST_F(ProfileWindowTest, NewProfileIsCheckedSavedAtTheEndAndTheListFilledAgain) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::New);
  for (const char* name : kListControls) EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
  for (const char* name : kEditorControls) {
    const std::string n = name;
    // Empty comment, 0 bytes a line and no space removal keep these off.
    const bool off = n == "commentStateCheck" || n == "countByteToCommentCheck" ||
                     n == "perenosPoSlovamCheck" || n == "countSpaceSpin";
    EXPECT_EQ(Get<QWidget>(name)->isEnabled(), !off) << name;
  }
  EXPECT_EQ(Name()->text(), "");
  EXPECT_EQ(Spin("ost1Spin")->value(), 0);
  EXPECT_EQ(Spin("ost2Spin")->value(), 0);
  EXPECT_EQ(Spin("countSpaceSpin")->value(), 2);
  EXPECT_EQ(Base()->currentIndex(), 2);
  EXPECT_FALSE(Sample().empty());

  // An empty name, then names that repeat others in Latin or Cyrillic case, are refused.
  Click("okButton");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], (Message{"", "Не указанно имя профиля.", MessageIcon::Warning,
                                        MessageButtons::Ok, MessageAnswer::Ok}));
  Type(Name(), "asm — de FOR pic");
  Click("okButton");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1], kRepeated);
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::New);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);

  Retype(Name(), "Мой");
  Type(Edit("directiveEdit"), "db");
  Click("okButton");
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase + NewGroup(W("Мой"), "db"));
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);
  EXPECT_EQ(ListTexts().size(), 4u);
  EXPECT_EQ(ListTexts().back(), "Мой");
  EXPECT_EQ(List()->currentRow(), 0);
  for (const char* name : kEditorControls) EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
  for (const char* name : kListControls) EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;
  EXPECT_EQ(Name()->text(), "");
  EXPECT_EQ(Edit("directiveEdit")->text(), "");
  EXPECT_EQ(Base()->currentIndex(), -1);
  EXPECT_EQ(Sample(), "");
}

TEST_F(ProfileWindowTest, RepeatsFollowTheProgramLowerCaseRule) {
  struct Case {
    const char* name;
    bool refused;
  };
  const Case cases[] = {
      {"МОЙ", true},   {"мой", true},   {"mikrobasic for pic", true},
      {"ЯЩИК", false}, {"Ёлка", false}, {"Мой ", false},
  };
  const std::string database = kDefaultDatabase + W("[мОй]\r\n[ящик]\r\n[ёлка]\r\n");
  for (const Case& c : cases) {
    ASSERT_NE(Open(database), nullptr);
    prompter.shown.clear();
    Click("newButton");
    Type(Name(), QString::fromUtf8(c.name));
    EXPECT_EQ(NameColour(), c.refused ? QColor(207, 2, 2) : QColor(0, 0, 0)) << c.name;
    Click("okButton");
    if (c.refused) {
      ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
      EXPECT_EQ(prompter.shown[0], kRepeated);
      EXPECT_EQ(ReadBytes(Paths().profiles), database);
    } else {
      EXPECT_TRUE(prompter.shown.empty()) << c.name;
      EXPECT_EQ(ListTexts().back(), c.name);
    }
    window.reset();
  }
}

TEST_F(ProfileWindowTest, EditShowsTheProfileAndOkRenamesAndSavesIt) {
  ASSERT_NE(Open(), nullptr);
  List()->setCurrentRow(2);
  Click("editButton");
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Edit);
  EXPECT_EQ(Name()->text(), "MikroBasic For PIC");
  EXPECT_EQ(NameColour(), QColor(0, 0, 0));
  EXPECT_EQ(Spin("ost1Spin")->value(), 1);
  EXPECT_EQ(Spin("ost2Spin")->value(), 4);
  EXPECT_EQ(Edit("directiveEdit")->text(), "const");
  EXPECT_EQ(Edit("startDataBlokEdit")->text(), "As Byte[] = (");
  EXPECT_EQ(Edit("endDataBlokEdit")->text(), " )");
  EXPECT_EQ(Edit("startDataEdit")->text(), "$");
  EXPECT_EQ(Edit("razdelitelDataEdit")->text(), ", ");
  EXPECT_EQ(Edit("commentEdit")->text(), "' ");
  EXPECT_EQ(Base()->currentIndex(), 2);
  EXPECT_TRUE(Check("commentStateCheck")->isChecked());
  EXPECT_TRUE(Check("countByteToCommentCheck")->isChecked());
  EXPECT_EQ(Spin("countByteSpin")->value(), 100);
  EXPECT_TRUE(Check("perenosPoSlovamCheck")->isEnabled());
  EXPECT_FALSE(Spin("countSpaceSpin")->isEnabled());
  EXPECT_EQ(Sample(),
            "' Пример преобразования текста\r\n"
            " const    As Byte[] = ($A8, $70, $B8, $BC, $65, $70, $20, $BE, $70, $65, "
            "$6F, $B2, $70, $61, $B7, $6F, $B3, $61, $BD, $B8, $C7, $20, $BF, $65, $BA, "
            "$63, $BF, $61 ) ' 28\r\n");
  EXPECT_EQ(window->CurrentProfile().Name, "MikroBasic For PIC");

  Retype(Name(), "Basic");
  EXPECT_EQ(NameColour(), QColor(38, 4, 190));
  Retype(Spin("countByteSpin"), 16);
  Retype(Edit("endDataBlokEdit"), ")");
  Click("okButton");
  EXPECT_TRUE(prompter.shown.empty());
  std::string expected = kDefaultDatabase;
  const auto replace = [&](const std::string& from, const std::string& to) {
    const std::size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  // The header is renamed in place; every key is then written, every text wrapped.
  replace("[MikroBasic For PIC]\r\n", "[Basic]\r\n");
  replace("Directive = const", "Directive = [String]const[/String]");
  replace("EndDataBlok = [String] )[/String]", "EndDataBlok = [String])[/String]");
  replace("StartData = $", "StartData = [String]$[/String]");
  replace("SI = 2\r\nEndData = \r\nRazdelitelData = [String], [/String]\r\nComment = [String]'",
          "SI = 2\r\nEndData = [String][/String]\r\nRazdelitelData = [String], [/String]\r\n"
          "Comment = [String]'");
  replace("CountByte = 100", "CountByte = 16");
  EXPECT_EQ(ReadBytes(Paths().profiles), expected);
  EXPECT_EQ(ListTexts().back(), "Basic");
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);
}

TEST_F(ProfileWindowTest, ChangingOnlyTheCaseOfTheNameRewritesTheHeader) {
  ASSERT_NE(Open(), nullptr);
  List()->setCurrentRow(0);
  Click("editButton");
  Retype(Name(), "asm — dt FOR pic");
  // The profile's own name in other letters does not count as a repeat.
  EXPECT_EQ(NameColour(), QColor(38, 4, 190));
  Click("okButton");
  EXPECT_TRUE(prompter.shown.empty());
  const std::string bytes = ReadBytes(Paths().profiles);
  EXPECT_EQ(bytes.substr(0, 24), W("[asm — dt FOR pic]\r\nOst1"));
  EXPECT_EQ(ListTexts().front(), "asm — dt FOR pic");
  EXPECT_EQ(ListTexts().size(), 3u);
}

TEST_F(ProfileWindowTest, NameColourFollowsTheTypedText) {
  ASSERT_NE(Open(), nullptr);
  List()->setCurrentRow(1);
  Click("editButton");
  struct Step {
    const char* text;
    QColor colour;
  };
  const QColor black(0, 0, 0), blue(38, 4, 190), red(207, 2, 2);
  const Step steps[] = {
      {"Fresh", blue},
      {"mikrobasic for PIC", red},
      {"ASM — DE For PIC", black},
      {"asm — de for pic", blue},
      {"ASM — DT For PIC", red},
      // An emptied field keeps the colour it had.
      {"", red},
  };
  for (const Step& s : steps) {
    Retype(Name(), QString::fromUtf8(s.text));
    EXPECT_EQ(NameColour(), s.colour) << s.text;
  }
  Retype(Name(), "ASM — DT For PIC");
  Click("okButton");
  EXPECT_EQ(prompter.shown.back(), kRepeated);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);

  // Cancel ends the edit: nothing is saved and the colour goes back to black.
  Click("cancelButton");
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);
  EXPECT_EQ(NameColour(), black);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  // In a new profile only repeats colour the name.
  Click("newButton");
  Type(Name(), "Fresh");
  EXPECT_EQ(NameColour(), black);
  Retype(Name(), "ASM — DE FOR PIC");
  EXPECT_EQ(NameColour(), red);
}

TEST_F(ProfileWindowTest, EnablingRulesOfTheEditor) {
  ASSERT_NE(Open(kDefaultDatabase + "[Bare]\r\nCountByte = 0\r\nDeleteSpace = 1\r\n"), nullptr);
  List()->setCurrentRow(0);
  Click("editButton");
  QCheckBox* commentState = Check("commentStateCheck");
  QCheckBox* countToComment = Check("countByteToCommentCheck");
  QCheckBox* wrap = Check("perenosPoSlovamCheck");
  QSpinBox* spaces = Spin("countSpaceSpin");
  EXPECT_TRUE(commentState->isEnabled());
  EXPECT_TRUE(countToComment->isEnabled());
  EXPECT_TRUE(wrap->isEnabled());
  EXPECT_FALSE(spaces->isEnabled());

  // Emptying the comment start turns both comment boxes off at once, ticked or not.
  Retype(Edit("commentEdit"), "");
  EXPECT_FALSE(commentState->isEnabled());
  EXPECT_FALSE(countToComment->isEnabled());
  EXPECT_TRUE(commentState->isChecked());
  Type(Edit("commentEdit"), "//");
  EXPECT_TRUE(commentState->isEnabled());
  EXPECT_TRUE(countToComment->isEnabled());

  Retype(Spin("countByteSpin"), 0);
  EXPECT_FALSE(wrap->isEnabled());
  Retype(Spin("countByteSpin"), 5);
  EXPECT_TRUE(wrap->isEnabled());

  QTest::mouseClick(Check("deleteSpaceCheck"), Qt::LeftButton);
  EXPECT_TRUE(spaces->isEnabled());
  QTest::mouseClick(Check("deleteSpaceCheck"), Qt::LeftButton);
  EXPECT_FALSE(spaces->isEnabled());

  // Opening an edit applies the rules to the loaded values.
  Click("cancelButton");
  List()->setCurrentRow(3);
  Click("editButton");
  EXPECT_EQ(Name()->text(), "Bare");
  EXPECT_FALSE(commentState->isEnabled());
  EXPECT_FALSE(countToComment->isEnabled());
  EXPECT_FALSE(wrap->isEnabled());
  EXPECT_TRUE(spaces->isEnabled());
}

TEST_F(ProfileWindowTest, EditNeedsAProfileAndTheDatabase) {
  ASSERT_NE(Open(), nullptr);
  List()->setCurrentRow(-1);
  Click("editButton");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], (Message{"Внимание", "Не выбран профиль!", MessageIcon::Warning,
                                        MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);

  std::filesystem::remove(Paths().profiles);
  List()->setCurrentRow(0);
  Click("editButton");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1],
            (Message{"Ошибка", "Возникли проблемы при чтении базы данных!", MessageIcon::Error,
                     MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Idle);
  EXPECT_FALSE(Name()->isEnabled());
}

TEST_F(ProfileWindowTest, DoubleClickEditsTheClickedProfile) {
  ASSERT_NE(Open(), nullptr);
  const QRect rect = List()->visualItemRect(List()->item(1));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::Edit);
  EXPECT_EQ(Name()->text(), "ASM — DE For PIC");
  EXPECT_EQ(Edit("directiveEdit")->text(), "De");
  EXPECT_FALSE(List()->isEnabled());
}

TEST_F(ProfileWindowTest, DeleteAsksWithTheNamesAndRemovesTheSelectedProfiles) {
  ASSERT_NE(Open(), nullptr);
  SelectRows({0, 2});
  prompter.answers = {MessageAnswer::No};
  Click("deleteButton");
  const Message question{"Вы уверены?",
                         "Вы действительно хотите удалить профили\nASM — DT For PIC\n"
                         "MikroBasic For PIC\n",
                         MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], question);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);

  prompter.answers = {MessageAnswer::Yes};
  Click("deleteButton");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1], question);
  EXPECT_EQ(ReadBytes(Paths().profiles), DefaultGroup(W("ASM — DE For PIC"), "4", "De", "", "",
                                                      "0x", "[String]; [/String]", "8", "0"));
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ASM — DE For PIC"}));
  EXPECT_EQ(List()->currentRow(), 0);

  prompter.answers = {MessageAnswer::Yes};
  Click("deleteButton");
  EXPECT_EQ(ListTexts().size(), 0u);
  // With nothing left to delete.
  Click("deleteButton");
  ASSERT_EQ(prompter.shown.size(), 4u);
  EXPECT_EQ(prompter.shown[3],
            (Message{"Удаление профиля", "Не выбран профиль", MessageIcon::Warning,
                     MessageButtons::Ok, MessageAnswer::Ok}));
}

TEST_F(ProfileWindowTest, FailedWritesAreReportedAndTheEditStaysOpen) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  Type(Name(), "Kept");
  Type(Edit("directiveEdit"), "db");
  {
    FileSizeLimit limit(100);
    Click("okButton");
  }
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Ошибка", "Не удалось сохранить данные профиля", MessageIcon::Error,
                     MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  EXPECT_EQ(manager->EditMode(), ProfileWindow::Mode::New);
  EXPECT_EQ(Name()->text(), "Kept");
  EXPECT_EQ(Edit("directiveEdit")->text(), "db");
  Click("okButton");
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase + NewGroup("Kept", "db"));

  SelectRows({3});
  prompter.answers = {MessageAnswer::Yes};
  {
    FileSizeLimit limit(100);
    Click("deleteButton");
  }
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[2], (Message{"Ошибка", "Не удалось удалить профили", MessageIcon::Error,
                                        MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(ListTexts().size(), 4u);
}

TEST_F(ProfileWindowTest, ClosingInTheMiddleOfAnEditSavesNothing) {
  ASSERT_NE(Open(kDefaultDatabase, 2), nullptr);
  List()->setCurrentRow(0);
  Click("editButton");
  Retype(Name(), "Changed");
  Retype(Edit("directiveEdit"), "xx");
  // The edit loaded the profile into the main window's record; closing loads the chosen one.
  EXPECT_EQ(window->CurrentProfile().Directive, "Dt");
  EXPECT_TRUE(manager->close());
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(window->ProfileSelector()->currentIndex(), 0);
  EXPECT_EQ(window->CurrentProfile().Directive, "Dt");
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), Source());
}

TEST_F(ProfileWindowTest, ClosingSelectsTheCurrentItemInTheMainWindow) {
  ASSERT_NE(Open(kDefaultDatabase, 0), nullptr);
  Click("newButton");
  Type(Name(), "Zed");
  Type(Edit("directiveEdit"), "db");
  Type(Edit("commentEdit"), "#");
  Click("okButton");
  // After OK the first item is current; the user then clicks the new one.
  EXPECT_EQ(List()->currentRow(), 0);
  const QRect rect = List()->visualItemRect(List()->item(3));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
  manager->close();
  QComboBox* selector = window->ProfileSelector();
  ASSERT_EQ(selector->count(), 4);
  EXPECT_EQ(selector->itemText(3), "Zed");
  EXPECT_EQ(selector->currentIndex(), 3);
  EXPECT_EQ(window->CurrentProfile().Directive, "db");
  EXPECT_TRUE(window->CommandAction(Command::Convert)->isEnabled());
  // The new profile converts at once.
  Type(Source(), "AB");
  window->Execute(Command::Convert);
  EXPECT_EQ(OutputText(), "db4142\r\n");

  // Deleting every profile leaves the selector empty and Convert off.
  ASSERT_NE(Reopen(), nullptr);
  EXPECT_EQ(List()->currentRow(), 3);
  List()->selectAll();
  prompter.answers = {MessageAnswer::Yes};
  Click("deleteButton");
  manager->close();
  EXPECT_EQ(selector->count(), 0);
  EXPECT_FALSE(window->CommandAction(Command::Convert)->isEnabled());
}

}  // namespace
}  // namespace zeltrix::testing

namespace zeltrix::testing {
namespace {

// Clicks through the window system, where a modal window blocks the rest.
void SystemClick(QWidget* control) {
  QWidget* top = control->window();
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                    control->mapTo(top, control->rect().center()));
}

TEST_F(ProfileWindowTest, TheProfileWindowLeavesAnOpenBinDialogUsable) {
  WriteBytes(Paths().profiles, kDefaultDatabase);
  ASSERT_NE(Start(), nullptr);
  window->Execute(Command::ConvertToBin);
  auto* bin = OpenWindow<QWidget>("binDialog");
  ASSERT_NE(bin, nullptr);
  ASSERT_NE(Reopen(), nullptr);
  EXPECT_EQ(manager->windowModality(), Qt::WindowModal);
  auto* check = bin->findChild<QCheckBox*>("removeUndisplayableCheck");
  ASSERT_NE(check, nullptr);
  const bool before = check->isChecked();
  SystemClick(check);
  EXPECT_NE(check->isChecked(), before);
  // The main window waits for the profile window.
  SystemClick(window->ProfileSelector());
  EXPECT_FALSE(window->ProfileSelector()->view()->isVisible());
  manager->close();
  bin->close();
}

}  // namespace
}  // namespace zeltrix::testing
