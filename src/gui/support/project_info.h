#pragma once

#include "core/version.h"

namespace zeltrix {

// The program's name, version and addresses, kept together so that the
// About window and anything else that names them agree.

/** Name and version as the windows show them: two spaces, then v and major.minor. */
inline constexpr const char* kProgramNameAndVersion = "Zeltrix  v" ZELTRIX_SHORT_VERSION;

/** Who the About window credits. */
inline constexpr const char* kProgramAuthor = "Проект Zeltrix";

/** The project's web site, opened from the About window's banner. */
inline constexpr const char* kProjectWebSite = "https://zeltrix.org/";

/** The project's contact address, opened as "mailto:" from the About window. */
inline constexpr const char* kProjectEmail = "info@zeltrix.org";

}  // namespace zeltrix
