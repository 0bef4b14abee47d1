#pragma once

#include <QCommandLineParser>
#include <QString>

#include "cli/cli_common.h"
#include "core/image/eeprom_chip.h"
#include "core/image/hex_layout.h"
#include "core/image/image_writer.h"

namespace zeltrix::cli {

/**
 * The value of --format for an image file (bin or hex, in any case); without
 * the option, the format the file name's extension asks for (.hex and .ihx:
 * Intel HEX). A usage error for any other value.
 */
CliResult<ImageFileFormat> ImageFormatOption(const QCommandLineParser& parser,
                                             const QCommandLineOption& format, const QString& path);

/** A --layout value: plain, pic16-eeprom or pic18-eeprom; else a usage error. */
CliResult<HexLayout> LayoutOption(const QString& value);

/** A --chip value: 24c01 to 24c512 in any case; else a usage error. */
CliResult<EepromChip> ChipOption(const QString& value);

/** A --record-length value: 16 or 32; else a usage error. */
CliResult<int> RecordLengthOption(const QString& value);

/** Refuses an option that only an Intel HEX file takes when the format is BIN (a usage error). */
CliStatus RefuseForBin(const QCommandLineParser& parser, const QCommandLineOption& option,
                       ImageFileFormat format);

}  // namespace zeltrix::cli
