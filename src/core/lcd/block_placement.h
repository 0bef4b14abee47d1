#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/image/eeprom_chip.h"
#include "core/lcd/bin_writer.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

// The placement flow of the BIN writer, shared with the writers of other
// image formats: the checks, the lock and the refusals that every placement
// has; the format's own part is a step handed in. Defined in bin_writer.cpp.

namespace zeltrix {

/** Where the block goes, as read from the writer's choices. */
struct BlockPlacement {
  bool existing = false;      ///< into the existing file; else a new file
  bool atAddress = false;     ///< existing only: at the start address; else at the end
  bool replace = false;       ///< at an address only: over the old bytes; else inserted
  std::uint64_t address = 0;  ///< the start-address field's value (0 when empty)
};

/**
 * The format's part of a placement: called once the block is known not to be
 * empty, with the file's FileLock held. It asks its questions through the
 * prompter and returns success when the block was written, else the message
 * of its refusal or failure.
 */
using BlockFileStep =
    std::function<Status(std::string_view codes, const BlockPlacement& where, Prompter& prompter)>;

/**
 * WriteBinBlock with the file step given: refuses an empty path, an empty
 * start-address field (existing file, at an address) and an empty block,
 * takes the file's lock, runs the step; a lack of memory is a failure too.
 */
Status PlaceBlock(const std::string& path, std::string_view codes, BinTarget target,
                  BinPlacement placement, BinManner manner, std::string_view startAddress,
                  Prompter& prompter, const BlockFileStep& step);

/**
 * The BIN file step: the block as the new file, or appended, inserted or
 * written over the old bytes. With a chip, a new file is padded to the chip's
 * size with 0xFF, and a file that would not fit the chip is refused with
 * ChipOverflowText, before anything is written.
 */
Status PlaceInBinFile(const std::string& path, std::string_view codes, const BlockPlacement& where,
                      const EepromChip* chip, Prompter& prompter);

/**
 * The question asked when the start address is not below the end of the
 * image: whether to append instead, or for a missing file whether to create
 * it. Success for Yes; for No the warning "Преобразование не производилось".
 */
Status AskToAppend(Prompter& prompter, const std::string& path, bool missing);

}  // namespace zeltrix
