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

/// The output line (with its line end) for one input line (without its line end).
std::string transformHklLine(std::string_view line, const Matrix3f& matrix);

/// Every line of an HKL file text converted.
std::string transformHklText(std::string_view text, const Matrix3f& matrix);

/// "Transform HKL File": asks for the input and output files and converts with the
/// document's matrix. False when cancelled or refused (the message has been shown).
bool transformHklFileCommand(CrystalDocument& doc, UserInterface& ui);

}  // namespace tessera
