#include "support/test_session.h"

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_framework.h"

namespace tessera::test {

bool TestSession::import(int kind, const std::filesystem::path& path) {
  ui.files.push_back(path.string());
  return RunImport(session, kind, nullptr);
}

bool TestSession::exportTo(const char* command, const std::filesystem::path& path, int crystal) {
  const auto index = exportCommandByCliName(command);
  if (!index) return false;
  ui.dialogs.push_back([crystal](DialogModel& m) {
    if (auto* e = dynamic_cast<ExportDialogModel*>(&m)) e->crystalChoice = crystal;
    return true;
  });
  ui.files.push_back(path.string());
  return RunExport(session, *index);
}

std::string documentDump(const CrystalDocument& doc) {
  const CrystalRecord& c = doc.crystals[0];
  std::string out;
  appendFormat(out, "title %s\n", doc.title.c_str());
  appendFormat(out, "cell %.4f %.4f %.4f %.4f %.4f %.4f axes %d\n", c.cell[0], c.cell[1], c.cell[2],
               c.cell[3] / kDegToRad, c.cell[4] / kDegToRad, c.cell[5] / kDegToRad, c.axesType);
  appendFormat(out, "lattice %s %d acentric %d source %d\n", c.latticeName.c_str(), c.latticeCode, c.acentric,
               c.symmetrySource);
  appendFormat(out, "symbols %s | %s | %d\n", c.hmSymbol.c_str(), c.hallSymbol.c_str(), c.sgNumber);
  for (const std::string& line : c.xyzLines) appendFormat(out, "line %s\n", line.c_str());
  appendFormat(out, "tfMix %d tfAnisoKind %d\n", doc.tfMix, doc.tfAnisoKind);
  for (const Site& s : doc.sites[0]) {
    appendFormat(out, "site %s %d %.5f %.5f %.5f tf %d %d %.5f", s.label.c_str(), s.typeNumber, s.x, s.y, s.z,
                 s.ortepType, s.tfClass, s.isoValue);
    for (float a : s.aniso) appendFormat(out, " %.5f", a);
    for (const SiteOccupant& o : s.occupants)
      appendFormat(out, " | %s %s %d %.4f", o.label.c_str(), o.element.c_str(), o.typeNumber, o.occupancy);
    out += "\n";
  }
  return out;
}

}  // namespace tessera::test
