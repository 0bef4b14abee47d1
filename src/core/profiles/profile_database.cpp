#include "core/profiles/profile_database.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/io/text_encoding.h"
#include "core/io/utf8.h"
#include "core/settings/settings_file.h"

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

// The message with the cause of the failure on a line of its own, when there is one to tell.
std::string WithCause(std::string text, std::string_view cause) {
  if (!cause.empty()) text += "\n" + AsSentence(cause);
  return text;
}

}  // namespace

void WriteDefaultProfiles(SettingsFile& file) {
  for (const DefaultProfile& profile : kDefaultProfiles) {
    file.SelectGroup(profile.name);
    for (std::size_t i = 0; i < kProfileKeys.size(); ++i) {
      file.WriteText(kProfileKeys[i], profile.values[i]);
    }
  }
}

FileStatus CreateDefaultProfileFile(const std::string& path, bool* created) {
  if (created != nullptr) *created = false;
  const FileLock lock(path);
  if (!lock.Status()) return lock.Status();
  // Another program made it while this one looked: it stays as it is.
  if (FileExists(path)) return {};
  // Why the file cannot be made is known before anything is written; Close
  // then puts the whole file in place.
  const FileStatus refusal = CheckReplaceable(path);
  if (!refusal) return refusal;
  SettingsFile file;
  if (!file.Create(path)) return FileStatus::FromErrno(EACCES);  // refused since the look above
  WriteDefaultProfiles(file);
  const FileStatus closed = file.Close();
  if (closed && created != nullptr) *created = true;
  return closed;
}

Result<bool> CreateDefaultProfiles(const std::string& path, Prompter& prompter) {
  if (FileExists(path)) return true;
  const MessageAnswer answer =
      prompter.Show({kError, "Файл, хранящий данные о профилях не найден!\nСоздать его?",
                     MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes});
  if (answer != MessageAnswer::Yes) return false;
  const FileStatus status = CreateDefaultProfileFile(path);
  if (!status) {
    // Only a file that another program holds adds why: the user can do
    // something about that.
    return Failure{ErrorMessage("Фатальная ошибка",
                                WithCause("Не удалось создать файл!\nРабота програмы прервана!",
                                          status.IsBusy() ? status.Reason() : std::string()))};
  }
  return true;
}

std::vector<std::string> ProfileNames(const SettingsFile& file) {
  std::vector<std::string> names = file.GroupNames();
  std::erase_if(names, [](const std::string& name) { return name.empty(); });
  return names;
}

ProfileListRead ReadProfileList(const std::string& path) {
  SettingsFile file;
  // A missing file or a folder is refused by the open itself.
  if (const SettingsReadStatus opened = file.OpenGroupNames(path); !opened) {
    return Failure{opened.Reason()};
  }
  return ProfileList{ProfileNames(file), file.UnreadableGroupNames()};
}

std::optional<std::vector<std::string>> ListProfiles(const std::string& path) {
  ProfileListRead list = ReadProfileList(path);
  if (!list) return std::nullopt;
  return std::move(list->names);
}

std::string RefusedProfileFileText(const std::string& path, std::string_view refusal) {
  return "Не удалось прочитать файл профилей\n" + path + "\n" + AsSentence(refusal) +
         " Файл не будет изменён.";
}

std::string UnreadableNamesReason() {
  return "файл записан в UTF-8 с меткой порядка байтов, а в таком файле программа понимает в "
         "именах только латиницу и другие символы Latin-1, но не русские буквы; сохраните файл в "
         "кодировке Windows-1251, и эти профили появятся";
}

std::string UnreadableNamesText(const std::string& path, std::size_t count) {
  return "В файле профилей\n" + path + "\nне прочитано имён профилей: " + std::to_string(count) +
         ".\n" + AsSentence(UnreadableNamesReason());
}

namespace {

// Why the list was refused unread; empty when it was read or only could not be.
std::string_view RefusalOf(const ProfileListRead& list) {
  return list ? std::string_view() : std::string_view(list.Reason().refusal);
}

}  // namespace

std::optional<Message> ProfileListMessage(const std::string& path, const ProfileListRead& list) {
  if (const std::string_view refusal = RefusalOf(list); !refusal.empty()) {
    return ErrorMessage(kError, RefusedProfileFileText(path, refusal));
  }
  if (list && list->unreadable > 0) {
    return WarningMessage("Внимание", UnreadableNamesText(path, list->unreadable));
  }
  return std::nullopt;
}

std::optional<Message> ProfileListReporter::Untold(const std::string& path,
                                                   const ProfileListRead& list) {
  const std::string_view refusal = RefusalOf(list);
  const std::size_t unreadable = list ? list->unreadable : 0;
  if (refusal == m_refusal && unreadable == m_unreadable) return std::nullopt;
  m_refusal = refusal;
  m_unreadable = unreadable;
  return ProfileListMessage(path, list);
}

Message ProfileNotFoundMessage(std::string_view name) {
  return ErrorMessage(kError, "Профиль \"" + Cp1251ToUtf8(name) + "\" не найден!");
}

Status LoadProfileFrom(SettingsFile& file, std::string_view name, ProfileRecord& record) {
  if (!file.SelectGroup(name)) return Failure{ProfileNotFoundMessage(name)};
  ReadProfileFields(file, record);
  return {};
}

Result<bool> LoadProfile(const std::string& path, std::string_view name, ProfileRecord& record) {
  SettingsFile file;
  // A missing file or a folder is refused by the open itself.
  if (!file.OpenGroup(path, name)) return false;
  if (const Status loaded = LoadProfileFrom(file, name, record); !loaded) {
    return Failure{loaded.Reason()};
  }
  return true;
}

Status SaveProfile(const std::string& path, std::string_view name, const ProfileRecord& record) {
  bool saved = false;
  std::string cause;
  {
    const FileLock lock(path);
    SettingsFile file;
    if (!lock.Status()) {
      cause = lock.Status().Reason();
    } else if (const SettingsReadStatus opened = file.Open(path); opened) {
      file.SelectGroup(name);
      WriteProfileFields(file, record);
      saved = file.Close().Ok();
    } else {
      cause = opened.Reason().refusal;
    }
  }
  if (!saved)
    return Failure{ErrorMessage(kError, WithCause("Не удалось сохранить данные профиля", cause))};
  return {};
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

// Renames the header in the file's bytes; false, with the cause when there
// is one to tell, when the file cannot be read, holds no such header or
// cannot be replaced.
bool RenameHeader(const std::string& path, std::string_view oldName, std::string_view newName,
                  std::string& cause) {
  const Result<std::string, FileStatus> bytes = ReadWholeFile(path);
  if (!bytes) return false;
  if (bytes->empty()) return true;
  cause = SettingsTextRefusal(*bytes);
  if (!cause.empty()) return false;
  // A file with the byte-order mark holds its names in UTF-8.
  const bool utf8 = bytes->starts_with(kUtf8Bom);
  const std::string fileOld = utf8 ? Latin1ToUtf8(oldName) : std::string(oldName);
  const std::string fileNew = utf8 ? Latin1ToUtf8(newName) : std::string(newName);
  const auto at = FindHeaderName(*bytes, utf8 ? kUtf8Bom.size() : 0, fileOld);
  if (!at) return false;
  std::string renamed = *bytes;
  renamed.replace(at->first, at->second, fileNew);
  return WriteFileAtomically(path, renamed).Ok();
}

}  // namespace

Status RenameProfile(const std::string& path, std::string_view oldName, std::string_view newName) {
  std::string cause;
  bool renamed = false;
  {
    const FileLock lock(path);
    if (lock.Status()) {
      renamed = RenameHeader(path, oldName, newName, cause);
    } else {
      cause = lock.Status().Reason();
    }
  }
  if (!renamed) {
    return Failure{WarningMessage(kError, WithCause("Не удалось переименовать профиль!", cause))};
  }
  return {};
}

Status CheckProfilesToDelete(const std::vector<std::string>& names) {
  if (std::ranges::all_of(names, [](const std::string& name) { return name.empty(); })) {
    return Failure{WarningMessage("Удаление профиля", "Не выбран профиль")};
  }
  return {};
}

Result<bool> DeleteProfiles(const std::string& path, const std::vector<std::string>& names,
                            Prompter& prompter) {
  if (const Status some = CheckProfilesToDelete(names); !some) return Failure{some.Reason()};
  std::vector<std::string> chosen;
  for (const std::string& name : names) {
    if (chosen.size() == kMaxProfilesPerDeletion) break;
    if (!name.empty()) chosen.push_back(name);
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
  if (!Confirm(prompter, "Вы уверены?", question)) return false;
  bool deleted = false;
  std::string cause;
  {
    const FileLock lock(path);
    SettingsFile file;
    if (!lock.Status()) {
      cause = lock.Status().Reason();
    } else {
      // A missing file has nothing to delete; one refused unread is not touched.
      if (const SettingsReadStatus opened = file.Open(path); opened) {
        for (const std::string& name : chosen) file.RemoveGroup(name);
      } else {
        cause = opened.Reason().refusal;
      }
      deleted = file.Close() && cause.empty();
    }
  }
  if (!deleted)
    return Failure{ErrorMessage(kError, WithCause("Не удалось удалить профили", cause))};
  return true;
}

}  // namespace zeltrix
