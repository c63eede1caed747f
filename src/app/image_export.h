#pragma once
// Pictures of a drawing chosen by file extension: SVG from the program's own
// canvas, PNG and PDF through QPainter. Needs only QtGui, so the command-line
// program writes the same pictures as the pattern windows.

#include <QString>

#include "diffraction/metafile_command.h"

namespace tessera::app {

/// Writes a drawing of width x height pixels (at the screen's 96 dots an inch) as
/// .svg, .png or .pdf, chosen by the extension of path; false on failure.
bool exportPatternImage(const PatternPainter& paint, double width, double height, const QString& path);

/// Makes the application object QPainter needs for fonts when none exists yet
/// (offscreen, so no display is needed); the command-line program calls it.
void ensureGuiApplication();

}  // namespace tessera::app
