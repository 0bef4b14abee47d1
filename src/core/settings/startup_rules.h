#pragma once

#include <string>

#include "core/settings/app_settings.h"
#include "core/settings/program_paths.h"  // start-up works on the program's paths

namespace zeltrix {

/**
 * Replaces a stored window position or size that cannot be right: X outside
 * -280..2000 and Y outside -20..1800 become 10, a width or height below 300
 * becomes 410. A window closed while minimised thus comes back on screen.
 */
void CorrectStoredGeometry(AppSettings& settings);

/** The profile entry to select at start-up: Pos, or the last one when Pos is out of range; -1 for
 * none. */
int ProfileIndexToSelect(int pos, int count);

}  // namespace zeltrix
