// Import and export of a 6 MB CIF of 100,000 atoms in P1 through the import and
// export commands (file dialog answers scripted, the program's own dictionary).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/scripted_user_interface.h"
#include "core/session.h"
#include "formats/export_framework.h"
#include "formats/import_framework.h"
#include "formats/import_kinds.h"

namespace {

using namespace tessera;

constexpr int kAtoms = 100000;

/// The folder holding cifdic.sht: data/ beside bench/.
std::filesystem::path homeDirectory() { return std::filesystem::path(__FILE__).parent_path().parent_path() / "data"; }

std::filesystem::path scratch(const char* name) { return std::filesystem::temp_directory_path() / name; }

/// A CIF as a refinement program writes it: su on every value, one row per atom.
const std::filesystem::path& largeCifFile() {
  static const std::filesystem::path path = [] {
    std::string cif =
        "data_p1_large\n"
        "_cell_length_a 50.123(4)\n_cell_length_b 60.234(5)\n_cell_length_c 70.345(6)\n"
        "_cell_angle_alpha 90\n_cell_angle_beta 101.25(3)\n_cell_angle_gamma 90\n"
        "_symmetry_cell_setting triclinic\n_symmetry_space_group_name_H-M 'P 1'\n"
        "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n"
        "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
        "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n_atom_site_adp_type\n_atom_site_occupancy\n";
    const char* elements[] = {"C", "N", "O", "S"};
    char row[160];
    for (int i = 0; i < kAtoms; ++i) {
      const int n = std::snprintf(row, sizeof row, "%s%d %s %.6f(%d) %.6f(%d) %.6f(%d) %.4f(%d) Uiso 1\n",
                                  elements[i % 4], i + 1, elements[i % 4], (i % 997) / 997.0, 1 + i % 9,
                                  (i % 991) / 991.0, 1 + i % 7, (i % 983) / 983.0, 1 + i % 5,
                                  0.01 + (i % 89) / 1000.0, 1 + i % 3);
      cif.append(row, static_cast<std::size_t>(n));
    }
    const auto p = scratch("tessera-bench-big.cif");
    std::ofstream(p, std::ios::binary) << cif;
    return p;
  }();
  return path;
}

struct BenchSession {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument document;
  Session session{document, ui, settings, homeDirectory()};
};

void BM_ImportCif100k(benchmark::State& state) {
  const auto& path = largeCifFile();
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  for (auto _ : state) {
    BenchSession s;
    s.ui.files.push_back(path.string());
    if (!RunImport(s.session, kKindCif, nullptr) || s.document.siteCount() != kAtoms) state.SkipWithError("import");
  }
}
BENCHMARK(BM_ImportCif100k)->Unit(benchmark::kMillisecond);

void BM_ExportCif100k(benchmark::State& state) {
  BenchSession s;
  s.ui.files.push_back(largeCifFile().string());
  if (!RunImport(s.session, kKindCif, nullptr)) state.SkipWithError("import");
  const auto out = scratch("tessera-bench-big-out.cif");
  for (auto _ : state) {
    s.ui.files.push_back(out.string());
    if (!RunExport(s.session, *exportCommandByCliName("cif"))) state.SkipWithError("export");
  }
  std::filesystem::remove(out);
}
BENCHMARK(BM_ExportCif100k)->Unit(benchmark::kMillisecond);

}  // namespace
