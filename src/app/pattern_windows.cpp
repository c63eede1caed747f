#include "app/pattern_windows.h"

#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>

#include "app/painter_canvas.h"
#include "diffraction/svg_canvas.h"

namespace tessera::app {

namespace {

Rect widgetRect(const QWidget& w) { return {0, 0, static_cast<double>(w.width()), static_cast<double>(w.height())}; }

}  // namespace

PowderWindow::PowderWindow(QWidget* parent) : QWidget(parent) {
  setMinimumSize(300, 200);
  resize(static_cast<int>(kDefaultPatternWidth), static_cast<int>(kDefaultPatternHeight));
}

void PowderWindow::setPattern(const PowderPattern& pattern) {
  pattern_ = pattern;
  update();
}

PatternPainter PowderWindow::painter() const {
  const PowderPattern* p = &pattern_;
  return [p](Canvas& c, const Rect& r, double ppi) {
    PowderView view;
    drawPowder(c, r, ppi, *p, view);
  };
}

void PowderWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  PainterCanvas canvas(painter);
  drawPowder(canvas, widgetRect(*this), logicalDpiX(), pattern_, view_);
}

void PowderWindow::mousePressEvent(QMouseEvent* event) {
  if (!view_.drawn) return;
  emit readout(QString::fromStdString(powderReadout(view_, event->position().x(), event->position().y())));
}

PrecessionWindow::PrecessionWindow(QWidget* parent) : QWidget(parent) {
  setMinimumSize(300, 300);
  resize(static_cast<int>(kDefaultPatternWidth), static_cast<int>(kDefaultPatternHeight));
}

void PrecessionWindow::setPattern(const PrecessionPattern& pattern) {
  pattern_ = pattern;
  update();
}

PatternPainter PrecessionWindow::painter() const {
  const PrecessionPattern* p = &pattern_;
  return [p](Canvas& c, const Rect& r, double ppi) {
    PrecessionView view;
    drawPrecession(c, r, ppi, *p, view);
  };
}

void PrecessionWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  PainterCanvas canvas(painter);
  drawPrecession(canvas, widgetRect(*this), logicalDpiX(), pattern_, view_);
}

QString PrecessionWindow::readoutAt(double x, double y) const {
  const std::optional<std::string> text = precessionReadoutAt(pattern_, view_, x, y);
  return text ? QString::fromStdString(*text) : QString();
}

void PrecessionWindow::mousePressEvent(QMouseEvent* event) {
  // The read-out belongs to the Old crystal's window.
  if (pattern_.crystal != 0) return;
  const QString text = readoutAt(event->position().x(), event->position().y());
  if (!text.isEmpty()) QMessageBox::information(this, "Tessera", text);
}

bool exportPatternImage(const PatternPainter& paint, QSize size, const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  const Rect area{0, 0, static_cast<double>(size.width()), static_cast<double>(size.height())};
  if (ext == "svg") {
    SvgCanvas canvas(area.width, area.height);
    paint(canvas, area, kDefaultPixelsPerInch);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const std::string text = canvas.document();
    return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
  }
  if (ext == "png") {
    QImage image(size, QImage::Format_RGB32);
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
    writer.setPageSize(QPageSize(QSizeF(size.width() / kDefaultPixelsPerInch, size.height() / kDefaultPixelsPerInch),
                                 QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    PainterCanvas canvas(painter);
    paint(canvas, area, kDefaultPixelsPerInch);
    return painter.end();
  }
  return false;
}

}  // namespace tessera::app
