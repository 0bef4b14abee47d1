#include "core/profiles/profile_database.h"

#include <array>
#include <cerrno>
#include <utility>

#include "core/ini/settings_file.h"
#include "core/io/cp1251.h"
#include "core/io/file_io.h"
#include "core/io/text_encoding.h"

namespace zeltrix {
namespace {

struct DefaultProfile {
  const char* name;
  std::array<const char*, kProfileKeys.size()> values;  // in the order of kProfileKeys
};

// The stored values exactly as a new database holds them: some texts wrapped,
// the others plain. "\x97" is the em dash.
const std::array<DefaultProfile, 3> kDefaultProfiles = {{
    {"ASM \x97 DT For PIC",
     {"4", "4", "Dt", "", "", "0x", "2", "", "[String], [/String]", "[String]; [/String]", "1", "8",
      "0", "0", "0", "0", "2"}},
    {"ASM \x97 DE For PIC",
     {"4", "4", "De", "", "", "0x", "2", "", "[String], [/String]", "[String]; [/String]", "1", "8",
      "0", "0", "0", "0", "2"}},
    {"MikroBasic For PIC",
     {"1", "4", "const", "[String]As Byte[] = ([/String]", "[String] )[/String]", "$", "2", "",
      "[String], [/String]", "[String]' [/String]", "1", "100", "0", "1", "0", "0", "2"}},
}};

constexpr const char* kError = "Ошибка";

}  // namespace

void WriteDefaultProfiles(SettingsFile& file) {
  for (const DefaultProfile& profile : kDefaultProfiles) {
    file.SelectGroup(profile.name);
    for (std::size_t i = 0; i < kProfileKeys.size(); ++i) {
      file.WriteText(kProfileKeys[i], profile.values[i]);
    }
  }
}

FileStatus CreateDefaultProfileFile(const std::string& path) {
  // Why the file cannot be made is known before anything is written; Close
  // then puts the whole file in place.
  const FileStatus refusal = CheckReplaceable(path);
  if (!refusal) return refusal;
  SettingsFile file;
  if (!file.Create(path)) return FileStatus::FromErrno(EACCES);  // refused since the look above
  WriteDefaultProfiles(file);
  return file.Close();
}

CreateProfilesResult CreateDefaultProfiles(const std::string& path, Prompter& prompter) {
  if (FileExists(path)) return CreateProfilesResult::Present;
  const MessageAnswer answer =
      prompter.Show({kError, "Файл, хранящий данные о профилях не найден!\nСоздать его?",
                     MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes});
  if (answer != MessageAnswer::Yes) return CreateProfilesResult::Declined;
  if (!CreateDefaultProfileFile(path)) {
    ShowError(prompter, "Фатальная ошибка", "Не удалось создать файл!\nРабота програмы прервана!");
    return CreateProfilesResult::Fatal;
  }
  return CreateProfilesResult::Present;
}

std::vector<std::string> ProfileNames(const SettingsFile& file) {
  std::vector<std::string> names = file.GroupNames();
  std::erase_if(names, [](const std::string& name) { return name.empty(); });
  return names;
}

std::optional<std::vector<std::string>> ListProfiles(const std::string& path) {
  SettingsFile file;
  // A missing file or a folder is refused by the open itself.
  if (!file.Open(path)) return std::nullopt;
  return ProfileNames(file);
}

LoadResult LoadProfileFrom(SettingsFile& file, std::string_view name, ProfileRecord& record,
                           Prompter& prompter) {
  if (!file.SelectGroup(name)) {
    ShowError(prompter, kError, "Профиль \"" + Cp1251ToUtf8(name) + "\" не найден!");
    return kLoadNotFound;
  }
  ReadProfileFields(file, record);
  return kLoadDone;
}

LoadResult LoadProfile(const std::string& path, std::string_view name, ProfileRecord& record,
                       Prompter& prompter) {
  SettingsFile file;
  // A missing file or a folder is refused by the open itself.
  if (!file.Open(path)) return kLoadNoFile;
  return LoadProfileFrom(file, name, record, prompter);
}

bool SaveProfile(const std::string& path, std::string_view name, const ProfileRecord& record,
                 Prompter& prompter) {
  SettingsFile file;
  bool saved = file.Open(path);
  if (saved) {
    file.SelectGroup(name);
    WriteProfileFields(file, record);
    saved = file.Close().Ok();
  }
  if (!saved) ShowError(prompter, kError, "Не удалось сохранить данные профиля");
  return saved;
}

namespace {

// Offset and length of the name in the first header line whose name, read
// as the settings dialect reads it, is the given one; nothing when none is.
std::optional<std::pair<std::size_t, std::size_t>> FindHeaderName(std::string_view text,
                                                                  std::size_t from,
                                                                  std::string_view fileName) {
  const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
  std::size_t pos = from;
  while (pos < text.size()) {
    std::size_t start = pos;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    std::size_t end = start;
    while (end < text.size() && !lineEnd(text[end])) ++end;
    if (start < end && text[start] == '[') {
      const std::string_view line = text.substr(start + 1, end - start - 1);
      const std::string_view name = line.substr(0, line.find(']'));
      if (name == fileName) return std::make_pair(start + 1, name.size());
    }
    pos = end;
    while (pos < text.size() && lineEnd(text[pos])) ++pos;
  }
  return std::nullopt;
}

}  // namespace

bool RenameProfile(const std::string& path, std::string_view oldName, std::string_view newName,
                   Prompter& prompter) {
  const auto fail = [&] {
    ShowWarning(prompter, kError, "Не удалось переименовать профиль!");
    return false;
  };
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return fail();
  if (bytes->empty()) return true;
  // A file with the byte-order mark holds its names in UTF-8.
  const bool utf8 = bytes->starts_with(kUtf8Bom);
  const std::string fileOld = utf8 ? Latin1ToUtf8(oldName) : std::string(oldName);
  const std::string fileNew = utf8 ? Latin1ToUtf8(newName) : std::string(newName);
  const auto at = FindHeaderName(*bytes, utf8 ? kUtf8Bom.size() : 0, fileOld);
  if (!at) return fail();
  std::string renamed = *bytes;
  renamed.replace(at->first, at->second, fileNew);
  if (!WriteFileAtomically(path, renamed).Ok()) return fail();
  return true;
}

DeleteResult DeleteProfiles(const std::string& path, const std::vector<std::string>& names,
                            Prompter& prompter) {
  std::vector<std::string> chosen;
  for (const std::string& name : names) {
    if (chosen.size() == kMaxProfilesPerDeletion) break;
    if (!name.empty()) chosen.push_back(name);
  }
  if (chosen.empty()) {
    ShowWarning(prompter, "Удаление профиля", "Не выбран профиль");
    return DeleteResult::NothingSelected;
  }
  // The question must fit on the screen with its buttons: a long choice
  // shows its first names and how many more there are.
  constexpr std::size_t kNamesShown = 20;
  std::string question = "Вы действительно хотите удалить профили\n";
  for (std::size_t i = 0; i < chosen.size() && i < kNamesShown; ++i) {
    question += Cp1251ToUtf8(chosen[i]) + "\n";
  }
  if (chosen.size() > kNamesShown) {
    question += "… и ещё " + std::to_string(chosen.size() - kNamesShown) + "\n";
  }
  if (!Confirm(prompter, "Вы уверены?", question)) return DeleteResult::Declined;
  SettingsFile file;
  if (file.Open(path)) {
    for (const std::string& name : chosen) file.RemoveGroup(name);
  }
  return file.Close() ? DeleteResult::Deleted : DeleteResult::WriteFailed;
}

}  // namespace zeltrix
