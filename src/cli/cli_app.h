#pragma once

#include <QStringList>
#include <string>

#include "cli/command.h"

namespace zeltrix::cli {

/**
 * Runs zeltrix-cli on its arguments (without the program name): a failure
 * ends with a one-line message on the console's standard error. Returns the
 * exit status.
 */
int RunCli(const QStringList& arguments, Context& context);

/** The full help text (UTF-8), made from the commands and their options. */
std::string HelpText();

}  // namespace zeltrix::cli
