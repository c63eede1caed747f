#pragma once
// File menu: New, Open, Close, Save, Save As; Print, Metafile and Export Image of the
// active window, Export Profile of a powder window; the four most recent files, Exit.

#include <QList>

#include "app/menu_area.h"
#include "diffraction/metafile_command.h"

class QMdiArea;
class QWidget;

namespace tessera::app {

class Workspace;

class FileActions : public MenuArea {
  Q_OBJECT
 public:
  FileActions(Workspace& workspace, QMdiArea& area, QWidget& window);
  void addTo(QMenuBar& bar) override;
  void updateActions() override;

  /// File > Print: the active pattern window through the "Print Graphics Image" dialog, or a text window's text.
  void print();
  /// File > Metafile: the active pattern window as a metafile, SVG or PDF file, or on the clipboard.
  void metafile();
  /// File > Export Image: the active pattern window as SVG, PNG or PDF at its size on screen.
  void exportImage();
  /// File > Export Profile: the active powder window's curve as 2-theta and intensity.
  void exportProfile();

 private:
  Workspace& workspace_;
  QMdiArea& area_;
  MetafileDialogModel metafileModel_;
  QAction* print_ = nullptr;
  QAction* metafile_ = nullptr;
  QAction* image_ = nullptr;
  QAction* profile_ = nullptr;
  QWidget& window_;
  QAction* close_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QList<QAction*> recent_;
  QAction* recentSeparator_ = nullptr;
};

}  // namespace tessera::app
