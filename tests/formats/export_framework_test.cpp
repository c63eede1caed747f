#include <gtest/gtest.h>

#include "formats/export_framework.h"
#include "formats/import_finish.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace tessera {
namespace {

TEST(ExportOptions, TargetFormForEveryModeAndType) {
  // Keep (mode 0) and by-kind (mode 1) per ortepType 0..10; U preferences, then beta/B ones.
  // All-isotropic (2) and all-anisotropic (3) give the preferred form for every type.
  const int uPrefs[2][11] = {{0, 8, 8, 8, 8, 8, 6, 10, 8, 8, 10}, {8, 8, 8, 8, 8, 8, 10, 10, 8, 8, 10}};
  const int betaPrefs[2][11] = {{0, 0, 0, 0, 0, 0, 6, 6, 8, 0, 10}, {0, 0, 0, 0, 0, 0, 6, 6, 0, 0, 6}};
  ProgramSettings s;
  for (int pref = 0; pref < 2; ++pref) {
    s.anisoPref = s.isoPref = pref;
    for (int mode = 0; mode < 4; ++mode) {
      s.convMode = mode;
      for (int t = 0; t <= 10; ++t) {
        SCOPED_TRACE(testing::Message() << "pref " << pref << " mode " << mode << " type " << t);
        const int all = mode == 2 ? (pref ? 6 : 10) : (pref ? 0 : 8);
        EXPECT_EQ(chooseTargetType(t, -1, s), mode >= 2 ? all : pref == 0 ? uPrefs[mode][t] : betaPrefs[mode][t]);
        EXPECT_EQ(chooseTargetType(t, 6, s), 6);  // a concrete target is kept
      }
    }
  }
  s.convMode = 0;
  s.anisoPref = 0;
  EXPECT_EQ(chooseTargetType(10, -2, s), 8);  // the ORTEP form: aniso for every site
}

TEST(ExportOptions, IsoAndAnisoOutput) {
  CrystalDocument doc;
  ProgramSettings s;
  const bool iso[7] = {false, true, false, true, true, false, true};
  const bool aniso[7] = {false, false, true, true, false, true, true};
  for (int mix = 0; mix <= 6; ++mix) {
    doc.tfMix = mix;
    for (int mode : {0, 2, 3}) {
      s.convMode = mode;
      EXPECT_EQ(HasIsoOutput(doc, s), mode == 0 ? iso[mix] : mode == 2) << mix << " " << mode;
      EXPECT_EQ(HasAnisoOutput(doc, s), mode == 0 ? aniso[mix] : mode == 3) << mix << " " << mode;
    }
  }
}

TEST(ExportCommands, TableDialogAndSupportSentences) {
  for (const ExportCommand& c : exportCommands()) EXPECT_TRUE(c.available()) << c.name;
  EXPECT_TRUE(exportCommands()[static_cast<std::size_t>(*exportCommandByCliName("ccdc-fdat"))].doesNothing);
  EXPECT_EQ(supportSentence(0), "Free-form files support U/B iso and U/beta aniso");
  EXPECT_EQ(supportSentence(2), "SHELX-93 files support U iso and U aniso");
  EXPECT_EQ(supportSentence(16), "FULLPROF files support B iso and beta aniso");
  EXPECT_EQ(supportSentence(1), "");

  CrystalDocument doc;
  ProgramSettings s;
  s.convMode = 2;
  s.removeMultipleOccupancies = true;
  ExportDialogModel plain(doc, s, 2);
  EXPECT_EQ(plain.crystalChoice, 0);
  EXPECT_TRUE(plain.removeMultipleOccupancies);
  doc.sites[1].resize(1);
  ExportDialogModel transformed(doc, s, 2);
  EXPECT_EQ(transformed.crystalChoice, 1);
  transformed.convMode = 3;
  transformed.isoPref = 1;
  transformed.apply(s);
  EXPECT_EQ(s.convMode, 3);
  EXPECT_EQ(s.isoPref, 1);
}

/// An open document with one site, ready to export.
CrystalDocument small(const char* symbol) {
  CrystalDocument doc = test::p1Document("small", {5, 5, 5, kRightAngle, kRightAngle, kRightAngle});
  doc.crystals[0].hmSymbol = symbol;
  Site s = test::siteAt("C1", 0, 0, 0, 6);
  s.ortepType = 7;  // root-mean-square amplitude: kept forms write it as U
  s.isoValue = 0.1f;
  doc.sites[0] = {s};
  ScriptedUserInterface quiet;
  ClassifyTemperatureFactors(doc, quiet);
  return doc;
}

TEST(RunExport, ChecksQuestionsNotesAndFailures) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = small("shelx");
  // The New crystal has no sites.
  EXPECT_FALSE(s.exportTo("free-form", dir.path() / "a.inp", 1));
  EXPECT_TRUE(s.ui.saw("No atoms in New cell - must Transform"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.inp"));

  // A placeholder symbol: Cancel ends the export, No writes as is.
  const std::string question =
      "The H-M space-group symbol is 'shelx' - do you want to try to derive a valid symbol from the xyz operators?";
  s.ui.events.clear();
  s.ui.answers = {Answer::Cancel};
  EXPECT_FALSE(s.exportTo("free-form", dir.path() / "a.inp"));
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{question});
  s.ui.files.clear();
  s.ui.answers = {Answer::No};
  ASSERT_TRUE(s.exportTo("free-form", dir.path() / "a.inp"));
  EXPECT_EQ(test::readFile(dir.path() / "a.inp"),
            "TITL small\nCELL 5.000000 5.000000 5.000000 90.000000 90.000000 90.000000 \nSPGP shelx\n"
            "SYMM  X,Y,Z  \nLATT P 1\nFIELDS LAB TYP COO TFU\nC1 6   0.000000 0.000000 0.000000\n"
            "0.010000 0.0 0.0 0.0 0.0 0.0\n");
  EXPECT_TRUE(s.ui.messages().empty());  // no refinement note for free-form

  // The refinement note comes with SHELX; a file that cannot be written is reported and
  // nothing is left behind.
  s.ui.events.clear();
  s.ui.answers = {Answer::No, Answer::No};
  EXPECT_FALSE(s.exportTo("shelx", dir.path() / "missing" / "b.ins"));
  EXPECT_EQ(s.ui.messages(),
            (std::vector<std::string>{"Note you are exporting to a refinement program format.  Generally, Tessera "
                                      "writes only symmetry, unit-cell and atomic-coordinate information.  Files, and "
                                      "even lines written by Tessera, may need editing.",
                                      "File open failed: " + (dir.path() / "missing" / "b.ins").string()}));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

  // "CCDC FDAT" writes nothing and says so.
  s.ui.events.clear();
  EXPECT_FALSE(RunExport(s.session, *exportCommandByCliName("ccdc-fdat")));
  EXPECT_EQ(s.ui.messages(),
            std::vector<std::string>{"CCDC FDAT files are read only: Tessera has no writer for this layout"});
}

}  // namespace
}  // namespace tessera
