#pragma once
// Completing an SgInfo: origin shift, reduction by centring and inversion, the
// standard translations, crystal system, generators, point group, Hall symbol
// and table row.

#include "symmetry/sg_info.h"

namespace tessera {

/// Completes the record after its operators were added; 0 or -1 (error pending).
int CompleteSgInfo(SgInfo& sg);

/// Orders the operator list (identity first, then by rotation analysis and translation); 0 or -1.
int SortSgInfoList(SgInfo& sg);

/// Determines the crystal system, unique axis and extra information; 0 or -1.
int FindXtalSystem(SgInfo& sg);

/// Chooses the generators (sg.generators) and the point group (sg.pointGroup; also written
/// to sg.crystal->pointGroupCode); 0 or -1 with "Error: Can't build generator list".
int FindGenerators(SgInfo& sg);

/// The centring matrix of a lattice letter (for R, S and T with the unique axis); nullptr when none.
const CentringMatrix* findCentringMatrix(char lattice, char uniqueAxis);

/// H-M text of a point-group code 1..32 ("2/m", "-43m"); "" for others.
const char* pointGroupName(int code);

/// Crystal-system name ("triclinic" ... "cubic"); "unknown" for XS_Unknown.
const char* xtalSystemName(int xtalSystem);

}  // namespace tessera
