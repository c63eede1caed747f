#pragma once
// Where the program reads its data files and writes its own files. Run from its
// build or unpacked folder (the data files beside the executable) the program keeps
// everything in that folder; installed (the data files in <prefix>/share/tessera)
// it reads them there and writes SCRPTR, LIST.OUT and BONDS.OUT into the user's
// data folder, $XDG_DATA_HOME/tessera or ~/.local/share/tessera.

#include <filesystem>
#include <optional>
#include <string>

namespace tessera {

/// The two folders a session works with.
struct ProgramFolders {
  std::filesystem::path home;        ///< holds HALL.DAT, cifdic.sht and scatfac.dat
  std::filesystem::path userFolder;  ///< receives SCRPTR, LIST.OUT and BONDS.OUT
  bool installed = false;            ///< the data files came from <prefix>/share/tessera
};

/// The installed data folder for a program in programFolder: <programFolder>/../share/tessera.
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

/// The user's data folder for Tessera: xdgDataHome/tessera when xdgDataHome is an
/// absolute path, else userHome/.local/share/tessera; empty when neither is known.
std::filesystem::path userDataFolder(const std::string& xdgDataHome, const std::string& userHome);

/// Chooses the folders: a home given with --home is used for both; otherwise the
/// program's folder when it holds HALL.DAT or no installed data folder does, else the
/// installed data folder with userDataFolder for the files the program writes.
ProgramFolders chooseProgramFolders(const std::optional<std::filesystem::path>& homeGiven,
                                    const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userData);

/// chooseProgramFolders with the user's data folder taken from XDG_DATA_HOME and HOME;
/// the user folder of an installed program is created when missing.
ProgramFolders programFolders(const std::optional<std::filesystem::path>& homeGiven,
                              const std::filesystem::path& programFolder);

}  // namespace tessera
