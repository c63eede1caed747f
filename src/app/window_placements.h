#pragma once
// The window placements of the settings file on the program's windows: the
// normal rectangle becomes the window's geometry (a sub-window's inside the
// window area, the main window's on the screen), the show state its normal,
// minimised or maximised state; a window's placement is read back when it closes.

#include <QSize>

#include "core/session.h"

class QMdiSubWindow;
class QWidget;

namespace tessera::app {

/// The placement of a window now; a minimised or maximised window keeps the normal
/// rectangle of `previous` (the one it had before).
WindowPlacement placementOf(const QWidget& window, const WindowPlacement& previous);

/// Gives a window its placement and shows it; an unplaced one gets `fallback` as its size.
void applyPlacement(QWidget& window, const WindowPlacement& placement, QSize fallback);

/// Places and shows a window from the settings and keeps its placement there when it closes.
void placeFromSettings(QWidget& window, ProgramSettings& settings, WindowKind kind, QSize fallback);

}  // namespace tessera::app
