#pragma once

#include <QObject>
#include <memory>

namespace zeltrix {

/**
 * Lets the owner's pointer go when that window reports itself closed. The
 * window is deleted later, as its close is still running when it reports.
 */
template <class Window>
void ReleaseWhenClosed(QObject* owner, std::unique_ptr<Window>& slot) {
  Window* window = slot.get();
  QObject::connect(window, &Window::closed, owner, [&slot, window] {
    if (slot.get() == window) slot.release()->deleteLater();
  });
}

}  // namespace zeltrix
