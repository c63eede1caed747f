#include "core/elements.h"

#include <array>

namespace tessera {

namespace {

// Two characters per element; a one-letter symbol is preceded by a blank.
constexpr std::array<const char*, 94> kElements = {
    " H", "He", "Li", "Be", " B", " C", " N", " O", " F", "Ne", "Na", "Mg", "Al", "Si", " P", " S", "Cl", "Ar", " K",
    "Ca", "Sc", "Ti", " V", "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr",
    " Y", "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", " I", "Xe", "Cs", "Ba", "La",
    "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", " W", "Re", "Os",
    "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", " U", "Np", "Pu"};

// ASCII only: the locale-aware tolower costs a library call per character, and
// every imported atom looks its label up here.
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// First one-letter entry whose letter is c.
TypeLookup oneLetter(char c) {
  for (std::size_t k = 0; k < kElements.size(); ++k) {
    if (kElements[k][0] == ' ' && lower(kElements[k][1]) == lower(c))
      return {static_cast<int>(k) + 1, std::string(1, kElements[k][1])};
  }
  return {};
}

/// Hydrogen isotopes: type number 1, their own symbol kept for the neutron lengths.
TypeLookup isotope(char c) {
  if (lower(c) == 'd') return {1, "D"};
  if (lower(c) == 't') return {1, "T"};
  return {};
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string elementSymbol(int z) {
  if (z < 1 || z > static_cast<int>(kElements.size())) return {};
  const char* e = kElements[static_cast<std::size_t>(z - 1)];
  return e[0] == ' ' ? std::string(1, e[1]) : std::string(e, 2);
}

TypeLookup typeFromLabel(std::string_view label) {
  if (label.empty()) return {};
  const char c1 = label[0];
  const char c2 = label.size() > 1 ? label[1] : ' ';
  if (c1 == ' ') return oneLetter(c2);
  for (std::size_t k = 0; k < kElements.size(); ++k) {
    if (lower(kElements[k][0]) == lower(c1) && lower(kElements[k][1]) == lower(c2))
      return {static_cast<int>(k) + 1, std::string(kElements[k], 2)};
  }
  TypeLookup found = oneLetter(c1);
  // Deuterium labels (D1, Dw) of neutron studies; a T label stays unmatched, since
  // T1, T2 name tetrahedral sites in framework structures far more often than tritium.
  if (found.typeNumber == 0 && lower(c1) == 'd') found = isotope(c1);
  return found;
}

TypeLookup typeFromElementSymbol(std::string_view text) {
  std::size_t letters = 0;
  while (letters < text.size() && isLetter(text[letters])) ++letters;
  // What follows the symbol (a charge, digits, a note in brackets) does not matter, but
  // a third letter makes a word, not a symbol.
  if (letters == 0 || letters > 2) return {};
  const char c1 = text[0];
  if (letters == 1) {
    const TypeLookup found = oneLetter(c1);
    return found.typeNumber > 0 ? found : isotope(c1);
  }
  const char c2 = text[1];
  for (std::size_t k = 0; k < kElements.size(); ++k) {
    if (kElements[k][0] != ' ' && lower(kElements[k][0]) == lower(c1) && lower(kElements[k][1]) == lower(c2))
      return {static_cast<int>(k) + 1, std::string(kElements[k], 2)};
  }
  return {};
}

}  // namespace tessera
