#include "gui/main/text_document.h"

#include <utility>

#include "core/io/file_io.h"
#include "core/io/text_file.h"
#include "core/ui/result.h"
#include "gui/main/code_editor.h"
#include "gui/support/project_info.h"

namespace zeltrix {
namespace {

const char* const kTitle = kProgramNameAndVersion;

// The question before characters without a code in the encoding are replaced.
std::string CharactersWithoutCode(TextEncoding encoding, const char* question) {
  return std::string("Текст содержит символы, которых нет в кодировке ") + EncodingName(encoding) +
         ".\nВ файле они будут заменены знаком подстановки. " + question;
}

}  // namespace

FileRequest TextFileRequest(FileRequest::Mode mode, std::string folder) {
  FileRequest request;
  request.mode = mode;
  request.title = mode == FileRequest::Mode::Save ? "Сохраняем файл" : "Открываем файл";
  request.folder = std::move(folder);
  request.filters = {{"Текстовые файлы (txt)", "*.txt"}, {" Всё ", " *.*"}};
  return request;
}

bool WriteEditorText(CodeEditor& editor, const std::string& path, const TextFormat& format,
                     Prompter& prompter) {
  const bool fits = editor.TextFits(format.encoding);
  if (!fits && !Confirm(prompter, kTitle, CharactersWithoutCode(format.encoding, "Сохранить?"))) {
    return false;
  }
  const std::string bytes = EncodeText(editor.Utf8Text(), format);
  if (!WriteTextFile(path, bytes)) {
    ShowError(prompter, "Ошибка", "Не удалось сохранить файл\n" + path);
    return false;
  }
  // The characters without a code went into the file as substitutes: the
  // editor shows the text as the file now holds it, which is what the next
  // Open, Convert or BIN run of that file sees.
  if (!fits) {
    if (const std::optional<DecodedText> saved = DecodeText(bytes, format.encoding))
      editor.ReplaceCharacters(saved->utf8);
  }
  editor.MarkSaved();
  return true;
}

TextDocument::TextDocument(CodeEditor& editor, Prompter& prompter, FileRequester& requester,
                           StartFolder startFolder, QObject* parent)
    : QObject(parent),
      m_editor(editor),
      m_prompter(prompter),
      m_requester(requester),
      m_startFolder(std::move(startFolder)) {
  connect(&m_editor, &QsciScintilla::modificationChanged, this, &TextDocument::modificationChanged);
}

bool TextDocument::IsModified() const { return m_editor.isModified(); }

bool TextDocument::AskBeforeDiscarding() {
  if (!IsModified()) return true;
  switch (
      m_prompter.Show({kTitle, "Текст в файле был модифицирован.\nСохранить его?",
                       MessageIcon::Warning, MessageButtons::YesNoCancel, MessageAnswer::Yes})) {
    case MessageAnswer::Yes:
      // Unsaved text is never dropped: a save that does not happen stops the command.
      return Save();
    case MessageAnswer::No:
      return true;
    default:
      return false;
  }
}

void TextDocument::Clear() {
  m_editor.ClearAll();
  m_editor.MarkSaved();
  m_editor.ForgetUndo();
  m_fileName.clear();
  m_documentPath.clear();
  m_format = {};
  emit formatChanged();
  emit cleared();
}

bool TextDocument::Open(const std::string& path) {
  if (!Load(path)) return false;
  m_fileName = path;
  return true;
}

bool TextDocument::Load(const std::string& path, std::optional<TextEncoding> encoding) {
  const Result<std::string, FileStatus> bytes = ReadTextFile(path);
  if (!bytes) {
    ShowError(m_prompter, "Ошибка",
              "Не удалось открыть файл\n" + path + "\n" + AsSentence(bytes.Reason().Reason()));
    return false;
  }
  std::optional<DecodedText> text = DecodeText(*bytes, encoding);
  if (!text) {
    ShowError(m_prompter, "Ошибка", "Файл не является текстом в кодировке UTF-8\n" + path);
    return false;
  }
  m_editor.SetUtf8Text(text->utf8);
  m_editor.MarkSaved();
  m_editor.ForgetUndo();
  m_format = text->format;
  m_documentPath = path;
  emit formatChanged();
  emit fileUsed(path);
  return true;
}

bool TextDocument::Save() {
  if (m_fileName.empty()) return SaveAs();
  return Write(m_fileName);
}

bool TextDocument::SaveAs() {
  const std::optional<std::string> chosen =
      m_requester.Choose(TextFileRequest(FileRequest::Mode::Save, m_startFolder()));
  if (!chosen) return false;
  const std::string path = CompleteExtension(*chosen);
  if (!Write(path)) return false;
  m_fileName = path;
  // A loaded text now lives in this file; a text typed here was never read
  // from one and so is never read again in another encoding.
  if (!m_documentPath.empty()) m_documentPath = path;
  return true;
}

bool TextDocument::Write(const std::string& path) {
  if (!WriteEditorText(m_editor, path, m_format, m_prompter)) return false;
  emit fileUsed(path);
  return true;
}

void TextDocument::ChooseEncoding(TextEncoding encoding) {
  if (encoding == m_format.encoding) return;
  if (!IsModified() && !m_documentPath.empty()) {
    // An unedited file was perhaps taken for the wrong encoding: read it again.
    Load(m_documentPath, encoding);
  } else if (m_editor.TextFits(encoding) ||
             Confirm(m_prompter, kTitle, CharactersWithoutCode(encoding, "Сменить кодировку?"))) {
    m_format = {encoding, false};
    emit formatChanged();
  }
}

}  // namespace zeltrix
