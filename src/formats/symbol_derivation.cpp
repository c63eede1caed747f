#include "formats/symbol_derivation.h"

#include "core/user_interface.h"

#if __has_include("symmetry/identify.h")
#include "symmetry/identify.h"
#define TESSERA_HAVE_IDENTIFY 1
#endif
#if __has_include("symmetry/symmetry_assignment.h")
#include "symmetry/symmetry_assignment.h"
#define TESSERA_HAVE_ASSIGNMENT 1
#endif

namespace tessera {

bool deriveSymbolsFromOperators(CrystalRecord& crystal, UserInterface& ui) {
#ifdef TESSERA_HAVE_IDENTIFY
  return IdentifySpaceGroup(crystal, ui) == 1;
#else
  (void)crystal;
  (void)ui;
  return false;
#endif
}

bool assignImportedSymbol(CrystalRecord& crystal, int kind, UserInterface& ui) {
#ifdef TESSERA_HAVE_ASSIGNMENT
  return AssignFromDocumentSymbol(crystal, kind, ui) == 1;
#else
  (void)crystal;
  (void)kind;
  (void)ui;
  return false;
#endif
}

}  // namespace tessera
