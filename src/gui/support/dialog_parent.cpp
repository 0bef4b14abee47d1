#include "gui/support/dialog_parent.h"

#include <QApplication>

namespace zeltrix {

QWidget* DialogParent(QWidget* preferred) {
  QWidget* parent = QApplication::activeWindow();
  if (parent == nullptr || !parent->isEnabled()) parent = preferred;
  return parent != nullptr && parent->isEnabled() ? parent : nullptr;
}

}  // namespace zeltrix
