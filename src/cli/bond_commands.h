#pragma once
// tessera-cli command of the bond calculation: bonds.

#include "cli/cli.h"

namespace tessera::cli {

/// `bonds IN [--new] [--atom N] [--limit A] [--angles] [--ligand-limit A] [--angle-limit A] [--out FILE]`.
CliCommand bondsCommand();

}  // namespace tessera::cli
