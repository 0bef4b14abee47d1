#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/io/file_io.h"
#include "core/lcd/bin_writer.h"
#include "core/settings/recent_files.h"

namespace zeltrix {

/** The file name of the application settings in the program's directory. */
inline constexpr std::string_view kPreferencesName = "Preferences.ini";

/**
 * The options of the binary output, kept in the BIN group of the
 * application settings under the names of their keys. Stored values may lie
 * outside their ranges; the BIN dialog shows them corrected.
 */
struct BinOutputOptions {
  std::int32_t DelErrSunmol = 0;  ///< 1: remove the characters the display cannot show
  std::int32_t DelSpace = 0;      ///< 1: cut runs of spaces
  std::int32_t CountSpace = 2;    ///< longest run of spaces kept, 1 to 100
  std::int32_t SaveFile = kBinNewFile;
  std::int32_t AddFile = kBinAtEnd;
  std::int32_t AsAddFile = kBinInsert;
  std::int32_t StartAddress = 0;  ///< 0 to 99999999

  bool operator==(const BinOutputOptions&) const = default;
};

/**
 * The LCD preview window's choices, kept in a group of their own: the
 * display size as "16x2", the zoom, the theme's id and the window's frame
 * position and size (-1 and 0: never placed, it opens beside the main window).
 */
struct LcdPreviewSettings {
  std::string Size = "16x2";
  std::int32_t Zoom = 3;
  std::string Theme = "yellow-green";
  std::int32_t X = -1;
  std::int32_t Y = -1;
  std::int32_t W = 0;
  std::int32_t H = 0;

  bool operator==(const LcdPreviewSettings&) const = default;
};

/**
 * The application settings, held in memory from start-up to exit. The
 * fields carry the names of their keys; a default-constructed record holds
 * the values used for a missing file, group or key.
 */
struct AppSettings {
  // Group Window: the main window's frame position, its inner size (the
  // height counting the menu bar) and the divider between the editors.
  std::int32_t X = 50;
  std::int32_t Y = 20;
  std::int32_t W = 700;
  std::int32_t H = 500;
  std::int32_t R = 200;
  // Group Profile: index of the profile selector's entry, -1 for none.
  std::int32_t Pos = 0;
  // Group BIN.
  BinOutputOptions Bin;
  // Group RecentFiles, keys File1 to File10.
  RecentFileList RecentFiles;
  // Group LCD.
  LcdPreviewSettings Lcd;

  bool operator==(const AppSettings&) const = default;
};

/**
 * Reads the settings file; a file, group or key that is missing gives the
 * defaults. When the file cannot be read and nothing at all stands at the
 * path, an empty file is created there, so that the exit can fill it. Shows
 * no message.
 */
AppSettings LoadSettings(const std::string& path);

/**
 * Writes all 30 keys into the settings file, updating present keys in place
 * and keeping comments and other groups, holding the file's FileLock from
 * its read to its replacement. Writes nothing when the path is not a regular
 * file at this moment (it was deleted, or is a directory) or the file cannot
 * be read, and returns a failure then; FileStatus::Busy() when another
 * program held the lock too long. Shows no message.
 */
FileStatus SaveSettings(const std::string& path, const AppSettings& settings);

}  // namespace zeltrix
