#include "gui/support/dialog_parent.h"

#include <QApplication>

namespace zeltrix {
namespace {

// The window asking now; everything runs on the one user-interface thread.
QWidget* g_asking = nullptr;

bool TakesInput(const QWidget* window) {
  return window != nullptr && window->isVisible() && window->isEnabled();
}

}  // namespace

AskingWindow::AskingWindow(QWidget* window) : m_previous(g_asking) { g_asking = window; }

AskingWindow::~AskingWindow() { g_asking = m_previous; }

QWidget* DialogParent(QWidget* preferred) {
  if (TakesInput(g_asking)) return g_asking->window();
  QWidget* parent = QApplication::activeWindow();
  if (parent == nullptr || !parent->isEnabled()) parent = preferred;
  return parent != nullptr && parent->isEnabled() ? parent : nullptr;
}

void ReturnTo(QWidget* window) {
  // The desktop may give the keyboard to another of the program's windows
  // when a dialog closes, and raise it over the one the dialog belonged to.
  if (!TakesInput(window)) return;
  window->raise();
  window->activateWindow();
}

}  // namespace zeltrix
