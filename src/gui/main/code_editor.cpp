#include "gui/main/code_editor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscistyle.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <string>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "gui/support/qt_file_names.h"

namespace zeltrix {
namespace {

// Colours the lines of the output editor, one character at a time from a
// line's start. Up to the comment marker everything is plain; after it the
// characters take their colours, and the digits stand out when the marker
// starts past the eighth character (the byte-count note of a data line).
class OutputStyler {
 public:
  OutputStyler(const std::string& marker, const CharacterMap& map) : m_marker(marker), m_map(map) {}

  /** The style of a character; the marker is matched by its Windows-1251 byte. */
  int StyleOf(char32_t character) {
    const char c = CodePointToCp1251(character);
    if (m_marker.empty()) return kStylePlain;
    if (c == '\n' || c == '\f') {
      m_found = m_digits = false;
      m_collected.clear();
      return kStylePlain;
    }
    if (!m_found) {
      m_collected.push_back(c);
      if (m_collected.size() >= m_marker.size() &&
          m_collected.compare(m_collected.size() - m_marker.size(), m_marker.size(), m_marker) ==
              0) {
        const std::size_t at = m_collected.size() - m_marker.size() + 1;  // 1-based
        m_found = true;
        m_digits = at > 8;
        m_collected.clear();
      }
      return kStylePlain;
    }
    if (m_digits && c >= '0' && c <= '9') return kStyleDigit;
    return CharacterStyle(character, m_map);
  }

 private:
  const std::string& m_marker;
  const CharacterMap& m_map;
  std::string m_collected;
  bool m_found = false;
  bool m_digits = false;
};

}  // namespace

QStringList DroppedFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << QtFileName(DroppedFileName(url));
  }
  return paths;
}

int CharacterStyle(char32_t character, const CharacterMap& map) {
  if (character == U'\t' || character == U'\n' || character == U'\f') return kStylePlain;
  switch (map.Map(character).kind) {
    case CharacterKind::NotShown:
      return kStyleOther;
    case CharacterKind::LookAlike:
    case CharacterKind::StandIn:
      return kStyleLookAlike;
    case CharacterKind::Custom:
      return kStyleCustom;
    case CharacterKind::Exact:
    case CharacterKind::SameGlyph:
      break;
  }
  const bool russian = character >= 0x400 && character <= 0x4FF;
  const bool cyrillicHalf = map.Rom() == CharacterRom::Cyrillic && character >= 0x80;
  return russian || cyrillicHalf ? kStyleCyrillic : kStylePlain;
}

int CharacterStyle(unsigned char textCode) {
  static const CharacterMap cyrillic;
  return CharacterStyle(Cp1251ToCodePoint(textCode), cyrillic);
}

void RegisterEditorFontSubstitutes() {
  QFont::insertSubstitution("Verdana", "DejaVu Sans");
  QFont::insertSubstitution("Lucida Console", "DejaVu Sans Mono");
}

CodeEditor::CodeEditor(EditorRole role, QWidget* parent) : QsciScintilla(parent), m_role(role) {
  setUtf8(true);
  SetUp();
  DropHistoryKeys();
  connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, &CodeEditor::OnStyleNeeded);
  connect(this, &QsciScintilla::linesChanged, this, &CodeEditor::FitLineNumbers);
}

void CodeEditor::SetUp() {
  const bool source = m_role == EditorRole::Source;
  // No lexer: the editor asks for styling (SCN_STYLENEEDED) and gets it from OnStyleNeeded.
  setLexer(nullptr);
  setEolMode(EolWindows);
  // No setter: the horizontal scroll bar is shown whatever the line widths.
  SendScintilla(SCI_SETHSCROLLBAR, 1UL);
  if (source) {
    setWhitespaceVisibility(WsVisible);
    setCaretLineVisible(true);
    setCaretWidth(2);
  }
  setMarginWidth(1, 0);
  setMarginType(0, NumberMargin);
  setMarginWidth(0, 40);
  // No setter: the component's own context menu stays off; the window shows its own.
  SendScintilla(SCI_USEPOPUP, 0UL);
  setContextMenuPolicy(Qt::CustomContextMenu);
  ApplyColours();
}

void CodeEditor::ApplyColours() {
  const bool source = m_role == EditorRole::Source;
  const QColor paper = source ? QColor(236, 245, 255) : QColor(229, 255, 232);
  const QFont font(source ? "Verdana" : "Lucida Console", 10);
  QsciStyle(STYLE_DEFAULT, {}, Qt::black, paper, font).apply(this);
  // No setter: every style starts as a copy of the default style.
  SendScintilla(SCI_STYLECLEARALL);
  // The component keeps its own record of these and paints style 0 with them
  // again when it is enabled.
  setPaper(paper);
  setColor(Qt::black);
  QsciStyle(kStyleCyrillic, {}, QColor(0, 0, 191), paper, font).apply(this);
  QsciStyle(kStyleOther, {}, QColor(191, 0, 0), paper, font).apply(this);
  // A style's font carries Qt's weight, which the component does not count as
  // bold; its own bold flag does.
  SendScintilla(SCI_STYLESETBOLD, static_cast<unsigned long>(kStyleOther), 1L);
  QsciStyle(kStyleLookAlike, {}, Qt::black, paper, font).apply(this);
  SendScintilla(SCI_STYLESETUNDERLINE, static_cast<unsigned long>(kStyleLookAlike), 1L);
  // Violet reads well on both papers and differs from the blue of the ROM's own letters.
  QsciStyle(kStyleCustom, {}, QColor(128, 0, 160), paper, font).apply(this);
  if (!source) QsciStyle(kStyleDigit, {}, QColor(254, 17, 181), paper, font).apply(this);
  if (source) {
    setWhitespaceForegroundColor(Qt::black);
    setCaretLineBackgroundColor(QColor(199, 227, 255));
    setCaretForegroundColor(QColor(208, 2, 2));
  }
  setSelectionForegroundColor(Qt::white);
  setSelectionBackgroundColor(QColor(36, 2, 165));
}

void CodeEditor::FitLineNumbers() {
  const int digits = static_cast<int>(std::to_string(SendScintilla(SCI_GETLINECOUNT)).size());
  if (digits == m_numberDigits) return;
  m_numberDigits = digits;
  // The component draws the number right-aligned a few pixels off the
  // margin's edge and cuts off what does not fit at the left.
  constexpr long kLeastWidth = 40;
  constexpr long kPadding = 8;
  const std::string widest(static_cast<std::size_t>(digits), '9');
  const long needed =
      SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_LINENUMBER), widest.c_str()) +
      kPadding;
  setMarginWidth(0, static_cast<int>(std::max(kLeastWidth, needed)));
}

void CodeEditor::changeEvent(QEvent* event) {
  QsciScintilla::changeEvent(event);
  // The component paints its default style in the palette's colours when it
  // is disabled, enabled again or given another palette or style; the
  // editor's own colours must come back every time.
  switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::FontChange:
      ApplyColours();
      m_numberDigits = 0;
      FitLineNumbers();
      break;
    default:
      break;
  }
}

void CodeEditor::DropHistoryKeys() {
  // Undo and Redo reach an editor only through the window's commands, which
  // never apply them to the output editor; the component's own keys for them
  // (Alt+Backspace among them) would bypass that rule.
  for (QsciCommand* command : standardCommands()->commands()) {
    if (command->command() == QsciCommand::Undo || command->command() == QsciCommand::Redo) {
      command->setKey(0);
      command->setAlternateKey(0);
    }
  }
  // The output is made anew by every conversion; stepping back through
  // earlier ones would leave data lines that no longer match the text, and
  // the history of a big output costs as much memory as the output itself.
  if (m_role == EditorRole::Output) SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
}

void CodeEditor::LeaveKeysToWindow(const QList<QKeySequence>& keys) {
  QsciCommandSet* commands = standardCommands();
  for (const QKeySequence& sequence : keys) {
    const int key = sequence[0].toCombined();
    // A key may be bound as a command's main key or as its alternative.
    while (QsciCommand* command = commands->boundTo(key)) {
      if (command->key() == key) command->setKey(0);
      if (command->alternateKey() == key) command->setAlternateKey(0);
    }
  }
}

std::string_view CodeEditor::Utf8Text() const {
  const long length = SendScintilla(SCI_GETLENGTH);
  if (length <= 0) return {};
  const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
  return std::string_view(text, static_cast<std::size_t>(length));
}

std::string CodeEditor::Cp1251Text() const { return Utf8ToCp1251Lossy(Utf8Text()); }

void CodeEditor::SetCp1251Text(std::string_view text) { SetUtf8Text(Cp1251ToUtf8(text)); }

void CodeEditor::SetUtf8Text(std::string_view utf8) {
  SendScintilla(SCI_BEGINUNDOACTION);
  SendScintilla(SCI_CLEARALL);
  SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
  SendScintilla(SCI_ENDUNDOACTION);
  SendScintilla(SCI_GOTOPOS, 0UL);
}

void CodeEditor::ReplaceCharacters(std::string_view utf8) {
  // Positions are bytes of UTF-8 and change with the characters; counted in
  // characters they stay.
  const auto characters = [this](long position) {
    return SendScintilla(SCI_COUNTCHARACTERS, 0UL, position);
  };
  const long anchor = characters(SendScintilla(SCI_GETANCHOR));
  const long caret = characters(SendScintilla(SCI_GETCURRENTPOS));
  const long firstLine = SendScintilla(SCI_GETFIRSTVISIBLELINE);
  const long xOffset = SendScintilla(SCI_GETXOFFSET);
  SetUtf8Text(utf8);
  const auto position = [this](long count) {
    return static_cast<unsigned long>(SendScintilla(SCI_POSITIONRELATIVE, 0UL, count));
  };
  SendScintilla(SCI_SETSEL, position(anchor), static_cast<long>(position(caret)));
  SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(firstLine));
  SendScintilla(SCI_SETXOFFSET, static_cast<unsigned long>(xOffset));
}

void CodeEditor::SetCharacterMap(const CharacterMap& map) {
  if (map.Rom() == m_map.Rom() && map.LookAlikes() == m_map.LookAlikes() &&
      map.CustomCharacters() == m_map.CustomCharacters()) {
    return;
  }
  m_map = map;
  // Styled again as the component asks, from the start: the lines in view
  // at once, the rest when they come into view.
  SendScintilla(SCI_STARTSTYLING, 0UL, 0xFFL);
  viewport()->update();
}

bool CodeEditor::TextFits(TextEncoding encoding) const {
  return TextFitsEncoding(Utf8Text(), encoding);
}

void CodeEditor::OnStyleNeeded(int position) {
  const long styled = SendScintilla(SCI_GETENDSTYLED);
  const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(styled));
  const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  const long end = position;
  if (end <= start) return;
  std::string bytes(static_cast<std::size_t>(end - start), '\0');
  SendScintilla(SCI_GETTEXTRANGE, start, end, bytes.data());

  // Styles go per byte of the UTF-8 text, chosen per character.
  std::vector<char> styles(bytes.size(), static_cast<char>(kStylePlain));
  const bool output = m_role == EditorRole::Output;
  OutputStyler outputStyler(m_marker, m_map);
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(bytes, i, cp);
    // A byte of an invalid sequence is no character the display shows.
    if (len == 0) {
      cp = kReplacementCharacter;
      len = 1;
    }
    const int style = output ? outputStyler.StyleOf(cp) : CharacterStyle(cp, m_map);
    std::fill_n(styles.begin() + static_cast<std::ptrdiff_t>(i), len, static_cast<char>(style));
    i += len;
  }
  SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0xFFL);
  SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.data());
  if (!output) {
    // Keeps what was typed before and after this pass apart in the undo history.
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_ENDUNDOACTION);
  }
}

bool CodeEditor::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }

void CodeEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
    return;
  }
  QsciScintilla::dragEnterEvent(event);
}

void CodeEditor::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
    return;
  }
  QsciScintilla::dragMoveEvent(event);
}

void CodeEditor::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFiles(event->mimeData());
  if (paths.isEmpty()) {
    QsciScintilla::dropEvent(event);
    return;
  }
  event->acceptProposedAction();
  emit filesDropped(paths);
}

}  // namespace zeltrix
