#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/image/hex_layout.h"
#include "core/lcd/character_rom.h"
#include "core/lcd/lcd_screen.h"

namespace zeltrix {

class SettingsFile;

/** Number base codes of the SI field. */
enum NumberBase : std::int32_t { kBinary = 0, kDecimal = 1, kHexadecimal = 2 };

/**
 * One profile: how the codes of a text are written as data lines. A
 * default-constructed record holds the values of a new profile.
 */
struct ProfileRecord {
  std::uint8_t Preview = 0;  ///< 1 only for the format sample; never stored
  std::string Name;          ///< equals the group name; never stored as a key
  std::int32_t Ost1 = 0;
  std::int32_t Ost2 = 0;
  std::string Directive;
  std::string StartDataBlok;
  std::string EndDataBlok;
  std::string StartData;
  std::int32_t SI = kHexadecimal;
  std::string EndData;
  std::string RazdelitelData;
  std::string Comment;
  std::uint8_t CommentState = 0;
  std::int32_t CountByte = 0;
  std::uint8_t PerenosPoSlovam = 0;
  std::int32_t CountByteToComment = 0;
  std::uint8_t DeleteSumbolError = 0;
  std::uint8_t DeleteSpace = 0;
  std::uint8_t CountSpace = 2;
  CharacterRom Rom = CharacterRom::Cyrillic;  ///< the character ROM of the profile's display
  std::uint8_t LookAlikes = 0;  ///< not 0: a character the ROM lacks is shown by a look-alike
  HexLayout Layout = HexLayout::Plain;  ///< where an Intel HEX file puts the bytes
  std::uint8_t Cgram = 0;       ///< 1: characters the ROM lacks get custom characters (CGRAM)
  std::uint8_t CgramCodes = 8;  ///< the slots' codes: 0 for 0x00-0x07, 8 for 0x08-0x0F
  LcdGeometry Size = kDefaultLcdGeometry;  ///< the display's size, the unit of custom characters

  bool operator==(const ProfileRecord&) const = default;
};

/** The stored keys of a profile, in the order in which a profile is written. */
inline constexpr std::array<std::string_view, 17> kProfileKeys = {
    "Ost1",         "Ost2",      "Directive",       "StartDataBlok",      "EndDataBlok",
    "StartData",    "SI",        "EndData",         "RazdelitelData",     "Comment",
    "CommentState", "CountByte", "PerenosPoSlovam", "CountByteToComment", "DeleteSumbolError",
    "DeleteSpace",  "CountSpace"};

/**
 * Keys added to the 17 later, each with a default: written after them, and
 * only when the value differs from its default (or the group holds the key
 * already), so that a profile that leaves them at their defaults is stored
 * byte for byte as before. A missing key reads as its default.
 *   Rom         "Cyrillic" (default), "A00" or "A02"; read without regard to
 *               the case of A to Z, and anything else reads as "Cyrillic"
 *   LookAlikes  0 (default) or 1
 *   Layout      "Plain" (default), "PIC16" or "PIC18": the Intel HEX layout;
 *               read as Rom is, and the command line's names read too
 *   Cgram       0 (default) or 1; any value but 1 reads as 0
 *   CgramCodes  8 (default: slots at 0x08-0x0F, so that no code is 0, which
 *               ends C strings) or 0 (0x00-0x07); any value but 0, or one
 *               that is no number, reads as 8
 *   Size        "16x2" (default) or another of kLcdGeometries, as GeometryName
 *               writes it; anything else reads as 16x2
 */
inline constexpr std::array<std::string_view, 6> kOptionalProfileKeys = {
    "Rom", "LookAlikes", "Layout", "Cgram", "CgramCodes", "Size"};

/** Stores a text value between "[String]" and "[/String]", so its outer spaces survive. */
std::string WrapText(std::string_view value);

/**
 * Takes a stored text value apart: removes every "[String]" when one stands
 * anywhere, and every "[/String]" when one starts at the eighth character or
 * later. A value without the markers stays as it is.
 */
std::string UnwrapText(std::string_view stored);

/**
 * Reads the 17 stored fields and the optional ones from the current group of
 * an open settings file; a missing key gives its default (Ost1, Ost2, SI and
 * CountSpace 2, Rom Cyrillic, CgramCodes 8, Size 16x2, the rest 0 or empty).
 * Name and Preview are left as they are.
 */
void ReadProfileFields(SettingsFile& file, ProfileRecord& record);

/**
 * Writes the 17 stored fields into the current group, in key order, texts
 * wrapped; then the optional ones that differ from their defaults.
 */
void WriteProfileFields(SettingsFile& file, const ProfileRecord& record);

}  // namespace zeltrix
