// The scattering-factor table from arbitrary bytes, then every row looked up.
#include "fuzz_support.h"
#include "diffraction/scattering_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessera::ScriptedUserInterface ui;
  tessera::ScatteringTable table;
  tessera::readScatteringTable(std::string_view(reinterpret_cast<const char*>(data), size), table, ui);
  if (table.rowCount() > tessera::kMaxScatteringRows) __builtin_trap();
  double sum = 0;
  for (int r = -1; r <= tessera::kMaxScatteringRows + 1; ++r)
    sum += tessera::xrayFormFactor(table, r, 0.1) + tessera::neutronLength(table, r);
  return sum == 12345.0 ? 0 : 0;
}
