#include "core/data_files.h"

#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "support/test_session.h"

namespace tessera {
namespace {

TEST(DataFiles, HomeFirstThenBesideTheProgramThenTheSharedFolder) {
  test::ScratchDir dir;
  const auto home = dir.path() / "home";
  const auto bin = dir.path() / "prefix" / "bin";
  const auto share = dir.path() / "prefix" / "share" / "tessera";
  for (const auto& p : {home, bin, share}) std::filesystem::create_directories(p);
  test::TestSession t;
  t.session.home = home;
  t.session.programFolder = bin;
  EXPECT_EQ(dataFolders(t.session), (std::vector<std::filesystem::path>{home, bin, share}));

  EXPECT_FALSE(findDataFile(t.session, "HALL.DAT"));
  test::writeFile(share / "HALL.DAT", "x");
  EXPECT_EQ(findDataFile(t.session, "HALL.DAT"), share / "HALL.DAT");
  test::writeFile(bin / "hall.dat", "x");  // another case serves too
  EXPECT_EQ(findDataFile(t.session, "HALL.DAT"), bin / "hall.dat");
  test::writeFile(home / "HALL.DAT", "x");
  EXPECT_EQ(findDataFile(t.session, "HALL.DAT"), home / "HALL.DAT");
  std::filesystem::create_directories(home / "cifdic.sht");  // a folder is no file
  EXPECT_FALSE(findDataFile(t.session, "cifdic.sht"));
}

}  // namespace
}  // namespace tessera
