#pragma once
// tessera-cli commands that edit a document: assign (symmetry) and sites.

#include "cli/cli.h"

namespace tessera::cli {

/// `assign IN.tsr OUT.tsr (--hm S | --hall S | --number S) [--vol A|I]` or
/// `assign IN.tsr OUT.tsr --custom [--centric] [--lattice L] [--symbol S] [--identify] < lines`.
CliCommand assignCommand();

/// `sites IN.tsr OUT.tsr (--add "LABEL TYPE X Y Z [ORTEP V1..V6]" | --delete N |
/// --set N FIELD=VALUE... | --occupant N:J FIELD=VALUE...)...`.
CliCommand sitesCommand();

}  // namespace tessera::cli
