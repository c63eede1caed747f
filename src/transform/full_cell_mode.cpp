#include <cmath>
#include <new>

#include "core/temperature_factor.h"
#include "core/text.h"
#include "symmetry/symmetry_operators.h"
#include "transform/new_cell_list.h"
#include "transform/symmetry_reduction.h"
#include "transform/transform_engine.h"

namespace tessera {

namespace {

// Beyond these the mode would need gigabytes or hours; it is refused up front.
constexpr double kMaxNewCellAtoms = 2.0e6;
constexpr double kMaxLatticeImages = 1.0e11;
// The offset tables alone grow as (2n + 1)^3 whatever the atom count.
constexpr double kMaxLatticeOffsets = 1.0e9;
// Recycling normally settles after one cycle; this bounds a run that answers Yes forever.
constexpr int kMaxRecycles = 20;

bool hasShift(const Vector3f& v) { return v[0] != 0.0f || v[1] != 0.0f || v[2] != 0.0f; }

/// Sizes the new-cell list may reach: the atoms the new cell holds are det x N_old;
/// well beyond that only a runaway (a tolerance too small to merge rounding noise) goes.
std::size_t growthLimit(double expected) { return static_cast<std::size_t>(4.0 * std::ceil(expected)) + 1000; }

struct FullCellRun {
  CrystalDocument& doc;
  const MatrixInverse& inverse;
  UserInterface& ui;
  std::string& report;
  std::vector<Site> working;
  std::vector<UnitCellAtom> oldCell;
  std::vector<UnitCellAtom> newCell;
  Vector3f tolerance{};
  bool groupRepeatedImages = true;

  bool prepare(const ReportStamp& stamp);
  bool transfer();
  bool reduceAndCheck();
};

bool FullCellRun::prepare(const ReportStamp& stamp) {
  const Transformation& t = doc.transformation;
  CrystalRecord& oldC = doc.oldCrystal();
  oldC.aperiodicAxes = {};
  doc.newCrystal().aperiodicAxes = {};
  doc.reportEnabled = 1;
  doc.activeCrystal = 0;
  working = doc.sites[0];
  oldC.cell = completeZeroCellValues(oldC.cell);
  if (!isUsableCell(oldC.cell)) {
    ui.message(kUnusableCellMessage);
    return false;
  }
  appendReportHead(report, stamp, doc.documentPath, 2);
  appendToleranceLine(report, t.tolerance);
  appendOldCell(report, oldC, reportVolume(oldC.cell));
  appendParameters(report, t, true);
  if (hasShift(t.preSymmetryShift))
    for (Site& s : working) {
      s.x += t.preSymmetryShift[0];
      s.y += t.preSymmetryShift[1];
      s.z += t.preSymmetryShift[2];
    }
  return fillUnitCellFrom(oldC, working, UnitCellHeading::OldCell, ui, oldCell, &report);
}

bool FullCellRun::transfer() {
  const Transformation& t = doc.transformation;
  CrystalRecord& newC = doc.newCrystal();
  doc.activeCrystal = 1;
  const int n = latticeSearchRange(t.matrix);
  const double expected = std::fabs(inverse.determinant) * static_cast<double>(oldCell.size());
  const double span = 2.0 * n + 1.0;
  if (span * span * span > kMaxLatticeOffsets) {
    ui.message(format("The matrix is too large for full unit cells: search range %d", n));
    return false;
  }
  if (expected > kMaxNewCellAtoms || expected * span * span * span > kMaxLatticeImages) {
    ui.message(format("The new cell is too large for full unit cells: about %.0f atoms, search range %d", expected, n));
    return false;
  }
  const Cell newCellParameters_ = newCellParameters(doc.oldCrystal().cell, t.matrix);
  newC.cell = newCellParameters_;
  deriveNewAxesType(newC);
  appendNewSymmetry(report, newC);
  const float oldVolume = reportVolume(doc.oldCrystal().cell);
  const float newVolume = reportVolume(newC.cell);
  appendNewCell(report, newC.cell, newVolume, newVolume / oldVolume);
  for (std::size_t k = 0; k < 3; ++k) tolerance[k] = t.tolerance / newC.cell[k];

  NewCellTransfer p;
  p.q = inverse.inverse;
  p.preMatrixShift = t.preMatrixShift;
  p.postMatrixShift = t.postMatrixShift;
  p.tolerance = tolerance;
  p.searchRange = n;
  p.limit = growthLimit(expected);
  p.groupRepeatedImages = groupRepeatedImages;
  const TransferStatus status = transferToNewCell(oldCell, working, p, newCell, &report);
  if (status == TransferStatus::TooManyAtoms) {
    ui.message(format("Too many atoms in the new unit cell (%d) - check the tolerance and the matrix",
                      static_cast<int>(newCell.size())));
    report += format("New allocation for new unit cell failed: %d \n", static_cast<int>(newCell.size()));
    return false;
  }
  if (status == TransferStatus::OutOfMemory) {
    ui.message("New allocation for new unit cell failed");
    report += format("New allocation for new unit cell failed: %d \n", static_cast<int>(newCell.size()));
    return false;
  }
  appendNewCellList(report, newCell, working);
  return true;
}

bool FullCellRun::reduceAndCheck() {
  CrystalRecord& newC = doc.newCrystal();
  ReciprocalCell frame = prepareReciprocalCell(doc.oldCrystal().cell);
  for (int cycle = 0;; ) {
    if (newC.cartesianFlag == 0 && newC.matricesValid == 0) BuildSymmetryMatrices(newC, ui);
    std::vector<Site> unique;
    ReductionInput in;
    in.newCell = &newCell;
    in.working = &working;
    in.workingFrame = frame;
    in.tolerance = tolerance;
    if (!reduceBySymmetry(newC, in, unique, ui, &report)) {
      ui.message("New cell memory allocation failed");
      return false;
    }
    if (oldCell.empty()) ui.message("WARNING - no atoms found");
    else appendUniqueAtoms(report, unique);
    doc.sites[1] = std::move(unique);

    std::vector<UnitCellAtom> generated;
    if (!fillUnitCellFrom(newC, doc.sites[1], UnitCellHeading::NewCell, ui, generated, &report)) return false;
    const int nNew = static_cast<int>(newCell.size());
    const int nGen = static_cast<int>(generated.size());
    if (nGen == nNew) return true;
    if (nGen > nNew)
      ui.message(format("The new symmetry generates %d atoms from %d atoms in the new cell - check the new space group",
                        nGen, nNew));
    const Answer a = ui.ask(format("Original atoms in new unit cell: %d - generated atoms in new unit cell: %d - "
                                   "recycle to refine special positions?",
                                   nNew, nGen),
                            Buttons::YesNo);
    if (!isAffirmative(a)) return true;
    if (cycle >= kMaxRecycles) {
      ui.message(format("Recycling stopped after %d cycles - the atoms in the new cell do not settle", cycle));
      return true;
    }
    newCell = std::move(generated);
    working = doc.sites[1];
    frame = prepareReciprocalCell(newC.cell);
    appendRecycling(report, ++cycle);
  }
}

}  // namespace

bool TransformFullCells(CrystalDocument& doc, const MatrixInverse& inverse, UserInterface& ui, std::string& report,
                        const ReportStamp& stamp, bool groupRepeatedImages) {
  FullCellRun run{doc, inverse, ui, report, {}, {}, {}, {}, groupRepeatedImages};
  try {
    if (!run.prepare(stamp)) return false;
    if (!run.transfer()) return false;
    return run.reduceAndCheck();
  } catch (const std::bad_alloc&) {
    ui.message("New cell memory allocation failed");
    return false;
  }
}

}  // namespace tessera
