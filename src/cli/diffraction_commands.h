#pragma once
// tessera-cli commands of the diffraction simulation: powder and precession.

#include "cli/cli.h"

namespace tessera::cli {

/// `powder IN [options]`: the powder pattern, its listing, CSV table, profile and picture.
CliCommand powderCommand();
/// `precession IN [options]`: one precession layer, its spots and picture.
CliCommand precessionCommand();

}  // namespace tessera::cli
