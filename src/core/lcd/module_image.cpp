#include "core/lcd/module_image.h"

#include <algorithm>

#include "core/settings/settings_file.h"

namespace zeltrix {
namespace {

constexpr int kPitchesAroundDots = 2;  // the glass shows a margin round the characters

void FillRect(RgbImage& image, int left, int top, int width, int height, std::uint32_t colour) {
  for (int y = top; y < top + height; ++y) {
    std::uint32_t* row = &image.pixels[static_cast<std::size_t>(y) * image.width];
    std::fill(row + left, row + left + width, colour);
  }
}

}  // namespace

const std::array<LcdTheme, 4>& LcdThemes() {
  static const std::array<LcdTheme, 4> kThemes = {{
      // The mark stands apart from both the glass and the dots of its theme.
      {"yellow-green", "Жёлто-зелёный", 0xFFB4CB1E, 0xFF1E2A08, 0xFFA6BC18, 0xFF2C2F2A, 0xFF585C55,
       0xFFC0282D},
      {"blue", "Синий", 0xFF2442C8, 0xFFEAF1FF, 0xFF3050D2, 0xFF2A2C33, 0xFF565A66, 0xFFFFC83C},
      {"white-on-black", "Белый на чёрном", 0xFF0D0D0D, 0xFFF2F2F2, 0xFF1E1E1E, 0xFF3A3A3A,
       0xFF6A6A6A, 0xFF3CB4F0},
      {"amber", "Янтарный", 0xFF160B02, 0xFFFFB020, 0xFF2A1808, 0xFF33302C, 0xFF5E5A54, 0xFF3CB4F0},
  }};
  return kThemes;
}

const LcdTheme* FindLcdTheme(std::string_view idOrName) {
  for (const LcdTheme& theme : LcdThemes()) {
    // Ids are compared as settings names are: A to Z regardless of case,
    // whatever the locale.
    if (SameSettingsName(theme.id, idOrName) || theme.name == idOrName) return &theme;
  }
  return nullptr;
}

ModuleLayout LayOutModule(LcdGeometry geometry, int scale) {
  scale = std::clamp(scale, kMinLcdScale, kMaxLcdScale);
  ModuleLayout layout;
  layout.geometry = geometry;
  layout.dotSize = 2 * scale;
  layout.pitch = layout.dotSize + std::max(1, scale / 2);
  layout.border = 3 * scale + 2;
  layout.glassLeft = layout.border;
  layout.glassTop = layout.border;
  layout.dotsLeft = layout.glassLeft + kPitchesAroundDots * layout.pitch;
  layout.dotsTop = layout.glassTop + kPitchesAroundDots * layout.pitch;
  const int dotsWidth = (DotWidth(geometry) - 1) * layout.pitch + layout.dotSize;
  const int dotsHeight = (DotHeight(geometry) - 1) * layout.pitch + layout.dotSize;
  layout.width = 2 * layout.dotsLeft + dotsWidth;
  layout.height = 2 * layout.dotsTop + dotsHeight;
  return layout;
}

std::optional<std::pair<int, int>> ModuleLayout::CellAt(int x, int y) const {
  if (x < dotsLeft || y < dotsTop) return std::nullopt;
  const int cellWidth = (kCellDotWidth + 1) * pitch;
  const int cellHeight = (kCellDotHeight + 1) * pitch;
  const int column = (x - dotsLeft) / cellWidth;
  const int row = (y - dotsTop) / cellHeight;
  if (column >= geometry.columns || row >= geometry.rows) return std::nullopt;
  return std::pair{row, column};
}

std::pair<int, int> ModuleLayout::RowSpan(int row) const {
  const int top = dotsTop + row * (kCellDotHeight + 1) * pitch;
  return {top, top + (kCellDotHeight - 1) * pitch + dotSize};
}

RgbImage DrawModule(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme,
                    int scale) {
  const ModuleLayout layout = LayOutModule(geometry, scale);
  RgbImage image;
  image.width = layout.width;
  image.height = layout.height;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, theme.frame);
  // The bezel's inner edge, one pixel wide, then the glass inside it.
  FillRect(image, layout.border - 1, layout.border - 1, image.width - 2 * layout.border + 2,
           image.height - 2 * layout.border + 2, theme.frameEdge);
  FillRect(image, layout.glassLeft, layout.glassTop, image.width - 2 * layout.border,
           image.height - 2 * layout.border, theme.glass);
  for (int y = 0; y < bitmap.height; ++y) {
    // The blank rows and columns between cells are bare glass.
    if (y % (kCellDotHeight + 1) == kCellDotHeight) continue;
    for (int x = 0; x < bitmap.width; ++x) {
      if (x % (kCellDotWidth + 1) == kCellDotWidth) continue;
      FillRect(image, layout.dotsLeft + x * layout.pitch, layout.dotsTop + y * layout.pitch,
               layout.dotSize, layout.dotSize, bitmap.Lit(x, y) ? theme.lit : theme.unlit);
    }
  }
  return image;
}

RgbImage DrawModule(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme, int scale,
                    const std::vector<std::pair<int, int>>& markedCells) {
  RgbImage image = DrawModule(bitmap, geometry, theme, scale);
  const ModuleLayout layout = LayOutModule(geometry, scale);
  // The frame runs through the middle of the bare glass round the cell: the
  // gap between two cells is one dot pitch and a pitch's spacing wide.
  const int gap = 2 * layout.pitch - layout.dotSize;
  const int inset = std::max(1, gap / 2);
  const int cellWidth = (kCellDotWidth - 1) * layout.pitch + layout.dotSize;
  const int cellHeight = (kCellDotHeight - 1) * layout.pitch + layout.dotSize;
  for (const auto& [row, column] : markedCells) {
    if (row < 0 || row >= geometry.rows || column < 0 || column >= geometry.columns) continue;
    const int left = layout.dotsLeft + column * (kCellDotWidth + 1) * layout.pitch - inset;
    const int top = layout.dotsTop + row * (kCellDotHeight + 1) * layout.pitch - inset;
    const int width = cellWidth + 2 * inset;
    const int height = cellHeight + 2 * inset;
    FillRect(image, left, top, width, 1, theme.mark);
    FillRect(image, left, top + height - 1, width, 1, theme.mark);
    FillRect(image, left, top, 1, height, theme.mark);
    FillRect(image, left + width - 1, top, 1, height, theme.mark);
  }
  return image;
}

RgbImage DrawGlyph(const CustomGlyph& glyph, const LcdTheme& theme, int scale) {
  scale = std::clamp(scale, kMinLcdScale, kMaxLcdScale);
  const ModuleLayout layout = LayOutModule(kDefaultLcdGeometry, scale);
  RgbImage image;
  image.width = (kCellDotWidth - 1) * layout.pitch + layout.dotSize + 2 * layout.pitch;
  image.height = (kCellDotHeight - 1) * layout.pitch + layout.dotSize + 2 * layout.pitch;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, theme.glass);
  for (int y = 0; y < kCellDotHeight; ++y) {
    for (int x = 0; x < kCellDotWidth; ++x) {
      const bool lit = (glyph[static_cast<std::size_t>(y)] >> (kCellDotWidth - 1 - x)) & 1U;
      FillRect(image, layout.pitch + x * layout.pitch, layout.pitch + y * layout.pitch,
               layout.dotSize, layout.dotSize, lit ? theme.lit : theme.unlit);
    }
  }
  return image;
}

}  // namespace zeltrix
