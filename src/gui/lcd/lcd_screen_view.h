#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "core/lcd/module_image.h"

namespace zeltrix {

/**
 * One screen drawn as a real module, with a red mark at the right of every
 * display row whose text line is longer than the row. A click on a cell
 * reports that cell.
 */
class LcdScreenView : public QWidget {
  Q_OBJECT

 public:
  explicit LcdScreenView(QWidget* parent = nullptr);

  /** Draws the screen's dots; overflowing holds, per display row, whether to mark it. */
  void SetScreen(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme, int scale,
                 const std::vector<bool>& overflowing);

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

}  // namespace zeltrix
