#include "core/image/eeprom_chip.h"

namespace zeltrix {

std::optional<EepromChip> EepromChipNamed(std::string_view name) {
  for (const EepromChip& chip : kEepromChips) {
    if (chip.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; same && i < name.size(); ++i) {
      same = chip.name[i] == (name[i] == 'c' ? 'C' : name[i]);
    }
    if (same) return chip;
  }
  return std::nullopt;
}

std::string ChipOverflowText(const EepromChip& chip, std::uint64_t excess) {
  // "не хватает 1 байта", "21 байта", but "2 байт", "11 байт".
  const bool one = excess % 10 == 1 && excess % 100 != 11;
  return "Данные не помещаются в микросхему " + std::string(chip.name) + ": не хватает " +
         std::to_string(excess) + (one ? " байта" : " байт");
}

}  // namespace zeltrix
