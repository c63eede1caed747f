#include "formats/import_finish.h"

#include <cmath>
#include <string>

#include "core/cell_geometry.h"
#include "core/text.h"
#include "formats/import_checks.h"
#include "formats/symbol_derivation.h"
#include "formats/site_consolidation.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

/// Centring types in the order they are tried, translations in twelfths.
struct CentringType {
  char letter;
  int code;
  std::vector<std::array<int, 3>> vectors;
};

const std::vector<CentringType>& centringTypes() {
  static const std::vector<CentringType> types = {
      {'F', 5, {{0, 6, 6}, {6, 0, 6}, {6, 6, 0}}},
      {'R', 7, {{4, 8, 8}, {8, 4, 4}}},
      {'A', 2, {{0, 6, 6}}},
      {'B', 3, {{6, 0, 6}}},
      {'C', 4, {{6, 6, 0}}},
      {'I', 6, {{6, 6, 6}}},
  };
  return types;
}

/// Marks the lines that are centring copies of an earlier unmarked line; false when
/// some unmarked line has no copy or a vector of the type never occurs.
bool markCentringCopies(const std::vector<SeitzMx>& ops, const CentringType& type, std::vector<bool>& marked) {
  const std::size_t n = ops.size();
  marked.assign(n, false);
  std::vector<bool> seen(type.vectors.size(), false);
  for (std::size_t i = 0; i < n; ++i) {
    if (marked[i]) continue;
    bool found = false;
    for (std::size_t j = i + 1; j < n; ++j) {
      if (ops[i].rotation != ops[j].rotation) continue;
      std::array<int, 3> d{};
      for (int k = 0; k < 3; ++k) d[k] = ((ops[i].translation[k] - ops[j].translation[k]) % STBF + STBF) % STBF;
      for (std::size_t v = 0; v < type.vectors.size(); ++v) {
        if (d != type.vectors[v]) continue;
        marked[j] = true;
        seen[v] = true;
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  for (bool s : seen)
    if (!s) return false;
  return true;
}

/// The lattice of lines that came from the file: one line per coset when they list every
/// centring copy, else P, since a list without centring copies is complete.
void latticeFromListedLines(CrystalRecord& c) {
  if (reduceCentringCopies(c) != 0) return;
  c.latticeName.assign(1, 'P');
  c.latticeCode = 1;
}

void assignFromLines(CrystalRecord& c, UserInterface& ui) {
  c.symmetrySource = 4;
  c.opCount = 0;
  BuildSymmetryMatrices(c, ui);
  if (trim(c.hmSymbol).empty()) deriveSymbolsFromOperators(c, ui);
}

/// The symbol kind to assign from (0 H-M, 1 Hall, 2 number); a known spelling of an H-M
/// symbol the table does not hold as written replaces it, a triclinic symbol with a
/// centring letter becomes its Hall symbol.
int symbolKindFor(CrystalRecord& c) {
  if (!trim(c.hallSymbol).empty()) return 1;
  if (trim(c.hmSymbol).empty()) return 2;
  // The whole symbol is kept: a cut at 16 characters turns long full symbols into
  // texts the table does not know.
  c.hmSymbol = trim(c.hmSymbol);
  if (const auto spelled = tableSpellingOf(c.hmSymbol)) {
    c.hmSymbol = *spelled;
  } else if (!knownHmSymbol(c.hmSymbol)) {
    if (const auto hall = triclinicHallSymbol(c.hmSymbol)) {
      c.hallSymbol = *hall;
      return 1;
    }
  }
  return 0;
}

/// Steps 10 and 11: the symmetry source and the assignment.
void assignImportedSymmetry(ImportContext& context, bool useXyz, bool linesListed) {
  CrystalRecord& c = context.crystal();
  UserInterface& ui = context.ui;
  if (useXyz) {
    assignFromLines(c, ui);
    return;
  }
  c.sgNumberText = std::to_string(c.sgNumber);
  if (trim(c.hallSymbol).empty() && trim(c.hmSymbol).empty() && !(c.sgNumber >= 1 && c.sgNumber <= 232)) {
    ui.message("Insufficient information to assign symmetry - default P1 will be used");
    c.hmSymbol = "P1";
    c.hallSymbol = "P 1";
    c.sgNumberText.assign(1, '1');
    // The default must still be a usable P1: the identity line and a primitive lattice.
    if (c.xyzLines.empty()) c.xyzLines.push_back("X,Y,Z; ");
    return;
  }
  const std::string fileHall = c.hallSymbol;
  const int kind = symbolKindFor(c);
  c.sgNumberText = std::to_string(c.sgNumber);
  if (assignImportedSymbol(c, kind, ui)) return;
  // The Hall field never keeps an H-M or number text the assignment put there.
  c.hallSymbol = fileHall;
  if (linesListed) {
    // The file's own operators decide.
    latticeFromListedLines(c);
    assignFromLines(c, ui);
    return;
  }
  // Unassigned: the symmetry command asks for it; until then a plain P1 list.
  c.symmetrySource = 0;
  c.latticeName.assign(1, 'P');
  c.latticeCode = 1;
  c.acentric = 1;
  c.inversionOffOrigin = 0;
  c.xyzLines = {"X,Y,Z; "};
  c.matricesValid = 0;
}

}  // namespace

int reduceCentringCopies(CrystalRecord& crystal) {
  std::vector<SeitzMx> ops;
  ops.reserve(crystal.xyzLines.size());
  for (const std::string& line : crystal.xyzLines) {
    std::string text = line;
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    SeitzMx op;
    if (ParseSymXYZ(text, op, STBF) != 0) return 0;
    ops.push_back(op);
  }
  if (ops.size() < 2) return 0;
  std::vector<bool> marked;
  for (const CentringType& type : centringTypes()) {
    if (!markCentringCopies(ops, type, marked)) continue;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < ops.size(); ++i)
      if (!marked[i]) kept.push_back(crystal.xyzLines[i]);
    crystal.xyzLines = std::move(kept);
    crystal.latticeName = std::string(1, type.letter);
    crystal.latticeCode = type.code;
    crystal.matricesValid = 0;
    return type.code;
  }
  return 0;
}

void FinishImport(ImportContext& context, bool forceXyz, const ImportResult& given) {
  UserInterface& ui = context.ui;
  CrystalRecord& c = context.crystal();
  ImportResult r = given;
  cleanImportedTexts(context, r);
  if (context.refusedSites > 0)
    ui.message(format("%d atom(s) refused: a coordinate above 1e6, an occupancy outside 0 to 1000 or a value that "
                      "is not a number",
                      context.refusedSites));
  if (context.controlCharacters) ui.message("Control characters in labels, symbols or the title replaced by _");
  // A ":R" setting is on rhombohedral axes whatever the rounding of the cell.
  if (namesRhombohedralAxes(r.hmSymbol) && r.rhombohedralAxes == 0) {
    r.rhombohedralAxes = 2;
    if (r.axesType == 0) r.axesType = 4;
  }
  if (!context.sites().empty())
    ConsolidateDuplicateSites(context.sites(), ui);
  else
    ui.message("No atoms found in import file");
  if (r.cartesianSymmetry)
    ui.message(format("This file uses Cartesian symmetry, from the file %s - this symmetry will be ignored",
                      r.cartesianSource.c_str()));
  if (r.polymerFlags[0] || r.polymerFlags[1] || r.polymerFlags[2] || r.drawingMode == 6)
    ui.message("This structure is drawn by ORBIS as a polymer or molecule - may not be suitable as a crystal");

  c.sgNumber = r.sgNumber;
  c.acentric = r.acentric;
  c.rhombohedralAxes = r.rhombohedralAxes;
  c.latticeCode = r.latticeCode;
  c.inversionOffOrigin = r.offOrigin;
  c.uniqueAxis = r.uniqueAxis;
  c.pointGroupIndex = r.pointGroupIndex;
  c.latticeName = r.latticeName;
  c.hmSymbol = r.hmSymbol;
  c.hallSymbol = r.hallSymbol;
  c.sgNumberText = r.sgNumberText;
  c.pointGroupSchoenflies = r.pointGroupSchoenflies;
  c.pointGroupHM = r.pointGroupHM;
  context.document.title = cut(r.title, kMaxTitleLength);

  if (!r.cellFound)
    ui.message("Unit-cell not found - Cartesian axes will be used");
  else if (importedCellInRange(r, ui))
    c.cell = r.cell;
  deriveAxesType(c);
  if (r.axesType > 0) c.axesType = r.axesType;
  if (r.rhombohedralAxes > 0) c.rhombohedralAxes = r.rhombohedralAxes - 1;

  bool useXyz = r.hasXyzLines && (context.settings.symmetrySourcePref == 0 || forceXyz);
  // Lines without any symbol to assign from are still the file's symmetry: P1 would drop
  // every symmetry copy.
  if (r.hasXyzLines && !useXyz && trim(c.hallSymbol).empty() && trim(c.hmSymbol).empty() &&
      !(c.sgNumber >= 1 && c.sgNumber <= 232))
    useXyz = true;
  normaliseOperatorLines(c, ui);
  const std::string symbol = trim(c.hmSymbol);
  // Lines listing every centring copy would count the centring twice once the lattice
  // also came from the symbol.
  if (useXyz && c.latticeCode < 1 && r.hasXyzLines) latticeFromListedLines(c);
  if (c.latticeCode < 1) {
    const char letter = symbol.empty() ? 'P' : static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
    c.latticeName = std::string(1, letter);
    c.latticeCode = latticeCodeFromLetter(letter);
  }
  c.aperiodicAxes = {0, 0, 0};
  if (c.rhombohedralAxes) {
    c.latticeName.assign(1, 'P');
    c.latticeCode = 1;
  }
  assignImportedSymmetry(context, useXyz, r.hasXyzLines);
  const int kind = context.importKind;
  if (kind == kKindShelx || kind == kKindRietan || kind == kKindFullprof) RescaleOccupancies(context.document, ui);
}

int generalMultiplicity(const CrystalRecord& c) {
  int m = c.lineCount();
  // Lines of a structure with its inversion off the origin already list every operator.
  if (c.acentric == 0 && c.inversionOffOrigin == 0) m *= 2;
  switch (c.latticeCode) {
    case 2: case 3: case 4: case 6: m *= 2; break;
    case 7: m *= 3; break;
    case 5: m *= 4; break;
    default: break;
  }
  return m;
}

void setSiteMultiplicities(CrystalRecord& crystal, std::vector<Site>& sites, UserInterface& ui) {
  for (Site& s : sites) s.auxNumber = 0;
  if (sites.empty()) return;
  std::vector<UnitCellAtom> atoms;
  fillUnitCellFrom(crystal, sites, UnitCellHeading::OldCell, ui, atoms, nullptr);
}

void RescaleOccupancies(CrystalDocument& doc, UserInterface& ui) {
  std::vector<Site>& sites = doc.sites[0];
  if (sites.empty()) return;
  doc.reportEnabled = 0;
  setSiteMultiplicities(doc.crystals[0], sites, ui);
  doc.reportEnabled = 1;
  const int m = generalMultiplicity(doc.crystals[0]);
  for (Site& s : sites) {
    // A site with no position in the cell keeps its factor rather than becoming infinite.
    if (s.auxNumber <= 0) continue;
    for (SiteOccupant& o : s.occupants)
      o.occupancy = o.occupancy / static_cast<float>(s.auxNumber) * static_cast<float>(m);
  }
}

namespace {

/// Kind of a temperature-factor type: U forms 1, iso B 2, beta and aniso B 3, others 0.
int factorKind(int ortepType) {
  switch (ortepType) {
    case 7: case 8: case 10: return 1;
    case 6: return 2;
    case 0: case 4: return 3;
    default: return 0;
  }
}

}  // namespace

void ClassifyTemperatureFactors(CrystalDocument& doc, UserInterface& ui) {
  constexpr float eps = 0.0001f;
  std::vector<Site>& sites = doc.sites[0];
  for (Site& s : sites) {
    s.tfClass = 0;
    if (std::fabs(s.isoValue) > eps) s.tfClass = 1;
    if (std::fabs(s.aniso[0]) > eps) {
      if (std::fabs(s.aniso[1]) > eps) {
        s.tfClass = 2;
      } else {
        s.tfClass = 1;
        if (std::fabs(s.isoValue) < eps) s.isoValue = s.aniso[0];
      }
    }
  }
  doc.tfMix = 0;
  doc.tfAnisoKind = 0;
  if (sites.empty()) return;
  doc.tfMix = sites[0].tfClass;
  for (std::size_t i = 1; i < sites.size() && doc.tfMix < 4; ++i) {
    if (sites[i].tfClass == 0)
      doc.tfMix += 3;
    else if (sites[i].tfClass != doc.tfMix)
      doc.tfMix = 3;
  }
  doc.tfAnisoKind = factorKind(sites[0].ortepType);
  bool reported = false;
  for (std::size_t i = 1; i < sites.size(); ++i) {
    // Isotropic U beside anisotropic U is the ordinary case, not a mixture; a site
    // without a factor says nothing about the form.
    const int kind = factorKind(sites[i].ortepType);
    if (kind == 0 || kind == doc.tfAnisoKind) continue;
    if (doc.tfAnisoKind != 0 && !reported) {
      ui.message("Mixture of temperature factor types detected");
      reported = true;
    }
    doc.tfAnisoKind = kind;
  }
}

}  // namespace tessera
