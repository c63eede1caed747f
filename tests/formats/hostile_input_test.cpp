#include <gtest/gtest.h>

#include "formats/import_kinds.h"
#include "support/hostile_input.h"

namespace tessera {
namespace {

using test::importEach;
using test::randomBytes;

const std::string kHugeLine(1 << 20, 'X');

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

}  // namespace
}  // namespace tessera
