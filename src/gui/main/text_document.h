#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "core/io/text_encoding.h"
#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"

namespace zeltrix {

class CodeEditor;

/** The requester for a text file to open or to save in, starting in that folder. */
FileRequest TextFileRequest(FileRequest::Mode mode, std::string folder);

/**
 * Writes the editor's text into the file at path in that format. When the
 * encoding lacks a code for some characters, the user is asked first; they
 * go into the file as substitutes, and the editor then shows the text as
 * the file holds it. A write that fails is told the user. On success the
 * editor's text counts as saved. False when nothing was written.
 */
bool WriteEditorText(CodeEditor& editor, const std::string& path, const TextFormat& format,
                     Prompter& prompter);

/**
 * The text of the source editor and the file it belongs to: the file Save
 * writes to, the file the text was read from (read again in another
 * encoding on request), the encoding and byte-order mark it is read and
 * written with, and the questions before modified text goes or an encoding
 * that cannot hold it is taken. The owner shows what the document reports
 * through the signals.
 */
class TextDocument : public QObject {
  Q_OBJECT

 public:
  /** Gives the folder the Save As requester starts in. */
  using StartFolder = std::function<std::string()>;

  /** A new text without a file in the editor, which must outlive the document. */
  TextDocument(CodeEditor& editor, Prompter& prompter, FileRequester& requester,
               StartFolder startFolder, QObject* parent = nullptr);

  CodeEditor& Editor() const { return m_editor; }

  /**
   * The file Save writes to; empty for a new text and for one read from a
   * file without taking its name, where Save asks for a name.
   */
  const std::string& FileName() const { return m_fileName; }

  /** How the document's file is read and written. */
  const TextFormat& Format() const { return m_format; }

  /** True when the text differs from the one last read or saved. */
  bool IsModified() const;

  /**
   * Asks whether modified text may be dropped; Yes saves it first. True
   * when nothing unsaved is lost: the text is unmodified, the user said No,
   * or the save succeeded.
   */
  bool AskBeforeDiscarding();

  /** Empties the editor for a new text without a file, in the default encoding. */
  void Clear();

  /** Loads the file, which Save then writes to. */
  bool Open(const std::string& path);

  /**
   * Loads the file in the encoding given, or in the one its bytes show; the
   * file Save writes to stays as it was. A file that cannot be read or
   * decoded is told the user and changes nothing.
   */
  bool Load(const std::string& path, std::optional<TextEncoding> encoding = std::nullopt);

  /** Writes the text into its file; without one, as Save As. */
  bool Save();

  /** Asks for a file, writes the text into it and makes it the document's file. */
  bool SaveAs();

  /**
   * The user picked an encoding. An unedited text read from a file is read
   * again in it; any other text keeps its characters and is written in it
   * from now on, after a question when it has characters without a code there.
   */
  void ChooseEncoding(TextEncoding encoding);

 signals:
  /** The encoding or the byte-order mark changed. */
  void formatChanged();
  /** The text was read from the file at path or written into it. */
  void fileUsed(const std::string& path);
  /** The editor holds a new, empty text that no file holds. */
  void cleared();
  /** The text became modified, or no longer is. */
  void modificationChanged(bool modified);

 private:
  bool Write(const std::string& path);

  CodeEditor& m_editor;
  Prompter& m_prompter;
  FileRequester& m_requester;
  StartFolder m_startFolder;
  std::string m_fileName;
  TextFormat m_format;
  std::string m_documentPath;  // the file a loaded document's text lives in; empty for a new one
};

}  // namespace zeltrix
