#include "core/settings/startup_rules.h"

#include <algorithm>
#include <cstdint>

namespace zeltrix {

void CorrectStoredGeometry(AppSettings& settings) {
  if (settings.X < -280 || settings.X > 2000) settings.X = 10;
  if (settings.Y < -20 || settings.Y > 1800) settings.Y = 10;
  if (settings.W < 300) settings.W = 410;
  if (settings.H < 300) settings.H = 410;
}

namespace {

// The area that the window and the screen share; 64 bits, since a stored
// size may be anything up to the largest 32-bit number.
std::int64_t SharedArea(const AppSettings& s, const ScreenArea& screen) {
  const std::int64_t left = std::max<std::int64_t>(s.X, screen.x);
  const std::int64_t top = std::max<std::int64_t>(s.Y, screen.y);
  const std::int64_t right =
      std::min<std::int64_t>(std::int64_t{s.X} + s.W, std::int64_t{screen.x} + screen.width);
  const std::int64_t bottom =
      std::min<std::int64_t>(std::int64_t{s.Y} + s.H, std::int64_t{screen.y} + screen.height);
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

}  // namespace

void FitStoredGeometryToScreens(AppSettings& settings, const std::vector<ScreenArea>& screens) {
  const ScreenArea* best = nullptr;
  std::int64_t bestArea = 0;
  for (const ScreenArea& screen : screens) {
    if (screen.width <= 0 || screen.height <= 0) continue;
    const std::int64_t area = SharedArea(settings, screen);
    if (best == nullptr || area > bestArea) {
      best = &screen;
      bestArea = area;
    }
  }
  if (best == nullptr) return;
  settings.W = std::min(settings.W, best->width);
  settings.H = std::min(settings.H, best->height);
  if (bestArea == 0) {
    settings.X = std::clamp(settings.X, best->x, best->x + best->width - settings.W);
    settings.Y = std::clamp(settings.Y, best->y, best->y + best->height - settings.H);
  }
}

int ProfileIndexToSelect(int pos, int count) { return pos < 0 || pos >= count ? count - 1 : pos; }

}  // namespace zeltrix
