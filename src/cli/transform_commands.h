#pragma once
// tessera-cli commands of the cell transformation: transform and hkl.

#include "cli/cli.h"
#include "core/crystal_document.h"

namespace tessera::cli {

/// `transform IN.tsr OUT.tsr [options]`: runs the transformation and saves the New crystal as the input.
CliCommand transformCommand();
/// `hkl IN.hkl OUT.hkl (--standard NAME | --matrix ...)`: transforms a reflection list.
CliCommand hklCommand();


}  // namespace tessera::cli
