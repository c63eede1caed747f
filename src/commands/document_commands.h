#pragma once
// The document commands: New, Open, Save, Save As, closing with the save
// prompt, Title/Axes and Transformed to Input. They work on the session's one
// document and reach the user only through the UI port; the windows of a
// program follow the document's isOpen flag and the results returned here.

#include <string>

#include "core/session.h"

namespace tessera {

/// Path a document carries until it is saved under a name of its own.
inline constexpr const char* kUntitledPath = "untitled.tsr";

/// How an attempt to open a path ended.
enum class OpenResult {
  Opened,      ///< a native document is now the open document
  OpenAsText,  ///< not a native file: the UI shows it in a text window, the document is untouched
  Cancelled,   ///< the user cancelled (save prompt or file dialog); nothing changed
  Failed,      ///< reading failed: the message was shown and no document is open
};

/// Result of File > Open: what happened and the path chosen.
struct OpenOutcome {
  OpenResult result = OpenResult::Cancelled;
  std::string path;
};

/// True for a document that has no file of its own yet ("untitled.tsr" or no path).
bool isUntitled(const CrystalDocument& doc);

/// "Save changes to %s ?" when the open document is modified (Yes saves first);
/// false when the user cancelled or the save did not happen.
bool confirmSaveChanges(Session& session);

/// Closes the open document after the save prompt; false when it stays open.
bool closeDocumentCommand(Session& session);

/// File > New: save prompt, then a new document through the Title/Axes dialog; true when one is open.
bool newCommand(Session& session);

/// File > Open: save prompt, file dialog, then the chosen path opens.
OpenOutcome openCommand(Session& session);

/// The one way a file opens: a .tsr path (any case) replaces the open document
/// (after the save prompt); any other path is left to the UI as a text window.
OpenResult openDocumentFile(Session& session, const std::string& path);

/// Fills and opens the document by its openMode: 0 importer-filled, 1 new, 2 read the file at path.
bool openDocument(Session& session, const std::string& path);

/// The New document procedure: defaults, Title/Axes dialog, operators, first site; false when cancelled.
bool newDocument(Session& session);

/// The site dialog for the first site of a new document; when it is cancelled the
/// document has no sites. Returns false when cancelled.
bool runFirstSiteDialog(Session& session);

/// File > Save: writes the document to its path (Save As for an untitled one).
bool saveCommand(Session& session);

/// File > Save As: asks for a path and writes the document there.
bool saveAsCommand(Session& session);

/// Input > Title/Axes: runs the dialog and stores title, cell and axes; true on OK.
bool titleAxesCommand(Session& session);

/// Input > Transformed to Input ("New to Old"): the New crystal and its sites become the Old ones.
bool transformedToInputCommand(Session& session);

}  // namespace tessera
