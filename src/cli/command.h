#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/console.h"

namespace zeltrix::cli {

/** What a command runs with besides its arguments. */
struct Context {
  Console& console;
  /** The folder of the program's files, with a trailing slash: Profile.prof is looked for there. */
  std::string programDirectory;
};

/** One form of a command as the help shows it. */
struct HelpSection {
  /** The command line after "zeltrix-cli ", one entry a printed line. */
  QStringList synopsis;
  /** What the form does; wrapped to the width of the help. */
  QString text;
  /** Long names of the command's options described under this form, in order. */
  QStringList options;
};

/**
 * One command of zeltrix-cli. A new command is a file of its own that defines
 * a function returning this, plus one line in the list of commands.
 */
struct Command {
  QString name;
  /** Every option the command takes, with its help text and value name. */
  QList<QCommandLineOption> (*options)();
  std::vector<HelpSection> (*help)();
  /** Runs the command on the arguments after its name; a failure says the exit status and why. */
  CliStatus (*run)(const QStringList& arguments, Context& context);
};

/** Every command, in the order the help lists them. */
const std::vector<Command>& Commands();

Command ConvertCommand();
Command BinCommand();
Command ProfilesCommand();
Command PreviewCommand();
Command ProbeCommand();
Command DecodeCommand();

}  // namespace zeltrix::cli
