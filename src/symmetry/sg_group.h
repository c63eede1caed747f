#pragma once
// Building the operator list of an SgInfo: adding operators with group closure,
// the inversion and the centring of a lattice.

#include "symmetry/sg_info.h"

namespace tessera {

/// Adds an operator and closes the group (modulo the centring translations); 0 or -1 (error pending).
int Add2ListSeitzMx(SgInfo& sg, const SeitzMx& op);

/// Adds the inversion through the origin; 0 or -1.
int AddInversion2ListSeitzMx(SgInfo& sg);

/// Adds the centring of the lattice with that letter (upper case); 0 or -1.
int AddLatticeTr2ListSeitzMx(SgInfo& sg, const LatticeInfo& lattice);

/// True when t (twelfths) equals a centring translation of the lattice modulo 12.
bool isCentringTranslation(const LatticeInfo& lattice, const std::array<int, 3>& t);

/// True when a and b have the same rotation and translations differing by a centring translation.
bool equalModuloCentring(const LatticeInfo& lattice, const SeitzMx& a, const SeitzMx& b);

/// x modulo 12 in 0..11.
inline int mod12(int x) {
  const int r = x % STBF;
  return r < 0 ? r + STBF : r;
}

}  // namespace tessera
