#pragma once
// File > Print and File > Metafile for the pattern windows: the page drawn
// through Qt's printer, PDF pictures, and the clipboard's data of a metafile.

#include <QMimeData>
#include <memory>
#include <string>

#include "app/pattern_windows.h"
#include "diffraction/metafile_command.h"
#include "diffraction/print_graphics.h"

class QMdiArea;
class QPrinter;

namespace tessera::app {

/// The drawing of the active pattern window, or an empty painter when another window is active.
PatternPainter activePatternPainter(const QMdiArea& area);

/// Draws the pattern on one page of the printer as the model says (black and white
/// unless colour); false when the printer could not start.
bool printPattern(QPrinter& printer, const PrintGraphicsModel& model, const PatternPainter& paint);

/// A PDF page of the frame size holding the drawing; false when it cannot be written.
bool writePdfPicture(const std::string& path, double acrossInches, double downInches, bool blackWhite,
                     const PatternPainter& paint);

/// The clipboard's data: the metafile bytes under their MIME type, the SVG, and a PNG
/// image of the frame at screen resolution.
std::unique_ptr<QMimeData> clipboardData(const MetafileResult& result, const MetafileDialogModel& model,
                                         const PatternPainter& paint);

}  // namespace tessera::app
