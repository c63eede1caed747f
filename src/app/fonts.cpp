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

/// The style (weight, italic, style name) of the font last picked with Window > Font; the
/// settings keep its family and size.
QFont& pickedFont() {
  static QFont font;
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
  QFont font = fixedPitch(QString::fromStdString(settings.fontName), settings.fontPointSize, QFont::Normal);
  const QFont& picked = pickedFont();
  if (picked.family() == font.family() && picked.pointSize() == font.pointSize()) {
    font.setWeight(picked.weight());
    font.setItalic(picked.italic());
    font.setStyleName(picked.styleName());
  }
  return font;
}

void storeTextWindowFont(ProgramSettings& settings, const QFont& font) {
  settings.fontName = font.family().toStdString();
  if (font.pointSize() > 0) settings.fontPointSize = font.pointSize();
  pickedFont() = font;
  pickedFont().setPointSize(settings.fontPointSize);
}

}  // namespace tessera::app
