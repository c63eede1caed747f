#pragma once
// The three ICSD writers: RETRIEVE (.ret), CAN/SND CRYSTIN and Original CRYSTIN (.cry).

namespace tessera {

class ExportContext;

/// Writes the active crystal as an ICSD RETRIEVE file; true when written.
bool ExportIcsdRetrieve(ExportContext& context);
/// Writes the active crystal as an ICSD CAN/SND CRYSTIN file; true when written.
bool ExportIcsdCanSnd(ExportContext& context);
/// Writes the active crystal as an original ICSD CRYSTIN file; true when written.
bool ExportIcsdOriginal(ExportContext& context);

}  // namespace tessera
