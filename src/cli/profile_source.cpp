#include "cli/profile_source.h"

#include "cli/cli_common.h"
#include "core/io/file_io.h"
#include "core/profiles/profile_database.h"

namespace zeltrix::cli {

std::string ProfileDatabasePath(const QString& given, const std::string& programDirectory) {
  return given.isEmpty() ? programDirectory + std::string(kProfileDatabaseName) : LocalPath(given);
}

std::string OpenProfileSource(SettingsFile& file, const QString& given,
                              const std::string& programDirectory) {
  std::string path = ProfileDatabasePath(given, programDirectory);
  if (!FileExists(path)) {
    if (!given.isEmpty()) Fail("Файл профилей \"" + given.toStdString() + "\" не найден");
    file.OpenBuffer({});
    WriteDefaultProfiles(file);
    return path;
  }
  if (!file.Open(path)) Fail("Не удалось открыть файл профилей \"" + path + "\"");
  return path;
}

}  // namespace zeltrix::cli
