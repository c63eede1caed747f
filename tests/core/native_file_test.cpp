#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "support/builders.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::readFile;
using test::ScratchDir;
using test::writeFile;

/// An anisotropic silicon site with its occupant.
Site makeSite(const std::string& label, float x, float y, float z) {
  Site s = test::siteAt(label, x, y, z, 14);
  s.ortepType = 8;
  s.aniso = {0.01f, 0.02f, 0.03f, 0.001f, -0.002f, 0.003f};
  s.occupants[0].element = "Si";
  return s;
}

CrystalDocument sampleDocument() {
  CrystalDocument doc;
  setNewDocumentDefaults(doc);
  doc.title = std::string(80, 'T');  // a full-length title keeps its last character
  CrystalRecord& c = doc.crystals[0];
  c.cell = {4.9134f, 4.9134f, 5.4052f, kRightAngle, kRightAngle, kAngle120};
  c.axesType = 4;  // trigonal on hexagonal axes: the stored choice is kept
  c.hmSymbol = "P_32_2_1";
  c.hallSymbol = "";  // an empty text record must read back
  c.xyzLines = {"X,Y,Z;", "-Y,X-Y,2/3+Z;", ""};
  c.symmetrySource = 1;
  doc.crystals[1] = c;
  doc.crystals[1].cartesianFlag = 1;
  doc.cartesianText = "free text line";
  Site si = makeSite("Si1", 0.4697f, 0.0f, 0.0f);
  si.wyckoff = "3a";
  si.hasVector = 1;
  si.vector = {0.5f, 0.25f, 1.0f};
  si.vectorLength = 1.5f;
  doc.sites[0].push_back(si);
  Site o = makeSite("O1_with_a_long_label_of_32_chars", 0.4135f, 0.2669f, 0.1191f);
  SiteOccupant second = SiteOccupant::makeDefault("Fe 2", 1, 26);  // a blank in a label
  second.occupancy = 0.25f;
  second.charge = 2.0f;
  second.element = "";
  o.occupants.push_back(second);
  doc.sites[0].push_back(o);
  doc.transformation.resetToIdentity();
  doc.transformation.matrix[0][1] = 0.333333f;
  doc.transformation.postMatrixShift = {0.5f, 0.0f, -0.25f};
  return doc;
}

TEST(NativeFile, WriteReadWriteGivesIdenticalBytesAndKeepsEveryField) {
  ScratchDir dir;
  ScriptedUserInterface ui;
  const CrystalDocument doc = sampleDocument();
  ASSERT_TRUE(writeDocumentFile(doc, dir.file("a.tsr"), ui));
  CrystalDocument back;
  ASSERT_TRUE(readDocumentFile(back, dir.file("a.tsr"), ui));
  EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
  ASSERT_TRUE(writeDocumentFile(back, dir.file("b.tsr"), ui));
  // The same bytes again prove every written field read back; these are what the file changes.
  EXPECT_EQ(readFile(dir.file("a.tsr")), readFile(dir.file("b.tsr")));
  EXPECT_EQ(back.title, doc.title);
  ASSERT_EQ(back.siteCount(), 2);
  ASSERT_EQ(back.sites[0][1].occupantCount(), 2);
  EXPECT_EQ(back.sites[0][1].occupants[1].label, "Fe_2");
  EXPECT_EQ(back.sites[0][1].occupants[1].element, "*");
  EXPECT_EQ(back.newSiteCount(), 0);
  EXPECT_EQ(back.crystals[1].cell[0], 0.0f);
}

TEST(NativeFile, NewDocumentRecordsAreWrittenExactly) {
  CrystalDocument doc;
  setNewDocumentDefaults(doc);
  const std::string text = documentFileText(doc);
  EXPECT_EQ(text.rfind("TESSERA\n\nVERS 0.900000 \nCELL 1.000000 1.000000 1.000000 1.570796 1.570796 1.570796 \n", 0),
            0u);
  EXPECT_NE(text.find("\nXMAT 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n"),
            std::string::npos);
  EXPECT_NE(text.find("\nFLG1 0 1 0 0 -1 2\nFLT1 0.400000 \nSYMA0 1 0 8 1 0 1 0 0 \n"), std::string::npos);
  EXPECT_NE(text.find("\nSSTR0 C1 1 * P\nINTN0 P1\nHALL0 \nXYZL0 X,Y,Z;\nTRAN0 1 1 1\n"), std::string::npos);
  EXPECT_NE(text.find("\nSPCD 0 5 1\n"), std::string::npos);
}

TEST(NativeFile, SiteRecordsUseTheirFormats) {
  CrystalDocument doc;
  Site s = makeSite("", 0.5f, 0.25f, 0.125f);
  s.occupants[0].occupancy = 0.0f;
  doc.sites[0].push_back(s);
  const std::string text = documentFileText(doc);
  EXPECT_NE(text.find("ATOM * 14 1 8 * 0\n     0.500000 0.250000 0.125000 0.000000 0.000000\n"
                      "     0.010000 0.020000 0.030000 0.001000 -0.002000 0.003000\n"
                      "     0.000000 0.000000 0.000000 \n"
                      "     SUBA * 0 0 -0.000000 0.000000 Si 14\n"),  // a zero the reader keeps
            std::string::npos);
}

std::string validHeader() { return "TESSERA\n  Title with blanks  \nVERS 0.900000 \n"; }

struct ReadOutcome {
  bool ok;
  std::vector<std::string> messages;
  CrystalDocument doc;
};

ReadOutcome readText(const std::string& text) {
  ScratchDir dir;
  writeFile(dir.path() / "x.tsr", text);
  ScriptedUserInterface ui;
  ReadOutcome r{false, {}, {}};
  r.doc.title = "unchanged";
  r.ok = readDocumentFile(r.doc, dir.file("x.tsr"), ui);
  r.messages = ui.messages();
  return r;
}

TEST(NativeFile, ReaderWarningsAndEdgeCases) {
  // Two ATOM groups against a declared five; XYZL counts differing per crystal.
  std::string atom = "ATOM Na1 11 1 -1 * 0\n     0 0 0 0 0\n     0 0 0 0 0 0\n     0 0 0\n     SUBA Na1 0 0 0.000 0 Na 11\n";
  ReadOutcome r = readText(validHeader() + "FLG1 5 1 0 0 3 2\nSYMA0 2\nXYZL0 x, y,  z;\nSYMA1 0\nXYZL1 X,Y,Z;\n" + atom +
                           atom + "\nsomething else\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.messages, (std::vector<std::string>{"Discrepancy in number of input atoms",
                                                  "Discrepancy in number of symmetry operators - old crystal",
                                                  "Discrepancy in number of symmetry operators - new crystal"}));
  EXPECT_EQ(r.doc.title, "Title with blanks");
  EXPECT_EQ(r.doc.siteCount(), 2);
  EXPECT_EQ(r.doc.crystals[0].xyzLines, std::vector<std::string>{"x,y,z;"});
  EXPECT_FLOAT_EQ(r.doc.sites[0][0].occupants[0].occupancy, 1.0f);  // zero occupancy reads as 1
  EXPECT_EQ(r.doc.importFormat, 3);

  // End of file inside an ATOM group: the unfinished site is not counted.
  r = readText(validHeader() + "FLG1 1\nATOM Na1 11 1 -1 * 0\n     0 0 0 0 0\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.doc.siteCount(), 0);
  EXPECT_EQ(r.messages, std::vector<std::string>{"Discrepancy in number of input atoms"});

  // A blank second line gives an empty title; axes type 0 is derived from the cell.
  r = readText("TESSERA\n\nVERS 0.9\nCELL 5 5 5 1.5707963 1.5707963 1.5707963\nSYMA0 0 0 0\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.doc.title, "");
  EXPECT_EQ(r.doc.crystals[0].axesType, 7);
  EXPECT_EQ(r.doc.transformation.mode, 2);
  EXPECT_EQ(r.doc.importFormat, -1);

  // CRLF line ends and an empty Hall/INTN text are accepted.
  r = readText("TESSERA\r\nt\r\nVERS 0.9\r\nHALL0 \r\nINTN0\r\n");
  EXPECT_TRUE(r.ok);
}

TEST(NativeFile, ReaderRefusesBadInputWithItsMessageAndKeepsTheDocument) {
  const std::string atomHead = "ATOM Na1 11 1 -1 * 0\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "Not a valid TESSERA file"},
      {"NOTTESSERA\nx\nVERS 1\n", "Not a valid TESSERA file"},
      {"TESSERA\ntitle\nCELL 1 2 3 4 5 6\n", "Not a valid TESSERA file"},
      {validHeader() + "CELL\n", "File read error: CELL"},
      {validHeader() + "CELL abc 1 2\n", "File read error: CELL abc 1 2"},
      {validHeader() + "CELL nan 1 2 3 4 5\n", "File read error: CELL nan 1 2 3 4 5"},
      {validHeader() + "FLG1\n", "File read error: FLG1"},
      {validHeader() + atomHead + "     1\n", "File read error:      1"},
      {validHeader() + atomHead + "     0 0 0 0 0\n     0 0 0 0 0 0\n     0 0 0\n     SUBA\n",
       "File read error:      SUBA"},
      {validHeader() + "ATOM Na1 11 11 -1 * 0\n", "File read error: ATOM Na1 11 11 -1 * "},
      {validHeader() + "ATOM\n", "File read error: ATOM"},
      {validHeader() + "CELL " + std::string(300, '1') + "\n", "File read error: CELL 111111111111111"},
      {"\x7f\x45LF\x01\x02\x00\xff\xfe", "Not a valid TESSERA file"},
      {"TESSERA\n\x01\x02\nVERS\x00\xff garbage\n", "File read error: VERS"},
  };
  for (const auto& [text, message] : cases) {
    const ReadOutcome r = readText(text);
    EXPECT_FALSE(r.ok) << message;
    ASSERT_FALSE(r.messages.empty()) << message;
    EXPECT_EQ(r.messages.back(), message);
    EXPECT_EQ(r.doc.title, "unchanged");
    EXPECT_EQ(r.doc.siteCount(), 0);
  }
  std::string many = validHeader();
  for (int i = 0; i < 193; ++i) many += "XYZL0 X,Y,Z;\n";
  const ReadOutcome r = readText(many);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.messages.back(), "File read error: XYZL0 X,Y,Z;");

  ScriptedUserInterface ui;
  CrystalDocument doc;
  EXPECT_FALSE(readDocumentFile(doc, "/nonexistent/folder/file.tsr", ui));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"File open failed: /nonexistent/folder/file.tsr"});
}

// What the program saves it opens again: a zero first occupancy, control characters in
// texts and values near the record limits. What it could not open again is not saved.
TEST(NativeFile, EverythingSavedOpensAgainTheSame) {
  ScratchDir dir;
  ScriptedUserInterface ui;
  CrystalDocument doc = sampleDocument();
  doc.sites[0][0].occupants[0].occupancy = 0.0f;
  doc.sites[0][1].label = std::string("Na\0\x01x", 5);
  doc.sites[0][1].occupants[0].label = doc.sites[0][1].label;
  doc.sites[0][1].occupants[0].element = std::string("\0", 1);
  doc.title = "A\ttitle\x07";
  doc.crystals[0].hmSymbol = std::string("P\0 1", 4);
  doc.sites[0][1].aniso = {1e30f, -1e30f, 1e30f, -1e30f, 1e30f, -1e30f};
  ASSERT_TRUE(writeDocumentFile(doc, dir.file("a.tsr"), ui));
  const std::string saved = readFile(dir.path() / "a.tsr");
  EXPECT_NE(saved.find("     SUBA Si1 0 0 -0.000000 "), std::string::npos);
  EXPECT_NE(saved.find("ATOM Na__x "), std::string::npos);
  CrystalDocument back;
  ASSERT_TRUE(readDocumentFile(back, dir.file("a.tsr"), ui));
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(back.sites[0][0].occupants[0].occupancy, 0.0f);
  EXPECT_FALSE(std::signbit(back.sites[0][0].occupants[0].occupancy));
  EXPECT_EQ(back.sites[0][1].label, "Na__x");
  EXPECT_EQ(back.sites[0][1].occupants[0].element, "_");
  EXPECT_EQ(back.crystals[0].hmSymbol, "P  1");
  EXPECT_EQ(back.sites[0][1].aniso[1], -1e30f);
  EXPECT_EQ(documentFileText(back), saved);

  // A file holding control characters opens with them replaced, and says so.
  const ReadOutcome r = readText(validHeader() + "FLG1 1\nATOM N\x01" "a 11 1 -1 * 0\n     0 0 0 0 0\n     0 0 0 0 0 0\n"
                                 "     0 0 0\n     SUBA N\x02" "a 0 0 0 0 Na 11\nINTN0 P\x1b" "1\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.messages, std::vector<std::string>{"Control characters in labels, titles or symbols were replaced"});
  EXPECT_EQ(r.doc.sites[0][0].label, "N_a");
  EXPECT_EQ(r.doc.crystals[0].hmSymbol, "P 1");

  // Values the reader would refuse are not written; the old file stays.
  for (float bad : {3.4e38f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
    SCOPED_TRACE(bad);
    ScriptedUserInterface refused;
    CrystalDocument big = sampleDocument();
    if (std::isfinite(bad)) big.sites[0][1].aniso.fill(bad);  // six 46-character values pass 254
    else big.sites[0][1].x = bad;
    EXPECT_FALSE(writeDocumentFile(big, dir.file("a.tsr"), refused));
    ASSERT_EQ(refused.messages().size(), 1u);
    EXPECT_EQ(refused.messages()[0].rfind("File not saved: a value is too large or not a number", 0), 0u);
    EXPECT_EQ(readFile(dir.path() / "a.tsr"), saved);
  }
}

// nativeFileValue is what a save and reopen gives, bit for bit, and a document rounded
// by keepAsNativeFileHolds saves the same text and reopens equal.
TEST(NativeFile, KeptValuesAreWhatTheFileGivesBack) {
  std::vector<float> values = {0.0f, -0.0f, 1e-7f, -4.9e-7f, 5e-7f, 0.0078125f, 0.123456789f, 1.5707963f,
                               -150535.33f, 8.0000005f, 16.000002f, 123456.789f, 9.1e9f, -2.5e20f, 1e30f};
  std::mt19937 rng(16);
  while (values.size() < 30000) {
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
    if (std::isfinite(f) && std::fabs(f) <= 1e30f) values.push_back(f);
    values.push_back(static_cast<float>(rng() % 20000001) / 1e7f - 1.0f);
  }
  CrystalDocument doc = sampleDocument();
  doc.sites[0].clear();
  for (std::size_t i = 0; i + 2 < values.size(); i += 3)
    doc.sites[0].push_back(makeSite("S", values[i], values[i + 1], values[i + 2]));
  ScratchDir dir;
  ScriptedUserInterface ui;
  ASSERT_TRUE(writeDocumentFile(doc, dir.file("v.tsr"), ui));
  CrystalDocument back;
  ASSERT_TRUE(readDocumentFile(back, dir.file("v.tsr"), ui));
  ASSERT_EQ(back.sites[0].size(), doc.sites[0].size());
  const auto bitsOf = [](float f) { return std::bit_cast<std::uint32_t>(f); };
  for (std::size_t i = 0; i < back.sites[0].size(); ++i) {
    const Site& a = doc.sites[0][i];
    const Site& b = back.sites[0][i];
    for (auto [v, r] : {std::pair(a.x, b.x), std::pair(a.y, b.y), std::pair(a.z, b.z)}) {
      ASSERT_EQ(bitsOf(nativeFileValue(v)), bitsOf(r)) << v;
      ASSERT_EQ(bitsOf(nativeFileValue(r)), bitsOf(r)) << v;
    }
  }
  CrystalDocument kept = doc;
  keepAsNativeFileHolds(kept);
  EXPECT_EQ(documentFileText(kept), documentFileText(doc));
  EXPECT_EQ(kept.sites[0][5].x, back.sites[0][5].x);
}

TEST(NativeFile, FailedWriteReportsAndKeepsTheOldFile) {
  ScratchDir dir;
  ScriptedUserInterface ui;
  CrystalDocument doc = sampleDocument();
  EXPECT_FALSE(writeDocumentFile(doc, dir.file("missing/folder/x.tsr"), ui));
  EXPECT_EQ(ui.messages().back(), "File open for write failed");
  std::filesystem::create_directory(dir.path() / "taken.tsr");
  EXPECT_FALSE(writeDocumentFile(doc, dir.file("taken.tsr"), ui));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.tsr"));

  writeFile(dir.path() / "keep.tsr", "old contents");
  ASSERT_TRUE(writeDocumentFile(doc, dir.file("keep.tsr"), ui));
  EXPECT_NE(readFile(dir.path() / "keep.tsr"), "old contents");
  // No temporary file is left behind.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace tessera
