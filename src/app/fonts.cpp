#include "app/fonts.h"

#include <QStringList>

namespace tessera::app {

namespace {

QFont fixedPitch(const QString& family, int pointSize, int weight) {
  QFont font(family);
  font.setPointSize(pointSize > 0 ? pointSize : 9);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

void installFontSubstitutes() {
  // Liberation Mono and Cousine share Courier New's metrics, so the columns of
  // the site list line up exactly as designed.
  QFont::insertSubstitutions("Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono", "Monospace"});
}

QFont siteListFont() { return fixedPitch("Courier New", 9, 500); }

QFont textWindowFont(const ProgramSettings& settings) {
  // Weights share one scale (400 normal, 700 bold); out-of-range values read as normal.
  const int weight = settings.fontWeight >= 1 && settings.fontWeight <= 1000 ? settings.fontWeight : 400;
  QFont font = fixedPitch(QString::fromStdString(settings.fontName), settings.fontPointSize, weight);
  font.setItalic(settings.fontItalic != 0);
  font.setUnderline(settings.fontUnderline != 0);
  font.setStrikeOut(settings.fontStrikeOut != 0);
  return font;
}

void storeTextWindowFont(ProgramSettings& settings, const QFont& font) {
  settings.fontName = font.family().toStdString();
  if (font.pointSize() > 0) {
    settings.fontPointSize = font.pointSize();
    // The character height at 96 dots per inch, negative as a size without leading.
    settings.fontHeight = -(font.pointSize() * 96 + 36) / 72;
  }
  settings.fontWeight = font.weight();
  settings.fontItalic = font.italic() ? 1 : 0;
  settings.fontUnderline = font.underline() ? 1 : 0;
  settings.fontStrikeOut = font.strikeOut() ? 1 : 0;
}

}  // namespace tessera::app
