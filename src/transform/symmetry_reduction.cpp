#include "transform/symmetry_reduction.h"

#include <new>

#include "core/text.h"
#include "transform/coincidence.h"
#include "transform/fractional_grid.h"

namespace tessera {

namespace {

class UniqueAtoms {
 public:
  UniqueAtoms(std::vector<Site>& sites, const Vector3f& t, std::size_t expected)
      : sites_(sites), t_(t), grid_(t, expected) {}

  int findFirst(const Vector3f& x, Vector3f& shifted) const {
    int best = -1;
    Vector3f candidate{};
    grid_.forEachCandidate(x, [&](int e) {
      if (best >= 0 && e > best) return;
      const Site& s = sites_[static_cast<std::size_t>(e)];
      if (coincides(x, {s.x, s.y, s.z}, t_, candidate)) {
        best = e;
        shifted = candidate;
      }
    });
    return best;
  }

  void mergeInto(int index, const Vector3f& shifted) {
    Site& s = sites_[static_cast<std::size_t>(index)];
    const Vector3f before{s.x, s.y, s.z};
    const Vector3f after = runningAverage(before, s.auxNumber, shifted);
    s.x = after[0];
    s.y = after[1];
    s.z = after[2];
    ++s.auxNumber;
    grid_.move(index, after);
  }

  void append(const Site& s) {
    sites_.push_back(s);
    grid_.insert({s.x, s.y, s.z});
  }

 private:
  std::vector<Site>& sites_;
  Vector3f t_;
  FractionalGrid grid_;
};

/// The mean of the images that coincide with e (each taken through its copy moved
/// towards e), reduced into the cell; e itself when none does.
Vector3f meanOfOwnImages(const Vector3f& e, const std::vector<Vector3f>& images, const Vector3f& t) {
  double sum[3] = {0, 0, 0};
  int count = 0;
  Vector3f shifted{};
  for (const Vector3f& w : images) {
    if (!coincides(w, e, t, shifted)) continue;
    for (int k = 0; k < 3; ++k) sum[k] += shifted[static_cast<std::size_t>(k)];
    ++count;
  }
  if (count == 0) return e;
  return {reduceIntoCell(static_cast<float>(sum[0] / count)), reduceIntoCell(static_cast<float>(sum[1] / count)),
          reduceIntoCell(static_cast<float>(sum[2] / count))};
}

Site newUniqueAtom(const UnitCellAtom& e, const Vector3f& position, const ReductionInput& in) {
  const std::vector<Site>& working = *in.working;
  Site s;
  const std::size_t source = static_cast<std::size_t>(e.siteIndex - 1);
  if (source < working.size()) s = working[source];
  else s.typeNumber = e.typeNumber;
  s.x = position[0];
  s.y = position[1];
  s.z = position[2];
  s.auxNumber = 1;
  // A site without a temperature factor keeps none rather than getting B = 0.
  const TemperatureFactor b = convertTemperatureFactor(s, 6, in.workingFrame);
  if (b.type == 6) {
    s.isoValue = b.iso;
    s.aniso = {};
    s.aniso[0] = b.iso;
    s.ortepType = 6;
    s.tfClass = 1;
  }
  return s;
}

}  // namespace

bool reduceBySymmetry(const CrystalRecord& crystal, const ReductionInput& in, std::vector<Site>& unique,
                      UserInterface& ui, std::string* report) {
  const std::vector<UnitCellAtom>& list = *in.newCell;
  unique.clear();
  try {
    unique.reserve(list.size());
    UniqueAtoms atoms(unique, in.tolerance, list.size());
    const int ops = usableOperatorCount(crystal);
    const std::vector<Vector3f>& centring = centringTranslations(crystal.latticeCode);
    const int signs = appliesInversion(crystal) ? 2 : 1;
    std::vector<Vector3f> images;
    for (std::size_t m = 0; m < list.size(); ++m) {
      const UnitCellAtom& e = list[m];
      const Vector3f ep = e.position();
      images.clear();
      bool finished = false;
      for (int p = 0; p < signs && !finished; ++p) {
        const float sign = p == 0 ? 1.0f : -1.0f;
        for (int k = 0; k < ops && !finished; ++k) {
          const Vector3f y = applyOperator(crystal.operators[static_cast<std::size_t>(k)], sign, ep);
          for (std::size_t c = 0; c < centring.size() && !finished; ++c) {
            const Vector3f z{y[0] + centring[c][0], y[1] + centring[c][1], y[2] + centring[c][2]};
            Vector3f w{};
            if (!translateIntoCell(z, crystal.aperiodicAxes, w)) {
              if (report) *report += format("   Atom %d Sym. elem. %d  not in cell\n", static_cast<int>(m) + 1, k + 1);
              continue;
            }
            images.push_back(w);
            Vector3f shifted{};
            const int hit = atoms.findFirst(w, shifted);
            if (hit >= 0) {
              atoms.mergeInto(hit, shifted);
              finished = true;
            } else if (atoms.findFirst(ep, shifted) >= 0) {
              ui.message("****  initial atom already in list");
              finished = true;
            }
          }
        }
      }
      if (!finished) atoms.append(newUniqueAtom(e, meanOfOwnImages(ep, images, in.tolerance), in));
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace tessera
