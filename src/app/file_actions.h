#pragma once
// File menu: New, Open, Save, Save As, Print and Metafile of the active window,
// the four most recent files, Exit.

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

 private:
  Workspace& workspace_;
  QMdiArea& area_;
  MetafileDialogModel metafileModel_;
  QAction* print_ = nullptr;
  QAction* metafile_ = nullptr;
  QWidget& window_;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QList<QAction*> recent_;
  QAction* recentSeparator_ = nullptr;
};

}  // namespace tessera::app
