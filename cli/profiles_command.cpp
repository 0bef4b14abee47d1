#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/profile_source.h"
#include "common/cp1251.h"
#include "profiles/profile_database.h"

namespace zeltrix::cli {

int RunProfiles(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption profiles("profiles", {}, "FILE");
  parser.addOption(profiles);
  ParseOrFail(parser, arguments);
  if (!parser.positionalArguments().isEmpty()) {
    UsageError("лишний аргумент \"" + parser.positionalArguments().first().toStdString() + "\"");
  }
  SettingsFile file;
  OpenProfileSource(file, parser.value(profiles));
  std::string listing;
  for (const std::string& name : ProfileNames(file)) listing += Cp1251ToUtf8(name) + "\n";
  WriteOutput({}, listing);
  return kExitOk;
}

}  // namespace zeltrix::cli
