// Reading a 6 MB CIF of 100,000 atoms in P1: tokenising, indexing and reading
// every row's label, x, y, z and Uiso through the request API.

#include <benchmark/benchmark.h>

#include <string>

#include "core/scripted_user_interface.h"
#include "formats/cif_syntax.h"
#include "large_cif.h"

namespace {

const char* kDictionary =
    "data_d\nloop_\n_name\n_type\n"
    "'_cell_length_a' numb\n'_cell_length_b' numb\n'_cell_length_c' numb\n"
    "'_atom_site_label' char\n'_atom_site_type_symbol' char\n'_atom_site_fract_x' numb\n"
    "'_atom_site_fract_y' numb\n'_atom_site_fract_z' numb\n'_atom_site_U_iso_or_equiv' numb\n"
    "'_atom_site_occupancy' numb\n";

void BM_ReadLargeP1Cif(benchmark::State& state) {
  const std::string cif = tessera::bench::largeP1Cif(100000);
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
  const std::string cif = tessera::bench::largeP1Cif(100000);
  for (auto _ : state) {
    tessera::ScriptedUserInterface ui;
    tessera::CifReader reader(ui);
    reader.openCifText(cif, "large.cif");
    benchmark::DoNotOptimize(reader.blockCount());
  }
}
BENCHMARK(BM_IndexLargeP1Cif)->Unit(benchmark::kMillisecond);

}  // namespace
