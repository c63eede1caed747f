// Reading a 6 MB CIF of 100,000 atoms in P1: tokenising, indexing and reading
// every row's label, x, y, z and Uiso through the request API.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/scripted_user_interface.h"
#include "formats/cif_syntax.h"

namespace {

std::string makeCif(int atoms) {
  std::string cif =
      "data_p1_large\n"
      "_cell_length_a 50.123(4)\n_cell_length_b 60.234(5)\n_cell_length_c 70.345(6)\n"
      "_cell_angle_alpha 90\n_cell_angle_beta 101.25(3)\n_cell_angle_gamma 90\n"
      "_symmetry_space_group_name_H-M 'P 1'\n"
      "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n"
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
      "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n_atom_site_adp_type\n_atom_site_occupancy\n";
  cif.reserve(static_cast<std::size_t>(atoms) * 64 + cif.size());
  const char* elements[] = {"C", "N", "O", "S"};
  char row[128];
  for (int i = 0; i < atoms; ++i) {
    const int n = std::snprintf(row, sizeof row, "%s%d %s %.5f(%d) %.5f(%d) %.5f(%d) %.4f(%d) Uiso 1\n",
                                elements[i % 4], i + 1, elements[i % 4], (i % 997) / 997.0, 1 + i % 9,
                                (i % 991) / 991.0, 1 + i % 7, (i % 983) / 983.0, 1 + i % 5, 0.01 + (i % 89) / 1000.0,
                                1 + i % 3);
    cif.append(row, static_cast<std::size_t>(n));
  }
  return cif;
}

const char* kDictionary =
    "data_d\nloop_\n_name\n_type\n"
    "'_cell_length_a' numb\n'_cell_length_b' numb\n'_cell_length_c' numb\n"
    "'_atom_site_label' char\n'_atom_site_type_symbol' char\n'_atom_site_fract_x' numb\n"
    "'_atom_site_fract_y' numb\n'_atom_site_fract_z' numb\n'_atom_site_U_iso_or_equiv' numb\n"
    "'_atom_site_occupancy' numb\n";

void BM_ReadLargeP1Cif(benchmark::State& state) {
  const std::string cif = makeCif(100000);
  state.counters["MB"] = static_cast<double>(cif.size()) / 1e6;
  for (auto _ : state) {
    tessera::ScriptedUserInterface ui;
    tessera::CifReader reader(ui);
    reader.loadDictionaryText(kDictionary, "dictionary", "valid");
    reader.openCifText(cif, "large.cif");
    reader.selectBlock(0);
    std::string label;
    double x = 0, y = 0, z = 0, u = 0, su = 0, sum = 0;
    int rows = 0;
    do {
      if (!reader.getChar("_atom_site_label", label)) break;
      reader.getNumber("_atom_site_fract_x", x, su);
      reader.getNumber("_atom_site_fract_y", y, su);
      reader.getNumber("_atom_site_fract_z", z, su);
      reader.getNumber("_atom_site_U_iso_or_equiv", u, su);
      sum += x + y + z + u;
      ++rows;
    } while (reader.loopMore());
    if (rows != 100000 || !ui.messages().empty()) state.SkipWithError("rows missing or messages shown");
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ReadLargeP1Cif)->Unit(benchmark::kMillisecond);

// Tokenising and indexing alone, without the dictionary check and the requests.
void BM_IndexLargeP1Cif(benchmark::State& state) {
  const std::string cif = makeCif(100000);
  for (auto _ : state) {
    tessera::ScriptedUserInterface ui;
    tessera::CifReader reader(ui);
    reader.openCifText(cif, "large.cif");
    benchmark::DoNotOptimize(reader.blockCount());
  }
}
BENCHMARK(BM_IndexLargeP1Cif)->Unit(benchmark::kMillisecond);

}  // namespace
