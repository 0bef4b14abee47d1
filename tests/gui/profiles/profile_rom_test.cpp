// The character ROM and look-alikes of a profile in the profile management window.
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "core/lcd/formatter.h"
#include "gui/profiles/format_preview.h"
#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

class ProfileRomTest : public ProfileWindowTest {
 protected:
  QComboBox* Rom() const { return Get<QComboBox>("romCombo"); }
  QCheckBox* LookAlikes() const { return Check("lookAlikesCheck"); }

  /** Picks a ROM from the closed list with the arrow keys, as the user does. */
  void ChooseRom(int row) const {
    Rom()->setFocus();
    while (Rom()->currentIndex() != row) {
      Key(Rom(), Rom()->currentIndex() < row ? Qt::Key_Down : Qt::Key_Up);
    }
  }
};

// The window's controls stand where they stood; the frame, and the window,
// grow to take the ROM's below them.
TEST_F(ProfileRomTest, TheRomControlsStandBelowTheOthers) {
  ASSERT_NE(Open(), nullptr);
  auto* frame = Get<QFrame>("editorFrame");
  // 468 high for the ROM's controls and 50 more for the custom characters' below them.
  EXPECT_EQ(frame->geometry(), QRect(10, 144, 260, 518));
  const auto top = [](QWidget* w) { return w->mapTo(w->window(), QPoint(0, 0)).y(); };
  for (QWidget* w : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const bool rom =
        w == Rom() || w == LookAlikes() || w->objectName() == "romLabel" || top(w) >= 607;
    // The old frame ended at 544, the cancel button at 539.
    if (rom) {
      EXPECT_GE(top(w), 544) << w->objectName().toStdString();
    } else {
      EXPECT_LE(top(w) + w->height(), 544) << w->objectName().toStdString();
    }
  }
  EXPECT_EQ(Get<QLabel>("romLabel")->text(), "Знакогенератор:");
  EXPECT_EQ(LookAlikes()->text(), "Заменять отсутствующие знаки похожими");
  ASSERT_EQ(Rom()->count(), 3);
  const QString items[] = {"Кириллица", "A00 (английский, японский)",
                           "A02 (английский, европейский)"};
  QStyleOptionComboBox option;
  option.initFrom(Rom());
  const QRect room = Rom()->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, Rom());
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(Rom()->itemText(row), items[row]);
    // The closed list shows each name whole.
    EXPECT_LE(Rom()->fontMetrics().horizontalAdvance(items[row]), room.width()) << row;
  }
  // Idle: disabled with the rest of the editor, at the defaults.
  EXPECT_FALSE(Rom()->isEnabled());
  EXPECT_FALSE(LookAlikes()->isEnabled());
  EXPECT_EQ(Rom()->currentIndex(), 0);
  EXPECT_FALSE(LookAlikes()->isChecked());
}

// A new profile starts at the Cyrillic ROM without look-alikes; the sample
// follows both, and the profile is saved with the keys that differ from
// their defaults, after the others.
TEST_F(ProfileRomTest, NewProfileSampleFollowsTheRomAndItsKeysAreSaved) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  EXPECT_TRUE(Rom()->isEnabled());
  EXPECT_EQ(Rom()->currentIndex(), 0);
  EXPECT_FALSE(LookAlikes()->isChecked());
  // The Cyrillic ROM lists no look-alikes: the box would change nothing.
  EXPECT_FALSE(LookAlikes()->isEnabled());
  Type(Name(), "Euro");
  Type(Edit("startDataEdit"), "0x");
  Type(Edit("razdelitelDataEdit"), ", ");
  EXPECT_EQ(Sample().substr(0, 24), "0xA8, 0x70, 0xB8, 0xBC, ");

  struct Step {
    int rom;
    bool lookAlikes;
    bool boxEnabled;
    const char* sample;  // of "Пример преобразования текста"
  };
  const Step steps[] = {
      // A02 shows П, not the small Russian letters.
      {2, false, true, "0x87, 0x20, 0x20\r\n"},
      // With look-alikes р, е, о, а, с take their Latin twins.
      {2, true, true,
       "0x87, 0x70, 0x65, 0x70, 0x20, 0x70, 0x65, 0x6F, 0x70, 0x61, 0x6F, 0x61, 0x20, 0x65, "
       "0x63, 0x61\r\n"},
      // Back on the Cyrillic ROM the ticked box is kept but takes no effect.
      {0, true, false, nullptr},
      {1, true, true, nullptr},
  };
  for (const Step& step : steps) {
    ChooseRom(step.rom);
    if (LookAlikes()->isChecked() != step.lookAlikes)
      QTest::mouseClick(LookAlikes(), Qt::LeftButton);
    EXPECT_EQ(LookAlikes()->isEnabled(), step.boxEnabled) << step.rom;
    ProfileRecord shown;
    shown.Ost1 = shown.Ost2 = 0;
    shown.StartData = "0x";
    shown.RazdelitelData = ", ";
    shown.Rom = kCharacterRoms[static_cast<std::size_t>(step.rom)];
    shown.LookAlikes = step.lookAlikes ? 1 : 0;
    EXPECT_EQ(Sample(), Cp1251ToUtf8(ConvertText(FormatPreviewSample(), shown))) << step.rom;
    if (step.sample != nullptr) {
      EXPECT_EQ(Sample(), step.sample) << step.rom;
    }
  }
  Click("okButton");
  const std::string saved = ReadBytes(Paths().profiles);
  EXPECT_EQ(saved.substr(0, kDefaultDatabase.size()), kDefaultDatabase);
  EXPECT_EQ(saved.substr(kDefaultDatabase.size()),
            "[Euro]\r\nOst1 = 0\r\nOst2 = 0\r\nDirective = [String][/String]\r\n"
            "StartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
            "StartData = [String]0x[/String]\r\nSI = 2\r\nEndData = [String][/String]\r\n"
            "RazdelitelData = [String], [/String]\r\nComment = [String][/String]\r\n"
            "CommentState = 0\r\nCountByte = 0\r\nPerenosPoSlovam = 0\r\nCountByteToComment = 0\r\n"
            "DeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n"
            "Rom = A00\r\nLookAlikes = 1\r\n");
  EXPECT_TRUE(prompter.shown.empty());
}

// A profile for a display with the A00 ROM, as another program or a later
// version may store it: a key the window does not show comes last.
const std::string kA00Group =
    "[Kana]\r\nOst1 = 4\r\nOst2 = 4\r\nDirective = [String]Dt[/String]\r\n"
    "StartDataBlok = [String][/String]\r\nEndDataBlok = [String][/String]\r\n"
    "StartData = [String]0x[/String]\r\nSI = 2\r\nEndData = [String][/String]\r\n"
    "RazdelitelData = [String], [/String]\r\n"
    "Comment = [String]; [/String]\r\nCommentState = 1\r\nCountByte = 8\r\nPerenosPoSlovam = 0\r\n"
    "CountByteToComment = 0\r\nDeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n"
    "Rom = A00\r\nLookAlikes = 1\r\nSize = 16x4\r\n";

// Editing another field keeps the ROM, the look-alikes and the keys the
// window does not show; the group changes in that field alone.
TEST_F(ProfileRomTest, EditShowsAndKeepsTheRomAndKeysTheWindowDoesNotShow) {
  ASSERT_NE(Open(kA00Group), nullptr);
  Click("editButton");
  EXPECT_EQ(Rom()->currentText(), "A00 (английский, японский)");
  EXPECT_TRUE(LookAlikes()->isChecked());
  EXPECT_TRUE(LookAlikes()->isEnabled());
  Retype(Edit("directiveEdit"), "De");
  Click("okButton");
  std::string expected = kA00Group;
  expected.replace(expected.find("]Dt["), 4, "]De[");
  EXPECT_EQ(ReadBytes(Paths().profiles), expected);
  EXPECT_TRUE(prompter.shown.empty());
  // The main window converts with the saved profile: A00 shows ß with the
  // code of β, and ü.
  manager->close();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Type(Source(), "ßü");
  Key(Source(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(SourceUtf8(Output()), "; ßü\r\n    De    0xE2, 0xF5\r\n");
}

}  // namespace
}  // namespace zeltrix::testing
