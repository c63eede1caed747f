#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

TEST(CliConvert, EveryRietveldKindByNameAndExtension) {
  // The FULLPROF block alone lacks the lines before it; the other four read back as written.
  test::ScratchDir dir;
  const std::string res = test::fixture("formats/shelx/disorder.res").string();
  for (const char* ext : {".exp", ".xyz", ".dbw", ".lhp", ".pcr"}) {
    SCOPED_TRACE(ext);
    const std::string file = dir.file(std::string("x") + ext);
    test::CliRun r = test::runCli({"convert", res, file});
    ASSERT_EQ(r.code, 0) << r.err;
    if (std::string(ext) == ".pcr") continue;
    r = test::runCli({"convert", file, dir.file("back.tsr")});
    EXPECT_EQ(r.code, 0) << r.err;
  }
  for (const char* kind : {"fullprof", "rietan", "gsas", "dbws", "lhpm"}) {
    const test::CliRun r = test::runCli({"convert", res, dir.file("named.out"), "--to", kind});
    EXPECT_EQ(r.code, 0) << kind << r.err;
  }
  const test::CliRun r = test::runCli({"convert", dir.file("x.exp"), dir.file("y.tsr"), "--from", "gsas"});
  EXPECT_EQ(r.code, 0) << r.err;
}

}  // namespace
}  // namespace tessera
