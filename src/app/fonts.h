#pragma once
// The fixed-pitch fonts of the Control Window's site list and of text windows.

#include <QFont>

#include "core/session.h"

namespace tessera::app {

/// Makes "Courier New" fall back on a metric-compatible fixed-pitch face where it is missing.
void installFontSubstitutes();

/// The Control Window's site list font: "Courier New", 9 points, weight 500.
QFont siteListFont();

/// The text windows' font as chosen with Window > Font (fixed pitch by default).
QFont textWindowFont(const ProgramSettings& settings);

/// Keeps a font chosen in the font dialog as the text windows' choice.
void storeTextWindowFont(ProgramSettings& settings, const QFont& font);

}  // namespace tessera::app
