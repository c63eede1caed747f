#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/scripted_user_interface.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {
namespace {

SeitzMx parsed(std::string_view text) {
  SeitzMx m;
  EXPECT_EQ(ParseSymXYZ(text, m, STBF), 0) << text;
  return m;
}

bool fails(std::string_view text) {
  SeitzMx m;
  return ParseSymXYZ(text, m, STBF) == -1;
}

std::string xyz(std::string_view text) { return RTMx2XYZ(parsed(text)).value_or("<fail>"); }

TEST(ParseSymXYZ, AcceptedFormsAndTranslations) {
  EXPECT_EQ(parsed("x,y,z"), identitySeitzMx());
  const SeitzMx m = parsed("-x+1/2, y, -z");
  EXPECT_EQ(m.rotation, (std::array<int, 9>{-1, 0, 0, 0, 1, 0, 0, 0, -1}));
  EXPECT_EQ(m.translation, (std::array<int, 3>{6, 0, 0}));
  for (const auto& [text, twelfths] : {std::pair{"x-1/2,y,z", 6}, {"x+1,y,z", 0}, {"x+0.3333,y,z", 4}, {"x+0/0,y,z", 0}})
    EXPECT_EQ(parsed(text).translation[0], twelfths) << text;
  for (const char* same : {"1/2-x,y,z", "-x+1/2,y,z", "-x+0.5,y,z", "-x+.5,y,z", "-x+6/12,y,z", "-x+1:2,y,z",
                           "(-x+1/2, 'y', \"z\")", "-X+1/2;Y;Z", "-x_+_1/2,\ty,z"})
    EXPECT_EQ(xyz(same), "1/2-X,Y,Z") << same;
  EXPECT_EQ(xyz("+x,x-y,-1/3+z"), "X,X-Y,2/3+Z");
  EXPECT_EQ(xyz("-x,y+1/2,-z+1/2"), "-X,1/2+Y,1/2-Z");
  EXPECT_EQ(xyz("x,y,z+1/-2"), "X,Y,1/2+Z");  // a signed denominator
}

TEST(ParseSymXYZ, RejectedFormsReportTheirPosition) {
  for (const char* bad : {"x,y,z;", "x+0.2,y,z", "x+1/0,y,z", "2x,y,z", "x+x,y,z", "x 1/2,y,z", "x,y", "x,y,z,x",
                          "x,y,", ",y,z", "x+,y,z", "x++y,y,z", "x/2,y,z", "1/2,y,z", ""})
    EXPECT_TRUE(fails(bad)) << bad;
  SeitzMx m;
  // "x,y" runs out of rows at the end of the text.
  for (const auto& [text, at] : {std::pair{"x,y+y,z", 4}, {"x,y", 3}, {"x,y,z;", 5}}) {
    int pos = -1;
    EXPECT_EQ(ParseSymXYZ(text, m, STBF, &pos), -1);
    EXPECT_EQ(pos, at) << text;
  }
  // A zero byte ends the text like the end of the view.
  EXPECT_EQ(ParseSymXYZ(std::string_view("x,y,z\0junk", 10), m, STBF), 0);
}

TEST(ParseSymXYZ, HostileTextsNeverCrash) {
  SeitzMx m;
  for (const char* bad : {"x+1e999,y,z", "x+99999999999999999999999,y,z", "x+1e-400/1e-400,y,z", "((((x,y,z",
                          "x)))),y,z", "x+inf,y,z", "x+nan,y,z", "x+0x10,y,z"})
    ParseSymXYZ(bad, m, STBF);
  EXPECT_EQ(parsed("x+123456789012,y,z").translation[0], 0);  // a whole lattice vector
  std::string longText(100000, ' ');
  longText += "x,y,z";
  EXPECT_EQ(ParseSymXYZ(longText, m, STBF), 0);
  int pos = -1;
  EXPECT_EQ(ParseSymXYZ(std::string(100000, '1'), m, STBF, &pos), -1);
  EXPECT_TRUE(pos >= 0 && pos <= 100000);  // random bytes are the fuzz target's
}

TEST(FormatText, FractionsAndOperatorTexts) {
  for (const auto& [numerator, denominator, decimal, text] :
       {std::tuple{0, 12, false, "0"}, {6, 12, false, "1/2"}, {-8, 12, false, "-2/3"}, {3, -12, false, "-1/4"},
        {24, 12, false, "2"}, {6, 12, true, ".5"}, {-6, 12, true, "-.5"}, {4, 12, true, ".333333"},
        {18, 12, true, "1.5"}})
    EXPECT_EQ(FormatFraction(numerator, denominator, decimal), text);

  SeitzMx m = parsed("-x+y,-x,z+1/3");
  EXPECT_EQ(RTMx2XYZ(m), "-X+Y,-X,1/3+Z");
  EXPECT_EQ(RTMx2XYZ(m, 1, 12, false, false, true, ", "), "-x+y, -x, z+1/3");
  EXPECT_EQ(RTMx2XYZ(m, 1, 12, true, false, false), "-X+Y,-X,Z+.333333");
  EXPECT_EQ(RTMx2XYZ(m, 2, 12), "-1/2*X+1/2*Y,-1/2*X,1/3+1/2*Z");
  m.translation = {-6, 18, 0};  // taken modulo the base
  EXPECT_EQ(RTMx2XYZ(m), "1/2-X+Y,1/2-X,Z");
  m.rotation = {123456789, 987654321, -123456789, 123456789, 987654321, -123456789, 1, 2, 3};
  EXPECT_EQ(RTMx2XYZ(m, 7), std::nullopt);  // the text would not fit
}

CrystalRecord crystalWithLines(std::vector<std::string> lines, int acentric) {
  CrystalRecord c;
  c.xyzLines = std::move(lines);
  c.acentric = acentric;
  c.hmSymbol = "P 1";
  return c;
}

TEST(BuildSymmetryMatrices, CompletionFailuresAndLimits) {
  ScriptedUserInterface ui;
  const std::vector<std::string> p21 = {"X,Y,Z;", "-X,1/2+Y,1/2-Z;", "x+1/2,y+1/2,z", "1/2-x,-y,1/2+z"};
  CrystalRecord c = crystalWithLines(p21, 0);
  BuildSymmetryMatrices(c, ui);
  EXPECT_EQ(c.opCount, 4);
  ASSERT_EQ(c.operators.size(), 8u);
  EXPECT_EQ(c.matricesValid, 1);
  EXPECT_FLOAT_EQ(c.operators[5].rotation[1][1], -1.0f);
  EXPECT_FLOAT_EQ(c.operators[5].translation[1], 0.5f);
  EXPECT_FLOAT_EQ(c.operators[4].translation[0], 0.0f);
  EXPECT_FALSE(std::signbit(c.operators[4].translation[0]));
  c.inversionOffOrigin = 1;
  BuildSymmetryMatrices(c, ui);
  EXPECT_EQ(c.operators.size(), 4u);
  EXPECT_TRUE(ui.events.empty());

  c = crystalWithLines({"x,y,z", "x,y,q+", "-x,-y,-z"}, 1);
  BuildSymmetryMatrices(c, ui);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Failed to parse symmetry operator number 2"});
  EXPECT_EQ(c.opCount, 3);
  EXPECT_FLOAT_EQ(c.operators[1].rotation[2][2], 1.0f);  // the identity keeps the slots aligned
  EXPECT_FLOAT_EQ(c.operators[2].rotation[2][2], -1.0f);

  ScriptedUserInterface limits;
  c = crystalWithLines(std::vector<std::string>(97, "x,y,z"), 0);
  c.matricesValid = 0;
  BuildSymmetryMatrices(c, limits);
  EXPECT_EQ(limits.messages(), std::vector<std::string>{"Limit reached for symmetry matrices: 192"});
  EXPECT_EQ(c.matricesValid, 0);
  c = crystalWithLines(std::vector<std::string>(193, "x,y,z"), 1);
  BuildSymmetryMatrices(c, limits);
  EXPECT_EQ(c.opCount, 192);
  EXPECT_EQ(limits.messages().size(), 2u);
}

TEST(DetectCentringAndInversion, OffersCentringThenInversion) {
  ScriptedUserInterface ui;
  CrystalRecord c = crystalWithLines({"x,y,z", "x+1/2,y+1/2,z+1/2"}, 1);
  DetectCentringAndInversion(c, ui, true, true);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"I lattice centering detected - do you want to remove extra operators?"});
  EXPECT_EQ(c.xyzLines, std::vector<std::string>{"x,y,z"});
  EXPECT_EQ(c.latticeName, "I");
  EXPECT_EQ(c.latticeCode, 6);
  EXPECT_EQ(c.hmSymbol, "I 1");

  // F is offered before A, B and C; No moves on to the next type that applies.
  ScriptedUserInterface no;
  no.answers = {Answer::No, Answer::No, Answer::No, Answer::No};
  c = crystalWithLines({"x,y,z", "x,y+1/2,z+1/2", "x+1/2,y,z+1/2", "x+1/2,y+1/2,z"}, 1);
  DetectCentringAndInversion(c, no, false, true);
  EXPECT_EQ(no.questions(), (std::vector<std::string>{
                                "F lattice centering detected - do you want to remove extra operators?",
                                "A lattice centering detected - do you want to remove extra operators?",
                                "B lattice centering detected - do you want to remove extra operators?",
                                "C lattice centering detected - do you want to remove extra operators?"}));
  EXPECT_EQ(c.lineCount(), 4);
}

TEST(DetectCentringAndInversion, InversionPartnersWithQuarterTranslations) {
  // I41/a, origin at the centre: the partners of (-y+3/4,x+1/4,z+1/4) carry the negated
  // translation, which equals the original one only for 0 and 1/2.
  ScriptedUserInterface ui;
  CrystalRecord c = crystalWithLines({"x,y,z", "-x+1/2,-y,z+1/2", "-y+3/4,x+1/4,z+1/4", "y+3/4,-x+3/4,z+3/4",
                                      "-x,-y,-z", "x+1/2,y,-z+1/2", "y+1/4,-x+3/4,-z+3/4", "-y+1/4,x+1/4,-z+1/4"},
                                     1);
  DetectCentringAndInversion(c, ui, true, false);
  EXPECT_TRUE(ui.saw("Inversion center detected - do you want to remove extra operators?"));
  EXPECT_EQ(c.lineCount(), 4);

  // An inversion centre off the origin is not offered.
  ScriptedUserInterface off;
  c = crystalWithLines({"x,y,z", "-x+1/2,-y+1/2,-z+1/2"}, 1);
  DetectCentringAndInversion(c, off, true, true);
  EXPECT_TRUE(off.events.empty());
}

TEST(AppendLines, LimitsAndForeignTranslations) {
  ScriptedUserInterface ui;
  CrystalRecord c;
  using M = std::array<std::array<float, 4>, 3>;
  EXPECT_EQ(AppendOperatorFromMatrix(c, M{{{-1, 0, 0, 0.5f}, {0, 1, 0, 0}, {0, 0, -1, 0.5f}}}, ui), 1);
  EXPECT_EQ(c.xyzLines.back(), "1/2-X,+Y,1/2-Z; ");
  // Translations outside [0, 1) and twelfths other than the old table's are kept.
  EXPECT_EQ(AppendOperatorFromMatrix(c, M{{{-1, 0, 0, 7.0f / 12}, {0, 1, 0, -0.5f}, {0, 0, -1, 1.5f}}}, ui), 1);
  EXPECT_EQ(c.xyzLines.back(), "7/12-X,1/2+Y,1/2-Z; ");
  EXPECT_EQ(AppendOperatorFromMatrix(c, M{{{0, -1, 0, -1.0f / 3}, {1, -1, 0, 0.99999f}, {0, 0, 1, 11.0f / 12}}}, ui), 1);
  EXPECT_EQ(c.xyzLines.back(), "2/3-Y,+X-Y,11/12+Z; ");
  SeitzMx m;
  for (const std::string& line : c.xyzLines) EXPECT_EQ(ParseSymXYZ(line.substr(0, line.find(';')), m, STBF), 0);
  EXPECT_TRUE(ui.events.empty());

  EXPECT_EQ(AppendOperatorFromMatrix(c, M{{{1, 0, 0, 0.2f}, {0, 1, 0, 0}, {0, 0, 1, 0}}}, ui), 0);
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Translation 0.2000 in symmetry operator 4 is not a multiple of 1/12 - operator not added"});
  EXPECT_EQ(c.lineCount(), 3);

  c.xyzLines.assign(192, "x,y,z");
  EXPECT_EQ(AppendSymmetryLine(c, "x,y,z", ui), 0);
  EXPECT_EQ(AppendOperatorFromMatrix(c, M{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}}, ui), 0);
  EXPECT_EQ(ui.messages()[1], "More than 192 symmetry lines");
  EXPECT_EQ(ui.messages()[2], "More than 48 symmetry lines");
  EXPECT_EQ(c.lineCount(), 192);
  c.xyzLines.pop_back();
  EXPECT_EQ(AppendSymmetryLine(c, "-x,-y,-z", ui), 1);
  EXPECT_EQ(c.xyzLines.back(), "-x,-y,-z");
}

}  // namespace
}  // namespace tessera
