#pragma once
// XTLVIEW data files: one or more data sets, each a title, a space-group line,
// a cell line with a symmetry code, optional explicit symmetry and atom sections.

namespace tessera {

class ImportContext;

/// Import kind 9: reads one data set of an XTLVIEW file; true when finished.
bool ReadXtlview(ImportContext& context);

}  // namespace tessera
