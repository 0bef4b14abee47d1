#pragma once

#include <QString>
#include <string>

#include "core/ini/settings_file.h"

namespace zeltrix::cli {

/**
 * Opens the profile file named by --profiles, or Profile.prof beside the
 * program; when the latter is missing, the three default profiles are taken
 * from memory and nothing is written. Returns the file's path, the one
 * ProfileDatabasePath gives, also when the defaults were taken.
 */
std::string OpenProfileSource(SettingsFile& file, const QString& given,
                              const std::string& programDirectory);

/** The profile database named by --profiles, or Profile.prof in the program directory. */
std::string ProfileDatabasePath(const QString& given, const std::string& programDirectory);

}  // namespace zeltrix::cli
