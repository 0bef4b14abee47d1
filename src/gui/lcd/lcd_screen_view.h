#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/lcd/module_image.h"
#include "gui/support/cgram_core.h"

namespace zeltrix {

/**
 * One screen drawn as a real module, with a red mark at the right of every
 * display row whose text line is longer than the row, and a thin frame round
 * each of the marked cells (those of custom characters). A click on a cell
 * reports that cell.
 */
class LcdScreenView : public QWidget {
  Q_OBJECT

 public:
  explicit LcdScreenView(QWidget* parent = nullptr);

  /**
   * Draws the screen's dots; overflowing holds, per display row, whether to
   * mark it, and markedCells the cells (row, column) to frame.
   */
  void SetScreen(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme, int scale,
                 const std::vector<bool>& overflowing,
                 const std::vector<std::pair<int, int>>& markedCells = {});

  /** The module as drawn, without the marks beside it. */
  const QImage& ModuleImage() const { return m_image; }
  const ModuleLayout& Layout() const { return m_layout; }
  /**
   * The box, in the view's pixels, whose left side and right middle are the
   * corners of the red triangle that marks an overflowing display row.
   */
  QRect MarkArea(int row) const;

  QSize sizeHint() const override;

 signals:
  /** The user clicked the cell of that display row and column (from 0). */
  void cellClicked(int row, int column);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int MarkWidth() const;

  QImage m_image;
  ModuleLayout m_layout;
  std::vector<bool> m_overflowing;
};

/**
 * The eight CGRAM slots of a screen, side by side: each slot's code above
 * its glyph, enlarged as the module shows it, and the characters it draws on
 * the screen below; a slot the screen does not use is drawn dark, without
 * characters.
 */
class LcdSlotStrip : public QWidget {
  Q_OBJECT

 public:
  explicit LcdSlotStrip(QWidget* parent = nullptr);

  /** The slots of the screen shown; slotBase is the code of slot 0 (0 or 8). */
  void SetSlots(const CgramSlots& shownSlots, std::uint8_t slotBase, const LcdTheme& theme,
                int scale);

  /** Where the slot's glyph is drawn, in the strip's pixels. */
  QRect GlyphArea(int slot) const;
  /** The line under the slot's glyph: its characters, empty for an unused slot. */
  QString Characters(int slot) const { return m_characters[static_cast<std::size_t>(slot)]; }
  /** The line above it: the slot's code, as "0x08". */
  QString Code(int slot) const { return m_codes[static_cast<std::size_t>(slot)]; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int Pitch() const;
  int TextHeight() const;

  std::array<QImage, kCgramSlots> m_glyphs;
  std::array<QString, kCgramSlots> m_characters;
  std::array<QString, kCgramSlots> m_codes;
  std::array<bool, kCgramSlots> m_used{};
};

}  // namespace zeltrix
