#include "core/settings/program_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/profiles/profile_database.h"
#include "core/settings/app_settings.h"

namespace zeltrix {

ProgramPaths ProgramPaths::InDirectory(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory.push_back('/');
  return {directory, directory + std::string(kPreferencesName),
          directory + std::string(kProfileDatabaseName)};
}

bool IsWritableFolder(const std::string& folder) {
  struct stat st {};
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

namespace {

bool IsInstalledCopy(const std::string& executableDirectory) {
  std::error_code error;
  return std::filesystem::is_directory(
      std::filesystem::path(executableDirectory) / ".." / "share" / "zeltrix", error);
}

}  // namespace

ProgramPaths LocateProgramFiles(const FileLocationInputs& inputs) {
  const bool besideExecutable =
      inputs.configurationDirectory.empty() || (inputs.isWritable(inputs.executableDirectory) &&
                                                !IsInstalledCopy(inputs.executableDirectory));
  return ProgramPaths::InDirectory(besideExecutable ? inputs.executableDirectory
                                                    : inputs.configurationDirectory);
}

FileStatus EnsureProgramDirectory(const ProgramPaths& paths) {
  std::error_code error;
  std::filesystem::create_directories(paths.directory, error);
  std::error_code checked;
  if (std::filesystem::is_directory(paths.directory, checked)) return {};
  // Something that is not a folder may stand at the path without an error.
  return FileStatus::FromErrno(error ? error.value() : ENOTDIR);
}

}  // namespace zeltrix
