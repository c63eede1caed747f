#pragma once
// The Control Window's site buttons: Add, Edit, Delete.

#include "core/session.h"

namespace tessera {

/// Runs the site dialog for input site i; true when OK stored the site. Cancel leaves the
/// input sites as they were (a new site is dropped).
bool editSite(Session& session, int i, bool newSite);

/// "Add": appends a site and edits it; true when a site was added.
bool addSite(Session& session);

/// "Edit": edits the selected site (selection clamped to the list; 0 when none).
bool editSelectedSite(Session& session, int selection);

/// "Delete": asks and removes the selected site; true when a site was removed.
bool deleteSelectedSite(Session& session, int selection);

}  // namespace tessera
