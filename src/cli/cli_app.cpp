#include "cli/cli_app.h"

#include <new>

#include "cli/cli_common.h"
#include "core/version.h"

namespace zeltrix::cli {
namespace {

CliStatus Dispatch(const QStringList& arguments, Context& context) {
  if (arguments.isEmpty()) return Usage("не указана команда (справка: zeltrix-cli --help)");
  const QString name = arguments.first();
  const QStringList rest = arguments.mid(1);
  if (name == "--help" || name == "-h" || name == "help" || rest.contains("--help") ||
      rest.contains("-h")) {
    if (!context.console.Out(HelpText())) return Failed("не удалось записать стандартный вывод");
    return {};
  }
  if (name == "--version") {
    if (!context.console.Out(std::string("zeltrix-cli (Zeltrix) ") + kProgramVersion + "\n")) {
      return Failed("не удалось записать стандартный вывод");
    }
    return {};
  }
  for (const Command& command : Commands()) {
    if (command.name == name) return command.run(rest, context);
  }
  return Usage("неизвестная команда \"" + name.toStdString() + "\" (справка: zeltrix-cli --help)");
}

}  // namespace

int RunCli(const QStringList& arguments, Context& context) {
  try {
    const CliStatus status = Dispatch(arguments, context);
    if (status) return kExitOk;
    const CliError& error = status.Reason();
    if (!error.message.empty()) context.console.Err("zeltrix-cli: " + error.message + "\n");
    return error.status;
  } catch (const std::bad_alloc&) {
    context.console.Err("zeltrix-cli: недостаточно памяти\n");
    return kExitFailure;
  }
}

}  // namespace zeltrix::cli
