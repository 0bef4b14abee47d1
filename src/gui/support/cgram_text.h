#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "gui/support/cgram_core.h"

namespace zeltrix {

/** Screens listed by name in the message about custom characters that did not fit. */
inline constexpr std::size_t kCgramMessageLines = 10;

/**
 * The message after a conversion with custom characters whose screens need
 * more than the display holds: the screens, at most kCgramMessageLines.
 */
inline std::string CgramOverflowText(const std::vector<CgramReport>& overflows) {
  return "Своих знаков нужно больше, чем помещается в индикатор (8 на экран):\n" +
         CgramMessages(overflows, kCgramMessageLines);
}

}  // namespace zeltrix
