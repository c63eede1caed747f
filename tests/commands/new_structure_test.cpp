#include <gtest/gtest.h>

#include "commands/control_window.h"
#include "commands/document_commands.h"
#include "commands/site_commands.h"
#include "commands/site_dialog_model.h"
#include "commands/title_axes.h"
#include "support/test_session.h"
#include "symmetry/symmetry_dialogs.h"

namespace tessera {
namespace {

// A structure typed in from scratch: title and cell, two sites walked with New, the
// space group from the table, a third site with a second atom; saved and reopened.
TEST(NewStructure, TypedInSavedAndReopenedIdentically) {
  test::ScratchDir dir;
  test::TestSession s;
  CrystalDocument& doc = s.document;
  ScriptedUserInterface& ui = s.ui;
  Session& session = s.session;

  ui.dialogs.push_back([](DialogModel& m) {
    auto& t = dynamic_cast<TitleAxesModel&>(m);
    t.title = "Rock salt typed in";
    t.axesChoice = 8;  // cubic
    t.cell[0] = 5.64f;
    return true;
  });
  ui.dialogs.push_back([](DialogModel& m) {
    auto& s = dynamic_cast<SiteDialogModel&>(m);
    s.label = "Na1";
    s.typeNumber = 11;
    s.ortepType = 6;
    s.factors[0] = 1.2f;
    s.next();  // "New": saves site 1 (Yes) and opens site 2
    s.label = "Cl1";
    s.typeNumber = 17;
    s.x = s.y = s.z = 0.5f;
    return true;
  });
  ASSERT_TRUE(newCommand(session));
  ASSERT_EQ(doc.siteCount(), 2);

  ui.dialogs.push_back([](DialogModel& m) { return dynamic_cast<SymmetryOptionModel&>(m).option == 0; });
  ui.dialogs.push_back([](DialogModel& m) {
    auto& t = dynamic_cast<TableSymmetryModel&>(m);
    t.hmSymbol = "Fm-3m";
    t.symbolKind = 0;
    return true;
  });
  SymmetryCommand(session, 0);
  EXPECT_EQ(doc.crystals[0].sgNumber, 225);

  ui.dialogs.push_back([&](DialogModel& m) {
    auto& s = dynamic_cast<SiteDialogModel&>(m);
    s.label = "Br1";
    s.typeNumber = 35;
    s.x = 0.25f;
    ui.dialogs.push_front([](DialogModel& o) {
      auto& occupant = dynamic_cast<OccupantDialogModel&>(o);
      occupant.label = "I1";
      occupant.element = "I";
      occupant.occupancy = 0.3f;
      return true;
    });
    s.addOccupant();
    return true;
  });
  ASSERT_TRUE(addSite(session));

  const ControlWindowContent before = controlWindowContent(doc);
  ui.files.push_back(dir.file("salt.tsr"));
  ASSERT_TRUE(saveAsCommand(session));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{});

  test::TestSession again;
  CrystalDocument& reopened = again.document;
  ASSERT_EQ(openDocumentFile(again.session, dir.file("salt.tsr")), OpenResult::Opened);
  const ControlWindowContent after = controlWindowContent(reopened);
  EXPECT_EQ(after.symmetryLine, "Symmetry - Space group: Fm-3m");
  EXPECT_EQ(after.rows, before.rows);
  EXPECT_EQ(after.cellFields, before.cellFields);
  ASSERT_EQ(after.rows.size(), 3u);
  EXPECT_EQ(after.rows[0], "    1 Na1     11   0.00000   0.00000   0.00000   1.20   1.00    1");
  EXPECT_EQ(after.rows[2], "    3 Br1     35   0.25000   0.00000   0.00000   0.00   1.30    2");
  EXPECT_EQ(reopened.title, "Rock salt typed in");
  EXPECT_EQ(reopened.crystals[0].lineCount(), 24);
}

}  // namespace
}  // namespace tessera
