#include <gtest/gtest.h>

#include <random>

#include "formats/import_kinds.h"
#include "support/hostile_input.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::importEach;
using test::randomBytes;

const std::string kHugeLine(1 << 20, 'X');

TEST(HostileInput, CifReader) {
  const std::string journal = test::readFile(test::fixture("cif/journal_multiblock.cif"));
  const std::string p1 = "data_t\n_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\nloop_ _symmetry_equiv_pos_as_xyz x,y,z\n";
  std::string operators = p1 + "loop_ _symmetry_equiv_pos_as_xyz\n";
  for (int i = 0; i < 500; ++i) operators += "x,y,z+1/2\n";  // past the 192 a crystal holds
  std::vector<std::string> inputs = {
      operators, journal.substr(0, journal.size() / 2),
      p1 + "loop_ _atom_site_label _atom_site_fract_x _atom_site_fract_y\nC1 0.1 0.2\nC2 0.3\n",
      p1 + "_note\n;\nunterminated text field\n",
      "data_x\n_symmetry_Int_Tables_number 1e300\n_cell_length_a 1e999\n_symmetry_equiv_pos_as_xyz 'q,r,s'\n"};
  std::mt19937 rng(5);
  for (int i = 0; i < 40; ++i) {
    std::string mutated = journal;
    for (int k = 0; k < 20; ++k) mutated[rng() % mutated.size()] = static_cast<char>(rng() & 0xff);
    inputs.push_back(mutated);
  }
  importEach(kKindCif, inputs);
}

TEST(HostileInput, ShelxReader) {
  importEach(kKindShelx,
             {"", "\n\n\n", randomBytes(20000, 1), randomBytes(5000, 2) + "\nEND\n", "TITL\nCELL\nLATT\nSYMM\nSFAC\n",
              "CELL 1 1e308 1e308 1e308 1e308 1e308 1e308\nLATT -1\nC1 1e300 1e300 -1e300 1e300 1e300 1e300\n",
              "LATT -99999999999999999999\nC1 99999999999999999999 0.1 0.2 0.3 -99999999 -3 7 8 9 1 2 3 4\n",
              "FVAR 1\nC1 1 1e9 -1e9 31 -1e15 1e20\nC2 1 0.1 0.2 0.3 =", "TITL t\nC1 1 0.1 0.2 0.3 11 0.02 =\n",
              kHugeLine, kHugeLine + "\nC1 1 0.1 0.2 0.3\n", std::string(50000, '=') + "\n" + std::string(50000, '='),
              "+\n+ \n+/dev/zero\n+/\n+" + kHugeLine + "\nC1 1 0 0 0\n", "FRAG\nC1 1 0 0 0\n",
              "SYMM " + std::string(5000, 'x') + "\nSYMM ,,,;;;\nC1 1 0 0 0\n",
              "CELL 1 5 5 5 0 0 0\nC1 2 nan inf -inf\nH1 1 0 0 0 11 -1.2\n"});
}

TEST(HostileInput, FreeFormReader) {
  importEach(kKindFreeForm,
             {"", ",,,\n\t\n", randomBytes(20000, 3), "TITL x\n" + randomBytes(3000, 4), "CELL 1e39 5 5 90 90 90\n",
              "FIELDS " + std::string(4000, 'Z') + " LAB COO\nA 1 2 3\n",
              "FIELDS LAB COO RMC FLC TFU VEC TFB\nA 0.1 0.2 0.3 1\n",
              "DEFAULT RMC=1 RMC= TYP=99999999 RAD=x\nA 0.1 0.2 0.3\n",
              "FIELDS LAB TYP COO TFU\nA 123456789 0.1 0.2 0.3\n1e400 2 3 4 5 6 7 8\nB 1 1(2 3) 4\n", kHugeLine,
              "FACTOR 1e300\nA 1e300 1e300 1e300\n", "SYMM " + std::string(3000, '1') + "\nA 0 0 0\n"});
}

TEST(HostileInput, DatabaseReaders) {
  const std::string huge(1 << 20, '9');
  importEach(kKindIcsd, {randomBytes(20000, 5), " COL  Collection Code 1\n PARM\n" + huge, "ID: 1\nCE:" + huge + "\n",
                         " **** COLL\n At\n" + std::string(5000, '(') + "\n Atom\n x 1 " + huge,
                         " COL  Collection Code 1\n SYM " + std::string(3000, '/') + "\n SYM 99999999999999/1,y,z\n",
                         "ID: 1\nAT COORDS:\n                 " + huge + "\nANISOTROPIC TEMPERATURE FACTORS\n" + huge});
  importEach(kKindCcdcFdat,
             {randomBytes(20000, 6), "#" + huge, "#X       7" + std::string(100, '9') + "\n" + std::string(80, '9') + "\n",
              "#X       1300011199999999999999999999999999999999999999999999999999\n" + std::string(80, '-')});
  importEach(kKindAmMineral, {randomBytes(20000, 7), "x\n1 1 1 90 90 90 *P1\n1e400 0 0\natom\n",
                              "x\n1e30 1e30 1e30 90 90 90 P1\natom " + std::string(3000, 'x') + "\n" + huge,
                              "American Mineralogist\n"});
  importEach(kKindPdb, {randomBytes(20000, 8), "ATOM  " + huge, "HETATM" + std::string(80, '-') + "\nHEADER\n"});
}

TEST(HostileInput, DrawingProgramReaders) {
  const std::string ortepHead = "T\n  5.00000  5.00000  5.00000  90.0000  90.0000  90.0000\n";
  importEach(kKindOrtep, {"", randomBytes(20000, 5), ortepHead + kHugeLine, ortepHead + std::string(300, '\n'),
                          ortepHead + "1 1e308 1e308 1e308 nan\nA  1e30 1e30 1e30 -9e30\n1 1 1 1 1 1 1 1e300\n",
                          "T\n 1e-30 1e-30 1e-30 0.9999999 -0.99999 0.5\n1\nA 1 1 1 2\n1\n"});
  importEach(kKindXtlview, {"", randomBytes(20000, 6), "T\n\nSPACE GROUP\n1 1 1 90 90 90 0\n999999999\n",
                            "T\n\nSPACE GROUP ((((\n1 1 1 90 90 90 -999\n1e30 1e30 1e30\n",
                            "T\n\nX\n5 5 5 90 90 90 0\n200\n" + std::string(3000, '1') + "\n", kHugeLine,
                            "T\n\nX\n5 5 5 90 90 90 0\n1\n1 0 0 0.3\n0 1 0 0\n0 0 1 0\n0.1 0.2 0.3\nEND\n"});
  importEach(kKindOrbis, {"ORUNIV", "ORUNIV2\n" + randomBytes(20000, 7), "ORUNIV\n" + randomBytes(20000, 8),
                          "ORUNIV\nT\n9\n2000000000 9 9 9 2000000000 9 9 9 2000000000\n",
                          "ORUNIV2\nATBAS2 1 2 3 4 5 6 7 99999999999 -99999999999 0 0 0 0\nATTFS 1e9 1 1 1 1 1 1\n",
                          "ORUNIV2\nSYMXYZ " + kHugeLine + "\nATBAS1 " + kHugeLine + " 1 2 3 4 5 6\n"});
  importEach(kKindOscilla, {"", randomBytes(20000, 9), "T\nVERS\nCFTT\n", "T\nVERS 1\nOPER " + kHugeLine + "\n",
                            "T\nVERS 1\nCELL 1e39 1e39 1 1e39 -1e39 nan\nATOM 1 A 99999999999 1e300 1 1\n",
                            "T\nVERS 1\nSYM1 1 2 3 4 5 6 7 8 9 10 11 12 13\nFLG2 1 2 3 4 5 999 -5 QQQ\n"});
}

TEST(HostileInput, RietveldReadersSayWhyTheyRefuse) {
  const std::string huge(1 << 20, '7');
  const auto saysWhy = [](int kind, const std::vector<std::string>& inputs) { test::importEach(kind, inputs, true); };
  const std::string head = "t\n0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n0\n0 0 -1\n0\n0\n0 0 0 0 0 0 0 0 0\n0\n0\n";
  saysWhy(kKindFullprof, {"", randomBytes(20000, 1), "t\n999999999 -5 99999 -7 2000000000 -2000000000\n", head,
                          head + "p\n2000000000 0 0 0 0 0 10 0 -1\nP 1\n2000000000 2 0 2000000000\nSYMM x\n",
                          head + "p\n1 0 0 0 0 0 10 0 1\nP 1\n1 2 0 0\n1e308 nan\n\n",
                          head + "p\n3 0 0 0 0 0 5 0 0\nP 1\nA B 0 0 " + huge + "\n", huge});
  saysWhy(kKindRietan, {"", randomBytes(20000, 2), "t\nENDCON1\n-99999999999\n00000\n    1\n",
                        "t\nENDCON1\n2000000000\n" + huge + "\n", "t\nENDCON1\n10\nA 1 0 0 0\n00000\n999999999\n",
                        "t\nENDCON1\n0\n00000\n0\n1 1 1 5 5 5\n0\n\n" + randomBytes(3000, 3) + "\n"});
  saysWhy(kKindGsas, {"", randomBytes(20000, 4), "CRS1   NATOM2000000000\nCRS1  AT  1B\nCRS1  AT  1M 1 2 3\n",
                      "CRS1  AT  1A  Fe        1e308     nan       inf       -1e40     " + huge + "\n",
                      "CRS1  ABC     0.0       0.0       0.0\nCRS1  ANGLES    0.0       0.0       0.0\n"
                      "CRS1  AT  1A  Fe        0.1       0.1       0.1       1.0     Fe\n"
                      "CRS1  AT  1M  1.0       1.0       1.0\n"});
  for (int kind : {kKindDbws, kKindLhpm})
    saysWhy(kind, {"", randomBytes(20000, 5), "t\n   0  -1  99\n", "t\n9999999999999999\n",
                   "t\n   0   0   1  99   0  99\n" + std::string(120, '\n'),
                   "t\n   0   0   1\n\n\n\n\n\n\n\np\n9999\nP 1\n" + huge + "\n"});
}

}  // namespace
}  // namespace tessera
