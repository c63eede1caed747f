#pragma once
// What the format tests share: importing text through a scratch file with a data-set
// choice, writing a document and reading the file back, and imports that must fail.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/import_dialogs.h"
#include "support/test_session.h"

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

}  // namespace tessera::test
