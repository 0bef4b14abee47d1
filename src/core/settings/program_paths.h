#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/io/file_io.h"

namespace zeltrix {

/** The program's name; it also names the user's configuration folder (~/.config/Zeltrix). */
inline constexpr std::string_view kApplicationName = "Zeltrix";

/** Where the program keeps Profile.prof and Preferences.ini. */
struct ProgramPaths {
  std::string directory;  ///< with its trailing separator
  std::string settings;   ///< Preferences.ini
  std::string profiles;   ///< Profile.prof

  /** The paths for a program directory (a trailing separator is added when missing). */
  static ProgramPaths InDirectory(std::string directory);
};

/** True when the user may create files in the folder (it exists and is writable). */
bool IsWritableFolder(const std::string& folder);

/** What the choice of the program's folder rests on; the caller supplies it. */
struct FileLocationInputs {
  std::string executableDirectory;     ///< folder of the running executable
  std::string configurationDirectory;  ///< the user's configuration folder for the program
  /** Whether the user may create files in a folder. */
  std::function<bool(const std::string&)> isWritable = IsWritableFolder;
};

/**
 * Decides where Profile.prof and Preferences.ini live. They stay beside the
 * executable when its folder is writable by the user (a build tree, a portable
 * copy). They go into the user's configuration folder when it is not, and also
 * for an installed copy, recognised by the share/zeltrix folder beside its
 * bin folder: an administrator, or a user who installed into ~/.local, may
 * write to that bin folder, but settings do not belong there. Without a
 * configuration folder the executable's folder is used.
 */
ProgramPaths LocateProgramFiles(const FileLocationInputs& inputs);

/**
 * Creates the program's folder and its missing parents: success when it
 * exists afterwards, else why not.
 */
FileStatus EnsureProgramDirectory(const ProgramPaths& paths);

}  // namespace zeltrix
