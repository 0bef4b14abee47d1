#pragma once

// The core's custom characters for the windows. Qt defines "slots" as a
// keyword macro, which would take the members of that name in these headers:
// the windows include them through this header (never directly) and read a
// screen's slots with SlotsOf.
#include <QObject>
#include <array>

#pragma push_macro("slots")
#undef slots
#include "core/lcd/cgram_output.h"
#include "core/lcd/cgram_plan.h"

namespace zeltrix {

/** The eight slots of a screen, slot 0 first. */
using CgramSlots = std::array<CgramSlot, kCgramSlots>;

/** The slots of a planned screen. */
inline const CgramSlots& SlotsOf(const CgramScreen& screen) { return screen.slots; }

}  // namespace zeltrix

#pragma pop_macro("slots")
