// Custom characters (CGRAM) in the main window: Convert's CGRAM blocks and
// its one message about screens that need more than fit, and the source
// editor's colour for a letter that gets a custom character.
#include <QImage>

#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/rom_profiles.h"

namespace zeltrix::testing {
namespace {

// A00 without look-alikes, with and without custom characters.
const std::string kCgramDatabase =
    RomGroup("A00", "A00", false) + RomGroup("A00 CGRAM", "A00", false) + "Cgram = 1\r\n";
constexpr int kPlainA00 = 0;
constexpr int kCgramA00 = 1;

class CgramTextTest : public MainWindowTest {
 protected:
  MainWindow* StartWithCgram() {
    WriteBytes(Paths().profiles, kCgramDatabase);
    return Start();
  }
  void UseProfile(int profile) const {
    ChooseProfile(window->ProfileSelector(), profile);
    ASSERT_EQ(window->ProfileSelector()->currentIndex(), profile);
  }
  void Convert(const char* text) {
    Source()->clear();
    TypeLines(Source(), text);
    Key(Source(), Qt::Key_T, Qt::ControlModifier);
  }
};

// The screen's letters that A00 lacks come first as a CGRAM block; Т, е, р,
// у, а are A00's own glyphs and take no slot; ° is A00's.
TEST_F(CgramTextTest, ConvertWritesTheCgramBlockBeforeTheScreensCodes) {
  ASSERT_NE(StartWithCgram(), nullptr);
  UseProfile(kCgramA00);
  Convert("Температура 25°C");
  EXPECT_EQ(SourceUtf8(Output()),
            "; CGRAM 0x08: м, 0x09: п, 0x0A: т\r\n"
            "    Dt    0x00, 0x00, 0x11, 0x1B, 0x15, 0x11, 0x11, 0x00\r\n"
            "    Dt    0x00, 0x00, 0x1F, 0x11, 0x11, 0x11, 0x11, 0x00\r\n"
            "    Dt    0x00, 0x00, 0x1F, 0x04, 0x04, 0x04, 0x04, 0x00\r\n"
            "; Температура 25°C\r\n"
            "    Dt    0x54, 0x65, 0x08, 0x09, 0x65, 0x70, 0x61, 0x0A, 0x79, 0x70, 0x61, 0x20, "
            "0x32, 0x35, 0xDF, 0x43\r\n"
            ";                 \r\n"
            "    Dt    0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, "
            "0x20, 0x20, 0x20, 0x20\r\n");
  // Everything fitted: nothing to tell.
  EXPECT_TRUE(prompter.shown.empty());
}

// Two screens with more letters than slots: one message after the
// conversion lists both; a profile without custom characters tells nothing.
TEST_F(CgramTextTest, OneMessageListsTheScreensThatNeedMoreThanFit) {
  ASSERT_NE(StartWithCgram(), nullptr);
  UseProfile(kCgramA00);
  Convert("бвгджзийкл\nок\nжизнь щука\nфыльц чэюя");
  ASSERT_EQ(prompter.shown.size(), 1U);
  const Message& message = prompter.shown.front();
  EXPECT_EQ(message.title, "Преобразование");
  EXPECT_EQ(message.text,
            "Своих знаков нужно больше, чем помещается в индикатор (8 на экран):\n"
            "Экран 1: нужно своих знаков 10, помещается 8; заменены: й→ü, л→ﾊ\n"
            "Экран 2: нужно своих знаков 15, помещается 8; заменены: л→ﾊ, ц→µ, ч→4, э→e, я→R; "
            "не показаны: ы, ю");
  EXPECT_EQ(message.icon, MessageIcon::Information);
  EXPECT_EQ(message.buttons, MessageButtons::Ok);
  // The data lines are all in the editor by the time the message shows.
  EXPECT_NE(SourceUtf8(Output()).find("; фыльц чэюя"), std::string::npos);

  prompter.shown.clear();
  UseProfile(kPlainA00);
  Convert("бвгджзийкл\nок\nжизнь щука\nфыльц чэюя");
  EXPECT_TRUE(prompter.shown.empty());
}

// Violet ink: a letter that gets a custom character; red: one not shown.
int VioletInk(CodeEditor* editor, const QImage& image, long position, int* red) {
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
  int violet = 0;
  *red = 0;
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < right; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > c.green() + 50 && c.blue() > c.green() + 60 && c.blue() > c.red()) ++violet;
      if (c.red() > c.blue() + 60 && c.red() > c.green() + 60) ++*red;
    }
  }
  return violet;
}

TEST_F(CgramTextTest, TheSourceEditorPaintsALetterThatGetsACustomCharacterViolet) {
  ASSERT_NE(StartWithCgram(), nullptr);
  Type(Source(), QString::fromUtf8("Тмz"));
  Key(Source(), Qt::Key_Return);
  struct Case {
    int profile;
    bool violet[3];  // of "Тмz"
    bool red[3];
  };
  // Т is A00's T: blue, as a Russian letter the display shows.
  const Case cases[] = {
      {kCgramA00, {false, true, false}, {false, false, false}},
      {kPlainA00, {false, false, false}, {true, true, false}},
  };
  for (const Case& c : cases) {
    UseProfile(c.profile);
    QApplication::processEvents();
    const QImage image = Source()->viewport()->grab().toImage();
    long position = 0;
    for (int i = 0; i < 3; ++i) {
      int red = 0;
      const int violet = VioletInk(Source(), image, position, &red);
      EXPECT_EQ(violet > 10, c.violet[i]) << c.profile << " " << i << " " << violet;
      EXPECT_EQ(red > 10, c.red[i]) << c.profile << " " << i << " " << red;
      position = Source()->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER,
                                         static_cast<unsigned long>(position));
    }
  }
}

}  // namespace
}  // namespace zeltrix::testing
