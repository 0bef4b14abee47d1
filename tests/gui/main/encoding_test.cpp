// Text files in UTF-8, Windows-1251, KOI8-R and CP866: detection on opening,
// saving back in the file's encoding, the "Кодировка" submenu and the status
// bar's path field.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "core/io/text_encoding.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

// Every character has a code in each of the four encodings.
const std::string kPrivet = "Привет, мир! 5°\r\nёЁ";

class EncodingTest : public MainWindowTest {
 protected:
  std::string File(const std::string& name, const std::string& bytes) {
    WriteBytes(dir.Path(name), bytes);
    return dir.Path(name);
  }
  void Open(const std::string& path) {
    requester.answers = {path};
    window->Execute(Command::Open);
  }
  QLabel* PathField() const { return window->findChild<QLabel*>("pathField"); }
  QMenu* EncodingMenu() const { return window->findChild<QMenu*>("encodingMenu"); }
  std::string Checked() const {
    for (QAction* item : EncodingMenu()->actions()) {
      if (item->isChecked()) return item->text().toStdString();
    }
    return {};
  }
  // Opens "Файл", then "Кодировка", and clicks the item, as the user does.
  void Choose(const char* name) {
    QMenu* file = window->menuBar()->actions().at(0)->menu();
    file->popup(window->mapToGlobal(QPoint(0, 0)));
    QTest::mouseClick(file, Qt::LeftButton, {},
                      file->actionGeometry(EncodingMenu()->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return EncodingMenu()->isVisible(); }));
    for (QAction* item : EncodingMenu()->actions()) {
      if (item->text() == name) {
        QTest::mouseClick(EncodingMenu(), Qt::LeftButton, {},
                          EncodingMenu()->actionGeometry(item).center());
        return;
      }
    }
    FAIL() << name;
  }
};

TEST_F(EncodingTest, FilesOpenInTheirEncodingAndSaveByteIdentical) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const struct {
    const char* reloadAs;  // chosen in the submenu after opening; the text shows then
    TextFormat format;
  } cases[] = {
      {nullptr, {TextEncoding::Utf8, false}},   {nullptr, {TextEncoding::Utf8, true}},
      {nullptr, {TextEncoding::Cp1251, false}}, {"KOI8-R", {TextEncoding::Koi8r, false}},
      {"CP866", {TextEncoding::Cp866, false}},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string bytes = EncodeText(kPrivet, c.format);
    const std::string path = File("f" + std::to_string(++n) + ".txt", bytes);
    Open(path);
    if (c.reloadAs != nullptr) Choose(c.reloadAs);
    EXPECT_EQ(SourceUtf8(Source()), kPrivet) << n;
    EXPECT_EQ(Checked(), EncodingName(c.format.encoding)) << n;
    EXPECT_EQ(PathField()->text().toStdString(), path + " — " + EncodingName(c.format.encoding));
    EXPECT_FALSE(Source()->isModified()) << n;
    window->Execute(Command::Save);
    EXPECT_EQ(ReadBytes(path), bytes) << n;
  }
  EXPECT_TRUE(prompter.shown.empty());
  // The text ends at the first zero byte; what stands before it decides.
  Open(File("zero.txt", std::string("\xD0\x9F\0\xFF", 4)));
  EXPECT_EQ(SourceUtf8(Source()), "П");
  EXPECT_EQ(Checked(), "UTF-8");
  // New documents are Windows-1251.
  window->Execute(Command::New);
  EXPECT_EQ(Checked(), "Windows-1251");
  EXPECT_EQ(PathField()->text(), "");
}

TEST_F(EncodingTest, ReloadingAnUneditedFileInAnotherEncoding) {
  const std::string path = File("utf8.txt", "\xD0\x9F\xD0\xB8");  // "Пи" in UTF-8
  ASSERT_NE(StartWithProfiles({QString::fromStdString(path)}), nullptr);
  EXPECT_EQ(Checked(), "UTF-8");
  Choose("Windows-1251");
  EXPECT_EQ(SourceUtf8(Source()), "РџРё");
  EXPECT_FALSE(Source()->isModified());
  EXPECT_FALSE(Source()->CanUndo());
  Choose("UTF-8");
  EXPECT_EQ(SourceUtf8(Source()), "Пи");
  // Bytes that are not UTF-8 cannot be read as UTF-8: the document stays as it was.
  Open(File("cp.txt", "\xCF\xE8"));
  Choose("UTF-8");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Ошибка", "Файл не является текстом в кодировке UTF-8\n" + dir.Path("cp.txt"),
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(SourceUtf8(Source()), "Пи");
  EXPECT_EQ(Checked(), "Windows-1251");
}

TEST_F(EncodingTest, AnEditedDocumentChangesTheEncodingOfItsNextSave) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "Ёж №1");
  const auto question = [](const char* encoding, const char* end) {
    return Message{"Zeltrix  v1.1",
                   std::string("Текст содержит символы, которых нет в кодировке ") + encoding +
                       ".\nВ файле они будут заменены знаком подстановки. " + end,
                   MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
  };
  Choose("CP866");  // holds every character: no question
  prompter.answers = {MessageAnswer::No};
  Choose("KOI8-R");  // has no №
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0], question("KOI8-R", "Сменить кодировку?"));
  EXPECT_EQ(Checked(), "CP866");
  requester.answers = {dir.Path("doc.txt")};
  window->Execute(Command::SaveAs);
  EXPECT_EQ(ReadBytes(dir.Path("doc.txt")),
            "\xF0\xA6 \xFC"
            "1");
  EXPECT_EQ(SourceUtf8(Source()), "Ёж №1");
  // Agreeing changes it, also once saved: a typed text is never read again
  // from its file. The save then asks again before it replaces №.
  prompter.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
  Choose("KOI8-R");
  EXPECT_EQ(SourceUtf8(Source()), "Ёж №1");
  Type(Source(), "!");
  window->Execute(Command::Save);
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[2], question("KOI8-R", "Сохранить?"));
  EXPECT_EQ(ReadBytes(dir.Path("doc.txt")),
            "\xB3\xD6 \x1A"
            "1!");
  // The editor shows the substitute the file holds.
  EXPECT_EQ(SourceUtf8(Source()),
            "Ёж \x1A"
            "1!");
  // UTF-8 holds everything; the data lines are saved in it too.
  Type(Source(), "\xE2\x98\x83");
  Choose("UTF-8");
  window->Execute(Command::Save);
  EXPECT_EQ(ReadBytes(dir.Path("doc.txt")),
            "Ёж \x1A"
            "1!\xE2\x98\x83");
  window->Execute(Command::Convert);
  Output()->setFocus();
  requester.answers = {dir.Path("lines.asm")};
  window->Execute(Command::SaveToFile);
  EXPECT_EQ(ReadBytes(dir.Path("lines.asm")), SourceUtf8(Output()));
  EXPECT_EQ(prompter.shown.size(), 3u);
}

TEST_F(EncodingTest, AUtf8FileConvertsLikeItsWindows1251Twin) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Open(File("utf8.txt", std::string(kUtf8Bom) + kPrivet + "\xE2\x98\x83"));
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  const std::string fromUtf8 = OutputText();
  Open(File("cp.txt", *Utf8ToCp1251(kPrivet) + "\x1A"));
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_FALSE(fromUtf8.empty());
  EXPECT_EQ(OutputText(), fromUtf8);
}

TEST_F(EncodingTest, ALongPathGivesWayToTheEncoding) {
  std::string folder = dir.Root();
  for (int i = 0; i < 12; ++i) folder += "/очень-длинное-имя-папки-" + std::to_string(i);
  std::filesystem::create_directories(folder);
  ASSERT_NE(StartWithProfiles(), nullptr);
  Open(File(folder.substr(dir.Root().size() + 1) + "/текст.txt", "\xD0\x9F"));
  const QString shown = PathField()->text();
  EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("/текст.txt — UTF-8")) << shown.toStdString();
  EXPECT_LE(PathField()->fontMetrics().horizontalAdvance(shown),
            PathField()->contentsRect().width());
}

// A save that replaced characters the encoding has no code for leaves the
// editor showing the text as the file now holds it, not as it was typed.
TEST_F(EncodingTest, ALossySaveShowsTheTextAsSaved) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const std::string path = File("mixed.txt", "Ω ą 中 и\r\nok");
  Open(path);
  EXPECT_EQ(Checked(), "UTF-8");
  Source()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  Type(Source(), "!");
  prompter.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
  Choose("Windows-1251");
  Key(Source(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(prompter.shown.size(), 2u);
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved, "\x1A \x1A \x1A \xE8\r\nok!");
  EXPECT_EQ(SourceUtf8(Source()), Cp1251ToUtf8(saved));
  EXPECT_FALSE(Source()->isModified());
  EXPECT_FALSE(window->findChild<QWidget*>("modifiedIndicator")->isVisible());
  // The caret stays where it was, after the typed "!".
  EXPECT_EQ(Source()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS),
            Source()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
  // Saved again, the file stays as it is and nothing is asked.
  Key(Source(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadBytes(path), saved);
  EXPECT_EQ(prompter.shown.size(), 2u);
}

}  // namespace
}  // namespace zeltrix::testing
