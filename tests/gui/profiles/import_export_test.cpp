// Export of the selected profiles and the import window "Загрузка профилей".
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>

#include "core/profiles/profile_database.h"
#include "tests/gui/profiles/profile_window_fixture.h"
#include "tests/support/profile_loaded.h"

namespace zeltrix::testing {
namespace {

const std::vector<FileFilter> kFilters = {{"Файлы профилей", "*.prof"}, {"Все файлы", "*.*"}};

std::string Wrapped(const std::string& text) { return "[String]" + text + "[/String]"; }

// A default profile as an export writes it: every text wrapped.
std::string Exported(const std::string& name, const char* ost1, const char* directive,
                     const char* block, const char* blockEnd, const char* data, const char* comment,
                     const char* countByte, const char* countToComment) {
  std::string group =
      DefaultGroup(name, ost1, Wrapped(directive), Wrapped(block), Wrapped(blockEnd), Wrapped(data),
                   Wrapped(comment), countByte, countToComment);
  const std::string endData = "\r\nEndData = \r\n";
  group.replace(group.find(endData), endData.size(), "\r\nEndData = [String][/String]\r\n");
  return group;
}

const std::string kExportedDt =
    Exported(W("ASM — DT For PIC"), "4", "Dt", "", "", "0x", "; ", "8", "0");
const std::string kExportedBasic =
    Exported("MikroBasic For PIC", "1", "const", "As Byte[] = (", " )", "$", "' ", "100", "1");

Message Msg(const char* title, const std::string& text, MessageIcon icon) {
  return {title, text, icon, MessageButtons::Ok, MessageAnswer::Ok};
}

class ImportExportTest : public ProfileWindowTest {
 protected:
  /** Opens the import window on a profile file holding these bytes. */
  ImportWindow* Import(const std::string& bytes) {
    const std::string path = dir.Path("in.prof");
    WriteBytes(path, bytes);
    requester.answers = {path};
    Click("importButton");
    importer = Importer();
    if (importer != nullptr) {
      importer->SetInformationSound([this] { ++beeps; });
      EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == importer; }));
    }
    return importer;
  }

  QTableWidget* Rows() const {
    auto* table = importer->findChild<QTableWidget*>("importList");
    EXPECT_NE(table, nullptr);
    return table;
  }
  QTableWidgetItem* Row(int row) const { return Rows()->item(row, 0); }
  bool Ticked(int row) const { return Row(row)->checkState() == Qt::Checked; }
  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (int row = 0; row < Rows()->rowCount(); ++row) ticks.push_back(Ticked(row));
    return ticks;
  }
  void Press(const char* name) const {
    auto* button = importer->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
  }
  void SelectImportRows(std::initializer_list<int> rows) const {
    Rows()->clearSelection();
    for (const int row : rows) Row(row)->setSelected(true);
  }
  int SelectedCount() const { return static_cast<int>(Rows()->selectedItems().size()); }

  ImportWindow* importer = nullptr;
  int beeps = 0;
};

TEST_F(ImportExportTest, ExportWritesTheSelectedProfilesByteForByte) {
  ASSERT_NE(Open(), nullptr);
  const std::string target = dir.Path("two.prof");
  WriteBytes(target, "an older file of that name\r\n");
  SelectRows({2, 0});
  requester.answers = {dir.Path("two")};
  Click("exportButton");
  ASSERT_EQ(requester.asked.size(), 1u);
  const FileRequest& asked = requester.asked[0];
  EXPECT_EQ(asked.mode, FileRequest::Mode::Save);
  EXPECT_EQ(asked.title, "Сохранить файл профиля...");
  EXPECT_EQ(asked.folder, "");
  ASSERT_EQ(asked.filters.size(), 2u);
  for (std::size_t i = 0; i < kFilters.size(); ++i) {
    EXPECT_EQ(asked.filters[i].label, kFilters[i].label);
    EXPECT_EQ(asked.filters[i].pattern, kFilters[i].pattern);
  }
  EXPECT_TRUE(prompter.shown.empty());
  // In list order, whatever the order of the clicks.
  EXPECT_EQ(ReadBytes(target), kExportedDt + kExportedBasic);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);

  // Another extension stays as it is.
  SelectRows({1});
  requester.answers = {dir.Path("one.txt")};
  Click("exportButton");
  EXPECT_EQ(ReadBytes(dir.Path("one.txt")).substr(0, 24), W("[ASM — DE For PIC]\r\nOst1"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("one.txt.prof")));
}

TEST_F(ImportExportTest, ExportRefusalsAndFailures) {
  ASSERT_NE(Open(), nullptr);
  SelectRows({0});
  // The database itself, under any of its names.
  for (const std::string& path : {Paths().profiles, dir.Path("PROFILE"), dir.Path("./Profile")}) {
    prompter.shown.clear();
    requester.answers = {path};
    Click("exportButton");
    const std::string completed = path.find(".prof") == std::string::npos ? path + ".prof" : path;
    ASSERT_EQ(prompter.shown.size(), 1u) << path;
    EXPECT_EQ(prompter.shown[0],
              Msg("Ошибка", "Нет доступа к файлу\n" + completed, MessageIcon::Warning));
    EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  }

  prompter.shown.clear();
  requester.answers = {dir.Path("missing/out.prof")};
  Click("exportButton");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            Msg("Ошибка", "Не удалось создать файл\n" + dir.Path("missing/out.prof"),
                MessageIcon::Error));

  // Cancelled, nothing selected, or nothing loadable: no file and no message.
  prompter.shown.clear();
  Click("exportButton");
  List()->clearSelection();
  requester.answers = {dir.Path("none.prof")};
  Click("exportButton");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.prof")));
  SelectRows({0});
  std::filesystem::remove(Paths().profiles);
  requester.answers = {dir.Path("none.prof")};
  Click("exportButton");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.prof")));
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ImportExportTest, ImportWindowMarksRepeatedNamesAndLoadsTheTickedProfiles) {
  ASSERT_NE(Open(), nullptr);
  const std::string file =
      W("[New One]\r\nDirective = [String]db[/String]\r\n"
        "[asm — de for pic]\r\nOst1 = 9\r\nDirective = [String]xx[/String]\r\n"
        "[3]\r\nDirective = three\r\n");
  ASSERT_NE(Import(file), nullptr);
  ASSERT_EQ(requester.asked.size(), 1u);
  EXPECT_EQ(requester.asked[0].mode, FileRequest::Mode::Open);
  EXPECT_EQ(requester.asked[0].title, "Открыть файл профиля...");
  EXPECT_EQ(requester.asked[0].filters.size(), 2u);
  EXPECT_EQ(importer->windowTitle(), "Загрузка профилей");
  EXPECT_EQ(importer->size(), QSize(320, 427));
  EXPECT_FALSE(manager->isEnabled());
  EXPECT_EQ(importer->findChild<QLabel*>("countField")->text(), "  3");
  EXPECT_EQ(importer->findChild<QLabel*>("pathField")->text().toStdString(),
            "  " + dir.Path("in.prof"));
  EXPECT_EQ(Rows()->horizontalHeaderItem(0)->text(), "Имя");
  EXPECT_EQ(Rows()->columnWidth(0), 300);
  ASSERT_EQ(Rows()->rowCount(), 3);
  EXPECT_EQ(Row(1)->text(), "asm — de for pic");
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Row(1)->foreground().color(), QColor(253, 2, 2));
  EXPECT_NE(Row(0)->foreground().color(), QColor(253, 2, 2));

  struct Tip {
    const char* name;
    const char* text;
    const char* tip;
  };
  for (const Tip& t : {Tip{"tickButton", "Выбрать",
                           "Установка галочек в выделенных пунктах при условии не повторяющихся "
                           "имён"},
                       Tip{"untickButton", "Отменить", "Сброс галочек в выделенных пунктах"},
                       Tip{"tickAllButton", "Выбрать всё", "Установка галочек во всех пунктах"},
                       Tip{"untickAllButton", "Отменить всё", "Сброс галочек во всех пунктах"},
                       Tip{"loadButton", "Загрузить", "Загрузка выбранных профилей в базу данных"},
                       Tip{"cancelButton", "Отмена", ""}}) {
    auto* button = importer->findChild<QPushButton*>(t.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), t.text);
    EXPECT_EQ(button->toolTip().toStdString(), t.tip);
    EXPECT_TRUE(button->isEnabled());
  }

  // Nothing ticked: a warning, and the window stays.
  Press("untickAllButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false}));
  Press("loadButton");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            Msg("", "Нужно выбрать не менее одного профиля", MessageIcon::Warning));
  EXPECT_EQ(Importer(), importer);

  // "Выбрать" ticks the selected rows that repeat nothing and clears every selection.
  SelectImportRows({0, 1});
  Press("tickButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(SelectedCount(), 0);
  EXPECT_EQ(beeps, 0);
  SelectImportRows({1});
  Press("tickButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(SelectedCount(), 0);
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(QApplication::focusWidget(), Rows());

  // "Отменить" unticks the selected rows; with none selected it only beeps.
  SelectImportRows({0, 2});
  Press("untickButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(SelectedCount(), 0);
  Press("untickButton");
  EXPECT_EQ(beeps, 2);

  // "Выбрать всё" ticks the repeated name too.
  SelectImportRows({2});
  Press("tickAllButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(SelectedCount(), 0);

  Press("loadButton");
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(Importer(), nullptr);
  EXPECT_TRUE(manager->isEnabled());
  // The repeated profile was overwritten and its header kept its letters.
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC",
                                                   "MikroBasic For PIC", "New One", "3"}));
  EXPECT_EQ(List()->currentRow(), 0);
  ProfileRecord de;
  ASSERT_TRUE(testing::Loaded(LoadProfile(Paths().profiles, W("ASM — DE For PIC"), de)));
  EXPECT_EQ(de.Ost1, 9);
  EXPECT_EQ(de.Directive, "xx");
  EXPECT_EQ(de.RazdelitelData, "");
  const std::string database = ReadBytes(Paths().profiles);
  EXPECT_EQ(database.find(W("[asm — de for pic]")), std::string::npos);
  EXPECT_NE(database.find(W("[ASM — DE For PIC]\r\nOst1 = 9\r\n")), std::string::npos);
  EXPECT_NE(database.find("[3]\r\nOst1 = 2\r\nOst2 = 2\r\nDirective = [String]three[/String]\r\n"),
            std::string::npos);
}

TEST_F(ImportExportTest, RepeatsInCyrillicCaseAreRedAndImportedAsSecondProfiles) {
  ASSERT_NE(Open(kDefaultDatabase + W("[Мой]\r\n")), nullptr);
  ASSERT_NE(Import(W("[мой]\r\nDirective = db\r\n[ASM — DT For PIC]\r\n")), nullptr);
  // Every name is taken already.
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false}));
  EXPECT_EQ(Row(0)->foreground().color(), QColor(253, 2, 2));
  EXPECT_EQ(Row(1)->foreground().color(), QColor(253, 2, 2));
  Rows()->selectAll();
  Press("tickButton");
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false}));
  EXPECT_EQ(beeps, 1);
  // Its own check box ticks a repeated row.
  Row(0)->setCheckState(Qt::Checked);
  Press("loadButton");
  EXPECT_EQ(Importer(), nullptr);
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ASM — DT For PIC", "ASM — DE For PIC",
                                                   "MikroBasic For PIC", "Мой", "мой"}));
  EXPECT_EQ(ReadBytes(Paths().profiles).substr(0, kDefaultDatabase.size()), kDefaultDatabase);
}

TEST_F(ImportExportTest, ImportRefusalsAndMessages) {
  ASSERT_NE(Open(), nullptr);
  // Cancelled, missing and empty files open nothing and say nothing.
  Click("importButton");
  requester.answers = {dir.Path("missing.prof")};
  Click("importButton");
  ASSERT_EQ(Import(""), nullptr);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(requester.asked.size(), 3u);

  requester.answers = {dir.Path("./Profile.prof")};
  Click("importButton");
  EXPECT_EQ(Importer(), nullptr);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], Msg("Ошибка", "Нет доступа к файлу\n" + dir.Path("./Profile.prof"),
                                   MessageIcon::Warning));

  // A file without groups opens the window with only "Отмена" to press.
  ASSERT_NE(Import("; nothing here\r\n"), nullptr);
  EXPECT_EQ(importer->findChild<QLabel*>("countField")->text(), "  0");
  for (const char* name :
       {"tickButton", "untickButton", "tickAllButton", "untickAllButton", "loadButton"}) {
    EXPECT_FALSE(importer->findChild<QPushButton*>(name)->isEnabled()) << name;
  }
  Press("cancelButton");
  EXPECT_EQ(Importer(), nullptr);
  EXPECT_TRUE(manager->isEnabled());

  // The file or the database vanishes before "Загрузить".
  ASSERT_NE(Import("[Fresh]\r\n"), nullptr);
  std::filesystem::remove(dir.Path("in.prof"));
  Press("loadButton");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(
      prompter.shown[1],
      Msg("Фатальная ошибка", "Файл  " + dir.Path("in.prof") + "\nне найден!", MessageIcon::Error));
  EXPECT_NE(Importer(), nullptr);
  WriteBytes(dir.Path("in.prof"), "[Fresh]\r\n");
  std::filesystem::remove(Paths().profiles);
  Press("loadButton");
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[2], Msg("Фатальная ошибка", "Файл  " + Paths().profiles + "\nне найден!",
                                   MessageIcon::Error));
  EXPECT_FALSE(std::filesystem::exists(Paths().profiles));
  // Cancel copies nothing.
  WriteBytes(Paths().profiles, kDefaultDatabase);
  Press("cancelButton");
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
  EXPECT_EQ(ListTexts().size(), 3u);
}

TEST_F(ImportExportTest, ClosingTheManagementWindowClosesTheImportWindow) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_NE(Import("[Fresh]\r\n"), nullptr);
  manager->close();
  EXPECT_EQ(Importer(), nullptr);
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
}

}  // namespace
}  // namespace zeltrix::testing
