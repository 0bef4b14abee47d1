// Файл → Открыть образ…: an image file read back into the source editor.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "core/lcd/bin_writer.h"
#include "gui/image/image_open_dialog.h"
#include "gui/support/project_info.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

const Message kModified{kProgramNameAndVersion, "Текст в файле был модифицирован.\nСохранить его?",
                        MessageIcon::Warning, MessageButtons::YesNoCancel, MessageAnswer::Yes};

// The codes of a text on a ROM, as Convert writes them.
std::string Codes(const char* utf8, CharacterRom rom) {
  return MapToLcdCodes(EngineText::FromUtf8(utf8), CharacterMap(rom));
}

class OpenImageTest : public MainWindowTest {
 protected:
  /** What the user does in the dialog: fields typed, lists chosen, then a button. */
  struct Answer {
    QString address, length;  // typed over the field's text; null: left alone
    int rom = -1, rows = -1;  // rows chosen; -1: left alone
    bool open = true;         // "Открыть", else "Отмена"
  };
  /** How the dialog showed itself before it was answered. */
  struct Seen {
    QString title, file, address;
    int fileType = -1, layout = -1, rom = -1;
    bool layoutEnabled = false;
  };

  /**
   * Chooses "Открыть образ…" with the mouse in the real "Файл" menu; the
   * dialog, when it comes, is answered as given. Returns whether it came.
   */
  bool ChooseFromMenu(const Answer& answer) {
    QMenuBar* bar = window->menuBar();
    QAction* fileTitle = bar->actions().at(0);
    EXPECT_EQ(fileTitle->text(), "Файл");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileTitle).center());
    QMenu* menu = fileTitle->menu();
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    QAction* item = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->text() == "Открыть образ…") item = action;
    }
    EXPECT_NE(item, nullptr);
    if (item == nullptr) return false;
    bool came = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<ImageOpenDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || came) return;
      came = true;
      AnswerDialog(dialog, answer);
    });
    poll.start(5);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    // The offscreen platform leaves the closed menu active; the window takes it back.
    window->activateWindow();
    QCoreApplication::processEvents();
    return came;
  }

  void AnswerDialog(ImageOpenDialog* dialog, const Answer& answer) {
    auto* address = dialog->findChild<QLineEdit*>("imageAddressEdit");
    auto* length = dialog->findChild<QLineEdit*>("imageLengthEdit");
    auto* rom = dialog->findChild<QComboBox*>("imageRomCombo");
    auto* rows = dialog->findChild<QComboBox*>("imageRowsCombo");
    seen = {dialog->windowTitle(),
            dialog->findChild<QLabel*>("imageFileName")->toolTip(),
            address->text(),
            dialog->findChild<QComboBox*>("imageFileTypeCombo")->currentIndex(),
            dialog->findChild<QComboBox*>("imageLayoutCombo")->currentIndex(),
            rom->currentIndex(),
            dialog->findChild<QComboBox*>("imageLayoutCombo")->isEnabled()};
    const auto type = [](QLineEdit* field, const QString& text) {
      if (text.isNull()) return;
      QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(field, Qt::Key_Backspace);
      QTest::keyClicks(field, text);
    };
    type(address, answer.address);
    type(length, answer.length);
    const auto choose = [](QComboBox* combo, int index) {
      while (index >= 0 && combo->currentIndex() != index) {
        QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
      }
    };
    choose(rom, answer.rom);
    choose(rows, answer.rows);
    QTest::mouseClick(
        dialog->findChild<QPushButton*>(answer.open ? "imageOpenButton" : "imageCancelButton"),
        Qt::LeftButton);
  }

  bool Modified() const { return Source()->isModified(); }

  Seen seen;
};

TEST_F(OpenImageTest, TheDecodedPartOpensAsANewUnsavedText) {
  // Each case starts with a saved text in the editor, "старый".
  const std::string privet = Codes("Привет", CharacterRom::Cyrillic);
  ASSERT_EQ(privet.size(), 6u);
  std::string pic16Profiles = kDefaultDatabase;
  pic16Profiles.insert(pic16Profiles.find("CountSpace = 2\r\n") + 16,
                       "Rom = A02\r\nLayout = PIC16\r\n");
  struct Case {
    const char* what;
    const std::string& profiles;
    std::string file, bytes;
    Answer answer;
    Seen shown;  // title and file are checked always
    std::string text;
  };
  const Case cases[] = {
      {"BIN from 4 for 6", kDefaultDatabase, "image.bin", "\x01\x02\x03\x04" + privet + "XYZ",
       Answer{"4", "6"}, Seen{{}, {}, "0", 0, 0, 0, false}, "Привет"},
      {"BIN to the end, in rows", kDefaultDatabase, "rows.BIN", "ABCD " + privet,
       Answer{"0", "", -1, 1}, Seen{{}, {}, "0", 0, 0, 0, false}, "ABCD При\nвет"},
      {"PIC16 HEX on A02 from the profile", pic16Profiles, "eeprom.hex",
       ":044204004100420033\r\n:00000001FF\r\n", Answer{"0x2", {}},
       Seen{{}, {}, "0", 1, 1, 2, true}, "AB"},
      {"A custom character and a code the ROM lacks", kDefaultDatabase, "other.ihx",
       ":0300000001417F3C\r\n:00000001FF\r\n", Answer{}, Seen{{}, {}, "0", 1, 0, 0, true},
       "⟨1⟩A\\x7F"},
  };
  for (const Case& c : cases) {
    WriteBytes(Paths().profiles, c.profiles);
    const std::string image = dir.Path(c.file);
    WriteBytes(image, c.bytes);
    WriteBytes(dir.Path("old.txt"), "\xf1\xf2\xe0\xf0\xfb\xe9");
    ASSERT_NE(Start({QString::fromStdString(dir.Path("old.txt"))}), nullptr);
    ASSERT_EQ(SourceUtf8(Source()), "старый");
    requester.answers = {image};
    ASSERT_TRUE(ChooseFromMenu(c.answer)) << c.what;
    EXPECT_EQ(seen.title, "Открыть образ") << c.what;
    EXPECT_EQ(seen.file.toStdString(), image) << c.what;
    EXPECT_EQ(seen.address, c.shown.address) << c.what;
    EXPECT_EQ(seen.fileType, c.shown.fileType) << c.what;
    EXPECT_EQ(seen.layout, c.shown.layout) << c.what;
    EXPECT_EQ(seen.layoutEnabled, c.shown.layoutEnabled) << c.what;
    EXPECT_EQ(seen.rom, c.shown.rom) << c.what;
    EXPECT_EQ(SourceUtf8(Source()), c.text) << c.what;
    // A new text: unsaved, no file behind it, nothing asked.
    EXPECT_TRUE(Modified()) << c.what;
    EXPECT_EQ(window->CurrentFileName(), "") << c.what;
    EXPECT_EQ(window->findChild<QLabel*>("pathField")->text(), "") << c.what;
    EXPECT_TRUE(prompter.shown.empty()) << c.what;
    ASSERT_EQ(requester.asked.size(), 1u) << c.what;
    EXPECT_EQ(requester.asked[0].mode, FileRequest::Mode::Open);
    EXPECT_EQ(requester.asked[0].title, "Открываем образ");
    ASSERT_EQ(requester.asked[0].filters.size(), 4u);
    EXPECT_EQ(requester.asked[0].filters[0].pattern, "*.bin *.hex *.ihx");
    requester.asked.clear();
    // Leaving asks to save it.
    prompter.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(Close()) << c.what;
    EXPECT_EQ(prompter.shown, std::vector<Message>{kModified}) << c.what;
    prompter.shown.clear();
    window.reset();
  }
}

// Whatever stops the command, the text in the editor stays as it was.
TEST_F(OpenImageTest, AModifiedTextIsAskedAboutAndRefusalsKeepTheText) {
  const std::string bad = dir.Path("bad.hex");
  WriteBytes(bad, ":0100000041BF\r\n:00000001FF\r\n");
  const std::string empty = dir.Path("short.bin");
  WriteBytes(empty, "AB");
  struct Case {
    const char* what;
    std::deque<MessageAnswer> answers;
    std::string file;
    Answer answer;
    bool dialog;  // whether the address dialog comes
    std::vector<Message> shown;
  };
  const Case cases[] = {
      {"Cancel at the question", {MessageAnswer::Cancel}, bad, {}, false, {kModified}},
      {"Cancel in the dialog",
       {MessageAnswer::No},
       bad,
       Answer{{}, {}, -1, -1, false},
       true,
       {kModified}},
      {"a bad record",
       {MessageAnswer::No},
       bad,
       {},
       true,
       {kModified,
        {"Ошибка", "Строка 1 файла \"" + bad + "\": неверная контрольная сумма", MessageIcon::Error,
         MessageButtons::Ok, MessageAnswer::Ok}}},
      {"no bytes at the address",
       {MessageAnswer::No},
       empty,
       Answer{"2", {}},
       true,
       {kModified,
        {"Открыть образ", "В файле \n\"" + empty + "\"\nнет данных по указанным адресам.",
         MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok}}},
  };
  for (const Case& c : cases) {
    ASSERT_NE(StartWithProfiles(), nullptr);
    Type(Source(), "мой текст");
    prompter.answers = c.answers;
    requester.answers = {c.file};
    EXPECT_EQ(ChooseFromMenu(c.answer), c.dialog) << c.what;
    EXPECT_EQ(prompter.shown, c.shown) << c.what;
    EXPECT_EQ(SourceUtf8(Source()), "мой текст") << c.what;
    EXPECT_TRUE(Modified()) << c.what;
    prompter.shown.clear();
    prompter.answers = {MessageAnswer::No};
    window.reset();
  }
}

// The dialog takes only numbers that can be addresses.
TEST_F(OpenImageTest, OpenTakesOnlyAddressesAndLengthsThatAreNumbers) {
  ImageOpenDialog dialog(nullptr, "/data/x.bin", CharacterRom::Cyrillic, HexLayout::Plain);
  auto* address = dialog.findChild<QLineEdit*>("imageAddressEdit");
  auto* length = dialog.findChild<QLineEdit*>("imageLengthEdit");
  auto* open = dialog.findChild<QPushButton*>("imageOpenButton");
  struct Case {
    QString address, length, shownAddress;
    bool open;
    std::uint64_t from;
    std::optional<std::uint64_t> count;
  };
  const Case cases[] = {
      {"12", "", "12", true, 12, std::nullopt},
      {"0x1f", "0X10", "0x1f", true, 31, 16},
      {"0xFFFFFFFF", "1", "0xFFFFFFFF", true, 0xFFFFFFFF, 1},
      {"4294967296", "", "4294967296", false, 0, std::nullopt},
      {"", "5", "", false, 0, std::nullopt},
      {"0x", "", "0x", false, 0, std::nullopt},
      {"1a-", "", "1", true, 1, std::nullopt},
  };
  for (const Case& c : cases) {
    address->clear();
    length->clear();
    QTest::keyClicks(address, c.address);
    QTest::keyClicks(length, c.length);
    EXPECT_EQ(address->text(), c.shownAddress) << c.address.toStdString();
    EXPECT_EQ(open->isEnabled(), c.open) << c.address.toStdString();
    const std::optional<ImageDecoding> how = dialog.Decoding();
    ASSERT_EQ(how.has_value(), c.open) << c.address.toStdString();
    if (!how) continue;
    EXPECT_EQ(how->from, c.from) << c.address.toStdString();
    EXPECT_EQ(how->length, c.count) << c.address.toStdString();
    EXPECT_EQ(how->format, ImageFileFormat::Bin);
  }
}

}  // namespace
}  // namespace zeltrix::testing
