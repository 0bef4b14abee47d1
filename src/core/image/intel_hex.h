#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/image/hex_layout.h"
#include "core/image/sparse_image.h"
#include "core/ui/result.h"

namespace zeltrix {

/** One past the last address an Intel HEX file can describe (32 bits). */
inline constexpr std::uint64_t kHexAddressLimit = 0x100000000;

/** How the lines of a text file end. */
enum class LineEnd { CrLf, Lf };

/**
 * A start-address record: type 03 (CS:IP, the segment in the upper 16 bits
 * of value) or 05 (a 32-bit linear address). The program never makes one;
 * it keeps one that a file it rewrites holds.
 */
struct HexStartRecord {
  std::uint8_t type = 5;
  std::uint32_t value = 0;

  bool operator==(const HexStartRecord&) const = default;
};

/** What an Intel HEX file holds, as far as the program reads and writes it. */
struct HexFile {
  SparseImage image;  ///< the data bytes at their HEX addresses, below kHexAddressLimit
  LineEnd lineEnd = LineEnd::CrLf;  ///< those of its first line; CR LF for a new file
  std::optional<HexStartRecord> start;

  bool operator==(const HexFile&) const = default;
};

/** Why a file is not read: the line (from 1) and the reason, in Russian. */
struct HexFault {
  std::size_t line = 0;
  std::string reason;
};

/**
 * Reads the text of an Intel HEX file: data (00), end of file (01),
 * extended segment (02) and extended linear address (04) records, and the
 * start-address records (03, 05). Every record is checked: the colon, the
 * hexadecimal digits (either case), the length against the data, the
 * checksum, the length its type asks for, a known type; data that a record
 * gives twice, data past 4 GiB, records after the end-of-file record and a
 * missing end-of-file record are refused too. Blank lines and blanks around a
 * record are passed over; a text with no record at all is an empty image.
 * Data records address bytes linearly from the last 02 or 04 base, also past
 * a 64 KiB boundary. The first fault ends the reading and is returned.
 */
Result<HexFile, HexFault> ReadIntelHex(std::string_view text);

/** The message of a fault: "Строка 12 файла \"x.hex\": неверная контрольная сумма". */
std::string HexFaultText(std::string_view path, const HexFault& fault);

/**
 * The text of the file: data records of recordLength bytes (32, else 16),
 * each starting at a multiple of its length so that none crosses a 64 KiB
 * boundary, an extended linear address record before the first record whose
 * upper 16 address bits differ from the last ones (they start as 0), the
 * start record when the file has one, and the end-of-file record; digits in
 * upper case, lines ended as the file's lineEnd says.
 */
std::string WriteIntelHex(const HexFile& file, int recordLength = 16);

/** One past the last image address the layout can place below kHexAddressLimit. */
constexpr std::uint64_t HexLayoutLimit(HexLayout layout) {
  return (kHexAddressLimit - HexLayoutBase(layout)) / HexLayoutStride(layout);
}

/**
 * The image that the layout places in the HEX image, at its own addresses:
 * the bytes from the layout's base address on (all bytes for Plain). For
 * PIC16 EEPROM every word there must be whole with a high byte of 0;
 * otherwise the reason why not (for HexLayoutFaultText).
 */
Result<SparseImage, std::string> ImageInLayout(const SparseImage& hex, HexLayout layout);

/**
 * Replaces what the layout places in the HEX image by the image (which must
 * end by HexLayoutLimit); the bytes below the layout's base stay.
 */
void PutInLayout(SparseImage& hex, const SparseImage& image, HexLayout layout);

/**
 * The message of a fault from ImageInLayout: "Файл \"x.hex\" не подходит для
 * размещения «PIC16 EEPROM»: " and the reason.
 */
std::string HexLayoutFaultText(std::string_view path, HexLayout layout, std::string_view reason);

}  // namespace zeltrix
