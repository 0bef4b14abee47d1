#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/lcd/character_rom.h"
#include "core/lcd/lcd_screen.h"

namespace zeltrix {

/**
 * The text that the codes show on a display with the ROM, in UTF-8: each
 * code as the character the ROM shows for it (RomShownCharacters), the codes
 * of the user's own characters 0x00 to 0x0F as ⟨0⟩ to ⟨7⟩ (0x08 to 0x0F show
 * the same eight), and any other code as \xNN (upper-case digits).
 *
 * A code that shows both a Latin and a Cyrillic letter (0x41, A and А, on the
 * Cyrillic ROM) is read as the Cyrillic one when its word, the run of codes
 * that show letters around it, holds a letter that only Cyrillic has and none
 * that only Latin has; else as the Latin one. So "Привет" and "Hello" both
 * come back as they were written.
 *
 * With a geometry, a line break follows every row's worth of codes (its
 * columns), the last row's excepted.
 */
std::string DecodeLcdCodes(std::string_view codes, CharacterRom rom,
                           std::optional<LcdGeometry> geometry = std::nullopt);

}  // namespace zeltrix
