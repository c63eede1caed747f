// Reading scatfac.dat and the amplitudes taken from it.
#include <gtest/gtest.h>

#include "core/scripted_user_interface.h"
#include "diffraction/scattering_table.h"
#include "support/data_table.h"
#include "support/structures.h"

namespace tessera {
namespace {

TEST(ScatteringTable, RecordsAreCheckedByTheirClosingNumber) {
  const std::string ok = "1 H 1 2 3 4 5 6 7 8 9 10 1\n2 He\n 1 2 3 4 5 6 7 8 9 10\n 2 3 Li 1 2 3 4 5 6 7 8 9 10 3\n";
  ScriptedUserInterface ui;
  ScatteringTable table;
  readScatteringTable(ok, table, ui);
  EXPECT_EQ(table.rowCount(), 3);
  EXPECT_TRUE(ui.messages().empty());
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 10 1\n2 He 1 2 3 4 5 6 7 8 9 10 2\n3 Li 1 2 3 4 5 6 7 8 9 10 5\n", table, ui);
  EXPECT_EQ(table.rowCount(), 2);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Missing or extra scattering factor"});
  // Nine numbers: the closing number is swallowed as bn and the next record's number fails the check.
  ui.events.clear();
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 1\n2 He 1 2 3 4 5 6 7 8 9 10 2\n", table, ui);
  EXPECT_EQ(table.rowCount(), 0);
  EXPECT_EQ(ui.messages().size(), 1u);
  // Eleven numbers fail the same way.
  ui.events.clear();
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 10 11.5 1\n", table, ui);
  EXPECT_EQ(ui.messages().size(), 1u);
  // A missing file keeps the previous table.
  ScatteringTable kept;
  readScatteringTable(ok, kept, ui);
  loadScatteringTable("/nonexistent-folder", kept, ui);
  EXPECT_EQ(kept.rowCount(), 3);
  EXPECT_TRUE(ui.saw("Scattering factor file open failed"));
}

TEST(ScatteringTable, ShippedTableAndAmplitudes) {
  const ScatteringTable& t = test::dataTable();
  ASSERT_EQ(t.rowCount(), 98);
  EXPECT_NEAR(xrayFormFactor(t, 26, 0), 26, 0.05);  // iron: its electrons at s = 0
  EXPECT_NEAR(neutronLength(t, 26), 0.945, 1e-6);  // 9.45 fm in units of 10 fm
  EXPECT_EQ(xrayFormFactor(t, 0, 0), 0);
  EXPECT_EQ(neutronLength(t, 99), 0);
  // Two half occupants of one kind scatter as one whole.
  Site whole = test::makeSite("Fe1", 26, 0, 0, 0);
  whole.normaliseOccupants(0);
  Site halves = whole;
  halves.occupants[0].occupancy = 0.5f;
  halves.occupants.push_back(halves.occupants[0]);
  EXPECT_NEAR(siteAmplitude(t, halves, 0.1, false), siteAmplitude(t, whole, 0.1, false), 1e-9);
  EXPECT_NEAR(siteAmplitude(t, halves, 0.1, true), siteAmplitude(t, whole, 0.1, true), 1e-9);
}

}  // namespace
}  // namespace tessera
