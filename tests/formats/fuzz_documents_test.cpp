// Every document the import and native-file fuzz targets, the fixtures and the real
// files bring in must come back the same through the native file: saved, reopened and
// shown identically. The fuzz corpora keep the inputs the fuzzers found, so what they
// found stays checked here.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "formats/import_kinds.h"
#include "support/round_trip.h"
#include "support/test_session.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(TESSERA_FIXTURES) / ".." / "..";

/// Files of one import kind: its fuzz corpus, and fixtures and real files by extension.
std::vector<fs::path> inputsOf(const std::string& corpus, const std::vector<std::string>& extensions) {
  std::vector<fs::path> files;
  std::error_code ec;
  const fs::path fuzzCorpus = kSource / "fuzz" / "corpus" / corpus;
  if (fs::is_directory(fuzzCorpus, ec))
    for (const auto& e : fs::directory_iterator(fuzzCorpus)) files.push_back(e.path());
  for (const fs::path& folder : {fs::path(TESSERA_FIXTURES), kSource / "examples", kSource / ".." / "shared" / "corpus"}) {
    if (!fs::is_directory(folder, ec)) continue;
    for (const auto& e : fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink)) {
      if (!e.is_regular_file()) continue;
      for (const std::string& x : extensions)
        if (e.path().extension() == x) files.push_back(e.path());
    }
  }
  return files;
}

TEST(FuzzDocuments, EveryImportedDocumentIsSavedReopenedAndShownIdentically) {
  const std::vector<std::tuple<int, std::string, std::vector<std::string>>> kinds = {
      {kKindCif, "cif_import", {".cif"}},
      {kKindShelx, "shelx_import", {".res", ".ins"}},
      {kKindFreeForm, "free_form_import", {".inp"}},
      {kKindAmMineral, "am_mineral_import", {".amc"}},
      {kKindCcdcFdat, "ccdc_fdat_import", {".fdt"}},
      {kKindDbws, "dbws_import", {".dbw"}},
      {kKindFullprof, "fullprof_import", {".pcr"}},
      {kKindGsas, "gsas_import", {".exp"}},
      {kKindIcsd, "icsd_import", {".cry", ".ret"}},
      {kKindLhpm, "lhpm_import", {".lhp"}},
      {kKindOrbis, "orbis_import", {".str"}},
      {kKindOrtep, "ortep_import", {".ort"}},
      {kKindOscilla, "oscilla_import", {".osl"}},
      {kKindPdb, "pdb_import", {".pdb", ".ent"}},
      {kKindRietan, "rietan_import", {".xyz"}},
      {kKindXtlview, "xtlview_import", {".xtl"}}};
  test::ScratchDir dir;
  int imported = 0;
  for (const auto& [kind, corpus, extensions] : kinds) {
    for (const fs::path& file : inputsOf(corpus, extensions)) {
      SCOPED_TRACE(file.string());
      test::TestSession s;
      if (!s.import(kind, file)) continue;
      ++imported;
      EXPECT_EQ(test::nativeRoundTripDifference(s.document, dir.path()), "");
    }
  }
  EXPECT_GT(imported, 10);
}

TEST(FuzzDocuments, EveryNativeFileThatOpensIsSavedReopenedAndShownIdentically) {
  test::ScratchDir dir;
  int opened = 0;
  for (const fs::path& file : inputsOf("native_file", {".tsr"})) {
    SCOPED_TRACE(file.string());
    ScriptedUserInterface ui;
    CrystalDocument doc;
    if (!readDocumentFile(doc, file.string(), ui)) continue;
    ++opened;
    EXPECT_EQ(test::nativeRoundTripDifference(doc, dir.path()), "");
  }
  EXPECT_GT(opened, 2);
}

}  // namespace
}  // namespace tessera
