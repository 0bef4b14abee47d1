#pragma once

#include <QWidget>

namespace zeltrix {

/**
 * The window a message box or file dialog belongs over: the active window
 * when it takes input, else the given one when it does, else none. While a
 * long conversion or a profile window runs, the main window is disabled, and
 * a dialog over it would be disabled too.
 */
QWidget* DialogParent(QWidget* preferred);

}  // namespace zeltrix
