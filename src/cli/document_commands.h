#pragma once
// tessera-cli commands on native documents: show and save.

#include "cli/cli.h"

namespace tessera::cli {

/// `show FILE`: prints what the Control Window shows.
CliCommand showCommand();
/// `save IN.tsr OUT.tsr`: reads and writes the native file.
CliCommand saveCommand();

}  // namespace tessera::cli
