#include "core/lcd/rom_glyphs.h"

namespace zeltrix {

const RomGlyphTable& RomGlyphs(CharacterRom rom) {
  switch (rom) {
    case CharacterRom::A00:
      return detail::kRomA00;
    case CharacterRom::A02:
      return detail::kRomA02;
    case CharacterRom::Cyrillic:
      break;
  }
  return detail::kRomCyrillic;
}

}  // namespace zeltrix
