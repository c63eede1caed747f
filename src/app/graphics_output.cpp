#include "app/graphics_output.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "app/painter_canvas.h"

namespace tessera::app {

namespace {

/// Draws through a painter, in black and white when asked.
void paintOn(QPainter& painter, const PatternPainter& paint, const Rect& target, double dotsPerInch,
             bool blackWhite) {
  PainterCanvas canvas(painter);
  BlackWhiteCanvas black(canvas);
  paint(blackWhite ? static_cast<Canvas&>(black) : canvas, target, dotsPerInch);
}

}  // namespace

PatternPainter activePatternPainter(const QMdiArea& area) {
  QMdiSubWindow* active = area.activeSubWindow();
  QWidget* w = active ? active->widget() : nullptr;
  if (auto* p = qobject_cast<PowderWindow*>(w)) return p->painter();
  if (auto* p = qobject_cast<PrecessionWindow*>(w)) return p->painter();
  return {};
}

bool printPattern(QPrinter& printer, const PrintGraphicsModel& model, const PatternPainter& paint) {
  // Offsets count from the paper's corner, so the painter works on the whole sheet.
  printer.setFullPage(true);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
  const double dpi = printer.resolution();
  const Rect target =
      printTarget(model, {printable.x(), printable.y(), printable.width(), printable.height()}, dpi);
  painter.setClipRect(QRectF(target.x, target.y, target.width, target.height));
  paintOn(painter, paint, target, dpi, !model.colour);
  return painter.end();
}

bool writePdfPicture(const std::string& path, double acrossInches, double downInches, bool blackWhite,
                     const PatternPainter& paint) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setPageSize(QPageSize(QSizeF(acrossInches, downInches), QPageSize::Inch));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  PrintGraphicsModel page;
  page.colour = !blackWhite;
  return printPattern(printer, page, paint);
}

std::unique_ptr<QMimeData> clipboardData(const MetafileResult& result, const MetafileDialogModel& model,
                                         const PatternPainter& paint) {
  auto data = std::make_unique<QMimeData>();
  data->setData(QString::fromStdString(result.mimeType),
                QByteArray(reinterpret_cast<const char*>(result.bytes.data()), static_cast<qsizetype>(result.bytes.size())));
  data->setData("image/svg+xml", QByteArray::fromStdString(result.svg));
  // The image at screen resolution, no side over 4000 pixels.
  const double scale = std::min(1.0, 4000.0 / (std::max(model.acrossInches, model.downInches) * kDefaultPixelsPerInch));
  const double dpi = kDefaultPixelsPerInch * scale;
  const QSize size(std::max(1, static_cast<int>(std::lround(model.acrossInches * dpi))),
                   std::max(1, static_cast<int>(std::lround(model.downInches * dpi))));
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    paintOn(painter, paint, {0, 0, static_cast<double>(size.width()), static_cast<double>(size.height())}, dpi,
            model.blackWhite);
  }
  data->setImageData(image);
  return data;
}

}  // namespace tessera::app
