#include "gui/support/window_placement.h"

#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zeltrix {

QPoint CentredOver(const QRect& frame, const QSize& size) {
  const QPoint centre = frame.center();
  return {std::max(0, centre.x() - size.width() / 2), std::max(0, centre.y() - size.height() / 2)};
}

void ShowOver(QWidget* window, QWidget* owner) {
  if (owner != nullptr) {
    window->move(CentredOver(owner->frameGeometry(), window->size()));
    window->winId();
    if (owner->windowHandle() != nullptr) {
      window->windowHandle()->setTransientParent(owner->windowHandle());
    }
  }
  window->show();
  window->activateWindow();
}

void BringToFront(QWidget* window) {
  if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace zeltrix
