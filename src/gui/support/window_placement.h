#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace zeltrix {

// Where the program's windows appear and how they come to the front.

/**
 * Where a window of that size goes to sit centred over another window's
 * frame, kept right of and below the screen's origin so that its caption
 * can always be reached.
 */
QPoint CentredOver(const QRect& frame, const QSize& size);

/**
 * Shows a window that has no parent widget (so that disabling its owner does
 * not disable it too) centred over its owner and kept above it, and makes it
 * the active window.
 */
void ShowOver(QWidget* window, QWidget* owner);

/** Brings a window back from the taskbar, shows it in front and makes it the active window. */
void BringToFront(QWidget* window);

}  // namespace zeltrix
