#pragma once

#include <string>
#include <vector>

#include "core/settings/app_settings.h"
#include "core/settings/program_paths.h"  // start-up works on the program's paths

namespace zeltrix {

/**
 * Replaces a stored window position or size that cannot be right: X outside
 * -280..2000 and Y outside -20..1800 become 10, a width or height below 300
 * becomes 410. A window closed while minimised thus comes back on screen.
 */
void CorrectStoredGeometry(AppSettings& settings);

/** The part of a screen that windows may take, in screen pixels. */
struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

/**
 * Fits the stored window to the screens (the primary one first): its size
 * to at most the area of the screen that shows most of it, and a window
 * that no screen shows is moved onto the first. A window larger than its
 * screen costs memory in proportion to its area and helps no one.
 */
void FitStoredGeometryToScreens(AppSettings& settings, const std::vector<ScreenArea>& screens);

/** The profile entry to select at start-up: Pos, or the last one when Pos is out of range; -1 for
 * none. */
int ProfileIndexToSelect(int pos, int count);

}  // namespace zeltrix
