#pragma once
// An exact structure-factor sum for the tests: the unit cell expanded here from the
// operator table, tensors turned by each operator, everything in double precision.

#include <complex>
#include <vector>

#include "core/crystal_document.h"
#include "diffraction/scattering_table.h"
#include "support/data_table.h"

namespace tessera::test {

/// F(h k l) of the document's Old crystal summed over every atom of the unit cell.
std::complex<double> referenceF(CrystalDocument& doc, const ScatteringTable& table, int h, int k, int l,
                                bool neutron = false, double defaultB = 2.0);

}  // namespace tessera::test
