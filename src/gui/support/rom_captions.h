#pragma once

#include <QComboBox>

#include "core/lcd/character_rom.h"

namespace zeltrix {

/** What the windows call a character ROM: "Кириллица", "A00 (английский, японский)", ... */
inline QString RomCaption(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00:
      return "A00 (английский, японский)";
    case CharacterRom::A02:
      return "A02 (английский, европейский)";
    case CharacterRom::Cyrillic:
      break;
  }
  return "Кириллица";
}

/** Fills a list with every ROM, in the order of kCharacterRoms, so that an item's row is its ROM.
 */
inline void AddRomItems(QComboBox* list) {
  for (const CharacterRom rom : kCharacterRoms) list->addItem(RomCaption(rom));
}

/** The ROM of a row of such a list; the first for none. */
inline CharacterRom RomOfRow(int row) {
  return row > 0 && row < static_cast<int>(kCharacterRoms.size())
             ? kCharacterRoms[static_cast<std::size_t>(row)]
             : kCharacterRoms.front();
}

/** The row of a ROM in such a list. */
inline int RowOfRom(CharacterRom rom) {
  for (std::size_t row = 0; row < kCharacterRoms.size(); ++row) {
    if (kCharacterRoms[row] == rom) return static_cast<int>(row);
  }
  return 0;
}

}  // namespace zeltrix
