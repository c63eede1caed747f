#pragma once
// Small pieces of structures built in code, shared by the tests and the benchmarks.

#include <string>

#include "core/crystal_document.h"
#include "symmetry/sg_info.h"

namespace tessera::test {

/// A site at fractional x, y, z with its default occupant (ortepType left at its default).
Site siteAt(const std::string& label, float x, float y, float z, int type = 0);

/// An open document in P1 given as custom lines (the identity alone) with that title and cell.
CrystalDocument p1Document(const std::string& title, const std::array<float, 6>& cell);

/// The group rebuilt from sg's centring, listed operators and inversion, then completed;
/// returns CompleteSgInfo's status.
int groupFromOperators(const SgInfo& sg, SgInfo& rebuilt);

}  // namespace tessera::test
