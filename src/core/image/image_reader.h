#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/image/hex_layout.h"
#include "core/image/image_writer.h"
#include "core/image/sparse_image.h"
#include "core/lcd/character_rom.h"
#include "core/lcd/lcd_screen.h"
#include "core/ui/prompter.h"

namespace zeltrix {

/**
 * The image a file holds: a BIN file's bytes from address 0, an Intel HEX
 * file's image in the layout's terms (ImageInLayout). A file that cannot be
 * read ("Не удалось открыть файл \n\"PATH\"\nReason."), a bad record
 * (HexFaultText) and a PIC16 EEPROM word that is not one (HexLayoutFaultText)
 * are reported with the title "Ошибка" and an error icon, and give nothing.
 */
std::optional<SparseImage> ReadImageFile(const std::string& path, ImageFileFormat format,
                                         HexLayout layout, Prompter& prompter);

/**
 * The bytes at the addresses from to from + length - 1 (to the image's end
 * without a length), in order; a gap gives nothing, as it holds nothing.
 */
std::string SelectImageBytes(const SparseImage& image, std::uint64_t from,
                             std::optional<std::uint64_t> length);

/** What to read back from an image file, and how to show it. */
struct ImageDecoding {
  ImageFileFormat format = ImageFileFormat::Bin;
  HexLayout layout = HexLayout::Plain;
  std::uint64_t from = 0;
  std::optional<std::uint64_t> length = {};  ///< to the image's end when not given
  CharacterRom rom = CharacterRom::Cyrillic;
  std::optional<LcdGeometry> geometry = {};  ///< a line per display row when given
};

/**
 * The text an image file shows on the display, in UTF-8: ReadImageFile,
 * SelectImageBytes and DecodeLcdCodes. Nothing after a reported failure; an
 * empty text when the addresses hold no bytes.
 */
std::optional<std::string> DecodeImageFile(const std::string& path, const ImageDecoding& how,
                                           Prompter& prompter);

}  // namespace zeltrix
