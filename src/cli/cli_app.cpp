#include "cli/cli_app.h"

#include <new>

#include "cli/cli_common.h"
#include "core/version.h"

namespace zeltrix::cli {
namespace {

int Dispatch(const QStringList& arguments, Context& context) {
  if (arguments.isEmpty()) UsageError("не указана команда (справка: zeltrix-cli --help)");
  const QString name = arguments.first();
  const QStringList rest = arguments.mid(1);
  if (name == "--help" || name == "-h" || name == "help" || rest.contains("--help") ||
      rest.contains("-h")) {
    if (!context.console.Out(HelpText())) Fail("не удалось записать стандартный вывод");
    return kExitOk;
  }
  if (name == "--version") {
    if (!context.console.Out(std::string("zeltrix-cli (Zeltrix) ") + kProgramVersion + "\n")) {
      Fail("не удалось записать стандартный вывод");
    }
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (command.name == name) return command.run(rest, context);
  }
  UsageError("неизвестная команда \"" + name.toStdString() + "\" (справка: zeltrix-cli --help)");
}

}  // namespace

int RunCli(const QStringList& arguments, Context& context) {
  try {
    return Dispatch(arguments, context);
  } catch (const CliError& error) {
    context.console.Err("zeltrix-cli: " + error.message + "\n");
    return error.status;
  } catch (const std::bad_alloc&) {
    context.console.Err("zeltrix-cli: недостаточно памяти\n");
    return kExitFailure;
  }
}

}  // namespace zeltrix::cli
