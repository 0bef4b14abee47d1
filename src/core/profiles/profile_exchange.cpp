#include "core/profiles/profile_exchange.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "core/ini/settings_file.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"

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

std::vector<NamedProfile> LoadNamedProfiles(SettingsFile& file,
                                            const std::vector<std::string>& names,
                                            Prompter& prompter) {
  std::vector<NamedProfile> loaded;
  for (const std::string& name : names) {
    if (name.empty()) continue;
    NamedProfile profile{name, {}};
    if (LoadProfileFrom(file, name, profile.record, prompter) == kLoadDone) {
      // The name as the file spells it, which may differ in the case of A to Z.
      profile.name = file.CurrentGroupName();
      loaded.push_back(std::move(profile));
    }
  }
  return loaded;
}

FileStatus WriteProfileFile(const std::string& path, const std::vector<NamedProfile>& profiles) {
  const FileLock lock(path);
  if (!lock.Status()) return lock.Status();
  SettingsFile file;
  if (!file.Create(path)) return CheckReplaceable(path);
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

ImportOutcome ImportProfiles(const std::string& sourcePath,
                             const std::vector<ProfileImport>& profiles,
                             const std::string& databasePath, Prompter& prompter) {
  SettingsFile source;
  if (!source.Open(sourcePath)) {
    return {ImportOutcome::Status::SourceUnreadable, 0, {}, source.Refusal()};
  }
  return ImportProfiles(source, profiles, databasePath, prompter);
}

ImportOutcome ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                             const std::string& databasePath, Prompter& prompter) {
  using Status = ImportOutcome::Status;
  const FileLock lock(databasePath);
  if (!lock.Status()) return {Status::WriteFailed, 0, lock.Status(), {}};
  SettingsFile database;
  // A database that cannot be read is never written: that would drop its profiles.
  if (!database.Open(databasePath)) {
    return {Status::DatabaseUnreadable, 0, {}, database.Refusal()};
  }
  return ImportProfiles(source, profiles, database, prompter);
}

ImportOutcome ImportProfiles(SettingsFile& source, const std::vector<ProfileImport>& profiles,
                             SettingsFile& database, Prompter& prompter) {
  using Status = ImportOutcome::Status;
  std::size_t copied = 0;
  for (const ProfileImport& profile : profiles) {
    if (profile.from.empty() || profile.to.empty()) continue;
    ProfileRecord record;
    if (LoadProfileFrom(source, profile.from, record, prompter) != kLoadDone) continue;
    database.SelectGroup(profile.to);
    WriteProfileFields(database, record);
    ++copied;
  }
  const FileStatus written = database.Close();
  if (!written) return {Status::WriteFailed, 0, written, {}};
  return {Status::Done, copied, {}, {}};
}

}  // namespace zeltrix
