// Text for displays with other ROMs in the main window: Convert with the
// profile's ROM and look-alikes, the editor colours for that display, and
// saving characters the file's encoding lacks.
#include <QImage>

#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/rom_profiles.h"

namespace zeltrix::testing {
namespace {

class RomTextTest : public MainWindowTest {
 protected:
  MainWindow* StartWithRoms() {
    WriteBytes(Paths().profiles, kRomDatabase);
    return Start();
  }
  void UseProfile(RomProfile profile) const {
    ChooseProfile(window->ProfileSelector(), profile);
    ASSERT_EQ(window->ProfileSelector()->currentIndex(), profile);
  }
};

// Latin, Russian and German letters: each display shows what its ROM has,
// the rest only with look-alikes; the comment keeps every character typed.
TEST_F(RomTextTest, ConvertGivesTheCodesOfTheProfilesRom) {
  struct Case {
    RomProfile profile;
    const char* text;
    const char* data;
  };
  const Case cases[] = {
      // ü and ß are beyond Windows-1251; the Cyrillic ROM has no code for them.
      {kCyrillicProfile, "Grüße, Привет",
       "0x47, 0x72, 0x65, 0x2C, 0x20, 0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF"},
      // A00 has ü, no П, and ß only as the β look-alike.
      {kA00Profile, "Grüße, Привет", "0x47, 0x72, 0xF5, 0x65, 0x2C, 0x20"},
      {kA00LookAlikes, "Grüße, Привет", "0x47, 0x72, 0xF5, 0xE2, 0x65, 0x2C, 0x20, 0x70, 0x65"},
      // A02 has ü, ß and П; р and е are Latin look-alikes.
      {kA02Profile, "Grüße, Привет", "0x47, 0x72, 0xFC, 0xDF, 0x65, 0x2C, 0x20, 0x87"},
      {kA02LookAlikes, "Grüße, Привет",
       "0x47, 0x72, 0xFC, 0xDF, 0x65, 0x2C, 0x20, 0x87, 0x70, 0x65"},
      // A text Windows-1251 holds maps alike.
      {kA02LookAlikes, "Привет", "0x87, 0x70, 0x65"},
      {kA00Profile, "Привет", ""},
  };
  ASSERT_NE(StartWithRoms(), nullptr);
  for (const Case& c : cases) {
    UseProfile(c.profile);
    Source()->clear();
    Type(Source(), QString::fromUtf8(c.text));
    Key(Source(), Qt::Key_T, Qt::ControlModifier);
    const std::string data = *c.data == 0 ? "" : "    Dt    " + std::string(c.data) + "\r\n";
    EXPECT_EQ(SourceUtf8(Output()), "; " + std::string(c.text) + "\r\n" + data)
        << c.profile << " " << c.text;
  }
  // A text long enough for the progress window is read piece by piece.
  bool progressShown = false;
  QObject::connect(window.get(), &MainWindow::progressWindowOpened,
                   [&](QWidget*) { progressShown = true; });
  UseProfile(kA02Profile);
  Source()->clear();
  Type(Source(), QString(120, QChar(0xFC)));
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(progressShown);
  std::string data = "0xFC";
  for (int i = 1; i < 120; ++i) data += ", 0xFC";
  EXPECT_EQ(SourceUtf8(Output()),
            "; " + QString(120, QChar(0xFC)).toStdString() + "\r\n    Dt    " + data + "\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

// How the source editor paints a character, counted in pixels of its cell.
struct Ink {
  int red = 0;
  int blue = 0;
  int black = 0;  // dark grey to black
  int below = 0;  // any ink below the middle of the line
};

Ink InkOf(CodeEditor* editor, const QImage& image, long position) {
  using B = QsciScintillaBase;
  const auto at = [editor](unsigned int message, long pos) {
    return static_cast<int>(editor->SendScintilla(message, 0UL, pos));
  };
  const int left = at(B::SCI_POINTXFROMPOSITION, position);
  const long next =
      editor->SendScintilla(B::SCI_POSITIONAFTER, static_cast<unsigned long>(position));
  const int right = at(B::SCI_POINTXFROMPOSITION, next);
  const int top = at(B::SCI_POINTYFROMPOSITION, position);
  const int height = static_cast<int>(editor->SendScintilla(B::SCI_TEXTHEIGHT, 0UL));
  const QColor paper(236, 245, 255);
  Ink ink;
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < right; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == paper) continue;
      if (y > top + height / 2) ++ink.below;
      if (c.red() > c.blue() + 60 && c.red() > c.green() + 60) {
        ++ink.red;
      } else if (c.blue() > c.red() + 60 && c.blue() > c.green() + 60) {
        ++ink.blue;
      } else if (c.red() < 140 && c.green() < 140 && c.blue() < 140) {
        ++ink.black;
      }
    }
  }
  return ink;
}

// Not shown: bold red; shown by a look-alike: underlined; a Russian letter
// the ROM shows: blue; the rest black. Checked in the painted editor; the
// double prime has no ink of its own below its middle, so a line there is
// the underline.
TEST_F(RomTextTest, TheSourceEditorColoursForTheProfilesDisplay) {
  enum Look { Plain, Russian, NotShown, LookAlike };
  struct Case {
    RomProfile profile;
    Look looks[5];  // of "aüПр″"
  };
  const Case cases[] = {
      {kCyrillicProfile, {Plain, NotShown, Russian, Russian, NotShown}},
      {kA00Profile, {Plain, Plain, NotShown, NotShown, NotShown}},
      {kA00LookAlikes, {Plain, Plain, NotShown, LookAlike, LookAlike}},
      {kA02Profile, {Plain, Plain, Russian, NotShown, NotShown}},
      {kA02LookAlikes, {Plain, Plain, Russian, LookAlike, LookAlike}},
  };
  ASSERT_NE(StartWithRoms(), nullptr);
  Type(Source(), QString::fromUtf8("aüПр″"));
  // The caret leaves the line for another, so the line is on plain paper.
  Key(Source(), Qt::Key_Return);
  int plainU = 0;  // ink of ü in its plain weight
  int boldU = 0;   // and in bold
  for (const Case& c : cases) {
    UseProfile(c.profile);
    QApplication::processEvents();
    const QImage image = Source()->viewport()->grab().toImage();
    long position = 0;
    for (int i = 0; i < 5; ++i) {
      const Look look = c.looks[i];
      const Ink ink = InkOf(Source(), image, position);
      const std::string where = std::to_string(c.profile) + ", character " + std::to_string(i);
      EXPECT_EQ(ink.red > 0, look == NotShown) << where;
      EXPECT_EQ(ink.blue > 0, look == Russian) << where;
      EXPECT_EQ(ink.black > ink.red + ink.blue, look == Plain || look == LookAlike) << where;
      if (i == 4) {
        EXPECT_EQ(ink.below > 0, look == LookAlike) << where;
      }
      if (i == 1) (look == NotShown ? boldU : plainU) = ink.red + ink.blue + ink.black;
      position = Source()->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER,
                                         static_cast<unsigned long>(position));
    }
  }
  // The red one is bold: thicker strokes than the same letter in black.
  EXPECT_GT(boldU * 10, plainU * 12) << boldU << " " << plainU;
}

// A character the file's encoding lacks is replaced only after the user
// agrees, in the data lines and in the source alike.
TEST_F(RomTextTest, SavingACharacterTheEncodingLacksAsksFirst) {
  ASSERT_NE(StartWithRoms(), nullptr);
  UseProfile(kA02Profile);
  Type(Source(), QString::fromUtf8("Grüße"));
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  ASSERT_EQ(SourceUtf8(Output()), "; Grüße\r\n    Dt    0x47, 0x72, 0xFC, 0xDF, 0x65\r\n");
  const Message question{"Zeltrix  v1.1",
                         "Текст содержит символы, которых нет в кодировке Windows-1251.\n"
                         "В файле они будут заменены знаком подстановки. Сохранить?",
                         MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
  struct Case {
    CodeEditor* editor;
    Command command;
    const char* file;
    const char* saved;  // after Yes
  };
  const Case cases[] = {
      {Output(), Command::SaveToFile, "lines.asm",
       "; Gr\x1A\x1A"
       "e\r\n    Dt    0x47, 0x72, 0xFC, 0xDF, 0x65\r\n"},
      {Source(), Command::Save, "text.txt",
       "Gr\x1A\x1A"
       "e"},
  };
  for (const Case& c : cases) {
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
      prompter.shown.clear();
      prompter.answers = {answer};
      requester.answers = {dir.Path(c.file)};
      c.editor->setFocus();
      window->Execute(c.command);
      ASSERT_EQ(prompter.shown.size(), 1u) << c.file;
      EXPECT_EQ(prompter.shown[0], question) << c.file;
      if (answer == MessageAnswer::No) {
        EXPECT_FALSE(std::filesystem::exists(dir.Path(c.file))) << c.file;
      } else {
        EXPECT_EQ(ReadBytes(dir.Path(c.file)), c.saved) << c.file;
      }
    }
  }
}

}  // namespace
}  // namespace zeltrix::testing
