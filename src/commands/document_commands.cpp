#include "commands/document_commands.h"

#include <filesystem>

#include "commands/site_commands.h"
#include "commands/title_axes.h"
#include "core/native_file.h"
#include "core/site_listing.h"
#include "core/text.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

namespace fs = std::filesystem;

std::string fullPath(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::absolute(fs::path(path), ec);
  return ec ? path : p.lexically_normal().string();
}

std::string folderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

/// Gives the document its path name; a path with a folder also sets the document directory.
void setDocumentPath(Session& session, const std::string& path) {
  CrystalDocument& doc = session.document;
  doc.documentPath = path;
  doc.fileTitle = fileNameOf(path);
  const std::string folder = folderOf(path);
  if (!folder.empty()) session.settings.documentDirectory = folder;
}

bool writeTo(Session& session, const std::string& path) {
  BusyCursor busy(session.ui);
  if (!writeDocumentFile(session.document, path, session.ui)) return false;
  setDocumentPath(session, path);
  session.document.modified = false;
  session.document.ownsFile = true;
  return true;
}

/// Closes without asking: the document's data stay in the record until the next one fills it.
void markClosed(CrystalDocument& doc) {
  doc.isOpen = false;
  doc.modified = false;
}

/// Per-structure values a new document must not inherit from the one before.
void resetForNewDocument(CrystalDocument& doc) {
  clearDocument(doc);
  doc.activeCrystal = 0;
  doc.tfMix = 0;
  doc.tfAnisoKind = 0;
  doc.importFormat = -1;
  doc.cartesianText.clear();
}

bool runTitleAxesDialog(Session& session) {
  TitleAxesModel model;
  model.loadFrom(session.document);
  if (!session.ui.runDialog(model)) return false;
  // The monoclinic messages come after the dialog has closed; the values stay stored.
  const std::string warning = model.applyTo(session.document);
  if (!warning.empty()) session.ui.message(warning);
  return true;
}

}  // namespace

bool isUntitled(const CrystalDocument& doc) { return doc.documentPath.empty() || doc.documentPath == kUntitledPath; }

bool confirmSaveChanges(Session& session) {
  CrystalDocument& doc = session.document;
  if (!doc.isOpen || !doc.modified) return true;
  const Answer a = session.ui.ask(format("Save changes to %s ?", doc.documentPath.c_str()), Buttons::YesNoCancel);
  if (a == Answer::Cancel) return false;
  // A save that fails or is cancelled keeps the document open: closing now would lose the changes.
  if (a == Answer::Yes) return saveCommand(session);
  return true;
}

bool closeDocumentCommand(Session& session) {
  if (!confirmSaveChanges(session)) return false;
  markClosed(session.document);
  return true;
}

bool newCommand(Session& session) {
  if (!closeDocumentCommand(session)) return false;
  session.document.documentPath = kUntitledPath;
  session.document.openMode = 1;
  return openDocument(session, kUntitledPath);
}

OpenOutcome openCommand(Session& session) {
  if (!confirmSaveChanges(session)) return {};
  FileRequest request;
  request.title = "Open";
  request.filter = kNativeFilter;
  request.defaultName = "*.tsr";
  request.defaultExtension = ".tsr";
  request.directory = session.settings.documentDirectory;
  request.mustExist = true;
  const auto path = session.ui.openFile(request);
  if (!path) return {};
  if (!hasNativeExtension(*path)) return {OpenResult::OpenAsText, *path};
  // The prompt has been answered: a second one for the same changes would only confuse.
  markClosed(session.document);
  session.document.openMode = 2;
  return {openDocument(session, *path) ? OpenResult::Opened : OpenResult::Failed, *path};
}

OpenResult openDocumentFile(Session& session, const std::string& path) {
  if (!hasNativeExtension(path)) return OpenResult::OpenAsText;
  if (!closeDocumentCommand(session)) return OpenResult::Cancelled;
  session.document.openMode = 2;
  return openDocument(session, path) ? OpenResult::Opened : OpenResult::Failed;
}

bool openDocument(Session& session, const std::string& path) {
  CrystalDocument& doc = session.document;
  std::string name = path;
  // Only a file read here is the document's own: an import's derived name may belong to another file.
  doc.ownsFile = false;
  switch (doc.openMode) {
    case 0: doc.modified = true; break;
    case 1:
      if (!newDocument(session)) {
        markClosed(doc);
        return false;
      }
      doc.modified = true;
      break;
    default:
      name = fullPath(path);
      clearDocument(doc);
      BusyCursor busy(session.ui);
      if (!readDocumentFile(doc, name, session.ui)) {
        markClosed(doc);
        return false;
      }
      doc.activeCrystal = 0;
      doc.modified = false;
      doc.ownsFile = true;
      break;
  }
  setDocumentPath(session, name);
  doc.isOpen = true;
  return true;
}

bool newDocument(Session& session) {
  CrystalDocument& doc = session.document;
  resetForNewDocument(doc);
  setNewDocumentDefaults(doc);
  // The first Transform of a new document starts from the unit matrix, not an all-zero one.
  doc.transformation.resetToIdentity();
  if (!runTitleAxesDialog(session)) return false;
  CrystalRecord& old = doc.crystals[0];
  old.symmetrySource = 0;
  BuildSymmetryMatrices(old, session.ui);
  doc.crystals[1] = old;
  runFirstSiteDialog(session);
  doc.modified = true;
  return true;
}

bool runFirstSiteDialog(Session& session) {
  // The input-site list of a new document starts with room for 40 sites and site 1.
  std::vector<Site>& sites = session.document.sites[0];
  sites.clear();
  growSites(sites, 40);
  Site first;
  first.ortepType = -1;
  sites.push_back(first);
  return editSite(session, 0, true);
}

bool saveCommand(Session& session) {
  CrystalDocument& doc = session.document;
  if (!doc.isOpen) return false;
  // A name the document was given (an import's, "untitled.tsr") goes through Save As,
  // so a file of that name that this run did not open or write is never replaced unasked.
  if (isUntitled(doc) || !doc.ownsFile) return saveAsCommand(session);
  return writeTo(session, doc.documentPath);
}

bool saveAsCommand(Session& session) {
  CrystalDocument& doc = session.document;
  if (!doc.isOpen) return false;
  FileRequest request;
  request.title = "Save As";
  request.filter = kNativeFilter;
  request.defaultName = isUntitled(doc) ? std::string(kUntitledPath) : fileNameOf(doc.documentPath);
  request.defaultExtension = ".tsr";
  request.directory = isUntitled(doc) ? session.settings.documentDirectory : folderOf(doc.documentPath);
  request.mustExist = false;
  request.confirmOverwrite = true;
  const auto path = session.ui.saveFile(request);
  if (!path) return false;
  return writeTo(session, fullPath(*path));
}

bool titleAxesCommand(Session& session) {
  if (!session.document.isOpen) return false;
  if (!runTitleAxesDialog(session)) return false;
  session.document.modified = true;
  return true;
}

bool transformedToInputCommand(Session& session) {
  CrystalDocument& doc = session.document;
  UserInterface& ui = session.ui;
  if (!doc.isOpen) return false;
  if (doc.newSiteCount() == 0) {
    ui.message("There are no Transformed (New) atoms");
    return false;
  }
  if (ui.ask("Do you want to convert the New (transformed) atoms and parameters to Input (or Old, original)?",
             Buttons::OkCancel) != Answer::Ok)
    return false;
  const Answer save = ui.ask(
      format("Do you want to save the file %s and create a file with a new name?", doc.documentPath.c_str()),
      Buttons::YesNoCancel);
  if (save == Answer::Cancel) return false;
  if (save == Answer::Yes) {
    // The user asked to keep the current file: when that save does not happen, stop here.
    if (!saveCommand(session)) return false;
    setDocumentPath(session, kUntitledPath);
  }
  if (!growSites(doc.sites[0], doc.sites[1].size())) {
    ui.message("New allocation for input atoms failed");
    return false;
  }
  copyNewToOld(doc);
  return true;
}

}  // namespace tessera
