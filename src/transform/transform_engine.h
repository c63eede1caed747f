#pragma once
// The transformation command and its three modes: translation only, input
// atoms only and full unit cells. Each mode fills the New crystal and writes its
// report text; the command saves the report file.

#include <optional>
#include <string>

#include "core/crystal_document.h"
#include "core/temperature_factor.h"
#include "core/user_interface.h"
#include "transform/transform_parameters.h"
#include "transform/transform_report.h"

namespace tessera {

/// How a transformation runs.
struct TransformOptions {
  std::optional<ReportStamp> stamp;  ///< date and time for the report head (default: now)
  std::string reportPath;            ///< report file (default: the document path with ".out")
};

/// What a transformation did.
struct TransformOutcome {
  bool transformed = false;    ///< the New crystal was filled
  bool reportWritten = false;  ///< the report file holds the whole report
  std::string reportPath;      ///< the report file
};

/// The transform command after "Transform": inverse matrix, the mode, the report file.
/// A singular matrix (modes 1 and 2) is refused with kSingularMatrixMessage and
/// nothing changes. The caller shows the report when `reportEnabled` is set.
TransformOutcome runTransformation(CrystalDocument& doc, UserInterface& ui, const TransformOptions& options = {});

/// Mode 0: the input sites with the pre-symmetry translation, reduced into the cell.
bool TranslateOnly(CrystalDocument& doc, std::string& report, const ReportStamp& stamp);

/// Mode 1: each input site transformed once with its tensor and vector; Q is the inverse matrix.
bool TransformInputAtoms(CrystalDocument& doc, const Matrix3f& q, UserInterface& ui, std::string& report,
                         const ReportStamp& stamp);

/// Mode 2: all atoms of the old cell carried into the new cell, merged and reduced under
/// the New crystal's symmetry, with the recycle question. `groupRepeatedImages` false
/// places every old-lattice image one by one (the result is the same either way).
bool TransformFullCells(CrystalDocument& doc, const MatrixInverse& inverse, UserInterface& ui, std::string& report,
                        const ReportStamp& stamp, bool groupRepeatedImages = true);

/// Transforms a temperature factor tensor of a site from the old to the new cell
/// (beta' = Q^T beta Q), keeping the site's own type; sites without an anisotropic
/// factor are returned unchanged.
Site transformSiteTensor(const Site& site, const Matrix3f& q, const ReciprocalCell& oldFrame,
                         const ReciprocalCell& newFrame);

}  // namespace tessera
