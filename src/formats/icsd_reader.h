#pragma once
// The ICSD import (kinds 6, 7 and 15): finds the layout and the data sets of the
// file, lets the user choose one and reads it with the layout's reader.

namespace tessera {

class ImportContext;

/// Reads one data set of an ICSD RETRIEVE, CAN/SND or Original file; true when finished.
bool ReadIcsd(ImportContext& context);

}  // namespace tessera
