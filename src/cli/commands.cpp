#include "cli/command.h"

namespace zeltrix::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
      ConvertCommand(),  BinCommand(),     DecodeCommand(),
      ProfilesCommand(), PreviewCommand(), ProbeCommand(),
  };
  return kCommands;
}

}  // namespace zeltrix::cli
