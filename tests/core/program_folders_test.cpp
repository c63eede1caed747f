#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "core/data_files.h"
#include "core/program_folders.h"
#include "support/test_paths.h"
#include "support/test_session.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::writeFile;

/// A prefix laid out as `cmake --install` does: bin/ without data, share/tessera/ with it.
struct InstalledTree {
  ScratchDir dir;
  fs::path bin = dir.path() / "usr" / "bin";
  fs::path share = dir.path() / "usr" / "share" / "tessera";
  fs::path user = dir.path() / "home" / ".local" / "share" / "tessera";
  InstalledTree() {
    fs::create_directories(bin);
    fs::create_directories(share);
    fs::copy_file(fs::path(TESSERA_DATA_DIR) / "HALL.DAT", share / "HALL.DAT");
  }
};

TEST(ProgramFolders, BuildFolderInstalledTreeAndGivenHome) {
  InstalledTree tree;
  // Installed: data from share/tessera, own files into the user's data folder.
  ProgramFolders f = chooseProgramFolders(std::nullopt, tree.bin, tree.user);
  EXPECT_TRUE(f.installed);
  EXPECT_EQ(f.home, tree.share);
  EXPECT_EQ(f.userFolder, tree.user);
  // Data beside the executable keeps winning, so a build folder works as before.
  writeFile(tree.bin / "HALL.DAT", "");
  f = chooseProgramFolders(std::nullopt, tree.bin, tree.user);
  EXPECT_FALSE(f.installed);
  EXPECT_EQ(f.home, tree.bin);
  EXPECT_EQ(f.userFolder, tree.bin);
  // --home is used for reading and writing alike.
  f = chooseProgramFolders(fs::path("/elsewhere"), tree.bin, tree.user);
  EXPECT_EQ(f.home, fs::path("/elsewhere"));
  EXPECT_EQ(f.userFolder, fs::path("/elsewhere"));
  // Without a known user folder an installed program stays with its own folder.
  fs::remove(tree.bin / "HALL.DAT");
  EXPECT_FALSE(chooseProgramFolders(std::nullopt, tree.bin, {}).installed);
}

TEST(ProgramFolders, UserDataFolderFollowsXdgThenHome) {
  EXPECT_EQ(userDataFolder("/x/data", "/home/u"), fs::path("/x/data/tessera"));
  EXPECT_EQ(userDataFolder("relative", "/home/u"), fs::path("/home/u/.local/share/tessera"));
  EXPECT_EQ(userDataFolder("", "/home/u"), fs::path("/home/u/.local/share/tessera"));
  EXPECT_TRUE(userDataFolder("", "").empty());
}

TEST(ProgramFolders, InstalledCliWritesBondsIntoTheUsersFolder) {
  InstalledTree tree;
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", (tree.dir.path() / "xdg").c_str(), 1);
  std::istringstream in;
  std::ostringstream out, err;
  const fs::path example = fs::path(TESSERA_DATA_DIR) / ".." / "examples" / "corundum.tsr";
  const int code = cli::runCli({"bonds", example.string()}, in, out, err, tree.bin);
  if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(code, cli::kExitOk) << err.str();
  EXPECT_TRUE(fs::is_regular_file(tree.dir.path() / "xdg" / "tessera" / "BONDS.OUT"));
  EXPECT_FALSE(fs::exists(tree.bin / "BONDS.OUT"));
  EXPECT_FALSE(fs::exists(tree.share / "BONDS.OUT"));
}

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
