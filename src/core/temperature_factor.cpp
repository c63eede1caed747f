#include "core/temperature_factor.h"

#include <cmath>

namespace tessera {

ReciprocalCell prepareReciprocalCell(const Cell& cell) {
  ReciprocalCell rc;
  rc.direct = directMetric(cell);
  Mat3 g{};
  if (!invert3(rc.direct, g)) return rc;
  if (!(g[0][0] > 0 && g[1][1] > 0 && g[2][2] > 0)) return rc;
  rc.aStar = std::sqrt(g[0][0]);
  rc.bStar = std::sqrt(g[1][1]);
  rc.cStar = std::sqrt(g[2][2]);
  rc.cosGammaStar = g[0][1] / (rc.aStar * rc.bStar);
  rc.cosBetaStar = g[0][2] / (rc.aStar * rc.cStar);
  rc.cosAlphaStar = g[1][2] / (rc.bStar * rc.cStar);
  rc.products = {rc.aStar * rc.aStar, rc.bStar * rc.bStar, rc.cStar * rc.cStar,
                 rc.aStar * rc.bStar, rc.aStar * rc.cStar, rc.bStar * rc.cStar};
  rc.valid = true;
  return rc;
}

bool isIsotropicType(int t) { return t == 6 || t == 7 || t == 10; }
bool isAnisotropicType(int t) { return (t >= 0 && t <= 5) || t == 8 || t == 9; }

namespace {

const double kLn2 = std::log(2.0);

double safeDiv(double v, double d) { return d != 0.0 ? v / d : 0.0; }

/// Scale s and cross-term factor c that take stored values of type t to the B form.
void toBFactors(int t, double& s, double& c) {
  switch (t) {
    case 0: s = 4.0; c = 1.0; break;
    case 1: s = 4.0; c = 0.5; break;
    case 2: s = 4.0 * kLn2; c = 1.0; break;
    case 3: s = 4.0 * kLn2; c = 0.5; break;
    case 4: s = 1.0; c = 1.0; break;
    case 5: s = 1.0; c = 0.5; break;
    case 8: s = kEightPiSq; c = 1.0; break;
    case 9: s = kEightPiSq; c = 0.5; break;
    default: s = 1.0; c = 1.0; break;
  }
}

/// Scale s' and cross-term factor c' that take the B form to stored values of type t.
void fromBFactors(int t, double& s, double& c) {
  switch (t) {
    case 0: s = 0.25; c = 1.0; break;
    case 1: s = 0.25; c = 2.0; break;
    case 2: s = 0.25 / kLn2; c = 1.0; break;
    case 3: s = 0.25 / kLn2; c = 2.0; break;
    case 4: s = 1.0; c = 1.0; break;
    case 5: s = 1.0; c = 2.0; break;
    case 8: s = kInvEightPiSq; c = 1.0; break;
    case 9: s = kInvEightPiSq; c = 2.0; break;
    default: s = 1.0; c = 1.0; break;
  }
}

float isoFromB(double b, int target) {
  switch (target) {
    case 10: return static_cast<float>(b * kInvEightPiSq);
    case 7: return static_cast<float>(std::sqrt(std::fmax(0.0, b * kInvEightPiSq)));
    default: return static_cast<float>(b);
  }
}

/// Equivalent isotropic B of a B-form tensor: 1/3 sum B_ij a*_i a*_j (a_i . a_j).
double equivalentFromBForm(const std::array<double, 6>& bf, const ReciprocalCell& rc) {
  const double star[3] = {rc.aStar, rc.bStar, rc.cStar};
  const double t[3][3] = {{bf[0], bf[3], bf[4]}, {bf[3], bf[1], bf[5]}, {bf[4], bf[5], bf[2]}};
  double sum = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) sum += t[i][j] * star[i] * star[j] * rc.direct[i][j];
  return sum / 3.0;
}

/// Brings a site's factor to the anisotropic B form.
std::array<double, 6> anisoBForm(const Site& site, const ReciprocalCell& rc) {
  const int t = site.ortepType;
  std::array<double, 6> bf{};
  if (isIsotropicType(t)) {
    double b = site.isoValue;
    if (t == 10) b = kEightPiSq * static_cast<double>(site.isoValue);
    if (t == 7) b = kEightPiSq * static_cast<double>(site.isoValue) * site.isoValue;
    bf = {b, b, b, b * rc.cosGammaStar, b * rc.cosBetaStar, b * rc.cosAlphaStar};
    return bf;
  }
  for (int k = 0; k < 6; ++k) bf[k] = site.aniso[static_cast<std::size_t>(k)];
  if (t < 4)
    for (int k = 0; k < 6; ++k) bf[k] = safeDiv(bf[k], rc.products[static_cast<std::size_t>(k)]);
  double s = 1, c = 1;
  toBFactors(t, s, c);
  for (int k = 0; k < 6; ++k) bf[k] *= s * (k >= 3 ? c : 1.0);
  return bf;
}

}  // namespace

TemperatureFactor convertTemperatureFactor(const Site& site, int target, const ReciprocalCell& rc) {
  TemperatureFactor out;
  const int t = site.ortepType;
  if (t < 0 || t > 10 || target < 0 || target > 10) return out;
  if (target == t) {
    out.type = t;
    out.aniso = site.aniso;
    out.iso = isIsotropicType(t) ? site.isoValue : 0.0f;
    return out;
  }
  out.type = target;
  if (isIsotropicType(t) && isIsotropicType(target)) {
    double b = site.isoValue;
    if (t == 10) b = kEightPiSq * static_cast<double>(site.isoValue);
    if (t == 7) b = kEightPiSq * static_cast<double>(site.isoValue) * site.isoValue;
    out.iso = isoFromB(b, target);
    return out;
  }
  const std::array<double, 6> bf = anisoBForm(site, rc);
  if (isIsotropicType(target)) {
    out.iso = isoFromB(equivalentFromBForm(bf, rc), target);
    return out;
  }
  double s = 1, c = 1;
  fromBFactors(target, s, c);
  for (int k = 0; k < 6; ++k) {
    double v = bf[static_cast<std::size_t>(k)];
    if (target < 4) v *= rc.products[static_cast<std::size_t>(k)];
    v *= s * (k >= 3 ? c : 1.0);
    out.aniso[static_cast<std::size_t>(k)] = static_cast<float>(v);
  }
  return out;
}

float equivalentB(const Site& site, const ReciprocalCell& rc) {
  const TemperatureFactor tf = convertTemperatureFactor(site, 6, rc);
  return tf.type == 6 ? tf.iso : 0.0f;
}

}  // namespace tessera
