#include "gui/support/screen_areas.h"

#include <QGuiApplication>
#include <QScreen>

namespace zeltrix {

std::vector<ScreenArea> AvailableScreenAreas() {
  std::vector<ScreenArea> areas;
  QScreen* primary = QGuiApplication::primaryScreen();
  QList<QScreen*> screens = QGuiApplication::screens();
  if (primary != nullptr) {
    screens.removeAll(primary);
    screens.prepend(primary);
  }
  for (const QScreen* screen : screens) {
    const QRect r = screen->availableGeometry();
    areas.push_back({r.x(), r.y(), r.width(), r.height()});
  }
  return areas;
}

}  // namespace zeltrix
