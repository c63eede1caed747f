#include <gtest/gtest.h>

#include <tuple>

#include "commands/site_commands.h"
#include "commands/site_dialog_model.h"
#include "core/elements.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// A session whose document holds `sites` silicon sites Si1, Si2 ... with an isotropic B of 0.5.
struct Fixture : test::TestSession {
  CrystalDocument& doc = document;
  explicit Fixture(int sites) {
    for (int i = 0; i < sites; ++i) {
      doc.sites[0].push_back(test::siteAt("Si" + std::to_string(i + 1), 0.1f * static_cast<float>(i), 0, 0, 14));
      doc.sites[0].back().occupants[0].origNumber = i;
      doc.sites[0].back().ortepType = 6;
      doc.sites[0].back().isoValue = 0.5f;
    }
  }
  SiteDialogModel& as(DialogModel& m) { return dynamic_cast<SiteDialogModel&>(m); }
};

TEST(SiteEditing, NewSiteWithoutOccupantsGetsTheDefaultOne) {
  Fixture f(0);
  f.ui.dialogs.push_back([&](DialogModel& m) {
    SiteDialogModel& d = f.as(m);
    EXPECT_EQ(d.heading(), "Add input atom (site) no. 1");
    EXPECT_EQ(d.forwardButtonText(), "New");
    EXPECT_EQ(d.ortepType, -1);
    d.label = "Fe3";
    d.typeNumber = 26;
    return true;
  });
  ASSERT_TRUE(addSite(f.session));
  ASSERT_EQ(f.doc.siteCount(), 1);
  ASSERT_EQ(f.doc.sites[0][0].occupantCount(), 1);
  const SiteOccupant& o = f.doc.sites[0][0].occupants[0];
  EXPECT_EQ(std::tuple(o.label, o.typeNumber, o.element, o.occupancy), std::tuple("Fe3", 26, "*", 1.0f));
  EXPECT_TRUE(f.doc.modified);

  // Cancelling the dialog of a new site drops it.
  f.ui.dialogs.push_back([](DialogModel&) { return false; });
  EXPECT_FALSE(addSite(f.session));
  EXPECT_EQ(f.doc.siteCount(), 1);
}

TEST(SiteEditing, ChangeTestAndTheWalk) {
  Fixture f(3);
  SiteDialogModel d(f.doc, f.ui, 0, false);
  EXPECT_EQ(d.heading(), "Revise input atom (site) no. 1");
  EXPECT_FLOAT_EQ(d.factors[0], 0.5f);  // iso B shown in the first factor field
  d.x += 0.000004f;
  EXPECT_FALSE(d.siteChanged());
  d.vectorLength = 3.0f;  // the vector alone is no change
  EXPECT_FALSE(d.siteChanged());
  d.x += 0.00001f;
  EXPECT_TRUE(d.siteChanged());

  // Next asks to save; No keeps the stored value.
  f.ui.answers = {Answer::No};
  d.next();
  EXPECT_EQ(f.ui.questions(), std::vector<std::string>{"Save changes to current atom ?"});
  EXPECT_FLOAT_EQ(f.doc.sites[0][0].x, 0.0f);
  EXPECT_EQ(d.siteIndex(), 1);
  d.next();
  EXPECT_EQ(d.forwardButtonText(), "New");
  // New on the last of three sites appends a fourth with ORTEP type -1.
  d.next();
  EXPECT_EQ(f.doc.siteCount(), 4);
  EXPECT_EQ(d.siteIndex(), 3);
  EXPECT_EQ(d.ortepType, -1);
  EXPECT_TRUE(d.isNewSite());
  // Last from an unchanged new site drops it.
  d.last();
  EXPECT_EQ(f.doc.siteCount(), 3);
  EXPECT_EQ(d.siteIndex(), 2);
  EXPECT_EQ(f.doc.selectedSite, 2);
  // A changed site saved with Yes on Last.
  d.label = "O9";
  f.ui.answers = {Answer::Yes};
  d.last();
  EXPECT_EQ(f.doc.sites[0][2].label, "O9");
  EXPECT_EQ(f.doc.sites[0][2].occupants[0].label, "O9");
}

TEST(SiteEditing, OccupantButtonsAndTheirLimit) {
  Fixture f(1);
  SiteDialogModel d(f.doc, f.ui, 0, false);
  f.ui.dialogs.push_back([](DialogModel& m) {
    auto& o = dynamic_cast<OccupantDialogModel&>(m);
    EXPECT_EQ(o.heading(), "Site occupant no. 2");
    o.label = "Al1";
    o.element = "Al";
    o.occupancy = 0.25f;
    o.charge = 3.0f;
    return true;
  });
  EXPECT_EQ(d.addOccupant(), 1);
  EXPECT_TRUE(d.siteChanged());
  EXPECT_EQ(d.occupantRows()[1], "    2     0 Al1     Al     3.0   0.250     0");
  f.ui.dialogs.push_back([](DialogModel&) { return false; });
  d.addOccupant();
  EXPECT_EQ(f.doc.sites[0][0].occupantCount(), 2);
  for (int k = 2; k < kMaxOccupants; ++k) d.addOccupant();
  EXPECT_EQ(f.doc.sites[0][0].occupantCount(), 10);
  d.addOccupant();
  EXPECT_EQ(f.doc.sites[0][0].occupantCount(), 10);
  EXPECT_EQ(f.ui.messages().back(), "A site can be shared by at most 10 atoms");

  f.ui.answers = {Answer::Yes};
  EXPECT_EQ(d.deleteOccupant(9), 8);
  EXPECT_EQ(f.ui.questions().back(), "Delete site occupant number 10 ?");
  EXPECT_EQ(f.doc.sites[0][0].occupantCount(), 9);

  const SiteOccupanciesView v = siteOccupancies(f.doc, 0);
  EXPECT_EQ(v.heading, "Site No. 1 - Si1 0.000000  0.000000  0.000000");
  EXPECT_EQ(v.rows[1], "    2     0 Al1     Al  3.0   0.250  0");
}

TEST(SiteEditing, ValidationAndDelete) {
  Fixture f(2);
  SiteDialogModel d(f.doc, f.ui, 1, false);
  d.ortepType = 21;
  EXPECT_EQ(d.validate(), std::optional<std::string>("Please enter a number between -1 and 20."));
  d.ortepType = 8;
  d.label = "Fe 1";
  EXPECT_TRUE(d.validate().has_value());

  f.ui.answers = {Answer::No, Answer::Yes, Answer::Yes};
  EXPECT_FALSE(deleteSelectedSite(f.session, 1));
  EXPECT_TRUE(deleteSelectedSite(f.session, 1));
  EXPECT_EQ(f.ui.questions().back(), "Delete input atom (site) number 2 ?");
  EXPECT_EQ(f.doc.selectedSite, 0);
  EXPECT_TRUE(deleteSelectedSite(f.session, 0));
  EXPECT_EQ(f.doc.siteCount(), 0);
}

TEST(Elements, TypeFromLabel) {
  for (const auto& [label, type, element] : {std::tuple{"Fe3", 26, "Fe"}, {"C12", 6, "C"}, {"CA1", 20, "Ca"}, {"ca", 20, "Ca"},
                                             {"Xx", 0, ""}, {" O", 8, "O"}, {"O", 8, "O"}, {"", 0, ""}, {"  ", 0, ""}}) {
    const TypeLookup t = typeFromLabel(label);
    EXPECT_EQ(std::pair(t.typeNumber, t.element), std::pair(type, std::string(element))) << label;
  }
  EXPECT_EQ(elementSymbol(94), "Pu");
  EXPECT_EQ(elementSymbol(95), "");
}

}  // namespace
}  // namespace tessera
