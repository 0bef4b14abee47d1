// Custom characters (CGRAM) of a profile in the profile management window:
// the check box, the slot codes, the display size, the sample and the keys saved.
#include <QLabel>

#include "core/lcd/formatter.h"
#include "gui/profiles/format_preview.h"
#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

class ProfileCgramTest : public ProfileWindowTest {
 protected:
  QCheckBox* Cgram() const { return Check("cgramCheck"); }
  QComboBox* Codes() const { return Get<QComboBox>("cgramCodesCombo"); }
  QComboBox* Size() const { return Get<QComboBox>("sizeCombo"); }

  /** Picks a row of a closed list with the arrow keys, as the user does. */
  static void Choose(QComboBox* list, int row) {
    list->setFocus();
    while (list->currentIndex() != row) {
      QTest::keyClick(list, list->currentIndex() < row ? Qt::Key_Down : Qt::Key_Up);
    }
  }
};

// Below the ROM's controls, inside the frame, clear of each other, their
// captions whole; disabled until the box is ticked.
TEST_F(ProfileCgramTest, ControlsStandBelowTheRomsWithoutOverlapping) {
  ASSERT_NE(Open(), nullptr);
  auto* frame = Get<QFrame>("editorFrame");
  EXPECT_EQ(frame->geometry(), QRect(10, 144, 260, 518));
  EXPECT_EQ(Cgram()->text(), "Свои знаки (CGRAM)");
  EXPECT_EQ(Get<QLabel>("sizeLabel")->text(), "Размер экрана:");
  ASSERT_EQ(Codes()->count(), 2);
  EXPECT_EQ(Codes()->itemText(0), "0x00–0x07");
  EXPECT_EQ(Codes()->itemText(1), "0x08–0x0F");
  EXPECT_EQ(Size()->itemText(Size()->currentIndex()), "16×2");
  const QList<QWidget*> children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* w : {static_cast<QWidget*>(Cgram()), static_cast<QWidget*>(Codes()),
                     static_cast<QWidget*>(Size()), Get<QWidget>("sizeLabel")}) {
    // The ROM's controls end at 607 in the window.
    EXPECT_GE(w->mapTo(w->window(), QPoint(0, 0)).y(), 607) << w->objectName().toStdString();
    EXPECT_TRUE(frame->rect().contains(w->geometry())) << w->objectName().toStdString();
    for (QWidget* other : children) {
      if (other != w) {
        EXPECT_FALSE(w->geometry().intersects(other->geometry()))
            << w->objectName().toStdString() << " " << other->objectName().toStdString();
      }
    }
  }
  EXPECT_GE(Cgram()->width(), Cgram()->sizeHint().width());
  Click("newButton");
  EXPECT_TRUE(Cgram()->isEnabled());
  EXPECT_FALSE(Cgram()->isChecked());
  EXPECT_FALSE(Codes()->isEnabled());
  EXPECT_FALSE(Size()->isEnabled());
  QTest::mouseClick(Cgram(), Qt::LeftButton);
  EXPECT_TRUE(Codes()->isEnabled());
  EXPECT_TRUE(Size()->isEnabled());
}

// The sample follows the box, the codes and the size; only the keys that
// differ from their defaults are saved.
TEST_F(ProfileCgramTest, SampleFollowsTheControlsAndOnlyKeysOffTheirDefaultsAreSaved) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  Type(Name(), "Rus");
  Type(Edit("startDataEdit"), "0x");
  Type(Edit("razdelitelDataEdit"), ",");
  Type(Edit("commentEdit"), ";");
  Choose(Get<QComboBox>("romCombo"), 1);  // A00
  struct Step {
    bool cgram;
    int codes;
    int size;
    const char* start;  // the sample's first line
  };
  const Step steps[] = {
      // A00 alone shows none of the Russian letters.
      {false, 1, 3, "0x20,0x20"},
      // The first 16x2 screen, "Пример преобразо": р, е, о are A00's own.
      {true, 1, 3, ";CGRAM 0x08: П, 0x09: и, 0x0A: м, 0x0B: п, 0x0C: б, 0x0D: з"},
      {true, 0, 3, ";CGRAM 0x00: П, 0x01: и, 0x02: м, 0x03: п, 0x04: б, 0x05: з"},
      // An 8x1 screen holds "Пример п".
      {true, 0, 0, ";CGRAM 0x00: П, 0x01: и, 0x02: м, 0x03: п"},
  };
  for (const Step& step : steps) {
    if (Cgram()->isChecked() != step.cgram) QTest::mouseClick(Cgram(), Qt::LeftButton);
    if (step.cgram) {
      Choose(Codes(), step.codes);
      Choose(Size(), step.size);
    }
    ProfileRecord shown;
    shown.Ost1 = shown.Ost2 = 0;
    shown.StartData = "0x";
    shown.RazdelitelData = ",";
    shown.Comment = ";";
    shown.Rom = CharacterRom::A00;
    shown.Cgram = step.cgram ? 1 : 0;
    shown.CgramCodes = step.codes == 0 ? 0 : 8;
    shown.Size = kLcdGeometries[static_cast<std::size_t>(step.size)];
    EXPECT_EQ(Sample(), Cp1251ToUtf8(ConvertText(FormatPreviewSample(), shown))) << step.start;
    EXPECT_EQ(Sample().substr(0, Sample().find("\r\n")), step.start);
  }
  Click("okButton");
  const std::string saved = ReadBytes(Paths().profiles);
  EXPECT_EQ(saved.substr(saved.find("[Rus]")),
            "[Rus]\r\nOst1 = 0\r\nOst2 = 0\r\nDirective = [String][/String]\r\n"
            "StartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
            "StartData = [String]0x[/String]\r\nSI = 2\r\nEndData = [String][/String]\r\n"
            "RazdelitelData = [String],[/String]\r\nComment = [String];[/String]\r\n"
            "CommentState = 0\r\nCountByte = 0\r\nPerenosPoSlovam = 0\r\nCountByteToComment = 0\r\n"
            "DeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n"
            "Rom = A00\r\nCgram = 1\r\nCgramCodes = 0\r\nSize = 8x1\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

// Ticking the box on a stored profile adds that key alone; the size it has
// and the keys the window does not show are kept.
TEST_F(ProfileCgramTest, EditingKeepsTheStoredSizeAndAddsOnlyTheKeyChanged) {
  const std::string group =
      "[Kana]\r\nOst1 = 4\r\nOst2 = 4\r\nDirective = [String]Dt[/String]\r\n"
      "StartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
      "StartData = [String]0x[/String]\r\nSI = 2\r\nEndData = [String][/String]\r\n"
      "RazdelitelData = [String], [/String]\r\n"
      "Comment = [String]; [/String]\r\nCommentState = 1\r\nCountByte = 8\r\n"
      "PerenosPoSlovam = 0\r\nCountByteToComment = 0\r\nDeleteSumbolError = 0\r\n"
      "DeleteSpace = 0\r\nCountSpace = 2\r\nRom = A00\r\nLayout = PIC16\r\n"
      "Size = 20x4\r\n";
  ASSERT_NE(Open(group), nullptr);
  Click("editButton");
  EXPECT_FALSE(Cgram()->isChecked());
  EXPECT_EQ(Codes()->currentText(), "0x08–0x0F");
  EXPECT_EQ(Size()->currentText(), "20×4");
  QTest::mouseClick(Cgram(), Qt::LeftButton);
  Click("okButton");
  // A new key comes after those the group has.
  EXPECT_EQ(ReadBytes(Paths().profiles), group + "Cgram = 1\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace zeltrix::testing
