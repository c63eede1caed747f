#pragma once
// Comparing the sites of two documents after a round trip through a file.

#include <gtest/gtest.h>

#include <vector>

#include "core/crystal_document.h"

namespace tessera::test {

/// The same sites in the same order: labels, types, elements, factor forms; coordinates
/// to 5e-5, occupancies to 5e-4, anisotropic values to 1e-6.
inline void expectSameSites(const std::vector<Site>& a, const std::vector<Site>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].label);
    EXPECT_EQ(b[i].label, a[i].label);
    EXPECT_EQ(b[i].typeNumber, a[i].typeNumber);
    EXPECT_EQ(b[i].occupants[0].element, a[i].occupants[0].element);
    for (float Site::*c : {&Site::x, &Site::y, &Site::z}) EXPECT_NEAR(b[i].*c, a[i].*c, 5e-5);
    EXPECT_NEAR(b[i].occupants[0].occupancy, a[i].occupants[0].occupancy, 5e-4);
    EXPECT_EQ(b[i].ortepType, a[i].ortepType);
    for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(b[i].aniso[k], a[i].aniso[k], 1e-6);
  }
}

}  // namespace tessera::test
