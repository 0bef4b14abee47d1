#pragma once

#include <Qsci/qsciscintilla.h>

#include <QMimeData>
#include <QStringList>
#include <string>
#include <string_view>

#include "core/io/text_encoding.h"
#include "core/lcd/character_map.h"

namespace zeltrix {

/** Which of the main window's two editors. */
enum class EditorRole { Source, Output };

/** Scintilla style numbers of the character colouring. */
enum EditorStyle : int {
  kStylePlain = 0,      ///< displayable non-Cyrillic characters, TAB, LF, FF
  kStyleCyrillic = 1,   ///< Cyrillic letters the display shows (and « » № on the Cyrillic ROM)
  kStyleOther = 2,      ///< everything the display cannot show
  kStyleDigit = 3,      ///< digits after the comment marker (output editor)
  kStyleLookAlike = 4,  ///< characters the display shows by a look-alike: underlined
  kStyleCustom = 5,     ///< characters that get a custom character (CGRAM): violet
};

/**
 * Style of a character by what a display with that map makes of it: not
 * shown bold red, shown by a look-alike (or a stand-in) underlined, given a
 * custom character violet, a Russian letter (U+0400 to U+04FF) shown by its
 * own code or by a code with the very same glyph blue, the rest plain. On the
 * Cyrillic ROM every character of the upper half of Windows-1251 that it
 * shows is blue (« » № with the letters), as it always was.
 */
int CharacterStyle(char32_t character, const CharacterMap& map);

/** Style of one Windows-1251 character on the Cyrillic ROM. */
int CharacterStyle(unsigned char textCode);

/**
 * One of the main window's editors. It holds its text in UTF-8 but speaks
 * Windows-1251 to the rest of the program, colours the characters by what
 * the display can show, breaks typed lines with CR LF, lets Tab move the
 * focus and leaves the window's shortcuts to the window.
 */
class CodeEditor : public QsciScintilla {
  Q_OBJECT

 public:
  explicit CodeEditor(EditorRole role, QWidget* parent = nullptr);

  /**
   * The text as Windows-1251 bytes for the engine (Convert, BIN, the LCD
   * preview), whatever encoding its file has: a character without a
   * Windows-1251 code gives 0x1A, one the display cannot show.
   */
  std::string Cp1251Text() const;

  /** Replaces the whole text with Windows-1251 text, as one undoable change. */
  void SetCp1251Text(std::string_view text);

  /** The whole text in UTF-8, as the editor holds it; valid until the text changes. */
  std::string_view Utf8Text() const;

  /** Replaces the whole text with UTF-8 text, as one undoable change. */
  void SetUtf8Text(std::string_view utf8);

  /**
   * The same, for a text of as many characters in the same places (some of
   * them replaced): the caret, the selection and the scrolled place stay.
   */
  void ReplaceCharacters(std::string_view utf8);

  /**
   * The comment marker of the output colouring (Windows-1251): digits after it
   * are coloured. Text already coloured keeps its colours.
   */
  void SetCommentMarker(std::string marker) { m_marker = std::move(marker); }

  /**
   * The display the characters are coloured for: the profile's ROM, with or
   * without look-alikes. Another map colours the whole text again.
   */
  void SetCharacterMap(const CharacterMap& map);
  const CharacterMap& Map() const { return m_map; }

  /** True when every character of the text has a code in the encoding. */
  bool TextFits(TextEncoding encoding) const;

  /**
   * Frees the keys for the window's own shortcuts: the editor would take
   * every key its command set binds before the window sees it.
   */
  void LeaveKeysToWindow(const QList<QKeySequence>& keys);

  /** Widens the line-number margin to the largest line number, or back to its least width. */
  void FitLineNumbers();

  bool CanUndo() const { return SendScintilla(SCI_CANUNDO) != 0; }
  bool CanRedo() const { return SendScintilla(SCI_CANREDO) != 0; }

  // The editing commands, as the component carries them out.
  void Undo() { SendScintilla(SCI_UNDO); }
  void Redo() { SendScintilla(SCI_REDO); }
  void Cut() { SendScintilla(SCI_CUT); }
  void Copy() { SendScintilla(SCI_COPY); }
  void Paste() { SendScintilla(SCI_PASTE); }
  void SelectAll() { SendScintilla(SCI_SELECTALL); }

  /** Removes the whole text, as an undoable change (unless the editor keeps no history). */
  void ClearAll() { SendScintilla(SCI_CLEARALL); }
  /** Takes the text as it stands for the saved one: the editor is no longer modified. */
  void MarkSaved() { SendScintilla(SCI_SETSAVEPOINT); }
  /** Drops the undo history: the text as it stands is where Undo stops. */
  void ForgetUndo() { SendScintilla(SCI_EMPTYUNDOBUFFER); }
  /** Adds UTF-8 text at the end, leaving the caret and the view where they are. */
  void AppendUtf8(std::string_view utf8) {
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
  }
  /** Puts the caret at the start of the text and brings it into view. */
  void GoToStart() { SendScintilla(SCI_GOTOPOS, 0UL); }

  /**
   * While one lives, the editor reports no change of its text (no
   * textChanged, no linesChanged); the reports it made before come back when
   * it goes. A long text put in piece by piece goes much faster so: with each
   * report the component counts the characters of the whole text before the
   * change.
   */
  class QuietChanges {
   public:
    explicit QuietChanges(CodeEditor& editor)
        : m_editor(editor), m_reported(editor.SendScintilla(SCI_GETMODEVENTMASK)) {
      m_editor.SendScintilla(SCI_SETMODEVENTMASK, 0UL);
    }
    ~QuietChanges() {
      m_editor.SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(m_reported));
    }
    QuietChanges(const QuietChanges&) = delete;
    QuietChanges& operator=(const QuietChanges&) = delete;

   private:
    CodeEditor& m_editor;
    long m_reported;
  };

 signals:
  /** Files dropped on the editor, in the order given. */
  void filesDropped(const QStringList& paths);

 protected:
  bool focusNextPrevChild(bool next) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SetUp();
  void ApplyColours();
  void DropHistoryKeys();
  void OnStyleNeeded(int position);

  EditorRole m_role;
  std::string m_marker;
  CharacterMap m_map;
  int m_numberDigits = 0;  // the digits the line-number margin is wide enough for
};

/** The local files among dropped data, in the order given, as QtFileName keeps them. */
QStringList DroppedFiles(const QMimeData* mime);

/** Makes the fonts the editors ask for fall back to fonts this system has. */
void RegisterEditorFontSubstitutes();

}  // namespace zeltrix
