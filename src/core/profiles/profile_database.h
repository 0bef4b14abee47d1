#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"
#include "core/profiles/profile_record.h"
#include "core/settings/settings_file.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix {

/** The file name of the profile database in the program's directory. */
inline constexpr std::string_view kProfileDatabaseName = "Profile.prof";

/** Most profiles that one deletion handles. */
inline constexpr std::size_t kMaxProfilesPerDeletion = 10000;

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
 * to create it and writes the three default profiles. True when the file
 * is there (it was, or has been made), false when the user chose to run
 * without profiles; a file that could not be made fails with the
 * "Фатальная ошибка" message, after which the program must end.
 */
Result<bool> CreateDefaultProfiles(const std::string& path, Prompter& prompter);

/** The non-empty group names of an open settings file, in file order. */
std::vector<std::string> ProfileNames(const SettingsFile& file);

/** The profiles of a profile file, as its lists show them. */
struct ProfileList {
  std::vector<std::string> names;  ///< the non-empty names, in file order
  /** Names that a UTF-8 file could not give (SettingsFile::UnreadableGroupNames). */
  std::size_t unreadable = 0;
};

/** The profiles of a profile file, or why it was not read (missing, unreadable or refused). */
using ProfileListRead = Result<ProfileList, SettingsReadFailure>;

/** Reads the profile names of a profile file; only its headers are parsed. */
ProfileListRead ReadProfileList(const std::string& path);

/**
 * The profile names of a profile file, or nothing when it is missing or
 * cannot be read; ReadProfileList tells why.
 */
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
 * What reading the list found wrong, as the message to show, if anything: a
 * file refused unread (error icon, title "Ошибка") or names that could not
 * be read (warning icon, title "Внимание"). A file that is only missing or
 * cannot be opened has nothing to tell.
 */
std::optional<Message> ProfileListMessage(const std::string& path, const ProfileListRead& list);

/**
 * ProfileListMessage for a window that reads its list again and again: a
 * problem is told once, and again only after it changed or went away.
 */
class ProfileListReporter {
 public:
  /** The message to show about this reading of the list, if there is one not told yet. */
  std::optional<Message> Untold(const std::string& path, const ProfileListRead& list);

 private:
  std::string m_refusal;
  std::size_t m_unreadable = 0;
};

/** The message for a profile that a profile file does not hold ("Профиль … не найден!"). */
Message ProfileNotFoundMessage(std::string_view name);

/**
 * Reads the profile of that name (A to Z without regard to case) from an open
 * settings file into the record, leaving its Name and Preview alone. A name
 * that is missing fails with ProfileNotFoundMessage and leaves the record as
 * it was.
 */
Status LoadProfileFrom(SettingsFile& file, std::string_view name, ProfileRecord& record);

/**
 * Loads a profile from a profile file: true when it was loaded, false when
 * the file is missing or cannot be opened (the caller decides whether that
 * is told); a name the file does not hold fails as LoadProfileFrom. After a
 * load the caller sets the output editor's comment marker to
 * record.Comment. Only the profile's own group is parsed; the rest of the
 * file is scanned for headers.
 */
Result<bool> LoadProfile(const std::string& path, std::string_view name, ProfileRecord& record);

/**
 * Saves the record under the name, over the first group of that name or as
 * a new group at the end. Fails with "Не удалось сохранить данные профиля"
 * when the file cannot be opened or rewritten, with the cause when another
 * program holds the file's lock or the file was refused unread.
 *
 * This and the other operations below that change a profile file hold its
 * FileLock from the read to the replacement.
 */
Status SaveProfile(const std::string& path, std::string_view name, const ProfileRecord& record);

/**
 * Renames a profile by changing only the name in its header line (matched
 * byte for byte); every other byte of the file stays. Fails with
 * "Не удалось переименовать профиль!".
 */
Status RenameProfile(const std::string& path, std::string_view oldName, std::string_view newName);

/**
 * Success when the names hold a profile to delete (one that is not empty),
 * else the "Не выбран профиль" warning.
 */
Status CheckProfilesToDelete(const std::vector<std::string>& names);

/**
 * Asks whether to delete the named profiles and removes their groups: true
 * when they were deleted, false when the user declined. Empty names are
 * skipped; at most kMaxProfilesPerDeletion names are taken. Fails as
 * CheckProfilesToDelete when no name is left, and with "Не удалось удалить
 * профили" when the file cannot be rewritten.
 */
Result<bool> DeleteProfiles(const std::string& path, const std::vector<std::string>& names,
                            Prompter& prompter);

}  // namespace zeltrix
