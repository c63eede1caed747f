#include <gtest/gtest.h>

#include "formats/format_helpers.h"
#include "support/cli_run.h"

namespace tessera {
namespace {

TEST(FormatsCli, ConvertKnowsEveryKindByNameOrExtension) {
  test::ScratchDir dir;
  const auto in = [](const std::string& name) { return test::fixture("formats/" + name).string(); };
  const struct {
    std::vector<std::string> args;
    const char* output;
    std::string expected;  ///< what the output starts with
    bool anywhere = false;  ///< or holds anywhere
  } runs[] = {
      // .ret means RETRIEVE; every export numbers its data sets from 00001.
      {{in("icsd/rich_original.cry"), dir.file("a.ret"), "--from", "icsd-original"}, "a.ret", " COL  Collection Code 00001"},
      {{dir.file("a.ret"), dir.file("b.cry"), "--to", "icsd-cansnd"}, "b.cry", "ID: 00001"},
      {{dir.file("b.cry"), dir.file("c.cry"), "--from", "icsd-cansnd", "--to", "icsd-original"}, "c.cry", ""},
      {{test::corpusFile("ccdc-fdat/cubane.dat").string(), dir.file("cubane.ins"), "--from", "ccdc-fdat", "--block", "8",
        "--to", "shelx"},
       "cubane.ins", "TITL CUBANE"},
      {{in("ortep/cosines.ort"), dir.file("a.inp"), "--block", "1"}, "a.inp", ""},
      {{in("xtlview/three_sets.xtl"), dir.file("a.inp"), "--block", "1"}, "a.inp", ""},
      {{in("orbis/rutile.str"), dir.file("a.inp"), "--block", "1"}, "a.inp", ""},
      {{in("oscilla/quartz.osl"), dir.file("a.inp"), "--block", "1"}, "a.inp", ""},
      {{dir.file("a.inp"), dir.file("b.out"), "--to", "ortep"}, "b.out", ""},
      {{dir.file("b.out"), dir.file("c.inp"), "--from", "ortep"}, "c.inp", ""},
      {{test::corpusFile("pdb/HEM.pdb").string(), dir.file("hem.cif")}, "hem.cif", "FE", true},
      // Labels past six characters are written whole.
      {{test::fixture("cif/journal_multiblock.cif").string(), dir.file("x.cif"), "--block", "cpx2"}, "x.cif",
       "\n     C101A_2  0.03020  0.01850  0.02090 -0.00410", true}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.args[0]);
    std::vector<std::string> args = {"convert"};
    args.insert(args.end(), run.args.begin(), run.args.end());
    const test::CliRun r = test::runCli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string out = test::readFile(dir.path() / run.output);
    EXPECT_EQ(run.anywhere ? out.find(run.expected) != std::string::npos : out.rfind(run.expected, 0) == 0, true)
        << out;
  }
}

}  // namespace
}  // namespace tessera
