#include "commands/control_window.h"

#include "core/site_listing.h"
#include "core/text.h"

namespace tessera {

std::string symmetryLineOf(const CrystalRecord& crystal) {
  if (crystal.symmetrySource == 1) return format("Symmetry - Space group: %s", crystal.hmSymbol.c_str());
  if (crystal.symmetrySource == 4) return format("Symmetry - Custom: %s", crystal.hmSymbol.c_str());
  return {};
}

std::string cellFieldText(float value, bool angle) {
  return format("%.6g", angle ? value / kDegToRad : value);
}

ControlWindowContent controlWindowContent(CrystalDocument& doc) {
  ControlWindowContent c;
  c.fileLine = "File: " + doc.documentPath;
  c.symmetryLine = symmetryLineOf(doc.crystals[0]);
  c.header = kSiteListHeader;
  c.rows.reserve(doc.sites[0].size());
  const ReciprocalCell reciprocal = prepareReciprocalCell(doc.crystals[0].cell);
  for (int i = 0; i < doc.siteCount(); ++i) c.rows.push_back(siteSummaryRow(doc, i, reciprocal));
  if (doc.siteCount() <= doc.selectedSite) doc.selectedSite = 0;
  for (int k = 0; k < 6; ++k) c.cellFields[k] = cellFieldText(doc.crystals[0].cell[k], k >= 3);
  c.selected = selectedSiteTexts(doc, doc.selectedSite);
  return c;
}

}  // namespace tessera
