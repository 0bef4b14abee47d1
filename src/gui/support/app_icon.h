#pragma once

#include <QIcon>

namespace zeltrix {

/** The desktop entry's id without ".desktop"; also the name of the installed icon. */
inline constexpr const char* kDesktopId = "org.zeltrix.Zeltrix";

/**
 * The program's icon: the one installed in the icon theme, so that the window
 * matches the desktop's menu, or the icon built into the program when the
 * theme has none (a build tree, a portable copy).
 */
QIcon ApplicationIcon();

}  // namespace zeltrix
