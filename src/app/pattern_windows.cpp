#include "app/pattern_windows.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "app/painter_canvas.h"

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

}  // namespace tessera::app
