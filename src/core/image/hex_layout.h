#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zeltrix {

/**
 * Where the bytes of an image (EEPROM byte addresses, as the user thinks of
 * them) stand in an Intel HEX file.
 */
enum class HexLayout {
  Plain,        ///< each byte at its own address
  Pic16Eeprom,  ///< PIC16 data EEPROM: byte a in the word at 0x4200 + 2a, high byte 0
  Pic18Eeprom,  ///< PIC18 data EEPROM: byte a at 0xF00000 + a
};

/** Every layout, in the order the program offers them. */
inline constexpr std::array<HexLayout, 3> kHexLayouts = {HexLayout::Plain, HexLayout::Pic16Eeprom,
                                                         HexLayout::Pic18Eeprom};

/** The HEX address of the image's byte 0. */
constexpr std::uint64_t HexLayoutBase(HexLayout layout) {
  switch (layout) {
    case HexLayout::Pic16Eeprom:
      return 0x4200;
    case HexLayout::Pic18Eeprom:
      return 0xF00000;
    case HexLayout::Plain:
      break;
  }
  return 0;
}

/** HEX bytes per image byte: 2 for a layout of words, else 1. */
constexpr std::uint64_t HexLayoutStride(HexLayout layout) {
  return layout == HexLayout::Pic16Eeprom ? 2 : 1;
}

namespace detail {
constexpr bool SameLetters(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace detail

/** The value of the profile key Layout: "Plain", "PIC16", "PIC18". */
constexpr std::string_view HexLayoutStoredName(HexLayout layout) {
  switch (layout) {
    case HexLayout::Pic16Eeprom:
      return "PIC16";
    case HexLayout::Pic18Eeprom:
      return "PIC18";
    case HexLayout::Plain:
      break;
  }
  return "Plain";
}

/** The value of the command line's --layout: "plain", "pic16-eeprom", "pic18-eeprom". */
constexpr std::string_view HexLayoutOptionName(HexLayout layout) {
  switch (layout) {
    case HexLayout::Pic16Eeprom:
      return "pic16-eeprom";
    case HexLayout::Pic18Eeprom:
      return "pic18-eeprom";
    case HexLayout::Plain:
      break;
  }
  return "plain";
}

/** The name the windows show (UTF-8): "Обычный", "PIC16 EEPROM", "PIC18 EEPROM". */
constexpr std::string_view HexLayoutTitle(HexLayout layout) {
  switch (layout) {
    case HexLayout::Pic16Eeprom:
      return "PIC16 EEPROM";
    case HexLayout::Pic18Eeprom:
      return "PIC18 EEPROM";
    case HexLayout::Plain:
      break;
  }
  return "Обычный";
}

/**
 * The layout of a stored name or an option name, the letters A to Z taken
 * without case; nothing for any other text.
 */
constexpr std::optional<HexLayout> HexLayoutNamed(std::string_view name) {
  for (const HexLayout layout : kHexLayouts) {
    if (detail::SameLetters(name, HexLayoutStoredName(layout)) ||
        detail::SameLetters(name, HexLayoutOptionName(layout))) {
      return layout;
    }
  }
  return std::nullopt;
}

}  // namespace zeltrix
