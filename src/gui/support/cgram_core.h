#pragma once

// The core's custom characters, as the windows use them.
#include <array>

#include "core/lcd/cgram_output.h"
#include "core/lcd/cgram_plan.h"

namespace zeltrix {

/** The eight slots of a screen, slot 0 first. */
using CgramSlots = std::array<CgramSlot, kCgramSlots>;

/** The slots of a planned screen. */
inline const CgramSlots& SlotsOf(const CgramScreen& screen) { return screen.cgramSlots; }

}  // namespace zeltrix
