#include "transform/transform_engine.h"

#include <cmath>

#include "core/native_file.h"
#include "core/site_listing.h"
#include "core/text.h"

namespace tessera {

namespace {

bool allFinite(const Transformation& t) {
  for (const auto& row : t.matrix)
    for (float v : row)
      if (!std::isfinite(v)) return false;
  for (const auto* shift : {&t.preSymmetryShift, &t.preMatrixShift, &t.postMatrixShift})
    for (float v : *shift)
      if (!std::isfinite(v)) return false;
  return std::isfinite(t.tolerance);
}

Vector3f reduced(const Vector3f& v) { return {reduceIntoCell(v[0]), reduceIntoCell(v[1]), reduceIntoCell(v[2])}; }

/// v' = Q^T v scaled to unit length (left as computed when its length is zero).
std::array<float, 3> transformVector(const std::array<float, 3>& v, const Matrix3f& q) {
  std::array<float, 3> out{};
  for (std::size_t k = 0; k < 3; ++k) out[k] = q[0][k] * v[0] + q[1][k] * v[1] + q[2][k] * v[2];
  const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  if (length > 0.0f && std::isfinite(length))
    for (float& c : out) c /= length;
  return out;
}

}  // namespace

Site transformSiteTensor(const Site& site, const Matrix3f& q, const ReciprocalCell& oldFrame,
                         const ReciprocalCell& newFrame) {
  if (!isAnisotropicType(site.ortepType)) return site;
  const TemperatureFactor beta = convertTemperatureFactor(site, 0, oldFrame);
  if (beta.type != 0) return site;
  // Type 0 holds the tensor itself (its cross terms carry the factor 2 in the exponent),
  // and beta' = Q^T beta Q keeps h^T beta h for h = Q h' (indices go with the matrix).
  const auto& b = beta.aniso;
  const double bm[3][3] = {{b[0], b[3], b[4]}, {b[3], b[1], b[5]}, {b[4], b[5], b[2]}};
  double bp[3][3] = {};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0.0;
      for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l)
          s += q[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] * bm[k][l] *
               q[static_cast<std::size_t>(l)][static_cast<std::size_t>(j)];
      bp[i][j] = s;
    }
  Site inBeta = site;
  inBeta.ortepType = 0;
  inBeta.aniso = {static_cast<float>(bp[0][0]), static_cast<float>(bp[1][1]), static_cast<float>(bp[2][2]),
                  static_cast<float>(bp[0][1]), static_cast<float>(bp[0][2]), static_cast<float>(bp[1][2])};
  const TemperatureFactor back = convertTemperatureFactor(inBeta, site.ortepType, newFrame);
  Site out = site;
  if (back.type == site.ortepType) out.aniso = back.aniso;
  return out;
}

bool TranslateOnly(CrystalDocument& doc, std::string& report, const ReportStamp& stamp) {
  const Vector3f shift = doc.transformation.preSymmetryShift;
  std::vector<Site> moved = doc.sites[0];
  for (Site& s : moved) {
    const Vector3f p = reduced({s.x + shift[0], s.y + shift[1], s.z + shift[2]});
    s.x = p[0];
    s.y = p[1];
    s.z = p[2];
  }
  doc.sites[1] = std::move(moved);
  appendReportHead(report, stamp, doc.documentPath, 0);
  appendTranslatedHeading(report);
  for (std::size_t i = 0; i < doc.sites[1].size(); ++i) appendSiteLine(report, static_cast<int>(i) + 1, doc.sites[1][i]);
  return true;
}

bool TransformInputAtoms(CrystalDocument& doc, const Matrix3f& q, UserInterface& ui, std::string& report,
                         const ReportStamp& stamp) {
  const Transformation& t = doc.transformation;
  CrystalRecord& oldC = doc.oldCrystal();
  CrystalRecord& newC = doc.newCrystal();
  oldC.aperiodicAxes = {};
  newC.aperiodicAxes = {};
  doc.reportEnabled = 1;
  doc.activeCrystal = 0;
  oldC.cell = completeZeroCellValues(oldC.cell);
  if (!isUsableCell(oldC.cell)) {
    ui.message(kUnusableCellMessage);
    return false;
  }
  appendReportHead(report, stamp, doc.documentPath, 1);
  const float oldVolume = reportVolume(oldC.cell);
  appendOldCell(report, oldC, oldVolume);
  appendParameters(report, t, false);
  newC.cell = newCellParameters(oldC.cell, t.matrix);
  deriveNewAxesType(newC);
  const float newVolume = reportVolume(newC.cell);
  appendNewCell(report, newC.cell, newVolume, newVolume / oldVolume);

  doc.activeCrystal = 1;
  const ReciprocalCell oldFrame = prepareReciprocalCell(oldC.cell);
  const ReciprocalCell newFrame = prepareReciprocalCell(newC.cell);
  std::vector<Site> sites;
  sites.reserve(doc.sites[0].size());
  for (const Site& in : doc.sites[0]) {
    Site s = transformSiteTensor(in, q, oldFrame, newFrame);
    const Vector3f p = reduced(transformPosition({in.x, in.y, in.z}, q, t.preMatrixShift, t.postMatrixShift));
    s.x = p[0];
    s.y = p[1];
    s.z = p[2];
    if (s.hasVector) s.vector = transformVector(in.vector, q);
    sites.push_back(std::move(s));
  }
  doc.sites[1] = std::move(sites);
  appendInputAtomsHeading(report);
  for (std::size_t i = 0; i < doc.sites[1].size(); ++i) appendSiteLine(report, static_cast<int>(i) + 1, doc.sites[1][i]);
  return true;
}

TransformOutcome runTransformation(CrystalDocument& doc, UserInterface& ui, const TransformOptions& options) {
  TransformOutcome out;
  const Transformation& t = doc.transformation;
  if (!allFinite(t)) {
    ui.message("Transformation parameters must be numbers");
    return out;
  }
  if (t.mode < 0 || t.mode > 2) {
    ui.message(format("Unknown transformation mode %d", t.mode));
    return out;
  }
  const MatrixInverse inverse = invertTransformMatrix(t.matrix);
  // Translation only never uses the matrix, so a singular one does not stop it.
  if (t.mode != 0 && inverse.singular) {
    ui.message(kSingularMatrixMessage);
    return out;
  }
  out.reportPath = options.reportPath.empty() ? reportPathFor(doc.documentPath) : options.reportPath;
  const ReportStamp stamp = options.stamp ? *options.stamp : currentReportStamp();
  std::string report;
  BusyCursor busy(ui);
  if (t.mode == 0) out.transformed = TranslateOnly(doc, report, stamp);
  else if (t.mode == 1) out.transformed = TransformInputAtoms(doc, inverse.inverse, ui, report, stamp);
  else out.transformed = TransformFullCells(doc, inverse, ui, report, stamp);
  if (out.transformed) doc.modified = true;
  if (!report.empty()) {
    out.reportWritten = writeFileAtomically(out.reportPath, report);
    if (!out.reportWritten) ui.message(format("Report file write failed: %s", out.reportPath.c_str()));
  }
  return out;
}

}  // namespace tessera
