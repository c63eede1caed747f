#include <gtest/gtest.h>

#include "core/text.h"
#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "formats/rietveld_checks.h"
#include "support/structures.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// One DBWS phase of one atom (LHPM layout of the atom line), scale lines, cell and its codes.
std::string dbwsPhase(int n) {
  return format("phase %d\n   1\nP 1\n", n) +
         format("%-4s%-4s        %8.5f%8.5f%8.5f%8.5f%8.5f\n", "O1", "O", 0.1, 0.2, 0.3, 1.0, 1.0) +
         "\n0.0\n\n1.0\n\n1.0\n\n" + format("%8.1f%8.1f%8.1f%8.1f%8.1f%8.1f\n\n", double(n), 5.0, 6.0, 90.0, 90.0, 90.0);
}

TEST(Dbws, GoldenSkeletonsWithOccupants) {
  CrystalDocument doc = test::monoclinic();
  Site& c1 = doc.sites[0][0];
  c1.occupants.push_back(c1.occupants[0]);
  c1.occupants[1].label = "Si1";
  c1.occupants[1].element = "Si";
  c1.occupants[0].occupancy = c1.occupants[1].occupancy = 0.5f;
  for (const char* format : {"dbws", "lhpm"}) {
    SCOPED_TRACE(format);
    test::ScratchDir dir;
    test::TestSession s;
    s.document = doc;
    const std::string name = std::string("monoclinic.") + (format[0] == 'd' ? "dbw" : "lhp");
    ASSERT_TRUE(s.exportTo(format, dir.path() / name));
    EXPECT_EQ(test::readFile(dir.path() / name), test::readFile(test::fixture("formats/dbws/" + name)));
  }
}

TEST(Dbws, NegativeBetaValuesKeepTheirColumns) {
  // Thirty anisotropic sites with negative cross terms, through both skeletons.
  CrystalDocument doc = test::randomP1(30, 7);
  for (std::size_t i = 0; i < doc.sites[0].size(); ++i) {
    Site& s = doc.sites[0][i];
    s.ortepType = 8;
    s.tfClass = 2;
    const float f = 0.001f * static_cast<float>(i);
    s.aniso = {0.02f + f, 0.03f, 0.025f, -0.004f - f, -0.006f, -0.003f + f};
  }
  for (const auto& [format, kind, file] : {std::tuple("dbws", kKindDbws, "r.dbw"), std::tuple("lhpm", kKindLhpm, "r.lhp")}) {
    SCOPED_TRACE(format);
    test::ScratchDir dir;
    test::TestSession w;
    w.document = doc;
    ASSERT_TRUE(w.exportTo(format, dir.path() / file));
    test::TestSession r;
    ASSERT_TRUE(r.import(kind, dir.path() / file));
    test::expectSameStructure(doc, r.document, {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f});
  }
}

TEST(Dbws, PhasesLayoutsAndTheOldFormatQuestion) {
  test::ScratchDir dir;
  // Twelve phases: ten are offered; the tenth is read.
  std::string file = "many\n   0   0  12\n\n\n\n\n\n\n\n";
  for (int n = 1; n <= 12; ++n) file += dbwsPhase(n);
  test::writeFile(dir.path() / "many.dbw", file);
  test::TestSession s;
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  s.ui.dialogs.push_back([](DialogModel& m) {
    if (auto* d = dynamic_cast<DataSetModel*>(&m)) {
      EXPECT_EQ(d->names.size(), 10u);
      d->selection = 10;
    }
    return true;
  });
  ASSERT_TRUE(s.import(kKindDbws, dir.path() / "many.dbw"));
  EXPECT_TRUE(s.ui.saw(" Number of phases larger than 10 - excess ignored"));
  EXPECT_FLOAT_EQ(s.document.crystals[0].cell[0], 10.0f);
  ASSERT_EQ(s.document.siteCount(), 1);
  EXPECT_FLOAT_EQ(s.document.sites[0][0].z, 0.3f);  // the LHPM layout of the atom line in a DBWS file

  // A negative second control integer announces four more lines per phase; a file
  // without them reads after the old-format retry.
  file = "old\n   0  -1   2\n\n\n\n\n\n\n\n" + dbwsPhase(1) + dbwsPhase(2);
  test::writeFile(dir.path() / "old.dbw", file);
  test::TestSession old;
  old.ui.dialogs.push_back([](DialogModel&) { return true; });
  old.ui.dialogs.push_back([](DialogModel& m) {
    if (auto* d = dynamic_cast<DataSetModel*>(&m)) d->selection = 2;
    return true;
  });
  ASSERT_TRUE(old.import(kKindDbws, dir.path() / "old.dbw"));
  EXPECT_EQ(old.ui.questions(), std::vector<std::string>{"Error reading file - line: 11.200000 - do you want to try "
                                                          "again assuming old (9002) format?"});
  EXPECT_FLOAT_EQ(old.document.crystals[0].cell[0], 2.0f);

  // LHPM asks nothing: a file cut short ends with the message.
  test::writeFile(dir.path() / "cut.lhp", "cut\n   0   0   1\n\n\n");
  test::TestSession cut;
  EXPECT_FALSE(cut.import(kKindLhpm, dir.path() / "cut.lhp"));
  EXPECT_EQ(cut.ui.messages(), std::vector<std::string>{"Error reading file - line: 5.000000"});
}

}  // namespace
}  // namespace tessera
