#include "formats/symbol_derivation.h"

#include "symmetry/identify.h"
#include "symmetry/symmetry_assignment.h"

namespace tessera {

bool deriveSymbolsFromOperators(CrystalRecord& crystal, UserInterface& ui) {
  return IdentifySpaceGroup(crystal, ui) == 1;
}

bool assignImportedSymbol(CrystalRecord& crystal, int kind, UserInterface& ui) {
  return AssignFromDocumentSymbol(crystal, kind, ui) == 1;
}

}  // namespace tessera
