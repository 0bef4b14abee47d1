#pragma once

#include <vector>

#include "core/settings/startup_rules.h"

namespace zeltrix {

/** The available areas of the screens, the primary screen first. */
std::vector<ScreenArea> AvailableScreenAreas();

}  // namespace zeltrix
