#include "transform/unit_cell.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/text.h"
#include "symmetry/symmetry_operators.h"
#include "transform/fractional_grid.h"
#include "transform/listing_format.h"
#include "transform/transform_report.h"

namespace tessera {

namespace {

constexpr float kDuplicateDistance = 0.001f;
const std::string kNoLabel;
// Below this many images per site a plain scan beats the bucket grid.
constexpr int kGridThreshold = 32;

/// Distance along one axis for the duplicate test: around the cell along a periodic
/// axis, plain along an aperiodic one (coordinates there are absolute).
inline float duplicateDistance(float w, float e, bool aperiodic) {
  const float d = std::fabs(w - e);
  return aperiodic ? d : std::min(d, 1.0f - d);
}

struct DuplicateFinder {
  const std::vector<UnitCellAtom>& atoms;
  std::array<bool, 3> aperiodic;

  bool matches(const Vector3f& w, const UnitCellAtom& e) const {
    return duplicateDistance(w[0], e.x, aperiodic[0]) < kDuplicateDistance &&
           duplicateDistance(w[1], e.y, aperiodic[1]) < kDuplicateDistance &&
           duplicateDistance(w[2], e.z, aperiodic[2]) < kDuplicateDistance;
  }
};

void appendListing(std::string& report, UnitCellHeading heading, const std::vector<UnitCellAtom>& atoms,
                   const std::vector<Site>& sites) {
  report += unitCellHeading(heading);
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    const std::size_t s = static_cast<std::size_t>(atoms[i].siteIndex - 1);
    appendUnitCellAtomLine(report, static_cast<int>(i) + 1, atoms[i], s < sites.size() ? sites[s].label : kNoLabel);
  }
}

}  // namespace

const std::vector<Vector3f>& centringTranslations(int latticeCode) {
  constexpr float h = 0.5f, t1 = 1.0f / 3.0f, t2 = 2.0f / 3.0f;
  static const std::vector<Vector3f> table[10] = {
      {{0, 0, 0}},
      {{0, 0, 0}},
      {{0, 0, 0}, {0, h, h}},
      {{0, 0, 0}, {h, 0, h}},
      {{0, 0, 0}, {h, h, 0}},
      {{0, 0, 0}, {0, h, h}, {h, 0, h}, {h, h, 0}},
      {{0, 0, 0}, {h, h, h}},
      {{0, 0, 0}, {t1, t2, t2}, {t2, t1, t1}},
      {{0, 0, 0}, {t1, t1, t2}, {t2, t2, t1}},
      {{0, 0, 0}, {t1, t2, t1}, {t2, t1, t2}},
  };
  if (latticeCode < 1 || latticeCode > 9) return table[1];
  return table[latticeCode];
}

int usableOperatorCount(const CrystalRecord& crystal) {
  return std::clamp(crystal.opCount, 0, static_cast<int>(crystal.operators.size()));
}

Vector3f applyOperator(const SymmetryOperator& op, float sign, const Vector3f& x) {
  Vector3f y{};
  for (std::size_t r = 0; r < 3; ++r)
    y[r] = op.translation[r] + sign * (op.rotation[r][0] * x[0] + op.rotation[r][1] * x[1] + op.rotation[r][2] * x[2]);
  return y;
}

bool translateIntoCell(const Vector3f& z, const std::array<int, 3>& aperiodic, Vector3f& w) {
  // The cell test is separate per axis, so the first (i, j, k) in the order tried
  // with i slowest is made of the first fitting value along each axis.
  static constexpr float kTries[5] = {0.0f, 1.0f, -1.0f, 2.0f, -2.0f};
  for (std::size_t k = 0; k < 3; ++k) {
    if (aperiodic[k]) {
      w[k] = z[k];
      continue;
    }
    bool found = false;
    for (float t : kTries) {
      const float v = z[k] + t;
      if (inCell(v)) {
        w[k] = v;
        found = true;
        break;
      }
    }
    // 0.99999 itself is out of the cell and 0.99999 - 1 rounds to just below -0.00001:
    // a coordinate there lies on the cell face, where reducing into the cell puts it,
    // and no whole translation brings it strictly inside. It is taken on the lower
    // face rather than losing the atom.
    for (std::size_t i = 0; i < 5 && !found; ++i) {
      const float v = z[k] + kTries[i];
      if (onLowerFace(v)) {
        w[k] = v;
        found = true;
      }
    }
    if (!found) return false;
  }
  return true;
}

std::string unitCellHeading(UnitCellHeading heading) {
  std::string s = heading == UnitCellHeading::OldCell
                      ? "\n All atoms in old unit cell (crystal coordinates)\n              Input   Type               Coordinates"
                      : "\n All atoms in new unit cell (crystal coordinates)\n              Input   Type               Coordinates";
  s += "\n\n";
  return s;
}

void appendUnitCellAtomLine(std::string& s, int number, const UnitCellAtom& a, const std::string& label) {
  appendListed(s, "    %4d  %6.6s  %4d  %4d", number, label.c_str(), a.siteIndex, a.typeNumber);
  s += "  ";
  appendListed(s, "% 9.5f", a.x);
  appendListed(s, "% 9.5f", a.y);
  appendListed(s, "% 9.5f", a.z);
  s += "\n";
}

bool fillUnitCellFrom(CrystalRecord& crystal, std::vector<Site>& sites, UnitCellHeading heading, UserInterface& ui,
                      std::vector<UnitCellAtom>& atoms, std::string* report) {
  if (crystal.cartesianFlag == 0 && crystal.matricesValid == 0) BuildSymmetryMatrices(crystal, ui);
  atoms.clear();
  if (sites.empty()) {
    ui.message("WARNING - no input atoms");
    return true;
  }
  const int ops = usableOperatorCount(crystal);
  const std::vector<Vector3f>& centring = centringTranslations(crystal.latticeCode);
  const int signs = appliesInversion(crystal) ? 2 : 1;
  const std::array<int, 3> aperiodic = crystal.aperiodicAxes;
  const int imagesPerSite = signs * ops * static_cast<int>(centring.size());
  DuplicateFinder finder{atoms, {aperiodic[0] != 0, aperiodic[1] != 0, aperiodic[2] != 0}};
  const bool useGrid = imagesPerSite > kGridThreshold;
  FractionalGrid grid({kDuplicateDistance, kDuplicateDistance, kDuplicateDistance},
                      useGrid ? static_cast<std::size_t>(imagesPerSite) : 1);

  try {
    for (std::size_t s = 0; s < sites.size(); ++s) {
      Site& site = sites[s];
      site.auxNumber = 0;
      const std::size_t first = atoms.size();
      if (useGrid) grid.clear();
      const Vector3f x{site.x, site.y, site.z};
      for (int p = 0; p < signs; ++p) {
        const float sign = p == 0 ? 1.0f : -1.0f;
        for (int k = 0; k < ops; ++k) {
          const Vector3f y = applyOperator(crystal.operators[static_cast<std::size_t>(k)], sign, x);
          for (const Vector3f& c : centring) {
            const Vector3f z{y[0] + c[0], y[1] + c[1], y[2] + c[2]};
            Vector3f w{};
            if (!translateIntoCell(z, aperiodic, w)) {
              if (report) *report += format("   Atom %d Sym. elem. %d  not in cell\n", static_cast<int>(s) + 1, k + 1);
              continue;
            }
            bool duplicate = false;
            if (useGrid) {
              grid.forEachCandidate(w, [&](int local) {
                if (!duplicate && finder.matches(w, atoms[first + static_cast<std::size_t>(local)])) duplicate = true;
              });
            } else {
              for (std::size_t e = first; e < atoms.size() && !duplicate; ++e) duplicate = finder.matches(w, atoms[e]);
            }
            if (duplicate) continue;
            UnitCellAtom atom;
            atom.setPosition(w);
            atom.siteIndex = static_cast<int>(s) + 1;
            atom.operatorIndex = k + 1;
            atom.averagedCount = 1;
            atom.typeNumber = site.typeNumber;
            atoms.push_back(atom);
            if (useGrid) grid.insert(w);
            ++site.auxNumber;
          }
        }
      }
    }
  } catch (const std::bad_alloc&) {
    ui.message("New allocation for unit cell failed");
    if (report) *report += format("New allocation for unit cell failed: %d \n", static_cast<int>(atoms.size()));
    return false;
  }
  if (atoms.empty()) ui.message("WARNING - no atoms found");
  if (report) appendListing(*report, heading, atoms, sites);
  return true;
}

bool FillUnitCell(CrystalDocument& doc, int selector, UserInterface& ui, std::vector<UnitCellAtom>& atoms,
                  std::string* report) {
  const std::size_t list = selector == 1 ? 1 : 0;
  std::string* sink = (report && doc.reportEnabled) ? report : nullptr;
  return fillUnitCellFrom(doc.active(), doc.sites[list], selector == 1 ? UnitCellHeading::NewCell : UnitCellHeading::OldCell,
                          ui, atoms, sink);
}

}  // namespace tessera
