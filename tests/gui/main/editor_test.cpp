// The editors: Windows-1251 at the edges and the colouring of characters.
#include <functional>

#include "gui/support/qt_file_requester.h"
#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

int StyleAt(CodeEditor* editor, long position) {
  return static_cast<int>(editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                static_cast<unsigned long>(position)));
}

// Styles of the characters of a line, one per Windows-1251 character.
std::vector<int> CharacterStyles(CodeEditor* editor) {
  // Coloured at once, as a shown editor would on demand.
  editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
  std::vector<int> styles;
  long pos = 0;
  for (const char c : editor->Cp1251Text()) {
    styles.push_back(StyleAt(editor, pos));
    pos += static_cast<long>(Cp1251ToUtf8(std::string(1, c)).size());
  }
  return styles;
}

TEST(CodeEditor, EveryByteRoundTrips) {
  CodeEditor editor(EditorRole::Source);
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  editor.SetCp1251Text(all);
  EXPECT_EQ(editor.Cp1251Text(), all);
  EXPECT_TRUE(editor.TextFits(TextEncoding::Cp1251));
  editor.setText(QString::fromUtf8("a\xE2\x98\x83"));  // a snowman has no code
  EXPECT_FALSE(editor.TextFits(TextEncoding::Cp1251));
  EXPECT_EQ(editor.Cp1251Text(), "a\x1A");
}

TEST(CodeEditor, CharacterClasses) {
  EXPECT_EQ(CharacterStyle(' '), kStylePlain);
  EXPECT_EQ(CharacterStyle('z'), kStylePlain);
  EXPECT_EQ(CharacterStyle('\t'), kStylePlain);
  EXPECT_EQ(CharacterStyle('\n'), kStylePlain);
  EXPECT_EQ(CharacterStyle('\f'), kStylePlain);
  EXPECT_EQ(CharacterStyle('\r'), kStyleOther);
  EXPECT_EQ(CharacterStyle('{'), kStyleOther);
  EXPECT_EQ(CharacterStyle(0x88), kStyleOther);
  EXPECT_EQ(CharacterStyle(0xC0), kStyleCyrillic);
  EXPECT_EQ(CharacterStyle(0xA8), kStyleCyrillic);
  EXPECT_EQ(CharacterStyle(0xB9), kStyleCyrillic);
}

TEST_F(MainWindowTest, SourceEditorColoursByWhatTheDisplayShows) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->SetCp1251Text(*Utf8ToCp1251("Мир, hi {}\r\n"));
  // CR is a character the display cannot show; LF is plain.
  const std::vector<int> expected = {1, 1, 1, 0, 0, 0, 0, 0, 2, 2, 2, 0};
  EXPECT_EQ(CharacterStyles(Source()), expected);
}

TEST_F(MainWindowTest, OutputEditorColoursDigitsAfterALateCommentMarker) {
  ASSERT_NE(StartWithProfiles(), nullptr);  // "; " is the marker of the first profile
  Output()->SetCp1251Text(*Utf8ToCp1251("; Я 12\n    Dt    0x41 ; 12 Я{\n"));
  std::vector<int> expected;
  // The line starting with the marker: everything stays plain but the Cyrillic letter.
  for (int s : {0, 0, 1, 0, 0, 0, 0}) expected.push_back(s);
  // Marker at position 15: the digits after it are coloured.
  for (int i = 0; i < 15; ++i) expected.push_back(0);
  for (int s : {0, 0, 3, 3, 0, 1, 2, 0}) expected.push_back(s);
  EXPECT_EQ(CharacterStyles(Output()), expected);
}

TEST_F(MainWindowTest, OutputEditorWithoutAMarkerIsPlain) {
  WriteBytes(Paths().profiles, "[P]\r\nComment = \r\n");
  ASSERT_NE(Start(), nullptr);
  Output()->SetCp1251Text(*Utf8ToCp1251("abcdefghij; 12 Я{"));
  for (int style : CharacterStyles(Output())) EXPECT_EQ(style, 0);
}

TEST_F(MainWindowTest, EditorSettings) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  const auto send = [](CodeEditor* e, unsigned int message, unsigned long arg = 0) {
    return e->SendScintilla(message, arg);
  };
  using B = QsciScintillaBase;
  EXPECT_EQ(send(Source(), B::SCI_STYLEGETBACK, B::STYLE_DEFAULT), 236 | 245 << 8 | 255 << 16);
  EXPECT_EQ(send(Output(), B::SCI_STYLEGETBACK, B::STYLE_DEFAULT), 229 | 255 << 8 | 232 << 16);
  EXPECT_EQ(send(Source(), B::SCI_GETVIEWWS), B::SCWS_VISIBLEALWAYS);
  EXPECT_EQ(send(Output(), B::SCI_GETVIEWWS), B::SCWS_INVISIBLE);
  EXPECT_EQ(send(Source(), B::SCI_GETCARETLINEVISIBLE), 1);
  EXPECT_EQ(send(Output(), B::SCI_GETCARETLINEVISIBLE), 0);
  EXPECT_EQ(send(Source(), B::SCI_GETCARETWIDTH), 2);
  EXPECT_EQ(send(Source(), B::SCI_GETEOLMODE), B::SC_EOL_CRLF);
  EXPECT_EQ(send(Source(), B::SCI_GETMARGINWIDTHN, 0), 40);
  EXPECT_EQ(send(Source(), B::SCI_GETMARGINWIDTHN, 1), 0);
  EXPECT_EQ(send(Source(), B::SCI_STYLEGETFORE, kStyleCyrillic), 191 << 16);
  EXPECT_EQ(send(Source(), B::SCI_STYLEGETBOLD, kStyleOther), 1);
  EXPECT_EQ(send(Output(), B::SCI_STYLEGETFORE, kStyleDigit), 254 | 17 << 8 | 181 << 16);
  EXPECT_EQ(send(Source(), B::SCI_STYLEGETSIZE, B::STYLE_DEFAULT), 10);
}

// The line-number margin grows with the largest line number, in both editors,
// so that no number loses its first digits.
TEST_F(MainWindowTest, LineNumberMarginFitsTheLargestNumber) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  struct Case {
    const char* what;
    CodeEditor* editor;
    std::function<void()> fill;
  };
  const Case cases[] = {
      {"source, 1000001 lines", Source(),
       [this] { Source()->SetCp1251Text(std::string(1'000'000, '\n')); }},
      // Two output lines for every eight characters: 120001 lines.
      {"output of a conversion", Output(),
       [this] {
         Source()->SetCp1251Text(std::string(480'000, 'A'));
         window->Execute(Command::Convert);
       }},
  };
  for (const Case& c : cases) {
    const long width0 = c.editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    c.fill();
    QCoreApplication::processEvents();
    const long lines = c.editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    const QByteArray largest = QByteArray::number(static_cast<qlonglong>(lines));
    ASSERT_GE(largest.size(), 6) << c.what;
    const long width = c.editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    const long needed = c.editor->SendScintilla(
        QsciScintillaBase::SCI_TEXTWIDTH,
        static_cast<unsigned long>(QsciScintillaBase::STYLE_LINENUMBER), largest.constData());
    EXPECT_GT(width, needed) << c.what;
    EXPECT_GE(width, width0) << c.what;
    // Drawn: the last line's number keeps clear of the margin's left edge.
    c.editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QCoreApplication::processEvents();
    const QImage image = c.editor->viewport()->grab().toImage();
    const long lastLine =
        c.editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL,
                                c.editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                                        static_cast<unsigned long>(lines - 1)));
    const long height = c.editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
    int leftmostInk = -1;
    for (int x = 0; x < width && leftmostInk < 0; ++x) {
      for (int y = static_cast<int>(lastLine); y < lastLine + height; ++y) {
        if (qGray(image.pixel(x, y)) < 100) {
          leftmostInk = x;
          break;
        }
      }
    }
    EXPECT_GE(leftmostInk, 2) << c.what;
  }
}

}  // namespace
}  // namespace zeltrix::testing

namespace zeltrix::testing {
namespace {

TEST(NameFilters, PatternsAreAddedOnlyWhereTheLabelLacksThem) {
  EXPECT_EQ(NameFilters({{"Текстовые файлы (txt)", "*.txt"}, {" Всё ", " *.*"}}),
            (QStringList{"Текстовые файлы (txt) (*.txt)", " Всё  (*.*)"}));
  EXPECT_EQ(NameFilters({{"Двоичные файлы (*.bin)", "*.bin"}}),
            QStringList{"Двоичные файлы (*.bin)"});
}

}  // namespace
}  // namespace zeltrix::testing
