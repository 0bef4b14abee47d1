#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"
#include "core/profiles/profile_record.h"
#include "core/ui/prompter.h"

namespace zeltrix {

class SettingsFile;

/** The file name of the profile database in the program's directory. */
inline constexpr std::string_view kProfileDatabaseName = "Profile.prof";

/** Most profiles that one deletion handles. */
inline constexpr std::size_t kMaxProfilesPerDeletion = 10000;

/** Results of CreateDefaultProfiles. */
enum class CreateProfilesResult {
  Present,   ///< the file exists or was created
  Declined,  ///< the user chose to run without profiles
  Fatal,     ///< it could not be created; the message was shown and the program must end
};

/** Writes the three default profiles, group by group, into an open settings file. */
void WriteDefaultProfiles(SettingsFile& file);

/**
 * Creates the profile database at path with the three default profiles, as
 * a new database holds them (its folder must exist). Success, or why it
 * failed; a failure leaves no file.
 */
FileStatus CreateDefaultProfileFile(const std::string& path);

/**
 * Makes sure the profile database exists: when it is missing, asks whether
 * to create it and writes the three default profiles.
 */
CreateProfilesResult CreateDefaultProfiles(const std::string& path, Prompter& prompter);

/** The non-empty group names of an open settings file, in file order. */
std::vector<std::string> ProfileNames(const SettingsFile& file);

/** The profile names of a profile file, or nothing when it is missing or cannot be read. */
std::optional<std::vector<std::string>> ListProfiles(const std::string& path);

/** Results of LoadProfile. */
enum LoadResult : int { kLoadNotFound = -1, kLoadNoFile = 0, kLoadDone = 1 };

/**
 * Reads the profile of that name (A to Z without regard to case) from an open
 * settings file into the record, leaving its Name and Preview alone. A name
 * that is missing is reported and leaves the record as it was.
 */
LoadResult LoadProfileFrom(SettingsFile& file, std::string_view name, ProfileRecord& record,
                           Prompter& prompter);

/**
 * Loads a profile from a profile file: kLoadNoFile, silently, when the file
 * is missing or cannot be opened. After kLoadDone the caller sets the
 * output editor's comment marker to record.Comment.
 */
LoadResult LoadProfile(const std::string& path, std::string_view name, ProfileRecord& record,
                       Prompter& prompter);

/**
 * Saves the record under the name, over the first group of that name or as
 * a new group at the end. Reports "Не удалось сохранить данные профиля" and
 * returns false when the file cannot be opened or rewritten.
 */
bool SaveProfile(const std::string& path, std::string_view name, const ProfileRecord& record,
                 Prompter& prompter);

/**
 * Renames a profile by changing only the name in its header line (matched
 * byte for byte); every other byte of the file stays. Reports a failure and
 * returns false.
 */
bool RenameProfile(const std::string& path, std::string_view oldName, std::string_view newName,
                   Prompter& prompter);

/** Results of DeleteProfiles. */
enum class DeleteResult { NothingSelected, Declined, Deleted, WriteFailed };

/**
 * Asks whether to delete the named profiles and removes their groups. Empty
 * names are skipped; at most kMaxProfilesPerDeletion names are taken.
 */
DeleteResult DeleteProfiles(const std::string& path, const std::vector<std::string>& names,
                            Prompter& prompter);

}  // namespace zeltrix
