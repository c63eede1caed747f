#pragma once
// The FULLPROF control file (".pcr"): the phase block written to be pasted into a
// complete control file, and a complete control file walked line by line.

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kind 16: reads one phase of a control file; true when finished.
bool ReadFullprof(ImportContext& context);

/// The FULLPROF export of the context's crystal (the phase block); true when written.
bool ExportFullprof(ExportContext& context);

}  // namespace tessera
