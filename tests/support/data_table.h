#pragma once
// The scattering table of the data folder, loaded once for the tests and benchmarks.

#include "core/scripted_user_interface.h"
#include "diffraction/scattering_table.h"

namespace tessera::test {

inline const ScatteringTable& dataTable() {
  static const ScatteringTable table = [] {
    ScatteringTable t;
    ScriptedUserInterface ui;
    loadScatteringTable(TESSERA_DATA_DIR, t, ui);
    return t;
  }();
  return table;
}

}  // namespace tessera::test
