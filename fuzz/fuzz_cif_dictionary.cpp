// A CIF dictionary from arbitrary bytes, then a small CIF checked and read against it.
// fuzz-seeds: sht
#include <string>

#include "formats/cif_syntax.h"
#include "fuzz_support.h"

namespace {
const char* kCif =
    "data_a\n_cell_length_a 5.1(2)\n_cell_angle_beta 90\n_symmetry_space_group_name_H-M 'P 1'\n"
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_occupancy\nC1 0.1(1) 1\nO2 ? .\n";
const char* kNames[] = {"_cell_length_a", "_cell_angle_beta", "_symmetry_space_group_name_H-M", "_atom_site_label",
                        "_atom_site_fract_x", "_atom_site_occupancy"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  ScriptedUserInterface ui;
  CifReader reader(ui);
  const std::string_view text = fuzz::asText(data, size);
  const std::string_view options = (size > 0 && (data[0] & 1)) ? "valid" : "valid dtype";
  if (!reader.loadDictionaryText(std::string(text), "cifdic.sht", options)) return 0;
  reader.openCifText(kCif, "check.cif");
  std::string name;
  while (reader.nextDataBlock(name)) {
    for (const char* item : kNames) {
      std::string value;
      double number = 0, su = 0;
      reader.getChar(item, value);
      reader.getNumber(item, number, su);
    }
    name.clear();
  }
  return 0;
}
