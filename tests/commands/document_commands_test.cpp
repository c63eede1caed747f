// Opening, saving, New and Transformed to Input, and the start-up command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "commands/command_line.h"
#include "commands/document_commands.h"
#include "commands/title_axes.h"
#include "core/native_file.h"
#include "support/test_session.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

struct Fixture : test::TestSession {
  CrystalDocument& doc = document;
  test::ScratchDir dir;

  /// A copy of the example under a new name in the scratch folder.
  std::string copy(const std::string& name) {
    fs::copy_file(test::exampleDocument(), dir.path() / name);
    return dir.file(name);
  }
};

TEST(OpenDocumentFile, NativePathsInAnyCaseOpenOthersAreLeftToTheUi) {
  Fixture f;
  const std::string upper = f.copy("CORUNDUM.TSR");
  EXPECT_EQ(openDocumentFile(f.session, upper), OpenResult::Opened);
  EXPECT_TRUE(f.doc.isOpen);
  EXPECT_FALSE(f.doc.modified);
  EXPECT_EQ(f.doc.documentPath, upper);
  EXPECT_EQ(f.doc.fileTitle, "CORUNDUM.TSR");
  EXPECT_EQ(f.settings.documentDirectory, f.dir.path().string());
  EXPECT_EQ(f.doc.siteCount(), 2);

  test::writeFile(f.dir.path() / "corundum.out", "report\n");
  f.doc.modified = true;
  EXPECT_EQ(openDocumentFile(f.session, f.dir.file("corundum.out")), OpenResult::OpenAsText);
  EXPECT_TRUE(f.ui.events.empty());  // no save prompt: the document stays as it is
  EXPECT_TRUE(f.doc.isOpen);

  test::writeFile(f.dir.path() / "bad.tsr", "not a document\n");
  f.doc.modified = false;
  EXPECT_EQ(openDocumentFile(f.session, f.dir.file("bad.tsr")), OpenResult::Failed);
  EXPECT_FALSE(f.doc.isOpen);
  EXPECT_EQ(f.ui.messages(), std::vector<std::string>{"Not a valid TESSERA file"});
}

TEST(OpenDocumentFile, SavePromptBeforeASecondDocument) {
  Fixture f;
  const std::string first = f.copy("first.tsr");
  const std::string second = f.copy("second.tsr");
  ASSERT_EQ(openDocumentFile(f.session, first), OpenResult::Opened);
  f.doc.title = "edited";
  f.doc.modified = true;

  f.ui.answers = {Answer::Cancel};
  EXPECT_EQ(openDocumentFile(f.session, second), OpenResult::Cancelled);
  EXPECT_EQ(f.ui.questions(), std::vector<std::string>{"Save changes to " + first + " ?"});
  EXPECT_EQ(f.doc.title, "edited");

  f.ui.answers = {Answer::No};
  EXPECT_EQ(openDocumentFile(f.session, second), OpenResult::Opened);
  EXPECT_EQ(f.doc.documentPath, second);
  EXPECT_NE(test::readFile(first).find("Corundum"), std::string::npos);  // not saved

  f.doc.title = "saved title";
  f.doc.modified = true;
  f.ui.answers = {Answer::Yes};
  EXPECT_EQ(openDocumentFile(f.session, first), OpenResult::Opened);
  EXPECT_EQ(test::readFile(second).substr(0, 20), "TESSERA\nsaved title\n");
  EXPECT_EQ(f.doc.documentPath, first);
}

TEST(DocumentCommands, AFailedSaveKeepsTheDocumentOpenAndModified) {
  Fixture f;
  f.ui.dialogs.push_back([](DialogModel&) { return true; });
  ASSERT_TRUE(newCommand(f.session));
  EXPECT_EQ(f.doc.documentPath, "untitled.tsr");

  // Closing an untitled document with Yes goes through Save As; cancelling it keeps the document.
  f.ui.answers = {Answer::Yes};
  EXPECT_FALSE(closeDocumentCommand(f.session));
  EXPECT_EQ(f.ui.lastFileRequest.defaultName, "untitled.tsr");
  EXPECT_EQ(f.ui.lastFileRequest.filter, "Data files (*.tsr)|*.tsr|All Files (*.*)|*.*||");
  EXPECT_TRUE(f.doc.isOpen && f.doc.modified);

  f.ui.files = {f.dir.file("missing/folder/x.tsr")};
  EXPECT_FALSE(saveAsCommand(f.session));
  EXPECT_TRUE(f.doc.modified);
  EXPECT_EQ(f.doc.documentPath, "untitled.tsr");
  EXPECT_FALSE(f.ui.messages().empty());

  f.ui.files = {f.dir.file("made.tsr")};
  EXPECT_TRUE(saveCommand(f.session));
  EXPECT_FALSE(f.doc.modified);
  EXPECT_EQ(f.doc.documentPath, f.dir.file("made.tsr"));
  EXPECT_TRUE(closeDocumentCommand(f.session));  // unmodified: no prompt
  EXPECT_FALSE(f.doc.isOpen);
  EXPECT_EQ(openDocumentFile(f.session, f.dir.file("made.tsr")), OpenResult::Opened);
}

TEST(DocumentCommands, NewRunsTitleAxesAndCopiesTheOldCrystal) {
  Fixture f;
  ASSERT_EQ(openDocumentFile(f.session, f.copy("c.tsr")), OpenResult::Opened);
  f.ui.dialogs.push_back([](DialogModel&) { return false; });
  EXPECT_FALSE(newCommand(f.session));
  EXPECT_FALSE(f.doc.isOpen);

  f.ui.dialogs.push_back([](DialogModel& d) {
    auto& m = dynamic_cast<TitleAxesModel&>(d);
    EXPECT_EQ(m.axesChoice, 0);
    m.title = "Cubic test";
    m.axesChoice = 8;
    m.cell[0] = 4.0f;
    return true;
  });
  // Cancel in the first site dialog leaves a document without sites.
  f.ui.dialogs.push_back([](DialogModel& d) {
    EXPECT_EQ(d.dialogKind(), "Site");
    return false;
  });
  ASSERT_TRUE(newCommand(f.session));
  const CrystalRecord& old = f.doc.crystals[0];
  EXPECT_TRUE(f.doc.isOpen && f.doc.modified);
  EXPECT_EQ(f.doc.siteCount() + f.doc.newSiteCount(), 0);
  EXPECT_EQ(f.doc.title, "Cubic test");
  EXPECT_EQ(old.axesType, 7);
  EXPECT_EQ(old.symmetrySource, 0);
  EXPECT_EQ(old.hallSymbol, "");  // nothing left from corundum
  EXPECT_EQ(old.xyzLines, std::vector<std::string>{"X,Y,Z;"});
  EXPECT_EQ(f.doc.importFormat, -1);
  // The operators are rebuilt from the one line, and the New crystal equals the Old one
  // field by field (compared through the file text of each).
  EXPECT_EQ(old.opCount, 1);
  EXPECT_EQ(old.matricesValid, 1);
  EXPECT_EQ(f.doc.crystals[1].opCount, 1);
  CrystalDocument a, b;
  a.crystals[0] = old;
  b.crystals[0] = f.doc.crystals[1];
  EXPECT_EQ(documentFileText(a), documentFileText(b));
}

TEST(TransformedToInput, QuestionsAndTheCopy) {
  Fixture f;
  const std::string path = f.copy("t.tsr");
  ASSERT_EQ(openDocumentFile(f.session, path), OpenResult::Opened);
  EXPECT_FALSE(transformedToInputCommand(f.session));
  EXPECT_EQ(f.ui.messages(), std::vector<std::string>{"There are no Transformed (New) atoms"});

  f.doc.sites[0].resize(4);
  f.doc.sites[1].resize(12);
  f.doc.sites[1][11].label = "N12";
  f.doc.crystals[1].hmSymbol = "P 1 21/c 1";
  f.doc.crystals[1].cell = {5, 6, 7, 1.5f, 1.6f, 1.5f};
  const std::string convert =
      "Do you want to convert the New (transformed) atoms and parameters to Input (or Old, original)?";
  const std::string saveFirst = "Do you want to save the file " + path + " and create a file with a new name?";
  f.ui = ScriptedUserInterface();
  f.ui.answers = {Answer::Cancel};
  EXPECT_FALSE(transformedToInputCommand(f.session));
  EXPECT_EQ(f.ui.questions(), std::vector<std::string>{convert});
  f.ui = ScriptedUserInterface();
  f.ui.answers = {Answer::Ok, Answer::Cancel};
  EXPECT_FALSE(transformedToInputCommand(f.session));
  EXPECT_EQ(f.ui.questions(), (std::vector<std::string>{convert, saveFirst}));
  EXPECT_EQ(f.doc.siteCount(), 4);

  f.doc.modified = false;
  f.ui.answers = {Answer::Ok, Answer::No};
  EXPECT_TRUE(transformedToInputCommand(f.session));
  EXPECT_EQ(f.doc.siteCount(), 12);
  EXPECT_EQ(f.doc.sites[0][11].label, "N12");
  EXPECT_EQ(f.doc.crystals[0].hmSymbol, "P 1 21/c 1");
  EXPECT_EQ(f.doc.newSiteCount(), 12);  // the New crystal stays as it was
  EXPECT_EQ(f.doc.crystals[1].cell, (std::array<float, 6>{5, 6, 7, 1.5f, 1.6f, 1.5f}));
  EXPECT_TRUE(f.doc.modified);
  EXPECT_EQ(f.doc.documentPath, path);

  // Yes saves under the current path first, then the document becomes untitled.
  f.doc.title = "before the copy";
  f.ui.answers = {Answer::Ok, Answer::Yes};
  EXPECT_TRUE(transformedToInputCommand(f.session));
  EXPECT_EQ(test::readFile(path).substr(0, 24), "TESSERA\nbefore the copy\n");
  EXPECT_EQ(f.doc.documentPath, "untitled.tsr");
  EXPECT_EQ(f.doc.fileTitle, "untitled.tsr");
}

TEST(OpenCommand, PromptFileDialogAndTextFiles) {
  Fixture f;
  const std::string path = f.copy("o.tsr");
  f.settings.documentDirectory = f.dir.path().string();
  EXPECT_EQ(openCommand(f.session).result, OpenResult::Cancelled);
  EXPECT_EQ(f.ui.lastFileRequest.defaultName, "*.tsr");
  EXPECT_EQ(f.ui.lastFileRequest.directory, f.dir.path().string());

  f.ui.files = {path};
  EXPECT_EQ(openCommand(f.session).result, OpenResult::Opened);
  f.doc.modified = true;
  f.ui = ScriptedUserInterface();
  f.ui.answers = {Answer::No};
  f.ui.files = {path};
  EXPECT_EQ(openCommand(f.session).result, OpenResult::Opened);
  EXPECT_EQ(f.ui.questions().size(), 1u);  // asked once, not again when the file opens

  f.ui.files = {f.dir.file("list.out")};
  const OpenOutcome text = openCommand(f.session);
  EXPECT_EQ(text.result, OpenResult::OpenAsText);
  EXPECT_EQ(text.path, f.dir.file("list.out"));
  EXPECT_TRUE(f.doc.isOpen);
}

TEST(CommandLine, WhichLinesNameADocument) {
  // "/export/..." is a path, not the "/e" switch.
  for (const char* line : {"/data/quartz.tsr", "QUARTZ.TSR", "My Structures/low quartz.Tsr", "/export/home/e.tsr"})
    EXPECT_EQ(documentFromCommandLine(line), line);
  for (const char* line : {"", "   ", "quartz.cif", "quartz", "/e", "-E quartz.tsr", "/Embedding", "-e"})
    EXPECT_FALSE(documentFromCommandLine(line)) << line;
}

TEST(CommandLine, HomeOptionAndTheRestAsOnePath) {
  auto a = parseStartupArguments({"--home", "/opt/t", "my", "file.tsr"});
  EXPECT_EQ(a.home, "/opt/t");
  EXPECT_EQ(a.commandLine, "my file.tsr");
  EXPECT_TRUE(a.error.empty());
  a = parseStartupArguments({});
  EXPECT_FALSE(a.home);
  EXPECT_EQ(a.commandLine, "");
  EXPECT_FALSE(parseStartupArguments({"--home"}).error.empty());
}

TEST(CommandLine, NonNativeLinesOpenNothingSilently) {
  test::TestSession s;
  for (const char* line : {"structure.cif", "/E", ""}) EXPECT_FALSE(openFromCommandLine(s.session, line)) << line;
  EXPECT_FALSE(s.document.isOpen);
  EXPECT_TRUE(s.ui.events.empty());
  EXPECT_FALSE(openFromCommandLine(s.session, "/nonexistent/x.tsr"));
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"File open failed: /nonexistent/x.tsr"});
}

}  // namespace
}  // namespace tessera
