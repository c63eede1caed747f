#include "formats/pdb_reader.h"

#include <string>

#include "core/elements.h"
#include "core/text.h"
#include "formats/fixed_columns.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// Columns 13-16 atom name, 17 alternate location, 31-54 x, y, z.
const FixedLayout& atomLayout() {
  static const FixedLayout layout("(12x,a4,a1,13x,3f8.3)");
  return layout;
}

/// The element whose symbol is text (case ignored), or 0.
int elementNumber(std::string_view text) {
  const std::string t = trim(text);
  if (t.empty() || t.size() > 2) return 0;
  for (int z = 1; z <= 94; ++z)
    if (equalsIgnoreCase(elementSymbol(z), t)) return z;
  return 0;
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string pdbElement(std::string_view record) {
  // Columns 77-78 hold the element in current files; older files have digits there.
  if (record.size() >= 78) {
    const std::string columns = trim(record.substr(76, 2));
    if (const int z = elementNumber(columns)) return elementSymbol(z);
  }
  if (record.size() < 14) return "";
  const char c13 = record[12];
  const char c14 = record[13];
  // A one-letter element stands right-aligned in column 14 (" CA " is a carbon).
  if (!isLetter(c13))
    return elementNumber(std::string(1, c14)) ? elementSymbol(elementNumber(std::string(1, c14))) : "";
  if (const int z = elementNumber(std::string{c13, c14}); z && isLetter(c14)) return elementSymbol(z);
  const int z = elementNumber(std::string(1, c13));
  return z ? elementSymbol(z) : "";
}

bool ReadPdb(ImportContext& context) {
  SetImportKind(context, kKindPdb);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  if (!ReserveSites(context, 200)) return false;
  LineReader reader(context.file);
  char accepted = ' ';
  bool skippedAlternates = false;
  std::string title;
  for (std::string line; reader.next(line);) {
    if (reader.lastLineBinary()) {
      context.ui.message("End of file or read error");
      return false;
    }
    if (startsWithIgnoreCase(line, "HEADER")) {
      const std::string padded = line + std::string(66 > line.size() ? 66 - line.size() : 0, ' ');
      title = padded.substr(62, 4) + " " + padded.substr(10, 53);
      continue;
    }
    if (!startsWithIgnoreCase(line, "ATOM") && !startsWithIgnoreCase(line, "HETATM")) continue;
    const FixedRecord r = atomLayout().read(line);
    const char alternate = r.text(1).empty() ? ' ' : r.text(1)[0];
    if (alternate != ' ') {
      if (accepted == ' ') accepted = alternate;
      if (alternate != accepted) {
        skippedAlternates = true;
        continue;
      }
    }
    if (!r.valid() || !r.fields[4].present) {
      context.ui.message("Error reading atom coordinate line");
      continue;
    }
    Site site;
    site.label = cut(removeBlanks(r.text(0)), 4);
    site.x = narrowToFloat(r.number(2));
    site.y = narrowToFloat(r.number(3));
    site.z = narrowToFloat(r.number(4));
    site.ortepType = -1;
    SiteOccupant o = SiteOccupant::makeDefault(site.label, static_cast<int>(context.sites().size()), 0);
    o.element = pdbElement(line);
    if (!o.element.empty()) site.typeNumber = typeFromLabel(o.element).typeNumber;
    site.occupants = {o};
    const std::string label = site.label;
    if (!AddImportedSite(context, std::move(site), label, label)) return false;
  }
  context.file.close();
  if (skippedAlternates)
    context.ui.message(format("Atoms in alternate locations found - accepted only those designated '%c'", accepted));
  if (context.sites().empty()) context.ui.message("No atoms found in import file");
  CrystalRecord& c = context.crystal();
  c.cell = {1.0f, 1.0f, 1.0f, 90.0f, 90.0f, 90.0f};
  setP1Symmetry(c);
  c.symmetrySource = 5;
  c.rhombohedralAxes = 0;
  c.hallSymbol = "P 1";
  c.sgNumberText = "1";
  c.sgNumber = 1;
  context.document.title = cut(title, kMaxTitleLength);
  return true;
}

}  // namespace tessera
