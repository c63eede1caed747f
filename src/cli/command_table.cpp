#include "cli/bond_commands.h"
#include "cli/cli.h"
#include "cli/convert_commands.h"
#include "cli/diffraction_commands.h"
#include "cli/document_commands.h"
#include "cli/edit_commands.h"
#include "cli/symmetry_commands.h"
#include "cli/transform_commands.h"

namespace tessera::cli {

const std::vector<CliCommand>& allCommands() {
  static const std::vector<CliCommand> commands = {
      showCommand(),
      saveCommand(),
      spaceGroupCommand(),
      identifyCommand(),
      assignCommand(),
      sitesCommand(),
      transformCommand(),
      hklCommand(),
      convertCommand(),
      powderCommand(),
      precessionCommand(),
      bondsCommand(),
  };
  return commands;
}

}  // namespace tessera::cli
