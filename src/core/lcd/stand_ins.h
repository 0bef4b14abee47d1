#pragma once

#include <span>

#include "core/lcd/character_rom.h"

namespace zeltrix {

/**
 * A Russian letter and the ROM characters that stand in for it on A00 and on
 * A02 when a screen leaves it without a custom character; 0 where the ROM
 * has none.
 */
struct StandIn {
  char32_t letter;
  char32_t a00;
  char32_t a02;
};

/**
 * Every Russian letter (А to я, Ё and ё) with its stand-ins, sorted by
 * letter, from resources/lcd-fonts/stand-ins.txt, where the choices are
 * explained. Every stand-in is a character its ROM shows by its own code.
 */
std::span<const StandIn> StandInTable();

/**
 * The character that stands in for this one on the ROM, or 0 when none does.
 * The Cyrillic ROM shows every Russian letter and has no stand-ins.
 */
char32_t StandInFor(CharacterRom rom, char32_t character);

namespace detail {
extern const std::span<const StandIn> kStandInTable;
}  // namespace detail

}  // namespace zeltrix
