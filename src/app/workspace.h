#pragma once
// The desktop program's side of the document commands: runs them on the
// session, then makes the windows follow the document (the Control Window
// while a document is open, the report windows in their slots, text windows
// for other files) and keeps the recent-file list.

#include <optional>

#include <QObject>
#include <QPointer>
#include <QSize>
#include <array>
#include <string>

#include "core/session.h"

class QMdiArea;
class QMdiSubWindow;

namespace tessera::app {

class ControlWindowView;
class RecentFiles;
class TextWindow;

class Workspace : public QObject {
  Q_OBJECT
 public:
  /// Report slots: 1 transformation report, 2 bond report, 3 powder listing (0 is the document).
  static constexpr int kSlotCount = 4;

  Workspace(Session& session, QMdiArea& area, RecentFiles& recent, QObject* parent);

  Session& session() { return session_; }
  const RecentFiles& recentFiles() const { return recent_; }
  /// The Control Window's view while a document is open, else nullptr.
  ControlWindowView* controlWindow() const;

  void newDocument();
  void openWithDialog();
  /// Opens a file as openDocumentFile says (recent list, dropped files): a .tsr
  /// replaces the document, anything else opens in a text window.
  void openPath(const QString& path);
  /// Opens the native document a command line names; anything else is ignored.
  void openFromCommandLine(const std::string& commandLine);
  void save();
  void saveAs();
  /// Import > a format: replaces the document with one read from a file of that import kind.
  void importFile(int kind);
  /// Imports a file of that kind without asking for its name (a dropped file).
  void importFile(int kind, const QString& path);
  /// A file dropped on the program: a native document opens, an importable extension imports,
  /// anything else opens as text.
  void openDropped(const QString& path);
  /// Import > All Files: a file of any kind with a reader, the kind chosen by its extension.
  void importAnyFile();
  /// The import kind that reads a file, by its extension as the import options hold them.
  std::optional<int> importKindOf(const QString& path) const;
  /// Export > a command (index into the export command list): writes the document in that format.
  void exportFile(int commandIndex);
  void titleAxes();
  /// Input > Symmetry and the Control Window's "Symmetry": the symmetry dialogs on the Old crystal.
  void symmetry();
  /// The Control Window's "Transform": the parameters dialog, the transformation and its report.
  void transform();
  void transformedToInput();
  /// The Control Window's "Bond Lengths/Angles": the dialog, the calculation and BONDS.OUT in slot 2.
  void bondLengths();
  /// The Control Window's site buttons: Add, Edit, Delete and Selected atom.
  void addSite();
  void editSite();
  void deleteSite();
  void showSelectedAtom();
  /// Closes the document after the save prompt; false when the user kept it open.
  bool closeDocument();
  /// Closes the document and every window (program exit); false when the user cancelled.
  bool closeAll();

  /// Shows the file in report slot 1-3, replacing the window the slot held; false when it cannot be read.
  bool showReport(int slot, const QString& path);
  /// Opens a file in a new text window; nullptr when it cannot be read.
  TextWindow* openTextWindow(const QString& path);
  /// Gives every text window the font chosen in the program settings.
  void applyTextFont();
  /// Rebuilds the Control Window from the document.
  void refreshControlWindow();
  /// Adds a window to the workspace and shows it wholly inside the visible area.
  QMdiSubWindow* addWindow(QWidget* widget, QSize size = {}, std::optional<WindowKind> kind = {});

 signals:
  /// After every command: the document may have opened, closed, changed or been saved.
  void documentChanged();
  /// A command's confirmation for the status bar ("Saved ...").
  void statusMessage(const QString& text);

 private:
  void afterCommand();
  void showControlWindow();
  void closeControlWindow();
  void closeReportWindows();
  /// Asks the save questions of the document and of the text windows (all of them, or only
  /// the report slots) before anything closes; false, with nothing closed, after a Cancel.
  bool confirmClosing(bool everyTextWindow);
  /// The report windows ask again when they close (the command that asked went no further).
  void forgetReportCloseAnswers();

  bool closeFromControlWindow();
  void rememberDocument();
  void saved();

  Session& session_;
  QMdiArea& area_;
  RecentFiles& recent_;
  QPointer<QMdiSubWindow> control_;
  std::array<QPointer<QMdiSubWindow>, kSlotCount> slots_{};
  bool changesGivenUp_ = false;  // the last closing prompt was answered No
};

}  // namespace tessera::app
