// The source editor's document on its own, without a window: its file, its
// format and what it reports to its owner; and the editor's quiet changes.
#include "gui/main/text_document.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>
#include <vector>

#include "gui/main/code_editor.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/scripted_requester.h"
#include "tests/support/temp_dir.h"

namespace zeltrix::testing {
namespace {

class TextDocumentTest : public ::testing::Test {
 protected:
  TextDocumentTest() {
    QObject::connect(&document, &TextDocument::fileUsed,
                     [this](const std::string& path) { used.push_back(path); });
  }

  std::string File(const std::string& name, const std::string& bytes) {
    WriteBytes(dir.Path(name), bytes);
    return dir.Path(name);
  }

  TempDir dir;
  RecordingPrompter prompter;
  ScriptedRequester requester;
  CodeEditor editor{EditorRole::Source};
  TextDocument document{editor, prompter, requester, [this] { return dir.Root() + "/"; }};
  std::vector<std::string> used;  // the files the document reported
};

TEST_F(TextDocumentTest, OpenTakesTheFilesNameAndLoadLeavesTheNameAsItWas) {
  const std::string a = File("a.txt", "first");
  const std::string b = File("b.txt", "second");
  ASSERT_TRUE(document.Load(a));
  EXPECT_EQ(document.FileName(), "");
  ASSERT_TRUE(document.Open(b));
  EXPECT_EQ(document.FileName(), b);
  ASSERT_TRUE(document.Load(a));
  EXPECT_EQ(document.FileName(), b);
  EXPECT_EQ(editor.Cp1251Text(), "first");
  EXPECT_FALSE(document.IsModified());
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(used, (std::vector<std::string>{a, b, a}));
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TextDocumentTest, AFileThatCannotBeReadIsToldWithTheReasonAndChangesNothing) {
  const std::string a = File("a.txt", "kept");
  ASSERT_TRUE(document.Open(a));
  EXPECT_FALSE(document.Open(dir.Path("missing.txt")));
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Ошибка",
                     "Не удалось открыть файл\n" + dir.Path("missing.txt") +
                         "\nНет такого файла или папки.",
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(document.FileName(), a);
  EXPECT_EQ(editor.Cp1251Text(), "kept");
  EXPECT_EQ(used, (std::vector<std::string>{a}));
}

TEST_F(TextDocumentTest, SaveAsAsksInTheStartFolderAndKeepsTheFormat) {
  const std::string path = File("bom.txt", "\xEF\xBB\xBF\xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82");
  ASSERT_TRUE(document.Open(path));
  EXPECT_EQ(document.Format(), (TextFormat{TextEncoding::Utf8, true}));
  editor.SetUtf8Text("\xD0\xBD\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9");
  EXPECT_TRUE(document.IsModified());
  requester.answers = {dir.Path("copy")};
  ASSERT_TRUE(document.SaveAs());
  ASSERT_EQ(requester.asked.size(), 1u);
  EXPECT_EQ(requester.asked[0].mode, FileRequest::Mode::Save);
  EXPECT_EQ(requester.asked[0].title, "Сохраняем файл");
  EXPECT_EQ(requester.asked[0].folder, dir.Root() + "/");
  EXPECT_EQ(ReadBytes(dir.Path("copy.txt")),
            "\xEF\xBB\xBF\xD0\xBD\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9");
  EXPECT_EQ(document.FileName(), dir.Path("copy.txt"));
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(used, (std::vector<std::string>{path, dir.Path("copy.txt")}));
}

TEST_F(TextDocumentTest, ClearForgetsTheFileAndTheFormat) {
  ASSERT_TRUE(document.Open(File("u.txt", "\xD1\x8F")));
  ASSERT_EQ(document.Format().encoding, TextEncoding::Utf8);
  QSignalSpy formats(&document, &TextDocument::formatChanged);
  QSignalSpy cleared(&document, &TextDocument::cleared);
  document.Clear();
  EXPECT_EQ(editor.length(), 0);
  EXPECT_EQ(document.FileName(), "");
  EXPECT_EQ(document.Format(), TextFormat{});
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(formats.count(), 1);
  EXPECT_EQ(cleared.count(), 1);
  // A new text is read again from no file: another encoding is only taken.
  document.ChooseEncoding(TextEncoding::Koi8r);
  EXPECT_EQ(document.Format(), (TextFormat{TextEncoding::Koi8r, false}));
  EXPECT_EQ(used.size(), 1u);
}

TEST_F(TextDocumentTest, AnUneditedFileIsReadAgainInTheEncodingChosen) {
  // "Привет" in KOI8-R, which the bytes alone take for Windows-1251.
  const std::string path = File("k.txt", "\xF0\xD2\xC9\xD7\xC5\xD4");
  ASSERT_TRUE(document.Open(path));
  ASSERT_EQ(document.Format().encoding, TextEncoding::Cp1251);
  document.ChooseEncoding(TextEncoding::Koi8r);
  EXPECT_EQ(editor.text().toStdString(), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  EXPECT_EQ(document.Format(), (TextFormat{TextEncoding::Koi8r, false}));
  EXPECT_EQ(document.FileName(), path);
  EXPECT_FALSE(document.IsModified());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TextDocumentTest, AnEditedTextTakesAnotherEncodingOnlyWhenTheUserAgrees) {
  editor.SetUtf8Text("snow \xE2\x98\x83");
  QSignalSpy formats(&document, &TextDocument::formatChanged);
  prompter.answers = {MessageAnswer::No};
  document.ChooseEncoding(TextEncoding::Cp866);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(document.Format().encoding, TextEncoding::Cp1251);
  EXPECT_EQ(formats.count(), 0);
  // UTF-8 holds every character: no question.
  document.ChooseEncoding(TextEncoding::Utf8);
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(document.Format(), (TextFormat{TextEncoding::Utf8, false}));
  EXPECT_EQ(formats.count(), 1);
  EXPECT_EQ(editor.text().toStdString(), "snow \xE2\x98\x83");
}

TEST_F(TextDocumentTest, ModifiedStateIsReported) {
  QSignalSpy modified(&document, &TextDocument::modificationChanged);
  editor.SetUtf8Text("typed");
  ASSERT_EQ(modified.count(), 1);
  EXPECT_TRUE(modified.takeFirst().at(0).toBool());
  requester.answers = {dir.Path("saved")};
  // Yes saves first, so the text may go.
  prompter.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(document.AskBeforeDiscarding());
  EXPECT_EQ(ReadBytes(dir.Path("saved.txt")), "typed");
  ASSERT_EQ(modified.count(), 1);
  EXPECT_FALSE(modified.takeFirst().at(0).toBool());
  // Unmodified text goes without a question.
  EXPECT_TRUE(document.AskBeforeDiscarding());
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(TextDocumentTest, OtherEditorsWriteInTheFormatGivenWithoutBecomingTheDocument) {
  CodeEditor output(EditorRole::Output);
  output.SetCp1251Text("data \xFF");
  ASSERT_TRUE(WriteEditorText(output, dir.Path("out.txt"), {TextEncoding::Utf8, false}, prompter));
  EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "data \xD1\x8F");
  EXPECT_FALSE(output.isModified());
  EXPECT_EQ(document.FileName(), "");
  EXPECT_TRUE(used.empty());
}

TEST(CodeEditorQuietChanges, NothingIsReportedUntilTheyEnd) {
  CodeEditor editor(EditorRole::Output);
  QSignalSpy changes(&editor, &QsciScintilla::textChanged);
  {
    CodeEditor::QuietChanges quiet(editor);
    editor.AppendUtf8("line 1\r\n");
    editor.AppendUtf8("line 2");
    EXPECT_EQ(changes.count(), 0);
  }
  EXPECT_EQ(editor.text().toStdString(), "line 1\r\nline 2");
  editor.AppendUtf8("!");
  EXPECT_EQ(changes.count(), 1);
}

}  // namespace
}  // namespace zeltrix::testing
