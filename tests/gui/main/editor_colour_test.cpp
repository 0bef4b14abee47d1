// The editors' colours as they are painted, after the windows that disable
// the main window for a while.
#include <QImage>

#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

const QColor kSourcePaper(236, 245, 255);
const QColor kOutputPaper(229, 255, 232);

// The colour painted near the bottom right corner of the text area, below
// the last line and right of the line-number margin.
QColor PaperOf(CodeEditor* editor) {
  const QImage image = editor->viewport()->grab().toImage();
  return image.pixelColor(image.width() - 6, image.height() - 6);
}

void ExpectPapers(CodeEditor* source, CodeEditor* output, const char* when) {
  EXPECT_EQ(PaperOf(source).name(), kSourcePaper.name()) << when;
  EXPECT_EQ(PaperOf(output).name(), kOutputPaper.name()) << when;
}

TEST_F(ProfileWindowTest, EditorsKeepTheirColoursAfterWindowsThatDisableTheMainWindow) {
  ASSERT_NE(StartWithProfiles(), nullptr);
  ExpectPapers(Source(), Output(), "at start");
  bool progressShown = false;
  QObject::connect(window.get(), &MainWindow::progressWindowOpened,
                   [&](QWidget*) { progressShown = true; });
  Type(Source(), QString(101, 'x'));
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  ASSERT_TRUE(progressShown);
  ExpectPapers(Source(), Output(), "after a long conversion");
  ASSERT_NE(Reopen(), nullptr);
  manager->close();
  QApplication::processEvents();
  ExpectPapers(Source(), Output(), "after the profile window");
  // Text typed afterwards is painted on the same paper.
  Type(Source(), "y");
  ExpectPapers(Source(), Output(), "after typing");
}

}  // namespace
}  // namespace zeltrix::testing
