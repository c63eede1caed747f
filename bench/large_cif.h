#pragma once
// The large CIF the CIF benchmarks read: P1, one row per atom, su on every value,
// as a refinement program writes it.

#include <cstdio>
#include <string>

namespace tessera::bench {

/// A CIF of `atoms` atoms (about 62 bytes a row) in a 50 x 60 x 70 A cell.
inline std::string largeP1Cif(int atoms) {
  std::string cif =
      "data_p1_large\n"
      "_cell_length_a 50.123(4)\n_cell_length_b 60.234(5)\n_cell_length_c 70.345(6)\n"
      "_cell_angle_alpha 90\n_cell_angle_beta 101.25(3)\n_cell_angle_gamma 90\n"
      "_symmetry_cell_setting triclinic\n_symmetry_space_group_name_H-M 'P 1'\n"
      "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n"
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
      "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n_atom_site_adp_type\n_atom_site_occupancy\n";
  cif.reserve(static_cast<std::size_t>(atoms) * 64 + cif.size());
  const char* elements[] = {"C", "N", "O", "S"};
  char row[160];
  for (int i = 0; i < atoms; ++i) {
    const int n = std::snprintf(row, sizeof row, "%s%d %s %.6f(%d) %.6f(%d) %.6f(%d) %.4f(%d) Uiso 1\n",
                                elements[i % 4], i + 1, elements[i % 4], (i % 997) / 997.0, 1 + i % 9,
                                (i % 991) / 991.0, 1 + i % 7, (i % 983) / 983.0, 1 + i % 5, 0.01 + (i % 89) / 1000.0,
                                1 + i % 3);
    cif.append(row, static_cast<std::size_t>(n));
  }
  return cif;
}

}  // namespace tessera::bench
