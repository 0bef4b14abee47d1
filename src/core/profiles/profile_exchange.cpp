#include "core/profiles/profile_exchange.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"

namespace zeltrix {

std::string ProgramLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE)) c = static_cast<char>(b + 0x20);
  }
  return out;
}

bool SameProfileName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ProgramLower(a) == ProgramLower(b);
}

std::vector<std::string> LoweredNames(const std::vector<std::string>& names) {
  std::vector<std::string> lowered;
  lowered.reserve(names.size());
  for (const std::string& name : names) {
    if (!name.empty()) lowered.push_back(ProgramLower(name));
  }
  // Sorted, so that checking thousands of names against it stays quick.
  std::sort(lowered.begin(), lowered.end());
  return lowered;
}

bool RepeatsName(std::string_view name, const std::vector<std::string>& lowered) {
  const std::string own = ProgramLower(name);
  return std::binary_search(lowered.begin(), lowered.end(), own);
}

bool IsProfileDatabase(const std::string& path, const std::string& databasePath) {
  // The names compare as the program compares names: in Windows-1251.
  if (ProgramLower(Utf8ToCp1251Lossy(path)) == ProgramLower(Utf8ToCp1251Lossy(databasePath))) {
    return true;
  }
  std::error_code error;
  return std::filesystem::equivalent(path, databasePath, error) && !error;
}

NamedProfilesRead LoadNamedProfiles(SettingsFile& file, const std::vector<std::string>& names) {
  NamedProfilesRead read;
  for (const std::string& name : names) {
    if (name.empty()) continue;
    NamedProfile profile{name, {}};
    if (const Status loaded = LoadProfileFrom(file, name, profile.record); !loaded) {
      read.missing.push_back(loaded.Reason());
      continue;
    }
    // The name as the file spells it, which may differ in the case of A to Z.
    profile.name = file.CurrentGroupName();
    read.profiles.push_back(std::move(profile));
  }
  return read;
}

FileStatus WriteProfileFile(const std::string& path, const std::vector<NamedProfile>& profiles) {
  const FileLock lock(path);
  if (!lock.Status()) return lock.Status();
  SettingsFile file;
  if (const FileStatus made = file.Create(path); !made) return made;
  for (const NamedProfile& profile : profiles) {
    file.SelectGroup(profile.name);
    WriteProfileFields(file, profile.record);
  }
  return file.Close();
}

ImportPlan PlanImport(const std::vector<std::string>& names,
                      const std::vector<std::string>& existing, bool overwrite) {
  // Lowered name -> the first name it stands for; lowering keeps the length,
  // so equal lowered names are the same profile name.
  std::unordered_map<std::string, std::string> taken;
  taken.reserve(existing.size() + names.size());
  for (const std::string& name : existing) taken.emplace(ProgramLower(name), name);
  ImportPlan plan;
  for (const std::string& name : names) {
    const auto [at, added] = taken.emplace(ProgramLower(name), name);
    if (added) {
      plan.imports.push_back({name, name});
    } else if (overwrite) {
      plan.imports.push_back({name, at->second});
    } else {
      plan.skipped.push_back({name, at->second});
    }
  }
  return plan;
}

namespace {

constexpr const char* kError = "Ошибка";

// The message about a file that could not be read, with why it was refused unread, if it was.
Message UnreadMessage(std::string text, const SettingsReadFailure& why) {
  if (!why.refusal.empty()) text += "\n" + AsSentence(why.refusal);
  return ErrorMessage(kError, std::move(text));
}

}  // namespace

ImportResult ImportProfiles(const std::string& sourcePath,
                            const std::vector<ProfileImport>& profiles,
                            const std::string& databasePath) {
  SettingsFile source;
  if (const SettingsReadStatus opened = source.Open(sourcePath); !opened) {
    return Failure{ImportFailure{
        UnreadMessage("Не удалось открыть файл\n" + sourcePath, opened.Reason()), {}, {}}};
  }
  return ImportProfiles(source, profiles, databasePath);
}

ImportResult ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                            const std::string& databasePath) {
  const FileLock lock(databasePath);
  if (!lock.Status()) {
    return Failure{ImportFailure{
        ErrorMessage(kError, "Не удалось сохранить данные профиля"), lock.Status(), {}}};
  }
  SettingsFile database;
  // A database that cannot be read is never written: that would drop its profiles.
  if (const SettingsReadStatus opened = database.Open(databasePath); !opened) {
    return Failure{ImportFailure{
        UnreadMessage("Не удалось сохранить данные профиля", opened.Reason()), {}, {}}};
  }
  return ImportProfiles(source, profiles, database);
}

ImportResult ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                            SettingsFile& database) {
  ImportedProfiles imported;
  for (const ProfileImport& profile : profiles) {
    if (profile.from.empty() || profile.to.empty()) continue;
    ProfileRecord record;
    if (const Status loaded = LoadProfileFrom(source, profile.from, record); !loaded) {
      imported.missing.push_back(loaded.Reason());
      continue;
    }
    database.SelectGroup(profile.to);
    WriteProfileFields(database, record);
    ++imported.copied;
  }
  if (const FileStatus written = database.Close(); !written) {
    return Failure{ImportFailure{ErrorMessage(kError, "Не удалось сохранить данные профиля"),
                                 written, std::move(imported.missing)}};
  }
  return imported;
}

}  // namespace zeltrix
