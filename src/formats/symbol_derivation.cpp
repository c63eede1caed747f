#include "formats/symbol_derivation.h"

#include "symmetry/identify.h"

// The assignment from a symbol is the document-symmetry layer's; until it is part of
// the build, imports keep the symbols their files give without assigning a group.
#if __has_include("symmetry/symmetry_assignment.h")
#include "symmetry/symmetry_assignment.h"
#define TESSERA_HAVE_SYMBOL_ASSIGNMENT 1
#endif

namespace tessera {

bool deriveSymbolsFromOperators(CrystalRecord& crystal, UserInterface& ui) {
  return IdentifySpaceGroup(crystal, ui) == 1;
}

bool assignImportedSymbol(CrystalRecord& crystal, int kind, UserInterface& ui) {
#ifdef TESSERA_HAVE_SYMBOL_ASSIGNMENT
  return AssignFromDocumentSymbol(crystal, kind, ui) == 1;
#else
  (void)crystal;
  (void)kind;
  (void)ui;
  return false;
#endif
}

}  // namespace tessera
