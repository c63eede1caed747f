#pragma once
// What the SHELX reader and writer share: the instruction-skip table, the
// lattice numbers of LATT and the free-variable rule of atom parameters.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"

namespace tessera {

/// The built-in skip table: the classic 67 instructions, then those of current program versions.
const std::vector<std::string>& defaultShelxSkipTable();

/// Fills settings.shelxSkipTable with the built-in list when it is empty, and adds the
/// built-in names a stored table lacks.
void ensureShelxSkipTable(ProgramSettings& settings);

/// The key of an instruction line: its first word without a "_" suffix, cut to four
/// characters, upper case ("SAME_RES" gives "SAME", "rem" gives "REM").
std::string instructionKey(std::string_view line);

/// True when the line's first word names an instruction of the table (case ignored).
bool IsSkippedInstruction(const std::vector<std::string>& table, std::string_view line);

/// True for the label of a residual-density peak: Q followed by digits.
bool isShelxResidualPeak(std::string_view label);

/// True when an atom line starting with this label would be read as something else: an
/// instruction the reader acts on or skips, an include, a residual peak, a comment or a
/// continuation mark.
bool shelxLabelReadsAsInstruction(std::string_view label, const std::vector<std::string>& table);

/// Appends an instruction name (at most 4 characters) unless the table holds it already.
void AddSkippedInstruction(std::vector<std::string>& table, std::string_view name);

/// LATT number (1..7) of a lattice code (1 P .. 7 R); 1 for any other code.
int shelxLatticeNumber(int latticeCode);

/// Lattice letter and code of a LATT magnitude 1..7; nullopt outside.
std::optional<std::pair<char, int>> latticeOfShelxNumber(int number);

/// A parameter decoded by the 10m + p rule: |v| <= 8 as is; 8 < |v| < 17 fixed at
/// v - 10 sign(v); otherwise p FV(m) for m > 0 and p (FV(|m|) - 1) for m < 0.
/// missing receives m's magnitude when the free variable is not defined (taken as 1).
double decodeFreeVariable(double v, const std::vector<double>& freeVariables, int* missing = nullptr);

}  // namespace tessera
