#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/console.h"
#include "core/lcd/cgram_plan.h"
#include "core/lcd/character_map.h"
#include "core/lcd/lcd_screen.h"
#include "core/profiles/profile_record.h"

namespace zeltrix::cli {

/** -p and --profiles: the profile a command takes, and the file it is found in. */
struct ProfileOptions {
  /** The options; the description of -p says what the command takes from the profile. */
  explicit ProfileOptions(const QString& profileDescription);

  QCommandLineOption profile;
  QCommandLineOption profiles;

  QList<QCommandLineOption> All() const { return {profile, profiles}; }

  /** True when the command line names a profile or a profile file. */
  bool Given(const QCommandLineParser& parser) const;

  /**
   * The profile named by -p, else the first of the file; only its own group
   * is read, the rest of a large file only scanned. A failure when it could
   * not be loaded; one the core found it has reported on standard error.
   */
  CliResult<ProfileRecord> Load(const QCommandLineParser& parser, Context& context) const;
};

/**
 * --rom, --look-alikes and --no-look-alikes: the display's character ROM and
 * whether a character it lacks is shown by a look-alike, put over what the
 * profile says.
 */
struct RomOptions {
  /** The options, with the words saying where the ROM comes from without --rom. */
  explicit RomOptions(const QString& romDefault);

  QCommandLineOption rom;
  QCommandLineOption lookAlikes;
  QCommandLineOption noLookAlikes;

  QList<QCommandLineOption> All() const { return {rom, lookAlikes, noLookAlikes}; }

  /** Refuses a wrong ROM and both look-alike options at once (usage errors). */
  CliStatus Check(const QCommandLineParser& parser) const;

  /** The profile's ROM and look-alikes, replaced where the options say. */
  CliStatus ApplyTo(const QCommandLineParser& parser, ProfileRecord& profile) const;
};

/**
 * --cgram, --no-cgram, --cgram-codes and --size: whether characters the ROM
 * lacks get custom characters, their slot codes, and the display's size (the
 * unit they are planned in), put over the profile's Cgram, CgramCodes and
 * Size.
 */
struct CgramOptions {
  /** The options, with the words saying where the size comes from without --size. */
  explicit CgramOptions(const QString& sizeDefault);

  QCommandLineOption cgram;
  QCommandLineOption noCgram;
  QCommandLineOption cgramCodes;
  QCommandLineOption size;

  QList<QCommandLineOption> All() const { return {cgram, noCgram, cgramCodes, size}; }

  /** Refuses --cgram with --no-cgram and wrong values (usage errors). */
  CliStatus Check(const QCommandLineParser& parser) const;

  /** The profile's Cgram, CgramCodes and Size, replaced where the options say. */
  CliStatus ApplyTo(const QCommandLineParser& parser, ProfileRecord& profile) const;
};

/**
 * Tells the user, one line each on standard error, about the screens that
 * need more custom characters than the display holds.
 */
void ReportCgram(const std::vector<CgramReport>& reports, Console& console);

/** -p as bin and preview describe it: they take only the display from a profile. */
inline constexpr const char* kProfileDescription =
    "профиль, из которого берутся ПЗУ, похожие символы, свои знаки и размер экрана (без -p и "
    "--profiles - ПЗУ cyrillic без похожих символов и своих знаков, экран 16x2, с одним "
    "--profiles - первый профиль файла); регистр латинских букв не важен";

/** Where bin and preview take the ROM from without --rom. */
inline constexpr const char* kRomDefault = "по умолчанию - ПЗУ профиля, без профиля - cyrillic";

/** Where bin and preview take the display's size from without --size. */
inline constexpr const char* kSizeDefault = "по умолчанию - размер из профиля, без профиля - 16x2";

/** A --rom value: cyrillic, a00 or a02 in any case, else a usage error. */
CliResult<CharacterRom> RomValue(const QString& value);

/**
 * The profile whose display bin and preview show the codes for: the one -p
 * or --profiles names, else the defaults, with --rom, the look-alike options
 * and the custom-character options put over it. A failure when it could not
 * be loaded, as ProfileOptions::Load says.
 */
CliResult<ProfileRecord> DisplayProfile(const ProfileOptions& source, const RomOptions& display,
                                        const CgramOptions& cgram, const QCommandLineParser& parser,
                                        Context& context);

/** The value of --size: one of kLcdGeometries, else a usage error. */
CliResult<LcdGeometry> SizeOption(const QString& value);

/** The first and last display code of a --codes value. */
struct CodeRange {
  unsigned first = 0x20;
  unsigned last = 0xFF;
};

/**
 * A --codes value: "ОТ-ДО" or one code, each 0x and two hex digits or a
 * decimal number, 0 to 255, ОТ not above ДО; else a usage error.
 */
CliResult<CodeRange> CodesOption(const QString& value);

/**
 * The codes of the range as a display shows them one row after another: rows
 * of the display's width, the last one filled up with spaces (0x20), so that
 * a firmware writes every row alike.
 */
std::vector<std::string> CodeRows(CodeRange range, int columns);

}  // namespace zeltrix::cli
