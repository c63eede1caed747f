#include "app/image_export.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

#include "app/painter_canvas.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/svg_canvas.h"

namespace tessera::app {

bool exportPatternImage(const PatternPainter& paint, double width, double height, const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  const Rect area{0, 0, width, height};
  if (ext == "svg") {
    SvgCanvas canvas(width, height);
    paint(canvas, area, kDefaultPixelsPerInch);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const std::string text = canvas.document();
    return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
  }
  if (ext == "png") {
    QImage image(QSize(static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))),
                 QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(kDefaultPixelsPerInch / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(kDefaultPixelsPerInch / 0.0254));
    {
      QPainter painter(&image);
      PainterCanvas canvas(painter);
      paint(canvas, area, kDefaultPixelsPerInch);
    }
    return image.save(path, "PNG");
  }
  if (ext == "pdf") {
    QPdfWriter writer(path);
    writer.setResolution(static_cast<int>(kDefaultPixelsPerInch));
    writer.setPageSize(QPageSize(QSizeF(width / kDefaultPixelsPerInch, height / kDefaultPixelsPerInch), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    PainterCanvas canvas(painter);
    paint(canvas, area, kDefaultPixelsPerInch);
    return painter.end();
  }
  return false;
}

void ensureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A command run from a plain shell has no runtime folder; Qt makes its own and need not say so.
  static QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.startsWith("QStandardPaths:")) return;
        if (previous) previous(type, context, text);
      });
  static int argc = 1;
  static char name[] = "tessera-cli";
  static char* argv[] = {name, nullptr};
  // Kept to the end of the process: tearing it down among the static destructors
  // would race the font database's own clean-up.
  new QGuiApplication(argc, argv);
}

}  // namespace tessera::app
