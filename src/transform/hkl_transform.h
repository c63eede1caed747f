#pragma once
// Transformation of a reflection list (HKL file) to the indices of the new cell.

#include <array>
#include <string>
#include <string_view>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "transform/transform_parameters.h"

namespace tessera {

/// Indices of the same reflection in the new cell: h' = matrix h, scaled until all three
/// are integral; 0 0 0 when |h'1| exceeds 500 or an index cannot be written as an integer.
std::array<int, 3> transformIndices(const Matrix3f& matrix, const std::array<double, 3>& h);

/// The output line (with its line end) for one input line (without its line end);
/// *outOfRange (when given) tells whether a reflection was written as 0 0 0 for its range.
std::string transformHklLine(std::string_view line, const Matrix3f& matrix, bool* outOfRange = nullptr);

/// Reflections written as 0 0 0 because their new indices exceed the range.
struct HklOutOfRange {
  int count = 0;      ///< how many
  int firstLine = 0;  ///< 1-based line number of the first
};

/// Every line of an HKL file text converted; reflections out of range are counted.
std::string transformHklText(std::string_view text, const Matrix3f& matrix, HklOutOfRange* outOfRange = nullptr);

/// "Transform HKL File": asks for the input and output files and converts with the
/// document's matrix. False when cancelled or refused (the message has been shown).
bool transformHklFileCommand(CrystalDocument& doc, UserInterface& ui);

}  // namespace tessera
