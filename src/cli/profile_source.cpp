#include "cli/profile_source.h"

#include "cli/cli_common.h"
#include "core/io/file_io.h"
#include "core/profiles/profile_database.h"

namespace zeltrix::cli {
namespace {

template <class Open>
CliResult<std::string> OpenSource(SettingsFile& file, const QString& given,
                                  const std::string& programDirectory, Open open) {
  std::string path = ProfileDatabasePath(given, programDirectory);
  if (!FileExists(path)) {
    if (!given.isEmpty()) return Failed("Файл профилей \"" + given.toStdString() + "\" не найден");
    file.OpenBuffer({});
    WriteDefaultProfiles(file);
    return path;
  }
  if (const SettingsReadStatus opened = open(path); !opened) {
    return Failed(
        WithRefusal("Не удалось открыть файл профилей \"" + path + "\"", opened.Reason()));
  }
  return path;
}

}  // namespace

std::string ProfileDatabasePath(const QString& given, const std::string& programDirectory) {
  return given.isEmpty() ? programDirectory + std::string(kProfileDatabaseName) : LocalPath(given);
}

CliResult<std::string> OpenProfileSource(SettingsFile& file, const QString& given,
                                         const std::string& programDirectory,
                                         ProfileSourcePart part) {
  return OpenSource(file, given, programDirectory, [&](const std::string& path) {
    return part == ProfileSourcePart::Names ? file.OpenGroupNames(path) : file.Open(path);
  });
}

CliResult<std::string> OpenProfileSourceGroup(SettingsFile& file, const QString& given,
                                              const std::string& programDirectory,
                                              std::string_view name) {
  return OpenSource(file, given, programDirectory,
                    [&](const std::string& path) { return file.OpenGroup(path, name); });
}

std::string WithRefusal(std::string message, const SettingsReadFailure& why) {
  if (!why.refusal.empty()) message += ": " + why.refusal;
  return message;
}

void WarnUnreadableNames(const SettingsFile& file, const std::string& path, Console& console) {
  if (const std::size_t count = file.UnreadableGroupNames(); count > 0) {
    console.Err("zeltrix-cli: в файле профилей \"" + path + "\" не прочитано имён профилей: " +
                std::to_string(count) + " - " + UnreadableNamesReason() + "\n");
  }
}

}  // namespace zeltrix::cli
