// Text documents: New, Open, Save, Save As, Save to file, drops, the command
// line and the recent files submenu.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <functional>

#include "tests/gui/main/main_window_fixture.h"

namespace zeltrix::testing {
namespace {

const Message kDiscardQuestion{"Zeltrix  v1.1", "Текст в файле был модифицирован.\nСохранить его?",
                               MessageIcon::Warning, MessageButtons::YesNoCancel,
                               MessageAnswer::Yes};

class DocumentTest : public MainWindowTest {
 protected:
  std::string PathField() const {
    return window->findChild<QLabel*>("pathField")->text().toStdString();
  }
  bool Modified() const { return Source()->isModified(); }
  bool Named() const { return !window->CurrentFileName().empty(); }

  void Drop(const QStringList& paths) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Source()->viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Source()->viewport(), &drop);
    delete mime;
  }

  QAction* RecentItem(int n) const {
    return window->findChild<QMenu*>("recentFilesMenu")->actions().at(n - 1);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    WriteBytes(dir.Path(name), bytes);
    return dir.Path(name);
  }
};

TEST_F(DocumentTest, LifecycleOfNameAndModifiedState) {
  const std::string a = File("a.txt", "first");
  const std::string b = File("b.txt", "second");
  const std::string c = File("c.txt", "third");
  ASSERT_NE(StartWithProfiles({QString::fromStdString(c)}), nullptr);
  struct Step {
    const char* what;
    std::function<void()> act;
    bool named, modified;
  };
  const std::vector<Step> steps = {
      {"command-line file", [] {}, false, false},
      {"edit", [&] { Type(Source(), "x"); }, false, true},
      {"undo to the save point", [&] { Key(Source(), Qt::Key_Z, Qt::ControlModifier); }, false,
       false},
      {"open",
       [&] {
         requester.answers = {a};
         window->Execute(Command::Open);
       },
       true, false},
      {"edit", [&] { Type(Source(), "y"); }, true, true},
      {"save", [&] { window->Execute(Command::Save); }, true, false},
      {"new", [&] { window->Execute(Command::New); }, false, false},
      {"drop", [&] { Drop({QString::fromStdString(b)}); }, true, false},
      {"edit", [&] { Type(Source(), "z"); }, true, true},
      {"save as",
       [&] {
         requester.answers = {dir.Path("d")};
         window->Execute(Command::SaveAs);
       },
       true, false},
      {"recent entry 2", [&] { window->Execute(RecentFileCommand(2)); }, true, false},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(Named(), step.named) << step.what;
    EXPECT_EQ(Modified(), step.modified) << step.what;
    EXPECT_EQ(QApplication::focusWidget(), Source()) << step.what;
  }
  EXPECT_EQ(ReadBytes(a), "yfirst");
  EXPECT_EQ(ReadBytes(dir.Path("d.txt")), "zsecond");
  EXPECT_EQ(window->CurrentFileName(), b);  // entry 2 was b.txt after d.txt
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DocumentTest, RequestersTitleFolderAndFilter) {
  const std::string a = File("a.txt", "text");
  ASSERT_NE(StartWithProfiles(), nullptr);
  window->Execute(Command::Open);  // cancelled: no recent entry yet, the default folder
  requester.answers = {a};
  window->Execute(Command::Open);
  window->Execute(Command::SaveAs);
  Output()->setFocus();
  window->Execute(Command::SaveToFile);
  ASSERT_EQ(requester.asked.size(), 4u);
  const std::vector<FileFilter> filters = {{"Текстовые файлы (txt)", "*.txt"}, {" Всё ", " *.*"}};
  EXPECT_EQ(requester.asked[0].title, "Открываем файл");
  EXPECT_EQ(requester.asked[0].mode, FileRequest::Mode::Open);
  EXPECT_EQ(requester.asked[0].folder, "");
  EXPECT_EQ(requester.asked[1].folder, "");
  for (std::size_t i = 2; i < 4; ++i) {
    EXPECT_EQ(requester.asked[i].folder, dir.Root() + "/");
  }
  EXPECT_EQ(requester.asked[2].title, "Сохраняем файл");
  EXPECT_EQ(requester.asked[2].mode, FileRequest::Mode::Save);
  EXPECT_EQ(requester.asked[3].title, "Сохраняем файл");
  for (const FileRequest& asked : requester.asked) {
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].label, filters[0].label);
    EXPECT_EQ(asked.filters[0].pattern, filters[0].pattern);
    EXPECT_EQ(asked.filters[1].label, filters[1].label);
    EXPECT_EQ(asked.filters[1].pattern, filters[1].pattern);
  }
  // After Save to file the focus goes back to the editor it was used from.
  EXPECT_EQ(QApplication::focusWidget(), Output());
}

TEST_F(DocumentTest, AnswersToTheQuestionBeforeDiscarding) {
  struct Case {
    const char* what;
    Command command;
    MessageAnswer answer;
    bool textKept;
  };
  const Case cases[] = {
      {"new, cancel", Command::New, MessageAnswer::Cancel, true},
      {"new, no", Command::New, MessageAnswer::No, false},
      {"open, cancel", Command::Open, MessageAnswer::Cancel, true},
      {"open, no", Command::Open, MessageAnswer::No, false},
      {"recent, cancel", RecentFileCommand(1), MessageAnswer::Cancel, true},
      {"recent, no", RecentFileCommand(1), MessageAnswer::No, false},
  };
  const std::string other = File("other.txt", "other");
  for (const Case& c : cases) {
    WriteBytes(Paths().settings, "[RecentFiles]\r\nFile1 = " + other + "\r\n");
    ASSERT_NE(StartWithProfiles(), nullptr);
    Type(Source(), "typed");
    prompter.shown.clear();
    prompter.answers = {c.answer};
    requester.answers = {other};
    window->Execute(c.command);
    ASSERT_EQ(prompter.shown.size(), 1u) << c.what;
    EXPECT_EQ(prompter.shown[0], kDiscardQuestion) << c.what;
    EXPECT_EQ(SourceUtf8(Source()) == "typed", c.textKept) << c.what;
    window.reset();
  }
}

TEST_F(DocumentTest, YesSavesFirstAndAFailedSaveKeepsTheText) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "keep me");
  // Yes, then the Save As requester is cancelled: nothing is discarded.
  prompter.answers = {MessageAnswer::Yes};
  window->Execute(Command::New);
  EXPECT_EQ(SourceUtf8(Source()), "keep me");
  EXPECT_EQ(requester.asked.size(), 1u);
  // Yes, then the save fails: the text stays, the failure is reported.
  prompter.answers = {MessageAnswer::Yes};
  requester.answers = {dir.Path("no/such/folder/x")};
  window->Execute(Command::New);
  EXPECT_EQ(SourceUtf8(Source()), "keep me");
  ASSERT_EQ(prompter.shown.size(), 3u);
  EXPECT_EQ(prompter.shown[2],
            (Message{"Ошибка", "Не удалось сохранить файл\n" + dir.Path("no/such/folder/x.txt"),
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_TRUE(Modified());
  // Leaving is abandoned the same way.
  prompter.answers = {MessageAnswer::Yes};
  EXPECT_FALSE(Close());
  EXPECT_TRUE(window->isVisible());
  // Yes with a successful save goes on.
  prompter.answers = {MessageAnswer::Yes};
  requester.answers = {dir.Path("kept")};
  window->Execute(Command::New);
  EXPECT_EQ(ReadBytes(dir.Path("kept.txt")), "keep me");
  EXPECT_EQ(SourceUtf8(Source()), "");
}

TEST_F(DocumentTest, AFailedWriteLeavesTheOldFileAndTheDocumentModified) {
  const std::string path = File("doc.txt", "old content");
  ASSERT_NE(StartWithProfiles(), nullptr);
  requester.answers = {path};
  window->Execute(Command::Open);
  Source()->SetCp1251Text(std::string(5000, 'n'));
  {
    FileSizeLimit full(100);
    window->Execute(Command::Save);
  }
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "Не удалось сохранить файл\n" + path);
  EXPECT_EQ(ReadBytes(path), "old content");
  EXPECT_TRUE(Modified());
}

TEST_F(DocumentTest, CharactersWithoutACodeAreSavedOnlyWhenTheUserAgrees) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Source()->setText(QString::fromUtf8("snow \xE2\x98\x83"));
  prompter.answers = {MessageAnswer::No};
  requester.answers = {dir.Path("snow.txt")};
  window->Execute(Command::SaveAs);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(prompter.shown[0].defaultButton, MessageAnswer::No);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("snow.txt")));
  EXPECT_TRUE(Modified());
  prompter.answers = {MessageAnswer::Yes};
  requester.answers = {dir.Path("snow.txt")};
  window->Execute(Command::SaveAs);
  EXPECT_EQ(ReadBytes(dir.Path("snow.txt")), "snow \x1A");
}

TEST_F(DocumentTest, FilesRoundTripByteForByte) {
  std::string high;
  for (int b = 0x80; b <= 0xBF; ++b) high.push_back(static_cast<char>(b));
  const std::string contents[] = {
      "CR LF\r\nlines\r\n",     "LF\nlines\n", "CR\rlines\r", *Utf8ToCp1251("Кириллица ёЁ №"), high,
      "mixed\r\n\n\r\r\n\tend",
  };
  ASSERT_NE(StartWithProfiles(), nullptr);
  int n = 0;
  for (const std::string& content : contents) {
    const std::string path = File("f" + std::to_string(++n) + ".txt", content);
    requester.answers = {path};
    window->Execute(Command::Open);
    window->Execute(Command::Save);
    EXPECT_EQ(ReadBytes(path), content) << n;
  }
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DocumentTest, LoadingStopsAtAZeroByteAndAnEmptyFileEmptiesTheEditor) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  requester.answers = {File("z.txt", std::string("ab\0cd", 5))};
  window->Execute(Command::Open);
  EXPECT_EQ(Source()->Cp1251Text(), "ab");
  requester.answers = {File("empty.txt", "")};
  window->Execute(Command::Open);
  EXPECT_EQ(Source()->Cp1251Text(), "");
  EXPECT_EQ(window->CurrentFileName(), dir.Path("empty.txt"));
  // A missing file is reported and changes nothing.
  requester.answers = {dir.Path("missing.txt")};
  window->Execute(Command::Open);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0],
            (Message{"Ошибка",
                     "Не удалось открыть файл\n" + dir.Path("missing.txt") +
                         "\nНет такого файла или папки.",
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
  EXPECT_EQ(window->CurrentFileName(), dir.Path("empty.txt"));
}

TEST_F(DocumentTest, RecentFilesFollowOpenSaveAndSaveToFile) {
  const std::string a = File("a.txt", "a");
  const std::string b = File("b.txt", "b");
  ASSERT_NE(StartWithProfiles(), nullptr);
  requester.answers = {a};
  window->Execute(Command::Open);
  requester.answers = {b};
  window->Execute(Command::Open);
  EXPECT_EQ(RecentItem(1)->text().toStdString(), "1)    " + b);
  EXPECT_EQ(RecentItem(2)->text().toStdString(), "2)    " + a);
  EXPECT_EQ(RecentItem(3)->text().toStdString(), "3)    ");
  Output()->SetCp1251Text("output text");
  Output()->setFocus();
  requester.answers = {dir.Path("out")};
  window->Execute(Command::SaveToFile);
  EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "output text");
  EXPECT_EQ(window->RecentFiles()[0], dir.Path("out.txt"));
  EXPECT_EQ(PathField(), dir.Path("out.txt") + " — Windows-1251");
  // Save still writes the document's own file.
  EXPECT_EQ(window->CurrentFileName(), b);
  Source()->setFocus();
  Type(Source(), "+");
  window->Execute(Command::Save);
  EXPECT_EQ(ReadBytes(b), "+b");
  // The list is kept at exit and back at the next start.
  ASSERT_TRUE(Close());
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(RecentItem(1)->text().toStdString(), "1)  " + b);
  EXPECT_EQ(RecentItem(2)->text().toStdString(), "2)  " + dir.Path("out.txt"));
}

// The text a menu draws for an item: "&&" shows as "&", a single "&" marks
// the next letter and is not drawn; the key after the tab is drawn apart.
QString DrawnMenuText(const QAction* action) {
  const QString text = action->text().section('\t', 0, 0);
  QString drawn;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && ++i == text.size()) break;
    drawn += text[i];
  }
  return drawn;
}

TEST_F(DocumentTest, RecentItemsShowAmpersandsAsTheyAre) {
  const std::string notes = File("R&D_notes.txt", "notes");
  ASSERT_NE(StartWithProfiles(), nullptr);
  requester.answers = {notes};
  window->Execute(Command::Open);
  EXPECT_EQ(DrawnMenuText(RecentItem(1)).toStdString(), "1)    " + notes);
  Source()->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
  Source()->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
  RecentItem(1)->trigger();
  EXPECT_EQ(SourceUtf8(Source()), "notes");
  ASSERT_TRUE(Close());
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(DrawnMenuText(RecentItem(1)).toStdString(), "1)  " + notes);
}

TEST_F(DocumentTest, RecentEntriesThatAreEmptyOrGone) {
  const std::string gone = dir.Path("gone.txt");
  WriteBytes(Paths().settings, "[RecentFiles]\r\nFile2 = " + gone + "\r\n");
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "modified");
  window->Execute(RecentFileCommand(1));  // empty entry: no question
  EXPECT_TRUE(prompter.shown.empty());
  prompter.answers = {MessageAnswer::No};
  window->Execute(RecentFileCommand(2));
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1].text,
            "Не удалось открыть файл\n" + gone + "\nНет такого файла или папки.");
  EXPECT_EQ(window->RecentFiles()[1], gone);
  EXPECT_EQ(SourceUtf8(Source()), "modified");
}

TEST_F(DocumentTest, DropsTakeTheFirstFileWithoutAQuestion) {
  const std::string a = File("a.txt", "dropped");
  const std::string b = File("b.txt", "second");
  ASSERT_NE(StartWithProfiles(), nullptr);
  Type(Source(), "unsaved");
  Drop({QString::fromStdString(a), QString::fromStdString(b), QString::fromStdString(b)});
  EXPECT_EQ(SourceUtf8(Source()), "dropped");
  EXPECT_EQ(window->CurrentFileName(), a);
  EXPECT_TRUE(prompter.shown.empty());
  // Empty files and folders are ignored.
  Drop({QString::fromStdString(File("empty.txt", ""))});
  Drop({QString::fromStdString(dir.Root())});
  EXPECT_EQ(SourceUtf8(Source()), "dropped");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DocumentTest, CommandLineFileStaysUnnamedSoSaveAsksInItsFolder) {
  std::filesystem::create_directory(dir.Path("docs"));
  const std::string path = File("docs/start.txt", "from the command line");
  ASSERT_NE(StartWithProfiles({QString::fromStdString(path)}), nullptr);
  EXPECT_EQ(SourceUtf8(Source()), "from the command line");
  EXPECT_EQ(PathField(), path + " — Windows-1251");
  EXPECT_FALSE(Named());
  window->Execute(Command::Save);
  ASSERT_EQ(requester.asked.size(), 1u);
  EXPECT_EQ(requester.asked[0].title, "Сохраняем файл");
  EXPECT_EQ(requester.asked[0].folder, dir.Path("docs/"));
}

TEST_F(DocumentTest, CommandLineArgumentsThatAreIgnored) {
  for (const QString& argument :
       {QString(), QString::fromStdString(dir.Path("none.txt")), QString::fromStdString(dir.Root()),
        QString::fromStdString(File("empty.txt", ""))}) {
    ASSERT_NE(StartWithProfiles({argument}), nullptr);
    EXPECT_EQ(SourceUtf8(Source()), "");
    EXPECT_TRUE(prompter.shown.empty());
    window.reset();
  }
}

TEST_F(DocumentTest, LeavingWithOnlyTheOutputChangedAsksNothing) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  Output()->setFocus();
  Type(Output(), "output");
  EXPECT_TRUE(Close());
  EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace zeltrix::testing
