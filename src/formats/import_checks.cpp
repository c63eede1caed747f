#include "formats/import_checks.h"

#include <cmath>

#include "core/cell_geometry.h"
#include "core/crystal_document.h"

namespace tessera {

bool usableImportCell(const std::array<float, 6>& c) {
  for (std::size_t k = 0; k < 3; ++k)
    if (!(c[k] > 0.0f) || !std::isfinite(c[k])) return false;
  for (std::size_t k = 3; k < 6; ++k)
    if (!(c[k] > 0.0f && c[k] < 180.0f)) return false;
  const Cell radians{c[0], c[1], c[2], c[3] * kDegToRad, c[4] * kDegToRad, c[5] * kDegToRad};
  const double volume = cellVolume(radians);
  return std::isfinite(volume) && volume > 1e-6;
}

}  // namespace tessera
