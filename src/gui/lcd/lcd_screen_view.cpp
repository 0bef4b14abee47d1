#include "gui/lcd/lcd_screen_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace zeltrix {
namespace {

// A drawn display module as a QImage of its own (the pixels are copied).
QImage ModuleQImage(const RgbImage& picture) {
  // The core's 0xAARRGGBB words are what Format_ARGB32 holds in memory.
  return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                picture.height, picture.width * 4, QImage::Format_ARGB32)
      .copy();
}

}  // namespace

LcdScreenView::LcdScreenView(QWidget* parent) : QWidget(parent) {
  setObjectName("lcdScreenView");
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
}

void LcdScreenView::SetScreen(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme,
                              int scale, const std::vector<bool>& overflowing,
                              const std::vector<std::pair<int, int>>& markedCells) {
  m_layout = LayOutModule(geometry, scale);
  m_image = ModuleQImage(DrawModule(bitmap, geometry, theme, scale, markedCells));
  m_overflowing = overflowing;
  setFixedSize(sizeHint());
  update();
}

int LcdScreenView::MarkWidth() const { return std::max(12, m_layout.pitch * 3) + 6; }

QSize LcdScreenView::sizeHint() const { return {m_image.width() + MarkWidth(), m_image.height()}; }

QRect LcdScreenView::MarkArea(int row) const {
  const auto [top, bottom] = m_layout.RowSpan(row);
  return QRect(QPoint(m_image.width() + 3, top), QPoint(m_image.width() + MarkWidth() - 3, bottom));
}

void LcdScreenView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, m_image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xD0, 0x10, 0x10));
  for (std::size_t row = 0; row < m_overflowing.size(); ++row) {
    if (!m_overflowing[row]) continue;
    // A triangle pointing right: the line goes on past the glass.
    const QRect area = MarkArea(static_cast<int>(row));
    QPainterPath arrow;
    arrow.moveTo(area.left(), area.top());
    arrow.lineTo(area.right(), (area.top() + area.bottom()) / 2.0);
    arrow.lineTo(area.left(), area.bottom());
    arrow.closeSubpath();
    painter.drawPath(arrow);
  }
}

void LcdScreenView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  if (const auto cell = m_layout.CellAt(at.x(), at.y()))
    emit cellClicked(cell->first, cell->second);
}

LcdSlotStrip::LcdSlotStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("lcdSlotStrip");
  setToolTip("Свои знаки экрана (CGRAM)");
}

void LcdSlotStrip::SetSlots(const CgramSlots& shownSlots, std::uint8_t slotBase,
                            const LcdTheme& theme, int scale) {
  // Unused slots are drawn with every dot off, as a blank cell of the module.
  const CustomGlyph blank{};
  for (std::size_t slot = 0; slot < shownSlots.size(); ++slot) {
    const CgramSlot& shown = shownSlots[slot];
    m_used[slot] = shown.Used();
    m_glyphs[slot] = ModuleQImage(DrawGlyph(shown.Used() ? shown.glyph : blank, theme, scale));
    QStringList characters;
    for (const char32_t c : shown.characters) characters << QString::fromUcs4(&c, 1);
    m_characters[slot] = characters.join(' ');
    m_codes[slot] = "0x" + QString("%1").arg(slotBase + slot, 2, 16, QChar('0')).toUpper();
  }
  setFixedSize(sizeHint());
  update();
}

int LcdSlotStrip::Pitch() const { return m_glyphs[0].width() + 12; }

int LcdSlotStrip::TextHeight() const { return fontMetrics().height() + 2; }

QRect LcdSlotStrip::GlyphArea(int slot) const {
  const QImage& glyph = m_glyphs[static_cast<std::size_t>(slot)];
  return {6 + slot * Pitch(), TextHeight(), glyph.width(), glyph.height()};
}

QSize LcdSlotStrip::sizeHint() const {
  return {kCgramSlots * Pitch(), m_glyphs[0].height() + 2 * TextHeight()};
}

void LcdSlotStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int slot = 0; slot < kCgramSlots; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    const QRect area = GlyphArea(slot);
    painter.drawImage(area.topLeft(), m_glyphs[index]);
    painter.setPen(
        palette().color(m_used[index] ? QPalette::WindowText : QPalette::PlaceholderText));
    const QRect cell(area.left() - 5, 0, area.width() + 10, TextHeight());
    painter.drawText(cell, Qt::AlignCenter, m_codes[index]);
    painter.drawText(cell.translated(0, area.height() + TextHeight()), Qt::AlignCenter,
                     m_characters[index]);
  }
}

}  // namespace zeltrix
