#include "gui/support/fixed_layout.h"

#include <QFontInfo>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zeltrix {

QPoint CentredOver(const QRect& frame, const QSize& size) {
  const QPoint centre = frame.center();
  return {std::max(0, centre.x() - size.width() / 2), std::max(0, centre.y() - size.height() / 2)};
}

QFont FixedLayoutFont() {
  QFont font("DejaVu Sans");
  font.setPixelSize(10);
  font.setStretch(QFont::SemiCondensed);
  return font;
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

void FitText(QWidget* control) {
  QFont font = control->font();
  // A font given in points is measured in pixels first.
  if (font.pixelSize() < 0) font.setPixelSize(QFontInfo(font).pixelSize());
  while (control->sizeHint().width() > control->width() && font.pixelSize() > 7) {
    font.setPixelSize(font.pixelSize() - 1);
    control->setFont(font);
  }
}

}  // namespace zeltrix
