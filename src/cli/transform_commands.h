#pragma once
// tessera-cli commands of the cell transformation: transform and hkl.

#include "cli/cli.h"
#include "core/crystal_document.h"

namespace tessera::cli {

/// `transform IN.tsr OUT.tsr [options]`: runs the transformation and saves the New crystal as the input.
CliCommand transformCommand();
/// `hkl IN.hkl OUT.hkl (--standard NAME | --matrix ...)`: transforms a reflection list.
CliCommand hklCommand();

/// Turns the New crystal into the input: the New record over the Old one, the New sites
/// over the input sites; the New crystal itself stays.
void transformedToInput(CrystalDocument& doc);

}  // namespace tessera::cli
