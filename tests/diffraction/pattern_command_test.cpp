// View > Powder and View > Precession through scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "diffraction/pattern_commands.h"
#include "diffraction/pattern_models.h"
#include "support/structures.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

struct CommandSession {
  test::ScratchDir home;
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument document = test::rockSalt();
  Session session{document, ui, settings, home.path()};
  ScatteringTable table;
  CommandSession() {
    std::filesystem::copy_file(std::filesystem::path(TESSERA_DATA_DIR) / "scatfac.dat", home.path() / "scatfac.dat");
  }
};

TEST(PatternCommands, PowderDialogRefusalListingAndCrystalChecks) {
  CommandSession s;
  // First OK with a wavelength mode and no wavelength: refused, the dialog comes back.
  s.ui.dialogs.push_back([](DialogModel& m) {
    auto& p = dynamic_cast<PowderDialogModel&>(m);
    p.values.radiationMode = 3;
    p.values.specifiedWavelength = 0;
    p.values.powderOutput = 2;
    return true;
  });
  // The scale choice comes from the program settings and goes back there.
  s.session.settings.powderScaleMode = 1;
  s.session.settings.powderFixedScale = 6.0f;
  s.ui.dialogs.push_back([](DialogModel& m) {
    auto& p = dynamic_cast<PowderDialogModel&>(m);
    EXPECT_EQ(p.values.powderScaleMode, 1);
    EXPECT_FLOAT_EQ(p.values.powderFixedScale, 6.0f);
    p.values.specifiedWavelength = 1.2f;
    p.values.powderFixedScale = 4.0f;
    return true;
  });
  const auto result = runPowderCommand(s.session, s.table);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(std::pair(s.session.settings.powderFixedScale, result->pattern.settings.powderFixedScale), std::pair(4.0f, 4.0f));
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Wavelength must be greater than 0"});
  ASSERT_TRUE(result->listing.has_value());
  EXPECT_EQ(test::readFile(*result->listing), powderListing(result->pattern));
  EXPECT_TRUE(result->showGraph);
  EXPECT_EQ(std::tuple(s.document.powderSettings.specifiedWavelength, s.document.powderSettings.lastPattern, s.document.modified),
            std::tuple(1.2f, 0, true));
  // The New crystal without sites is refused; Cancel changes nothing.
  s.ui.dialogs.push_back([](DialogModel& m) {
    dynamic_cast<PowderDialogModel&>(m).crystalChoice = 1;
    return true;
  });
  EXPECT_FALSE(runPowderCommand(s.session, s.table).has_value());
  EXPECT_TRUE(s.ui.saw("No new crystal - must Transform"));
  s.ui.dialogs.push_back([](DialogModel&) { return false; });
  EXPECT_FALSE(runPrecessionCommand(s.session, s.table).has_value());
}

TEST(PatternCommands, PrecessionStoresItsSettings) {
  CommandSession s;
  s.ui.dialogs.push_back([](DialogModel& m) {
    auto& p = dynamic_cast<PrecessionDialogModel&>(m);
    p.values.horizontalAxis = 1;
    p.values.otherAxis = 2;
    p.values.precessionRadiation = 4;
    p.defaultB = 1.0f;
    return true;
  });
  const auto pattern = runPrecessionCommand(s.session, s.table);
  ASSERT_TRUE(pattern.has_value());
  const auto stored = [](const CrystalDocument& d) {
    return std::tuple(d.precessionSettings.horizontalAxis, d.precessionSettings.normalAxis,
                      d.precessionSettings.precessionWavelength, d.powderSettings.defaultB, d.powderSettings.lastPattern);
  };
  EXPECT_EQ(stored(s.document), std::tuple(1, 0, 1.5418f, 1.0f, 1));
  EXPECT_FALSE(pattern->spots.empty());
  // The settings travel with the document; the run-only ones (Lp, extinctions) do not.
  s.document.precessionSettings.showExtinctions = 1;
  ASSERT_TRUE(writeDocumentFile(s.document, s.home.file("saved.tsr"), s.ui));
  CrystalDocument loaded;
  ASSERT_TRUE(readDocumentFile(loaded, s.home.file("saved.tsr"), s.ui));
  EXPECT_EQ(stored(loaded), stored(s.document));
  EXPECT_EQ(loaded.precessionSettings.showExtinctions, 0);
  s.document.activeCrystal = 0;
  s.document.sites[0].clear();
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  EXPECT_FALSE(runPrecessionCommand(s.session, s.table).has_value());
  EXPECT_TRUE(s.ui.saw("No input atoms"));
}

}  // namespace
}  // namespace tessera
