#include "core/lcd/lcd_screen.h"

#include <algorithm>
#include <charconv>

namespace zeltrix {

std::string GeometryName(LcdGeometry geometry) {
  return std::to_string(geometry.columns) + "x" + std::to_string(geometry.rows);
}

std::optional<LcdGeometry> ParseGeometry(std::string_view name) {
  std::size_t separator = name.find_first_of("xX");
  std::size_t separatorLength = 1;
  if (separator == std::string_view::npos) {
    separator = name.find("\xC3\x97");  // the multiplication sign in UTF-8
    separatorLength = 2;
  }
  if (separator == std::string_view::npos) return std::nullopt;
  LcdGeometry geometry;
  const std::string_view columns = name.substr(0, separator);
  const std::string_view rows = name.substr(separator + separatorLength);
  const auto columnsRead =
      std::from_chars(columns.data(), columns.data() + columns.size(), geometry.columns);
  const auto rowsRead = std::from_chars(rows.data(), rows.data() + rows.size(), geometry.rows);
  if (columns.empty() || rows.empty() || columnsRead.ec != std::errc() ||
      columnsRead.ptr != columns.data() + columns.size() || rowsRead.ec != std::errc() ||
      rowsRead.ptr != rows.data() + rows.size()) {
    return std::nullopt;
  }
  if (std::find(kLcdGeometries.begin(), kLcdGeometries.end(), geometry) == kLcdGeometries.end()) {
    return std::nullopt;
  }
  return geometry;
}

std::size_t ScreenPage::Skipped() const {
  std::size_t skipped = 0;
  for (const LcdRow& row : rows) skipped += row.skipped;
  return skipped;
}

LcdScreen::LcdScreen(LcdGeometry geometry, CharacterRom rom)
    : m_geometry(geometry), m_glyphs(&RomGlyphs(rom)) {}

void LcdScreen::SetSlots(const SlotGlyphs& glyphs) { m_slots = glyphs; }

std::vector<std::pair<int, int>> SlotCells(const ScreenPage& page, LcdGeometry geometry) {
  std::vector<std::pair<int, int>> cells;
  const std::size_t rows = std::min(page.rows.size(), static_cast<std::size_t>(geometry.rows));
  for (std::size_t r = 0; r < rows; ++r) {
    const std::string& codes = page.rows[r].codes;
    const std::size_t columns = std::min(codes.size(), static_cast<std::size_t>(geometry.columns));
    for (std::size_t c = 0; c < columns; ++c) {
      if (static_cast<std::uint8_t>(codes[c]) < 0x10) {
        cells.emplace_back(static_cast<int>(r), static_cast<int>(c));
      }
    }
  }
  return cells;
}

void LcdScreen::Render(const ScreenPage& page, DotBitmap& bitmap) const {
  bitmap.width = DotWidth(m_geometry);
  bitmap.height = DotHeight(m_geometry);
  bitmap.dots.assign(static_cast<std::size_t>(bitmap.width) * bitmap.height, 0);
  const std::size_t shownRows =
      std::min(page.rows.size(), static_cast<std::size_t>(m_geometry.rows));
  for (std::size_t r = 0; r < shownRows; ++r) {
    const std::string& codes = page.rows[r].codes;
    const std::size_t shownCells =
        std::min(codes.size(), static_cast<std::size_t>(m_geometry.columns));
    for (std::size_t c = 0; c < shownCells; ++c) {
      const auto code = static_cast<std::uint8_t>(codes[c]);
      // A user-defined code draws its slot, rows 0-7 as any glyph's.
      const std::uint8_t* glyph = code < 0x10 ? m_slots[code & 7].data() : (*m_glyphs)[code].data();
      const int left = static_cast<int>(c) * (kCellDotWidth + 1);
      const int top = static_cast<int>(r) * (kCellDotHeight + 1);
      for (int y = 0; y < kCellDotHeight; ++y) {
        std::uint8_t* out = &bitmap.dots[static_cast<std::size_t>(top + y) * bitmap.width + left];
        const unsigned bits = glyph[y];
        for (int x = 0; x < kCellDotWidth; ++x) out[x] = (bits >> (kCellDotWidth - 1 - x)) & 1U;
      }
    }
  }
}

DotBitmap LcdScreen::Render(const ScreenPage& page) const {
  DotBitmap bitmap;
  Render(page, bitmap);
  return bitmap;
}

}  // namespace zeltrix
