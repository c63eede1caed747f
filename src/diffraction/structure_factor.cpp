#include "diffraction/structure_factor.h"

#include <cmath>

#include "diffraction/reflections.h"

namespace tessera {

namespace {

constexpr double kTwoPi = 6.283185307179586;

/// Factor on the tensor and on its cross terms by ortepType; scale 0 for the non-tensor types.
struct TensorForm {
  double scale = 0;
  double cross = 1;       ///< 1 when the cross terms carry the factor 2, 0.5 when they carry 1
  bool reciprocal = false;  ///< values times a*_i a*_j
};

TensorForm tensorForm(int ortepType) {
  const double ln2 = 0.6931471805599453;
  switch (ortepType) {
    case 0: return {1, 1, false};
    case 1: return {1, 0.5, false};
    case 2: return {ln2, 1, false};
    case 3: return {ln2, 0.5, false};
    case 4: return {0.25, 1, true};
    case 5: return {0.25, 0.5, true};
    case 8: return {19.739208802178716, 1, true};
    case 9: return {19.739208802178716, 0.5, true};
    default: return {};
  }
}

}  // namespace

CrystalCell buildCrystalCell(CrystalDocument& doc, int crystal, UserInterface& ui) {
  const std::size_t index = crystal == 1 ? 1 : 0;
  CrystalCell cell{doc.sites[index], {}};
  const int saved = doc.reportEnabled;
  doc.reportEnabled = 0;
  fillUnitCellFrom(doc.crystals[index], cell.sites, index == 1 ? UnitCellHeading::NewCell : UnitCellHeading::OldCell, ui,
                   cell.atoms, nullptr);
  doc.reportEnabled = saved;
  return cell;
}

SiteDisplacement siteDisplacement(const Site& site, const std::array<double, 3>& r, double defaultB) {
  SiteDisplacement d;
  if (site.ortepType < 0) {
    d.b = defaultB;
  } else if (site.ortepType == 6) {
    d.b = site.isoValue;
  } else if (site.ortepType == 10) {
    d.b = 78.95683520871486 * site.isoValue;
  } else if (const TensorForm form = tensorForm(site.ortepType); form.scale != 0) {
    d.anisotropic = true;
    const std::array<double, 3> f = form.reciprocal ? r : std::array<double, 3>{1, 1, 1};
    const auto& x = site.aniso;
    const double b12 = form.scale * form.cross * x[3] * f[0] * f[1];
    const double b13 = form.scale * form.cross * x[4] * f[0] * f[2];
    const double b23 = form.scale * form.cross * x[5] * f[1] * f[2];
    d.beta = {form.scale * x[0] * f[0] * f[0], b12, b13, b12, form.scale * x[1] * f[1] * f[1], b23,
              b13, b23, form.scale * x[2] * f[2] * f[2]};
  }
  return d;
}

std::array<double, 9> rotatedTensor(const std::array<double, 9>& beta, const SymmetryOperator& op) {
  std::array<double, 9> rb{};  // R beta
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) {
      double s = 0;
      for (std::size_t m = 0; m < 3; ++m) s += op.rotation[i][m] * beta[3 * m + j];
      rb[3 * i + j] = s;
    }
  std::array<double, 9> out{};  // (R beta) R^T
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) {
      double s = 0;
      for (std::size_t m = 0; m < 3; ++m) s += rb[3 * i + m] * op.rotation[j][m];
      out[3 * i + j] = s;
    }
  return out;
}

StructureFactorCalculator::StructureFactorCalculator(const CrystalRecord& crystal, const std::vector<Site>& sites,
                                                     const std::vector<UnitCellAtom>& atoms,
                                                     const ScatteringTable& table, bool neutron, double defaultB)
    : sites_(sites), table_(table), neutron_(neutron) {
  const std::array<double, 3> recip = reciprocalLengths(crystal.cell);
  std::vector<SiteDisplacement> displacement;
  for (const Site& s : sites) displacement.push_back(siteDisplacement(s, recip, defaultB));
  for (const UnitCellAtom& a : atoms) {
    if (a.siteIndex < 1 || a.siteIndex > static_cast<int>(sites.size())) continue;
    const std::size_t site = static_cast<std::size_t>(a.siteIndex - 1);
    if (groups_.empty() || groups_.back().site != site) groups_.push_back({x_.size(), 0, site, displacement[site]});
    ++groups_.back().count;
    x_.push_back(a.x);
    y_.push_back(a.y);
    z_.push_back(a.z);
    std::array<double, 6> b{};
    if (displacement[site].anisotropic) {
      const bool hasOp = a.operatorIndex >= 1 && a.operatorIndex <= static_cast<int>(crystal.operators.size());
      const std::array<double, 9> t =
          hasOp ? rotatedTensor(displacement[site].beta, crystal.operators[static_cast<std::size_t>(a.operatorIndex - 1)])
                : displacement[site].beta;
      b = {t[0], t[4], t[8], t[1], t[2], t[5]};
    }
    beta_.push_back(b);
  }
}

void StructureFactorCalculator::prepareIndexRange(int hmax, int kmax, int lmax) {
  range_ = {hmax, kmax, lmax};
  const std::size_t n = x_.size();
  const std::vector<double>* coords[3] = {&x_, &y_, &z_};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const int r = std::max(range_[axis], 0);
    re_[axis].assign((2 * static_cast<std::size_t>(r) + 1) * n, 0.0);
    im_[axis].assign(re_[axis].size(), 0.0);
    for (int m = -r; m <= r; ++m)
      for (std::size_t a = 0; a < n; ++a) {
        const double phi = kTwoPi * m * (*coords[axis])[a];
        const std::size_t at = static_cast<std::size_t>(m + r) * n + a;
        re_[axis][at] = std::cos(phi);
        im_[axis][at] = std::sin(phi);
      }
  }
}

double StructureFactorCalculator::amplitude(std::size_t site, double s2) const {
  return siteAmplitude(table_, sites_[site], s2, neutron_);
}

double StructureFactorCalculator::temperature(const SiteGroup& g, std::size_t atom, int h, int k, int l,
                                              double s2) const {
  if (!g.displacement.anisotropic) return std::exp(-g.displacement.b * s2);
  const std::array<double, 6>& b = beta_[atom];
  return std::exp(-(b[0] * h * h + b[1] * k * k + b[2] * l * l + 2.0 * (b[3] * h * k + b[4] * h * l + b[5] * k * l)));
}

StructureFactor StructureFactorCalculator::computeDirect(int h, int k, int l, double s2) const {
  StructureFactor f;
  for (const SiteGroup& g : groups_) {
    const double fs = amplitude(g.site, s2);
    for (std::size_t a = g.first; a < g.first + g.count; ++a) {
      const double phi = kTwoPi * (h * x_[a] + k * y_[a] + l * z_[a]);
      const double w = fs * temperature(g, a, h, k, l, s2);
      f.a += w * std::cos(phi);
      f.b += w * std::sin(phi);
    }
  }
  return f;
}

StructureFactor StructureFactorCalculator::compute(int h, int k, int l, double d) const {
  const double s2 = 0.25 / (d * d);
  if (std::abs(h) > range_[0] || std::abs(k) > range_[1] || std::abs(l) > range_[2]) return computeDirect(h, k, l, s2);
  const std::size_t n = x_.size();
  const double* hr = re_[0].data() + static_cast<std::size_t>(h + range_[0]) * n;
  const double* hi = im_[0].data() + static_cast<std::size_t>(h + range_[0]) * n;
  const double* kr = re_[1].data() + static_cast<std::size_t>(k + range_[1]) * n;
  const double* ki = im_[1].data() + static_cast<std::size_t>(k + range_[1]) * n;
  const double* lr = re_[2].data() + static_cast<std::size_t>(l + range_[2]) * n;
  const double* li = im_[2].data() + static_cast<std::size_t>(l + range_[2]) * n;
  StructureFactor f;
  for (const SiteGroup& g : groups_) {
    const double fs = amplitude(g.site, s2);
    if (fs == 0) continue;
    const std::size_t end = g.first + g.count;
    if (!g.displacement.anisotropic) {
      double sr = 0, si = 0;
      for (std::size_t a = g.first; a < end; ++a) {
        const double pr = hr[a] * kr[a] - hi[a] * ki[a];
        const double pi = hr[a] * ki[a] + hi[a] * kr[a];
        sr += pr * lr[a] - pi * li[a];
        si += pr * li[a] + pi * lr[a];
      }
      const double w = fs * std::exp(-g.displacement.b * s2);
      f.a += w * sr;
      f.b += w * si;
      continue;
    }
    for (std::size_t a = g.first; a < end; ++a) {
      const double pr = hr[a] * kr[a] - hi[a] * ki[a];
      const double pi = hr[a] * ki[a] + hi[a] * kr[a];
      const double w = fs * temperature(g, a, h, k, l, s2);
      f.a += w * (pr * lr[a] - pi * li[a]);
      f.b += w * (pr * li[a] + pi * lr[a]);
    }
  }
  return f;
}

}  // namespace tessera
