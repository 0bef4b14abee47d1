#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "cli/cli_common.h"
#include "cli/console.h"
#include "core/settings/settings_file.h"

namespace zeltrix::cli {

/** How much of the profile file a command reads. */
enum class ProfileSourcePart {
  Whole,  ///< every group, to look profiles up by name
  Names,  ///< only the group names, for a listing
};

/**
 * Opens the profile file named by --profiles, or Profile.prof beside the
 * program; when the latter is missing, the three default profiles are taken
 * from memory and nothing is written. Returns the file's path, the one
 * ProfileDatabasePath gives, also when the defaults were taken. A failure
 * for a file that cannot be read, with the reason when it was refused unread.
 */
CliResult<std::string> OpenProfileSource(SettingsFile& file, const QString& given,
                                         const std::string& programDirectory,
                                         ProfileSourcePart part = ProfileSourcePart::Whole);

/**
 * The same reading only the named profile's group (see
 * SettingsFile::OpenGroup): the rest of a large file is only scanned.
 */
CliResult<std::string> OpenProfileSourceGroup(SettingsFile& file, const QString& given,
                                              const std::string& programDirectory,
                                              std::string_view name);

/** The profile database named by --profiles, or Profile.prof in the program directory. */
std::string ProfileDatabasePath(const QString& given, const std::string& programDirectory);

/** The message with why the settings file was refused unread after a colon, when it was. */
std::string WithRefusal(std::string message, const SettingsReadFailure& why);

/**
 * Tells on standard error how many group names of the opened file (whole or
 * names only) could not be read, and why; nothing when all could.
 */
void WarnUnreadableNames(const SettingsFile& file, const std::string& path, Console& console);

}  // namespace zeltrix::cli
