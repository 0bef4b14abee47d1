// Custom characters (CGRAM) in the "Экран LCD" window: the planned screen's
// letters drawn with the slots' glyphs, framed cells, the strip of slots, the
// line about a screen that needs more than fit, and the profile's size.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "core/lcd/module_image.h"
#include "core/lcd/rom_glyphs.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/lcd/lcd_screen_view.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/rom_profiles.h"

namespace zeltrix::testing {
namespace {

const std::string kCgramDatabase =
    RomGroup("A00", "A00", false) + RomGroup("A00 CGRAM", "A00", false) + "Cgram = 1\r\n" +
    RomGroup("A00 20x4", "A00", false) + "Cgram = 1\r\nSize = 20x4\r\n";
constexpr int kPlainA00 = 0;
constexpr int kCgramA00 = 1;
constexpr int kCgram20x4 = 2;

class CgramPreviewTest : public MainWindowTest {
 protected:
  LcdPreviewWindow* Open(int profile, const char* text) {
    WriteBytes(Paths().profiles, kCgramDatabase);
    if (Start() == nullptr) return nullptr;
    UseProfile(profile);
    TypeLines(Source(), text);
    // The window opens at the caret's screen: the first.
    Key(Source(), Qt::Key_Home, Qt::ControlModifier);
    Key(Source(), Qt::Key_L, Qt::ControlModifier);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<LcdPreviewWindow*>(w)) m_preview = found;
    }
    return m_preview;
  }
  void UseProfile(int profile) const {
    ChooseProfile(window->ProfileSelector(), profile);
    ASSERT_EQ(window->ProfileSelector()->currentIndex(), profile);
  }
  template <class T>
  T* Child(const char* name) const {
    T* widget = m_preview->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  LcdScreenView* View() const { return Child<LcdScreenView>("lcdScreenView"); }
  LcdSlotStrip* Strip() const { return Child<LcdSlotStrip>("lcdSlotStrip"); }
  QCheckBox* Marks() const { return Child<QCheckBox>("lcdMarkSlotsCheck"); }
  QLabel* CgramStatus() const { return Child<QLabel>("lcdCgramStatusLabel"); }
  static void Settle() { QTest::qWait(LcdPreviewWindow::kRefreshDelayMs + 50); }

  /** Whether the dot (x, y) of the cell (row, column) is lit, as the user sees it. */
  bool CellDotLit(const QImage& shot, int row, int column, int x, int y) const {
    const ModuleLayout& layout = View()->Layout();
    const QColor colour = shot.pixelColor(
        layout.dotsLeft + (column * (kCellDotWidth + 1) + x) * layout.pitch + layout.dotSize / 2,
        layout.dotsTop + (row * (kCellDotHeight + 1) + y) * layout.pitch + layout.dotSize / 2);
    return colour == QColor::fromRgba(LcdThemes().front().lit);
  }

  LcdPreviewWindow* m_preview = nullptr;
};

// Rows 0-7 of a character in the Cyrillic ROM's table.
const GlyphRows& CyrillicGlyph(char32_t character) {
  return RomGlyphs(CharacterRom::Cyrillic)[CharacterMap().Map(character).code];
}

// A00 has no м, п, т: their cells show the Cyrillic ROM's glyphs, dot for
// dot, from slots 0x08-0x0A, which the strip shows with their letters.
TEST_F(CgramPreviewTest, CustomLettersAreDrawnWithTheCyrillicGlyphsAndTheirSlotsShown) {
  ASSERT_NE(Open(kCgramA00, "Температура 25°C"), nullptr);
  EXPECT_EQ(Child<QComboBox>("lcdSizeCombo")->currentText(), "16×2");
  EXPECT_TRUE(Strip()->isVisible());
  EXPECT_TRUE(Marks()->isVisible());
  EXPECT_TRUE(Marks()->isChecked());
  EXPECT_EQ(Marks()->text(), "Отмечать свои знаки");
  EXPECT_FALSE(CgramStatus()->isVisible());
  const QImage shot = View()->grab().toImage();
  struct Cell {
    int column;
    char32_t letter;
  };
  for (const Cell cell : {Cell{2, U'м'}, Cell{3, U'п'}, Cell{7, U'т'}}) {
    const GlyphRows& rows = CyrillicGlyph(cell.letter);
    for (int y = 0; y < kCellDotHeight; ++y) {
      for (int x = 0; x < kCellDotWidth; ++x) {
        EXPECT_EQ(CellDotLit(shot, 0, cell.column, x, y),
                  ((rows[static_cast<std::size_t>(y)] >> (kCellDotWidth - 1 - x)) & 1U) != 0)
            << cell.column << ": " << x << "," << y;
      }
    }
  }
  const QString letters[] = {"м", "п", "т", "", "", "", "", ""};
  for (int slot = 0; slot < kCgramSlots; ++slot) {
    EXPECT_EQ(Strip()->Code(slot),
              QString("0x%1").arg(8 + slot, 2, 16, QChar('0')).toUpper().replace("X", "x"));
    EXPECT_EQ(Strip()->Characters(slot), letters[slot]) << slot;
  }
  // The strip's glyph of slot 0x08 is м's, enlarged: lit where м has a dot.
  const QImage strip = Strip()->grab().toImage();
  const QRect area = Strip()->GlyphArea(0);
  const int pitch = LayOutModule(kDefaultLcdGeometry, 5).pitch;
  const GlyphRows& em = CyrillicGlyph(U'м');
  int litDots = 0;
  for (int y = 0; y < kCellDotHeight; ++y) {
    for (int x = 0; x < kCellDotWidth; ++x) {
      const bool lit =
          strip.pixelColor(area.left() + (x + 1) * pitch + 1, area.top() + (y + 1) * pitch + 1) ==
          QColor::fromRgba(LcdThemes().front().lit);
      EXPECT_EQ(lit, ((em[static_cast<std::size_t>(y)] >> (4 - x)) & 1U) != 0) << x << "," << y;
      litDots += lit ? 1 : 0;
    }
  }
  EXPECT_GT(litDots, 8);
}

// The marks frame the cells of slots in the theme's mark colour, in the bare
// glass left of the cell; unticked, the glass is bare.
TEST_F(CgramPreviewTest, MarksFrameTheCellsOfCustomCharacters) {
  ASSERT_NE(Open(kCgramA00, "Тм"), nullptr);
  const ModuleLayout& layout = View()->Layout();
  // The frame's left side runs down the middle of the bare glass left of the cell.
  const int inset = std::max(1, (2 * layout.pitch - layout.dotSize) / 2);
  const auto gapLeftOf = [&](int column) {
    const QImage shot = View()->grab().toImage();
    return shot.pixelColor(layout.dotsLeft + column * (kCellDotWidth + 1) * layout.pitch - inset,
                           layout.dotsTop + 3 * layout.pitch);
  };
  const QColor mark = QColor::fromRgba(LcdThemes().front().mark);
  const QColor glass = QColor::fromRgba(LcdThemes().front().glass);
  EXPECT_EQ(gapLeftOf(1), mark);
  EXPECT_EQ(gapLeftOf(0), glass);  // Т is A00's own T
  QTest::mouseClick(Marks(), Qt::LeftButton);
  EXPECT_EQ(gapLeftOf(1), glass);
}

// A screen that needs more than 8 tells so in its own line, with the stand-ins.
TEST_F(CgramPreviewTest, AnOverflowingScreenIsToldInTheStatusLine) {
  ASSERT_NE(Open(kCgramA00, "бвгджзийкл\nок\nжизнь"), nullptr);
  EXPECT_TRUE(CgramStatus()->isVisible());
  EXPECT_EQ(CgramStatus()->text(),
            "Экран 1: нужно своих знаков 10, помещается 8; заменены: й→ü, л→ﾊ");
  // The second screen fits.
  Child<QPushButton>("lcdNextButton")->click();
  EXPECT_FALSE(CgramStatus()->isVisible());
  QStringList used;
  for (int slot = 0; slot < kCgramSlots; ++slot) used << Strip()->Characters(slot);
  used.sort();
  // ж, и, з kept their slots from the first screen; н, ь took free ones.
  EXPECT_EQ(used.join(""), "жзинь");
}

// The profile's size decides for custom characters; without them the
// window's own stored size comes back, which the profile never overwrote.
TEST_F(CgramPreviewTest, TheSizeFollowsAProfileWithCustomCharacters) {
  ASSERT_NE(Open(kCgram20x4, "Тм"), nullptr);
  auto* sizes = Child<QComboBox>("lcdSizeCombo");
  EXPECT_EQ(sizes->currentText(), "20×4");
  window->activateWindow();
  UseProfile(kPlainA00);
  Settle();
  EXPECT_EQ(sizes->currentText(), "16×2");
  EXPECT_FALSE(Strip()->isVisible());
  EXPECT_FALSE(Marks()->isVisible());
  UseProfile(kCgram20x4);
  EXPECT_EQ(sizes->currentText(), "20×4");
  EXPECT_TRUE(Strip()->isVisible());
  EXPECT_EQ(window->CurrentSettings().Lcd.Size, "16x2");
}

}  // namespace
}  // namespace zeltrix::testing
