#pragma once

#include <array>
#include <cstdint>

namespace zeltrix {

namespace detail {

// HD44780 codes of the Windows-1251 bytes 0xC0 (А) to 0xFF (я), in that order.
inline constexpr std::array<std::uint8_t, 64> kCyrillicLetters = {
    0x41, 0xA0, 0x42, 0xA1, 0xE0, 0x45, 0xA3, 0xA4,  // А Б В Г Д Е Ж З
    0xA5, 0xA6, 0x4B, 0xA7, 0x4D, 0x48, 0x4F, 0xA8,  // И Й К Л М Н О П
    0x50, 0x43, 0x54, 0xA9, 0xAA, 0x58, 0xE1, 0xAB,  // Р С Т У Ф Х Ц Ч
    0xAC, 0xE2, 0xAD, 0xAE, 0x62, 0xAF, 0xB0, 0xB1,  // Ш Щ Ъ Ы Ь Э Ю Я
    0x61, 0xB2, 0xB3, 0xB4, 0xE3, 0x65, 0xB6, 0xB7,  // а б в г д е ж з
    0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0x6F, 0xBE,  // и й к л м н о п
    0x70, 0x63, 0xBF, 0x79, 0xE4, 0x78, 0xE5, 0xC0,  // р с т у ф х ц ч
    0xC1, 0xE6, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7,  // ш щ ъ ы ь э ю я
};

constexpr std::array<std::uint8_t, 256> MakeLcdTable() {
  std::array<std::uint8_t, 256> table{};
  // Space to "z" are the same in both; "{" to "~" and DEL are not in the ROM.
  for (int c = 0x20; c <= 0x7A; ++c) table[c] = static_cast<std::uint8_t>(c);
  for (int c = 0xC0; c <= 0xFF; ++c) table[c] = kCyrillicLetters[c - 0xC0];
  table[0xA8] = 0xA2;  // Ё
  table[0xB8] = 0xB5;  // ё
  table[0xAB] = 0xC8;  // «
  table[0xBB] = 0xC9;  // »
  table[0xB9] = 0xCC;  // №
  return table;
}

inline constexpr std::array<std::uint8_t, 256> kLcdTable = MakeLcdTable();

}  // namespace detail

/**
 * The HD44780 code (Cyrillic character ROM) under which the display shows a
 * Windows-1251 character, or 0 when the display cannot show it.
 */
constexpr std::uint8_t LcdCode(std::uint8_t textCode) { return detail::kLcdTable[textCode]; }

/** LcdCode for a byte of a std::string. */
constexpr std::uint8_t LcdCode(char textCode) {
  return detail::kLcdTable[static_cast<std::uint8_t>(textCode)];
}

/** A displayable character is one whose LcdCode is not 0. */
constexpr bool IsDisplayable(char textCode) { return LcdCode(textCode) != 0; }

}  // namespace zeltrix
