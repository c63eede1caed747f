#include "app/window_placements.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace tessera::app {

namespace {

// Show states as the settings file numbers them.
constexpr unsigned kShowNormal = 1, kShowMinimised = 2, kShowMaximised = 3;

/// Reads a window's placement back into the settings when it closes.
class PlacementKeeper : public QObject {
 public:
  PlacementKeeper(QWidget& window, ProgramSettings& settings, WindowKind kind)
      : QObject(&window), settings_(settings), kind_(kind) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      WindowPlacement& kept = settings_.windowPlacements[static_cast<std::size_t>(kind_)];
      kept = placementOf(*static_cast<QWidget*>(watched), kept);
    }
    return false;
  }

 private:
  ProgramSettings& settings_;
  WindowKind kind_;
};

}  // namespace

WindowPlacement placementOf(const QWidget& window, const WindowPlacement& previous) {
  WindowPlacement p = previous;
  if (window.isMinimized()) {
    p.showState = kShowMinimised;
    return p;
  }
  if (window.isMaximized()) {
    p.showState = kShowMaximised;
    // A top-level window knows its normal rectangle; a sub-window keeps the last one seen.
    if (!window.isWindow() || window.normalGeometry().isEmpty()) return p;
  } else {
    p.showState = kShowNormal;
  }
  const QRect r = window.isMaximized() ? window.normalGeometry() : window.geometry();
  p.left = r.left();
  p.top = r.top();
  p.right = r.left() + r.width();
  p.bottom = r.top() + r.height();
  return p;
}

void applyPlacement(QWidget& window, const WindowPlacement& placement, QSize fallback) {
  if (placement.placed())
    window.setGeometry(placement.left, placement.top, placement.right - placement.left,
                       placement.bottom - placement.top);
  else
    window.resize(fallback);
  switch (placement.showState) {
    case kShowMaximised: window.showMaximized(); break;
    case kShowMinimised: window.showMinimized(); break;
    default: window.show(); break;
  }
}

void placeFromSettings(QWidget& window, ProgramSettings& settings, WindowKind kind, QSize fallback) {
  applyPlacement(window, settings.windowPlacements[static_cast<std::size_t>(kind)], fallback);
  window.installEventFilter(new PlacementKeeper(window, settings, kind));
}

}  // namespace tessera::app
