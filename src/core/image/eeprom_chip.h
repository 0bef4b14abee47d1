#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeltrix {

/** A serial EEPROM chip that an image may be made the size of. */
struct EepromChip {
  std::string_view name;  ///< "24C02"
  std::uint32_t size;     ///< bytes

  bool operator==(const EepromChip&) const = default;
};

/** The chips the program offers, smallest first. */
inline constexpr std::array<EepromChip, 10> kEepromChips = {{
    {"24C01", 128},
    {"24C02", 256},
    {"24C04", 512},
    {"24C08", 1024},
    {"24C16", 2048},
    {"24C32", 4096},
    {"24C64", 8192},
    {"24C128", 16384},
    {"24C256", 32768},
    {"24C512", 65536},
}};

/** The chip of a name ("24c02" or "24C02"); nothing for any other text. */
std::optional<EepromChip> EepromChipNamed(std::string_view name);

/**
 * The refusal of an image that the chip cannot hold, by how many bytes:
 * "Данные не помещаются в микросхему 24C02: не хватает 12 байт".
 */
std::string ChipOverflowText(const EepromChip& chip, std::uint64_t excess);

}  // namespace zeltrix
