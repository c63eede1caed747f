#pragma once
// What the format tests share: importing text through a scratch file with a data-set
// choice, writing a document and reading the file back, imports that must fail, and the
// structure read back compared as cell, whole symmetry group, atoms, occupancies and
// displacements.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/scripted_user_interface.h"
#include "core/temperature_factor.h"
#include "formats/import_dialogs.h"
#include "formats/import_finish.h"
#include "support/test_session.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera::test {

/// A real file written by another program under ../shared/corpus/formats.
inline std::filesystem::path corpusFile(const std::string& name) {
  return std::filesystem::path(TESSERA_CORPUS) / "formats" / name;
}

/// Queues the import options (accepted) and the choice of data set `choice` (0 cancels);
/// offered receives the names the chooser listed.
inline void chooseDataSet(TestSession& s, int choice, std::vector<std::string>* offered = nullptr) {
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  s.ui.dialogs.push_back([choice, offered](DialogModel& m) {
    auto* sets = dynamic_cast<DataSetModel*>(&m);
    if (!sets) return true;
    if (offered) *offered = sets->names;
    sets->selection = choice;
    return choice > 0;
  });
}

/// The messages shown, one "message" line each, as golden files keep them after the dump.
inline std::string messageLines(const TestSession& s) {
  std::string out;
  for (const std::string& m : s.ui.messages()) out += "message " + m + "\n";
  return out;
}

/// Text written to a scratch file and imported as a kind; with choice > 0 that data set is
/// chosen when the file holds several.
struct Imported {
  ScratchDir dir;
  TestSession s;
  std::vector<std::string> offered;
  bool ok = false;

  Imported(int kind, const std::string& text, const std::string& name = "t.txt", int choice = 0) {
    writeFile(dir.path() / name, text);
    if (choice > 0) chooseDataSet(s, choice, &offered);
    ok = s.import(kind, dir.path() / name);
  }
  const CrystalRecord& crystal() const { return s.document.crystals[0]; }
  const std::vector<Site>& sites() const { return s.document.sites[0]; }
  const Site& site(std::size_t i) const { return sites().at(i); }
  float occupancy(std::size_t i) const { return site(i).occupants.at(0).occupancy; }
  const std::string& element(std::size_t i) const { return site(i).occupants.at(0).element; }
  std::vector<std::string> messages() const { return s.ui.messages(); }
  bool saw(const std::string& text) const { return s.ui.saw(text); }
};

/// The text an export command writes for doc; prepare may change the writing session first.
template <typename Prepare = void (*)(TestSession&)>
std::string exportText(const CrystalDocument& doc, const char* command, Prepare prepare = [](TestSession&) {}) {
  ScratchDir dir;
  TestSession w;
  w.document = doc;
  w.document.isOpen = true;
  prepare(w);
  EXPECT_TRUE(w.exportTo(command, dir.path() / "written"));
  return readFile(dir.path() / "written");
}

/// Writes doc with an export command and imports the file as kind into back; returns the
/// text written.
template <typename Prepare = void (*)(TestSession&)>
std::string writeAndRead(const CrystalDocument& doc, const char* command, int kind, TestSession& back,
                         Prepare prepare = [](TestSession&) {}) {
  ScratchDir dir;
  std::string text = exportText(doc, command, prepare);
  writeFile(dir.path() / "written", text);
  EXPECT_TRUE(back.import(kind, dir.path() / "written")) << text;
  return text;
}

/// Each text, imported as kind, is refused with that message and opens no document.
inline void expectRefused(int kind, const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    Imported r(kind, text);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.saw(message));
    EXPECT_FALSE(r.s.document.isOpen);
  }
}

/// One import of hand-made text: whether it opens and exactly what it says.
struct ImportCase {
  std::string text;
  bool ok;
  std::vector<std::string> messages;
  int sites = -1;  ///< sites read, -1 when not checked
};

inline void expectImports(int kind, const std::vector<ImportCase>& cases) {
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.text);
    Imported r(kind, c.text);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.messages(), c.messages);
    if (c.sites >= 0) {
      EXPECT_EQ(r.s.document.siteCount(), c.sites);
    }
  }
}

/// Every operation of a crystal's group (operators, inversion, centring) as text in twelfths.
inline std::set<std::string> groupOperations(CrystalRecord c) {
  ScriptedUserInterface ui;
  BuildSymmetryMatrices(c, ui);
  std::set<std::string> out;
  for (int k = 0; k < usableOperatorCount(c); ++k)
    for (float sign : {1.0f, -1.0f}) {
      if (sign < 0 && !appliesInversion(c)) continue;
      for (const Vector3f& l : centringTranslations(c.latticeCode)) {
        const SymmetryOperator& op = c.operators[static_cast<std::size_t>(k)];
        std::string text;
        for (std::size_t r = 0; r < 3; ++r) {
          const long t = std::lround((sign * op.translation[r] + l[r]) * 12.0f);
          text += std::to_string(((t % 12) + 12) % 12);
          for (std::size_t col = 0; col < 3; ++col) text += " " + std::to_string(std::lround(sign * op.rotation[r][col]));
          text += ";";
        }
        out.insert(text);
      }
    }
  return out;
}

/// Tolerances of one format: cell edges (A), angles (radians), coordinates, occupancies, U values.
struct RoundTripPrecision {
  float edge = 1e-5f, angle = 3e-6f, coordinate = 5e-6f, occupancy = 1e-4f, u = 1e-6f;
};

/// The structure read back equals the one written within the format's precision.
inline void expectSameStructure(const CrystalDocument& written, const CrystalDocument& read,
                                const RoundTripPrecision& p) {
  const CrystalRecord& a = written.crystals[0];
  const CrystalRecord& b = read.crystals[0];
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(b.cell[k], a.cell[k], p.edge) << "edge " << k;
  for (std::size_t k = 3; k < 6; ++k) EXPECT_NEAR(b.cell[k], a.cell[k], p.angle) << "angle " << k;
  EXPECT_EQ(groupOperations(b), groupOperations(a));
  EXPECT_EQ(generalMultiplicity(b), generalMultiplicity(a));
  const ReciprocalCell ra = prepareReciprocalCell(a.cell), rb = prepareReciprocalCell(b.cell);
  ASSERT_EQ(read.sites[0].size(), written.sites[0].size());
  for (std::size_t i = 0; i < written.sites[0].size(); ++i) {
    const Site& s = written.sites[0][i];
    const Site& t = read.sites[0][i];
    SCOPED_TRACE(s.label);
    EXPECT_EQ(t.label, s.label);
    EXPECT_EQ(t.typeNumber, s.typeNumber);
    for (float Site::*c : {&Site::x, &Site::y, &Site::z}) EXPECT_NEAR(t.*c, s.*c, p.coordinate);
    ASSERT_EQ(t.occupants.size(), s.occupants.size());
    for (std::size_t k = 0; k < s.occupants.size(); ++k)
      EXPECT_NEAR(t.occupants[k].occupancy, s.occupants[k].occupancy, p.occupancy);
    EXPECT_EQ(t.tfClass, s.tfClass);
    const int form = s.tfClass == 2 ? 8 : 10;
    const TemperatureFactor u = convertTemperatureFactor(s, form, ra), v = convertTemperatureFactor(t, form, rb);
    EXPECT_EQ(v.type, u.type);
    if (form == 10) EXPECT_NEAR(v.iso, u.iso, p.u);
    else
      for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(v.aniso[k], u.aniso[k], p.u) << "U" << k;
  }
}

}  // namespace tessera::test
