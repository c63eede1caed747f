#pragma once
// tessera-cli commands of the diffraction simulation: powder and precession.

#include <functional>
#include <string>

#include "cli/cli.h"
#include "diffraction/metafile_command.h"

namespace tessera::cli {

/// `powder IN [options]`: the powder pattern, its listing, CSV table, profile and picture.
CliCommand powderCommand();
/// `precession IN [options]`: one precession layer, its spots and picture.
CliCommand precessionCommand();

/// Writes a drawing of width x height pixels as a PNG or PDF picture (by the
/// extension of the path); false on failure.
using RasterPictureWriter = std::function<bool(const PatternPainter&, double width, double height, const std::string&)>;
/// Set by a program built with the picture library; without it --image writes SVG and metafiles only.
void setRasterPictureWriter(RasterPictureWriter writer);

}  // namespace tessera::cli
