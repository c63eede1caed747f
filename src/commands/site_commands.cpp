#include "commands/site_commands.h"

#include "commands/site_dialog_model.h"
#include "core/text.h"

namespace tessera {

bool editSite(Session& session, int i, bool newSite) {
  CrystalDocument& doc = session.document;
  if (i < 0 || i >= doc.siteCount()) return false;
  const std::vector<Site> before = doc.sites[0];
  SiteDialogModel model(doc, session.ui, i, newSite);
  if (session.ui.runDialog(model)) {
    model.accept();
    doc.selectedSite = model.siteIndex();
    return true;
  }
  model.cancel();
  // Cancel changes nothing: sites stored while walking and occupant edits are undone too.
  doc.sites[0] = before;
  if (newSite) doc.sites[0].erase(doc.sites[0].begin() + i);
  if (doc.selectedSite >= doc.siteCount()) doc.selectedSite = doc.siteCount() > 0 ? doc.siteCount() - 1 : 0;
  return false;
}

bool addSite(Session& session) {
  CrystalDocument& doc = session.document;
  if (!growSites(doc.sites[0], doc.sites[0].size() + 1)) {
    session.ui.message("New allocation for input atoms failed");
    return false;
  }
  Site blank;
  blank.ortepType = -1;
  doc.sites[0].push_back(blank);
  const bool added = editSite(session, doc.siteCount() - 1, true);
  if (added) doc.modified = true;
  return added;
}

bool editSelectedSite(Session& session, int selection) {
  CrystalDocument& doc = session.document;
  if (doc.siteCount() == 0) return false;
  doc.selectedSite = (selection < 0) ? 0 : std::min(selection, doc.siteCount() - 1);
  const bool stored = editSite(session, doc.selectedSite, false);
  if (doc.selectedSite >= doc.siteCount()) doc.selectedSite = 0;
  if (stored) doc.modified = true;
  return stored;
}

bool deleteSelectedSite(Session& session, int selection) {
  CrystalDocument& doc = session.document;
  if (selection < 0 || selection >= doc.siteCount()) return false;
  if (session.ui.ask(format("Delete input atom (site) number %d ?", selection + 1), Buttons::YesNo) != Answer::Yes)
    return false;
  doc.sites[0].erase(doc.sites[0].begin() + selection);
  doc.selectedSite = std::min(selection, std::max(0, doc.siteCount() - 1));
  doc.modified = true;
  return true;
}

}  // namespace tessera
