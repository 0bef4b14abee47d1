#include "gui/main/code_editor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QMimeData>
#include <QUrl>
#include <vector>

#include "core/io/cp1251.h"
#include "core/lcd/lcd_code.h"

namespace zeltrix {
namespace {

constexpr long Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// Colours the lines of the output editor, one character at a time from a
// line's start. Up to the comment marker everything is plain; after it the
// characters take their colours, and the digits stand out when the marker
// starts past the eighth character (the byte-count note of a data line).
class OutputStyler {
 public:
  explicit OutputStyler(const std::string& marker) : m_marker(marker) {}

  int StyleOf(char c) {
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
    return CharacterStyle(static_cast<unsigned char>(c));
  }

 private:
  const std::string& m_marker;
  std::string m_collected;
  bool m_found = false;
  bool m_digits = false;
};

}  // namespace

QStringList DroppedFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

int CharacterStyle(unsigned char textCode) {
  if (textCode == '\t' || textCode == '\n' || textCode == '\f') return kStylePlain;
  if (LcdCode(textCode) == 0) return kStyleOther;
  return textCode >= 0x80 ? kStyleCyrillic : kStylePlain;
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
}

void CodeEditor::SetUp() {
  const bool source = m_role == EditorRole::Source;
  SendScintilla(SCI_SETLEXER, static_cast<unsigned long>(SCLEX_CONTAINER));
  SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(SC_EOL_CRLF));
  SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_DEFAULT),
                source ? Rgb(236, 245, 255) : Rgb(229, 255, 232));
  SendScintilla(SCI_STYLESETFONT, static_cast<uintptr_t>(STYLE_DEFAULT),
                source ? "Verdana" : "Lucida Console");
  SendScintilla(SCI_STYLESETSIZE, static_cast<unsigned long>(STYLE_DEFAULT), 10L);
  SendScintilla(SCI_STYLECLEARALL);
  SendScintilla(SCI_SETHSCROLLBAR, 1UL);
  if (source) {
    SendScintilla(SCI_SETVIEWWS, static_cast<unsigned long>(SCWS_VISIBLEALWAYS));
    SendScintilla(SCI_SETWHITESPACEFORE, 1UL, Rgb(0, 0, 0));
    SendScintilla(SCI_SETCARETLINEBACK, static_cast<unsigned long>(Rgb(199, 227, 255)));
    SendScintilla(SCI_SETCARETLINEVISIBLE, 1UL);
    SendScintilla(SCI_SETCARETFORE, static_cast<unsigned long>(Rgb(208, 2, 2)));
    SendScintilla(SCI_SETCARETWIDTH, 2UL);
  }
  SendScintilla(SCI_SETSELFORE, 1UL, Rgb(255, 255, 255));
  SendScintilla(SCI_SETSELBACK, 1UL, Rgb(36, 2, 165));
  SendScintilla(SCI_SETMARGINWIDTHN, 1UL, 0L);
  SendScintilla(SCI_SETMARGINTYPEN, 0UL, static_cast<long>(SC_MARGIN_NUMBER));
  SendScintilla(SCI_SETMARGINWIDTHN, 0UL, 40L);
  SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(kStylePlain), Rgb(0, 0, 0));
  SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(kStyleCyrillic), Rgb(0, 0, 191));
  SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(kStyleOther), Rgb(191, 0, 0));
  SendScintilla(SCI_STYLESETBOLD, static_cast<unsigned long>(kStyleOther), 1L);
  if (!source) {
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(kStyleDigit), Rgb(254, 17, 181));
  }
  SendScintilla(SCI_USEPOPUP, 0UL);
  // The program shows its own context menu.
  setContextMenuPolicy(Qt::CustomContextMenu);
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

bool CodeEditor::TextFits(TextEncoding encoding) const {
  return TextFitsEncoding(Utf8Text(), encoding);
}

void CodeEditor::StyleAll() { SendScintilla(SCI_COLOURISE, 0UL, -1L); }

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
  OutputStyler outputStyler(m_marker);
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(bytes, i, cp);
    const char c = len == 0 ? kNoCp1251Code : CodePointToCp1251(cp);
    if (len == 0) len = 1;
    const int style =
        output ? outputStyler.StyleOf(c) : CharacterStyle(static_cast<unsigned char>(c));
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
