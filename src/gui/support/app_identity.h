#pragma once

#include <QGuiApplication>
#include <QIcon>

namespace zeltrix {

/** The desktop entry's id without ".desktop"; also the name of the installed icon. */
inline constexpr const char* kDesktopId = "org.zeltrix.Zeltrix";

/**
 * Registers the program's built-in icons and pictures (a static library's
 * resources are registered by hand); later calls do nothing.
 */
void InitOwnResources();

/**
 * The program's icon: the one installed in the icon theme, so that the window
 * matches the desktop's menu, or the icon built into the program when the
 * theme has none (a build tree, a portable copy).
 */
QIcon ApplicationIcon();

/**
 * Names the application as the desktop knows it: the name that also names the
 * user's configuration folder, the desktop entry the windows belong to (so the
 * desktop shows its name and icon for them), and the icon of every window.
 */
void SetUpApplicationIdentity(QGuiApplication& app);

}  // namespace zeltrix
