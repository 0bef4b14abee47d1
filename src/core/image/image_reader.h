#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/image/hex_layout.h"
#include "core/image/image_writer.h"
#include "core/image/sparse_image.h"
#include "core/lcd/character_rom.h"
#include "core/lcd/lcd_screen.h"
#include "core/ui/result.h"

namespace zeltrix {

/**
 * The image that the content of the file at path holds: a BIN file's bytes
 * from address 0, an Intel HEX file's image in the layout's terms
 * (ImageInLayout). A bad record (HexFaultText) and a PIC16 EEPROM word that
 * is not one (HexLayoutFaultText) give the message why, with the title
 * "Ошибка" and an error icon; the path only names the file in them.
 */
Result<SparseImage> ImageFromContent(const std::string& path, std::string content,
                                     ImageFileFormat format, HexLayout layout);

/**
 * The image a file holds (ImageFromContent), or the message why there is
 * none: its faults, and for a file that cannot be read "Не удалось открыть
 * файл \n\"PATH\"\nReason.", with the title "Ошибка" and an error icon.
 */
Result<SparseImage> ReadImageFile(const std::string& path, ImageFileFormat format,
                                  HexLayout layout);

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
 * SelectImageBytes and DecodeLcdCodes; the message of ReadImageFile when the
 * file gives no image, an empty text when the addresses hold no bytes.
 */
Result<std::string> DecodeImageFile(const std::string& path, const ImageDecoding& how);

}  // namespace zeltrix
