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
 * a new database holds them (its folder must exist), under the file's lock.
 * A database that another program made meanwhile is left as it is; created
 * (when given) tells whether this call made it. Success, or why it failed; a
 * failure leaves no file.
 */
FileStatus CreateDefaultProfileFile(const std::string& path, bool* created = nullptr);

/**
 * Makes sure the profile database exists: when it is missing, asks whether
 * to create it and writes the three default profiles.
 */
CreateProfilesResult CreateDefaultProfiles(const std::string& path, Prompter& prompter);

/** The non-empty group names of an open settings file, in file order. */
std::vector<std::string> ProfileNames(const SettingsFile& file);

/** The profiles of a profile file, as its lists show them. */
struct ProfileList {
  bool read = false;               ///< false: missing, unreadable or refused
  std::vector<std::string> names;  ///< the non-empty names, in file order
  /** Names that a UTF-8 file could not give (SettingsFile::UnreadableGroupNames). */
  std::size_t unreadable = 0;
  std::string refusal;  ///< why the file was refused unread (SettingsFile::Refusal)
};

/** Reads the profile names of a profile file; only its headers are parsed. */
ProfileList ReadProfileList(const std::string& path);

/** The profile names of a profile file, or nothing when it is missing or cannot be read. */
std::optional<std::vector<std::string>> ListProfiles(const std::string& path);

/** A window's message about a profile file refused unread: which file and why. */
std::string RefusedProfileFileText(const std::string& path, std::string_view refusal);

/**
 * Why names of a profile file could not be read (UTF-8 with characters
 * outside Latin-1), for the end of a message, with what to do about it.
 */
std::string UnreadableNamesReason();

/** A window's message about names that a profile file's UTF-8 could not give. */
std::string UnreadableNamesText(const std::string& path, std::size_t count);

/**
 * Tells the user what reading the list found wrong, if anything: a file
 * refused unread (error icon, title "Ошибка") or names that could not be
 * read (warning icon, title "Внимание"). A file that is only missing or
 * cannot be opened is not reported here.
 */
void ReportProfileList(const std::string& path, const ProfileList& list, Prompter& prompter);

/**
 * ReportProfileList for a window that reads its list again and again: a
 * problem is told once, and again only after it changed or went away.
 */
class ProfileListReporter {
 public:
  void Report(const std::string& path, const ProfileList& list, Prompter& prompter);

 private:
  std::string m_refusal;
  std::size_t m_unreadable = 0;
};

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
 * output editor's comment marker to record.Comment. Only the profile's own
 * group is parsed; the rest of the file is scanned for headers.
 */
LoadResult LoadProfile(const std::string& path, std::string_view name, ProfileRecord& record,
                       Prompter& prompter);

/**
 * Saves the record under the name, over the first group of that name or as
 * a new group at the end. Reports "Не удалось сохранить данные профиля" and
 * returns false when the file cannot be opened or rewritten, with the cause
 * when another program holds the file's lock or the file was refused unread.
 *
 * This and the other operations below that change a profile file hold its
 * FileLock from the read to the replacement.
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
 * names are skipped; at most kMaxProfilesPerDeletion names are taken. A file
 * that cannot be rewritten is reported ("Не удалось удалить профили").
 */
DeleteResult DeleteProfiles(const std::string& path, const std::vector<std::string>& names,
                            Prompter& prompter);

}  // namespace zeltrix
