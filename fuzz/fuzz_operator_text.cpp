// Symmetry operator text: each line parsed and written back, then the lines as a
// crystal's symmetry with its operator table, centring and inversion checks.
// fuzz-seeds: xyz
#include <string>

#include "core/text.h"
#include "fuzz_support.h"
#include "symmetry/symmetry_operators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  ScriptedUserInterface ui;
  CrystalRecord crystal;
  crystal.acentric = (size > 0 && (data[0] & 1)) ? 1 : 0;
  for (const std::string& line : splitTokens(fuzz::asText(data, size), "\n")) {
    SeitzMx op;
    int errorPosition = -1;
    if (ParseSymXYZ(line, op, STBF, &errorPosition) == 0) {
      // What parsed must write out and parse again to the same operator.
      const auto text = RTMx2XYZ(op);
      SeitzMx again;
      if (text && (ParseSymXYZ(*text, again, STBF) != 0 || !(again == op))) __builtin_trap();
    }
    AppendSymmetryLine(crystal, line, ui);
  }
  BuildSymmetryMatrices(crystal, ui);
  DetectCentringAndInversion(crystal, ui, true, true);
  return 0;
}
