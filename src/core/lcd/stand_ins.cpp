#include "core/lcd/stand_ins.h"

#include <algorithm>

namespace zeltrix {

std::span<const StandIn> StandInTable() { return detail::kStandInTable; }

char32_t StandInFor(CharacterRom rom, char32_t character) {
  if (rom == CharacterRom::Cyrillic) return 0;
  const auto table = StandInTable();
  const auto at =
      std::lower_bound(table.begin(), table.end(), character,
                       [](const StandIn& entry, char32_t c) { return entry.letter < c; });
  if (at == table.end() || at->letter != character) return 0;
  return rom == CharacterRom::A00 ? at->a00 : at->a02;
}

}  // namespace zeltrix
