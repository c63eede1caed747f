#include <gtest/gtest.h>

#include <random>

#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xff);
  return s;
}

/// Every input ends in a finished or refused import: no crash, no hang, no stray document.
TEST(DatabaseFormatsHostileInput, ReadersFinishOrRefuse) {
  const std::string huge(1 << 20, '9');
  const std::vector<std::pair<int, std::vector<std::string>>> inputs = {
      {kKindIcsd,
       {randomBytes(20000, 1), " COL  Collection Code 1\n PARM\n" + huge, "ID: 1\nCE:" + huge + "\n",
        " **** COLL\n At\n" + std::string(5000, '(') + "\n Atom\n x 1 " + huge,
        " COL  Collection Code 1\n SYM " + std::string(3000, '/') + "\n SYM 99999999999999/1,y,z\n",
        "ID: 1\nAT COORDS:\n                 " + huge + "\nANISOTROPIC TEMPERATURE FACTORS\n" + huge}},
      {kKindCcdcFdat,
       {randomBytes(20000, 2), "#" + huge, "#X       7" + std::string(100, '9') + "\n" + std::string(80, '9') + "\n",
        "#X       1300011199999999999999999999999999999999999999999999999999\n" + std::string(80, '-')}},
      {kKindAmMineral,
       {randomBytes(20000, 3), "x\n1 1 1 90 90 90 *P1\n1e400 0 0\natom\n",
        "x\n1e30 1e30 1e30 90 90 90 P1\natom " + std::string(3000, 'x') + "\n" + huge, "American Mineralogist\n"}},
      {kKindPdb, {randomBytes(20000, 4), "ATOM  " + huge, "HETATM" + std::string(80, '-') + "\nHEADER\n"}}};
  test::ScratchDir dir;
  for (const auto& [kind, texts] : inputs)
    for (std::size_t i = 0; i < texts.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " input " << i);
      test::writeFile(dir.path() / "bad.txt", texts[i]);
      test::TestSession s;
      const bool ok = s.import(kind, dir.path() / "bad.txt");
      EXPECT_EQ(ok, s.document.isOpen);
      for (const Site& site : s.document.sites[0]) {
        EXPECT_LE(site.label.size(), kMaxLabelLength);
        EXPECT_GE(site.occupantCount(), 1);
      }
    }
}

}  // namespace
}  // namespace tessera
