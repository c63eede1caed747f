#pragma once
// tessera-cli commands of the space-group engine: sg and identify.

#include "cli/cli.h"

namespace tessera::cli {

/// `sg [--hall] [--vol A|I] SYMBOL` and `sg --table`.
CliCommand spaceGroupCommand();
/// `identify [--centric] [--lattice P|A|B|C|F|I|R]`: operators from standard input.
CliCommand identifyCommand();

}  // namespace tessera::cli
