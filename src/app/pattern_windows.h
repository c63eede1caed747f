#pragma once
// The powder and precession windows: each paints the last calculation of its
// kind for one crystal through a PainterCanvas and answers a mouse click with
// the read-out (status bar for powder, a message box for precession).

#include <QString>
#include <QWidget>

#include "diffraction/metafile_command.h"
#include "diffraction/pattern_drawing.h"

namespace tessera::app {

using tessera::PatternPainter;

class PowderWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PowderWindow(QWidget* parent = nullptr);
  void setPattern(const PowderPattern& pattern);
  const PowderPattern& pattern() const { return pattern_; }
  const PowderView& view() const { return view_; }
  PatternPainter painter() const;

 signals:
  /// The read-out of a click, for the status bar.
  void readout(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PowderPattern pattern_;
  PowderView view_;
};

class PrecessionWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PrecessionWindow(QWidget* parent = nullptr);
  void setPattern(const PrecessionPattern& pattern);
  const PrecessionPattern& pattern() const { return pattern_; }
  const PrecessionView& view() const { return view_; }
  PatternPainter painter() const;
  /// The read-out at a pixel (what a click shows), or empty.
  QString readoutAt(double x, double y) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PrecessionPattern pattern_;
  PrecessionView view_;
};

}  // namespace tessera::app
