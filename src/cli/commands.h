#pragma once

#include <QStringList>

namespace zeltrix::cli {

/** zeltrix-cli convert: a text into data lines. Arguments follow the command name. */
int RunConvert(const QStringList& arguments);

/** zeltrix-cli bin: the codes of a text into a binary file. Arguments follow the command name. */
int RunBin(const QStringList& arguments);

/** zeltrix-cli profiles: the profile names, one a line. */
int RunProfiles(const QStringList& arguments);

/** The full help text (UTF-8). */
const char* HelpText();

}  // namespace zeltrix::cli
