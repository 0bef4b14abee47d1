#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/image_writer.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/cgram_plan.h"
#include "core/lcd/formatter.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix {

/**
 * Data lines with custom characters, as ConvertText and its kin write them
 * for a profile whose Cgram is 1. The text is laid out and planned screen by
 * screen (PlanCgramScreens with CgramSetupOf(profile)), and each screen is
 * written on its own:
 *  - a screen that loads slots (CgramScreen::loads) first gets its CGRAM
 *    block: when the profile has a comment start, a comment line that names
 *    every slot the screen uses and its characters ("; CGRAM 0x08: Б, 0x09: Д"),
 *    then, slot by slot, one data line with the slot's 8 row bytes as its
 *    data (top row first), in the profile's number base, separators, block
 *    ends and byte-count note. A screen whose slots hold their glyphs
 *    already (or which uses none) gets no block;
 *  - then every display row of the screen, rows past the text's end
 *    included, is converted as a text of its own: the characters of its cells
 *    padded with spaces to the row's width, cut into chunks as the profile
 *    says (CountByte 0: the row is one data line; else pieces of CountByte
 *    characters, with word wrap when it is on), each chunk with its comment
 *    line (CommentState) and a data line of its cells' codes: slot codes,
 *    stand-ins, a space for a character left blank. A screen's rows thus hold
 *    the codes of its BIN record, and a firmware writes each row whole, which
 *    also clears what the screen before left there.
 * Characters past a row's width are not on the screen and are in no data
 * line. The removal options (DeleteSumbolError, DeleteSpace) are not applied:
 * a character that the display cannot show in any way takes no cell anyway,
 * and spaces are cells that must stay where the preview shows them.
 *
 * The output is Windows-1251 for a char text and UTF-8 for a char32_t text,
 * as ConvertText's. The observer (used when Preview is 0) follows the
 * position in the text and is asked between two rows whether to stop, which
 * leaves the lines written so far. When given, reports receives the report of
 * every screen that needs more than 8 custom glyphs, in order.
 */
std::string ConvertCgramText(std::string_view text, const ProfileRecord& profile,
                             ConvertObserver* observer = nullptr,
                             std::vector<CgramReport>* reports = nullptr);
std::string ConvertCgramText(std::u32string_view text, const ProfileRecord& profile,
                             ConvertObserver* observer = nullptr,
                             std::vector<CgramReport>* reports = nullptr);

/** ConvertCgramText handing its output to the sink in pieces of about a megabyte, whole lines. */
void ConvertCgramTextTo(std::string_view text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);
void ConvertCgramTextTo(std::u32string_view text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);

/** The bytes of a CGRAM slot area in a BIN record: 8 slots of 8 rows. */
inline constexpr std::size_t kCgramRecordGlyphBytes = kCgramSlots * 8;

/** The size of one screen's BIN record: the 64 CGRAM bytes and a code per cell. */
constexpr std::size_t CgramRecordSize(LcdGeometry geometry) {
  return kCgramRecordGlyphBytes +
         static_cast<std::size_t>(geometry.columns) * static_cast<std::size_t>(geometry.rows);
}

/**
 * The BIN image of a text with custom characters: one record per screen, in
 * order, each CgramRecordSize bytes, so that screen N (from 0) starts at
 * N x CgramRecordSize:
 *   bytes 0-63    slot 0's 8 rows (top row first, 0x00-0x1F each), then slot
 *                 1's, ..., slot 7's; a slot the screen does not use is 0
 *   then          row 0's cells, row 1's, ... (display order), columns codes
 *                 each, padded with spaces (0x20); rows past the text's end
 *                 are all spaces
 * The codes are those of the data lines (ConvertCgramText). The text is taken
 * as it is (lines stay rows; nothing is removed). Empty when no screen has a
 * cell: a text without a character that the display can show in any way.
 */
std::string MakeCgramRecords(const EngineText& text, const CgramSetup& setup,
                             std::vector<CgramReport>* reports = nullptr);

/**
 * MakeCgramRecords for the BIN dialog's Convert command, with its checks: an
 * empty path and an empty text give the refusals PrepareBinText gives, a lack
 * of memory its message. An empty block is refused by the writer.
 */
Result<std::string> PrepareCgramRecords(std::string_view path, const EngineText& text,
                                        const CgramSetup& setup,
                                        std::vector<CgramReport>* reports = nullptr);

/**
 * WriteBinBlock for the records of MakeCgramRecords: new file and appending
 * as for any block; inserting or replacing at a start address requires the
 * address to be a record boundary (a multiple of CgramRecordSize), since
 * firmware finds screen N at N x CgramRecordSize. Any other address is
 * refused with a message that names the boundaries around it, and nothing is
 * written: rounding it would put the screens where the user did not say.
 */
Status WriteCgramRecords(const std::string& path, std::string_view records, LcdGeometry geometry,
                         BinTarget target, BinPlacement placement, BinManner manner,
                         std::string_view startAddress, Prompter& prompter);

/**
 * WriteCgramRecords into a BIN or Intel HEX file through WriteImageBlock,
 * with its format's checks (a chip's size, a HEX file's layout): the records
 * go to the image's addresses as they go to a BIN file's offsets, and the
 * start address must be a record boundary in the same way.
 */
Status WriteCgramRecords(const std::string& path, std::string_view records, LcdGeometry geometry,
                         const ImageFormat& format, BinTarget target, BinPlacement placement,
                         BinManner manner, std::string_view startAddress, Prompter& prompter);

}  // namespace zeltrix
