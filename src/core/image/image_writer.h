#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/image/eeprom_chip.h"
#include "core/image/hex_layout.h"
#include "core/lcd/bin_writer.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix {

/** The kinds of file an image is written to and read from. */
enum class ImageFileFormat {
  Bin,       ///< the bytes themselves, from address 0
  IntelHex,  ///< Intel HEX records
};

/** The format of a name: "bin" or "hex" (either case); nothing for any other text. */
std::optional<ImageFileFormat> ImageFileFormatNamed(std::string_view name);

/** The format a file name asks for: Intel HEX for .hex and .ihx (either case), else BIN. */
ImageFileFormat ImageFileFormatOfPath(std::string_view path);

/** How an image is written. */
struct ImageFormat {
  ImageFileFormat file = ImageFileFormat::Bin;
  HexLayout layout = HexLayout::Plain;  ///< Intel HEX only
  int recordLength = 16;                ///< Intel HEX data bytes per record: 32, else 16
  std::optional<EepromChip> chip = {};  ///< the chip a new image is padded to, and any image fits

  bool operator==(const ImageFormat&) const = default;
};

/**
 * WriteBinBlock for BIN and Intel HEX files, with the same checks,
 * questions and outcomes, under the file's FileLock and through a
 * replacement of the whole file. Only the questions go through the
 * prompter; a refusal or a failure is the message returned.
 *
 * An Intel HEX file is an image in the layout's terms (its EEPROM
 * addresses): a new file holds the block at the start address (the field's
 * value; 0 when it is empty), in the layout and with CR LF line ends. An
 * existing one is read first (a bad record, or a PIC16 EEPROM word with a high
 * byte that is not 0, is refused with its message and nothing is written);
 * its image then changes as a BIN file would: appended after its last byte,
 * inserted at the address (every byte at or after it, gaps too, moves up by
 * the block's length) or written over from it; the question of the end comes
 * when the address is not below one past its last byte. Every other byte of
 * the file, outside the layout's part too, stays at its address, gaps stay
 * gaps; the file keeps its line ends and its start-address record.
 *
 * With a chip, a new image (BIN or HEX) is padded with 0xFF to the chip's
 * size, and an image that the chip cannot hold, new or changed, is refused
 * with ChipOverflowText; an existing image is not padded. An image that would
 * reach past the last HEX address is refused too.
 */
Status WriteImageBlock(const std::string& path, std::string_view codes, const ImageFormat& format,
                       BinTarget target, BinPlacement placement, BinManner manner,
                       std::string_view startAddress, Prompter& prompter);

}  // namespace zeltrix
