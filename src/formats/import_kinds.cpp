#include "formats/import_kinds.h"

#include "core/text.h"
#include "formats/am_mineral_reader.h"
#include "formats/cif_reader.h"
#include "formats/dbws.h"
#include "formats/fdat_reader.h"
#include "formats/free_form.h"
#include "formats/fullprof.h"
#include "formats/gsas.h"
#include "formats/icsd_reader.h"
#include "formats/orbis.h"
#include "formats/ortep.h"
#include "formats/oscilla.h"
#include "formats/pdb_reader.h"
#include "formats/rietan.h"
#include "formats/shelx_reader.h"
#include "formats/xtlview.h"

namespace tessera {

const std::array<ImportKind, kImportKindCount>& importKinds() {
  static const std::array<ImportKind, kImportKindCount> kinds = {{
      {0, "Free-form", ".inp", "Free-form (ORBIS .inp)", "Import an ORBIS free-form (.inp) file", "free-form",
       &ReadFreeForm},
      {1, "CCDC FDAT", ".fdt", "CCDC FDAT", "Import a Cambridge Crystallographic Data Center FDAT file", "ccdc-fdat",
       &ReadCcdcFdat},
      {2, "SHELX-93", ".ins", "SHELX", "Import a SHELX .INS file", "shelx", &ReadShelx},
      {3, "CIF", ".cif", "CIF", "Import a Crystallographic Information File", "cif", &ReadCif},
      {4, "DBWS Riet.", ".dbw", "DBWS", "Import a DBWS Rietveld file", "dbws", &ReadDbws},
      {5, "LHPM Riet.", ".lhp", "LHPM", "Import an LHPM Rietveld file", "lhpm", &ReadLhpm},
      {6, "ICSD", ".cry", "ICSD (All)", "Import an Inorganic Crystal Structure Database file", "icsd", &ReadIcsd},
      {7, "ICSD - CANSND", ".cry", nullptr, "Import a CAN/SND Inorganic Crystal Structure Database CRYSTIN file",
       "icsd-cansnd", &ReadIcsd},
      {8, "ORTEP", ".ort", "ORTEP", "Import an ORTEP file", "ortep", &ReadOrtep},
      {9, "XTLVIEW", ".xtl", "XTLVIEW", "Import a XTLVIEW file", "xtlview", &ReadXtlview},
      {10, "ORBIS", ".str", "ORBIS", "Import an ORBIS file", "orbis", &ReadOrbis},
      {11, "PDB", ".pdb", nullptr, nullptr, "pdb", &ReadPdb},
      {12, "RIETAN", ".xyz", "RIETAN", "Import a RIETAN Rietveld file", "rietan", &ReadRietan},
      {13, "GSAS", ".exp", "GSAS", "Import a GSAS (Los Alamos) file", "gsas", &ReadGsas},
      {14, "AM MIN", ".amc", "AM MINERAL", "Import an American Mineralogist structure database file", "am-mineral",
       &ReadAmMineral},
      {15, "ICSD - Original", ".ret", nullptr, "Import an original Inorganic Crystal Structure Database CRYSTIN file",
       "icsd-original", &ReadIcsd},
      {16, "FULLPROF", ".pcr", "FULLPROF", "Import a FULLPROF file", "fullprof", &ReadFullprof},
      {17, "OSCILLA (.OSL)", ".osl", "OSCILLA", "Import a OSCILLA .OSL file", "oscilla", &ReadOscilla},
  }};
  return kinds;
}

const ImportKind* findImportKind(int kind) {
  if (kind < 0 || kind >= kImportKindCount) return nullptr;
  return &importKinds()[static_cast<std::size_t>(kind)];
}

const std::array<int, 15>& importMenuOrder() {
  static const std::array<int, 15> order = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 17};
  return order;
}

std::optional<int> importKindForExtension(std::string_view extension, const std::array<std::string, 18>& extensions) {
  const std::string wanted = toLower(extension);
  if (wanted.size() < 2) return std::nullopt;
  auto matches = [&](int kind) {
    const ImportKind* row = findImportKind(kind);
    return row && row->available() && toLower(extensions[static_cast<std::size_t>(kind)]) == wanted;
  };
  for (int kind : importMenuOrder())
    if (matches(kind)) return kind;
  // Kind 7 shares its extension with the ICSD import that tells the layouts apart.
  for (int kind : {11, 15})
    if (matches(kind)) return kind;
  return std::nullopt;
}

std::optional<int> importKindByCliName(std::string_view name) {
  const std::string wanted = toLower(removeBlanks(name));
  for (const ImportKind& k : importKinds())
    if (wanted == k.cliName || wanted == toLower(removeBlanks(k.name))) return k.kind;
  return std::nullopt;
}

}  // namespace tessera
