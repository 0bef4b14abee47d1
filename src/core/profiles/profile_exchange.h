#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"
#include "core/profiles/profile_record.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix {

class SettingsFile;

/** The extension that a profile file gets when its name is given without one. */
inline constexpr std::string_view kProfileFileExtension = ".prof";

/**
 * The program lower-case rule, by which profile names (and the paths of
 * profile files) are compared: bytes 0x41 to 0x5A and 0xC0 to 0xDE of the
 * Windows-1251 text get 0x20 added, every other byte stays (so Я 0xDF and
 * Ё 0xA8 keep their case).
 */
std::string ProgramLower(std::string_view text);

/**
 * True when two profile names are the same under the program lower-case
 * rule (A to Z and А to Ю lowered; Я and Ё keep their case).
 */
bool SameProfileName(std::string_view a, std::string_view b);

/**
 * The names lowered by the program lower-case rule, empty names left out,
 * sorted: the list against which names are checked for repeats.
 */
std::vector<std::string> LoweredNames(const std::vector<std::string>& names);

/** True when the name repeats one of the names of a LoweredNames list. */
bool RepeatsName(std::string_view name, const std::vector<std::string>& lowered);

/**
 * True when path names the profile database: equal to its path under the
 * program lower-case rule (both taken as UTF-8 paths), or another name of
 * the same file. Exchanging profiles with the database itself would empty it.
 */
bool IsProfileDatabase(const std::string& path, const std::string& databasePath);

/** A profile with its name, on its way between two profile files. */
struct NamedProfile {
  std::string name;
  ProfileRecord record;
};

/** The profiles that LoadNamedProfiles found, and why the others are missing. */
struct NamedProfilesRead {
  std::vector<NamedProfile> profiles;
  /** ProfileNotFoundMessage for each name that the file does not hold, in the order given. */
  std::vector<Message> missing;
};

/**
 * Reads the named profiles from an open profile file, in the order given,
 * empty names skipped; each keeps its name as the file spells it. A name
 * that the file does not hold is left out, with its message in missing.
 */
NamedProfilesRead LoadNamedProfiles(SettingsFile& file, const std::vector<std::string>& names);

/**
 * Writes the profiles as a new profile file, one group each in order, every
 * text wrapped; a file of that name is replaced as a whole. Fails when the
 * file cannot be created or written, or another program holds its lock
 * (FileStatus::Busy()); the old file then stays as it was, and no new file
 * is left behind.
 */
FileStatus WriteProfileFile(const std::string& path, const std::vector<NamedProfile>& profiles);

/** One profile to import: its name in the exchange file and the name it is saved under. */
struct ProfileImport {
  std::string from;
  std::string to;
};

/** A profile left out of an import because the database already holds its name. */
struct SkippedImport {
  std::string name;      ///< as asked for
  std::string existing;  ///< the database's profile of the same name
};

/** Which profiles an import copies, and under which names; see PlanImport. */
struct ImportPlan {
  std::vector<ProfileImport> imports;
  std::vector<SkippedImport> skipped;
};

/**
 * Matches the names to import against the database's names under the
 * program lower-case rule, in the order given: a new name is imported as it
 * is (and taken, so a repeat of it later in the list counts as existing); a
 * name the database holds is skipped, or with overwrite saved over that
 * profile, which keeps its name. Takes time in proportion to n log n.
 */
ImportPlan PlanImport(const std::vector<std::string>& names,
                      const std::vector<std::string>& existing, bool overwrite);

/** What an import copied into the database. */
struct ImportedProfiles {
  std::size_t copied = 0;  ///< profiles written into the database (maybe none)
  /** ProfileNotFoundMessage for each profile that the exchange file does not hold, in order. */
  std::vector<Message> missing;
};

/** Why an import copied nothing; the database stays as it was. */
struct ImportFailure {
  /**
   * The message a window shows: "Не удалось открыть файл" and the exchange
   * file's path when it could not be read, "Не удалось сохранить данные
   * профиля" when the database could not be read or rewritten (with why a
   * file was refused unread).
   */
  Message message;
  /**
   * Why the database could not be rewritten, FileStatus::Busy() when another
   * program held its lock; success when a file could not be read.
   */
  FileStatus write;
  /** As ImportedProfiles::missing: the profiles found missing before the rewrite failed. */
  std::vector<Message> missing;
};

/** What an import copied, or why it copied nothing. */
using ImportResult = Result<ImportedProfiles, ImportFailure>;

/**
 * Copies profiles from an exchange file into the profile database in one
 * rewrite, holding the database's FileLock from its read to its replacement. Each is saved as
 * SaveProfile saves: over the first group whose name matches with A to Z taken without case (that
 * header keeps its letters), or as a new group at the end. A profile that the exchange file does
 * not hold is skipped with its message in missing; nothing stale is ever saved in its place.
 */
ImportResult ImportProfiles(const std::string& sourcePath,
                            const std::vector<ProfileImport>& profiles,
                            const std::string& databasePath);

/**
 * The same from an exchange file that is open already, so that a caller who
 * has read it for its names need not read it again. The file is only read.
 */
ImportResult ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                            const std::string& databasePath);

/**
 * The same into a database that the caller has opened whole (and whose
 * FileLock it holds, so that the names it planned with are still the
 * file's); the database is closed, and so written, here. It fails only
 * when the rewrite does.
 */
ImportResult ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                            SettingsFile& database);

}  // namespace zeltrix
